#include "setup_wizard/win/install_wizard.h"

#include <commctrl.h>

#include <algorithm>

#include "setup_wizard/install_sequence.h"
#include "setup_wizard/win/progress_sheet.h"
#include "setup_wizard/win/setup_system_win.h"

namespace setup_wizard::win {

// --- PageView on the page's controls ----------------------------------------------------------------

LRESULT InstallPageWindow::SendItem(int control, UINT message, WPARAM wParam, LPARAM lParam) {
  return ::SendDlgItemMessageW(Window(), control, message, wParam, lParam);
}

void InstallPageWindow::SetText(int control, const std::wstring& value) {
  ::SetDlgItemTextW(Window(), control, value.c_str());
}

std::wstring InstallPageWindow::Text(int control) {
  const HWND item = ::GetDlgItem(Window(), control);
  std::wstring value(static_cast<size_t>(::GetWindowTextLengthW(item)) + 1, L'\0');
  value.resize(static_cast<size_t>(::GetWindowTextW(item, value.data(), static_cast<int>(value.size()))));
  return value;
}

void InstallPageWindow::SetChecked(int control, bool checked) {
  ::CheckDlgButton(Window(), control, checked ? BST_CHECKED : BST_UNCHECKED);
}

bool InstallPageWindow::Checked(int control) { return ::IsDlgButtonChecked(Window(), control) == BST_CHECKED; }

void InstallPageWindow::SetVisible(int control, bool visible) {
  ::ShowWindow(::GetDlgItem(Window(), control), visible ? SW_SHOW : SW_HIDE);
}

void InstallPageWindow::SetEnabled(int control, bool enabled) {
  ::EnableWindow(::GetDlgItem(Window(), control), enabled ? TRUE : FALSE);
}

void InstallPageWindow::SetLimit(int control, int chars) {
  SendItem(control, EM_LIMITTEXT, static_cast<WPARAM>(std::max(chars, 0)));
}

void InstallPageWindow::Focus(int control) {
  ::SendMessageW(Window(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(::GetDlgItem(Window(), control)), TRUE);
}

void InstallPageWindow::ClearList(int control) { SendItem(control, LB_RESETCONTENT); }

int InstallPageWindow::AddItem(int control, const std::wstring& value) {
  return static_cast<int>(SendItem(control, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(value.c_str())));
}

int InstallPageWindow::FindPrefix(int control, const std::wstring& value) {
  const LRESULT at = SendItem(control, LB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(value.c_str()));
  return at == LB_ERR ? -1 : static_cast<int>(at);
}

void InstallPageWindow::SetItemData(int control, int index, intptr_t data) {
  SendItem(control, LB_SETITEMDATA, static_cast<WPARAM>(index), static_cast<LPARAM>(data));
}

intptr_t InstallPageWindow::ItemData(int control, int index) {
  return static_cast<intptr_t>(SendItem(control, LB_GETITEMDATA, static_cast<WPARAM>(index)));
}

std::wstring InstallPageWindow::ItemText(int control, int index) {
  const LRESULT chars = SendItem(control, LB_GETTEXTLEN, static_cast<WPARAM>(index));
  if (chars == LB_ERR) return {};
  std::wstring value(static_cast<size_t>(chars) + 1, L'\0');
  const LRESULT got = SendItem(control, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(value.data()));
  value.resize(got == LB_ERR ? 0 : static_cast<size_t>(got));
  return value;
}

int InstallPageWindow::ItemCount(int control) {
  const LRESULT count = SendItem(control, LB_GETCOUNT);
  return count == LB_ERR ? 0 : static_cast<int>(count);
}

void InstallPageWindow::Select(int control, int index) { SendItem(control, LB_SETCURSEL, static_cast<WPARAM>(index)); }

int InstallPageWindow::Selection(int control) {
  const LRESULT at = SendItem(control, LB_GETCURSEL);
  return at == LB_ERR ? -1 : static_cast<int>(at);
}

void InstallPageWindow::ErrorBox(const std::wstring& message) { StopBox(Sheet(), run_.title, message); }

void InstallPageWindow::PressCancel() { ::PostMessageW(Sheet(), PSM_PRESSBUTTON, PSBTN_CANCEL, 0); }

// Posted when the page becomes active; it arrives after the sheet has placed the focus.
constexpr UINT kActivatedMessage = WM_APP + 2;

LRESULT InstallPageWindow::OnSetActive() {
  logic_->OnSetActive();
  activating_ = true;
  ::PostMessageW(Window(), kActivatedMessage, 0, 0);
  return 0;
}

bool InstallPageWindow::OnMessage(UINT message, WPARAM, LPARAM) {
  if (message != kActivatedMessage) return false;
  activating_ = false;
  return true;
}

bool InstallPageWindow::OnNotify(UINT code, LRESULT& result) {
  // The rules' refusal keeps the sheet on the page: -1 for Next, any non-zero value for Finish.
  if (code == PSN_WIZNEXT) result = logic_->OnNext() ? 0 : -1;
  else if (code == PSN_WIZFINISH) result = logic_->OnNext() ? 0 : 1;
  else return false;
  return true;
}

void InstallPageWindow::OnCommand(int control, int code) {
  if (activating_ && (code == BN_CLICKED || code == LBN_SETFOCUS)) return;
  switch (code) {
    case BN_CLICKED:
      logic_->OnControl(control, ControlEvent::kClicked);
      break;
    case LBN_SELCHANGE:
      logic_->OnControl(control, ControlEvent::kSelectionChanged);
      break;
    case LBN_SETFOCUS:
      logic_->OnControl(control, ControlEvent::kFocused);
      break;
    default:
      break;
  }
}

// --- review page --------------------------------------------------------------------------------

CIWzCheck::CIWzCheck(HINSTANCE module, WizardRun& run, InstallSelections& selections, bool first, bool last)
    : InstallPageWindow(module, run, IDD_IWZ_CHECK), selections_(selections) {
  logic_ = std::make_unique<CheckPage>(*this, run, selections, first, last);
}

LRESULT CIWzCheck::OnSetActive() {
  rows_ = InstallSummary(run_, selections_, [this](int id) { return LoadText(module_, id); });
  ::InvalidateRect(::GetDlgItem(Window(), IDC_IWZ_SUMMARY), nullptr, TRUE);
  return InstallPageWindow::OnSetActive();
}

bool CIWzCheck::OnDrawItem(const DRAWITEMSTRUCT& item) {
  if (item.CtlID != IDC_IWZ_SUMMARY) return false;
  const HDC dc = item.hDC;
  ::FillRect(dc, &item.rcItem, ::GetSysColorBrush(COLOR_WINDOW));
  const HGDIOBJ oldFont = ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(Window(), WM_GETFONT, 0, 0)));
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
  // The label column is as wide as the widest label, every row as high as the tallest one.
  SIZE cell{0, 0};
  for (const SummaryRow& row : rows_) {
    SIZE size{};
    const std::wstring& label = row.label.empty() ? std::wstring(L" ") : row.label;
    ::GetTextExtentPoint32W(dc, label.c_str(), static_cast<int>(label.size()), &size);
    if (!row.label.empty()) cell.cx = std::max(cell.cx, size.cx);
    cell.cy = std::max(cell.cy, size.cy);
  }
  const int saved = ::SaveDC(dc);
  ::IntersectClipRect(dc, item.rcItem.left, item.rcItem.top, item.rcItem.right, item.rcItem.bottom);
  int y = item.rcItem.top + 2;
  const int x = item.rcItem.left + 4;
  for (const SummaryRow& row : rows_) {
    ::TextOutW(dc, x, y, row.label.c_str(), static_cast<int>(row.label.size()));
    ::TextOutW(dc, x + cell.cx, y, row.value.c_str(), static_cast<int>(row.value.size()));
    y += cell.cy;
  }
  ::RestoreDC(dc, saved);
  ::SelectObject(dc, oldFont);
  return true;
}

// --- the sheet and the run ----------------------------------------------------------------------

int CIWzSheet::Run() {
  std::vector<std::unique_ptr<PropertyPage>> pages;
  const bool license = run_.information.LicenseFileExists() == 1;
  if (license) pages.push_back(std::make_unique<CIWzLicense>(module_, run_, selections_, true, false));
  pages.push_back(std::make_unique<CIWzGuide>(module_, run_, selections_, !license, false));
  pages.push_back(std::make_unique<CIWzPrinter>(module_, run_, selections_, false, false));
  pages.push_back(std::make_unique<CIWzShare>(module_, run_, selections_, false, false));
  pages.push_back(std::make_unique<CIWzPort>(module_, run_, selections_, false, false));
  pages.push_back(std::make_unique<CIWzCheck>(module_, run_, selections_, false, true));
  std::vector<PropertyPage*> order;
  for (const auto& page : pages) order.push_back(page.get());
  return RunWizardSheet(module_, owner_, run_.title, order) > 0 ? 1 : 0;
}

int CIWzMain::Run() {
  CIWzSheet sheet(module_, owner_, run_);
  if (sheet.Run() != 1) return 0;
  Win32SetupSystem system;
  CPrgSheet progress(module_, owner_, run_, kStringCancelInstall);
  return progress.Run([&](ProgressRun& p) { InstallSequence(run_, sheet.Selections(), p, system).Run(); });
}

int RunInstallation(HINSTANCE module, HWND owner, WizardRun& run) { return CIWzMain(module, owner, run).Run(); }

}  // namespace setup_wizard::win
