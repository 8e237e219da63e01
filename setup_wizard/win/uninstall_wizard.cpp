#include "setup_wizard/win/uninstall_wizard.h"

#include <algorithm>
#include <vector>

#include "setup_wizard/deletion_sequence.h"
#include "setup_wizard/win/progress_sheet.h"
#include "setup_wizard/win/setup_system_win.h"

namespace setup_wizard::win {

// --- review page --------------------------------------------------------------------------------

CUWzCheck::CUWzCheck(HINSTANCE module, WizardRun& run, UninstallSelections& selections, bool first, bool last)
    : InstallPageWindow(module, run, IDD_UWZ_CHECK), selections_(selections) {
  logic_ = std::make_unique<UninstallCheckPage>(*this, run, selections, first, last);
}

void CUWzCheck::OnInit() {
  const HWND list = ::GetDlgItem(Window(), IDC_UWZ_REVIEW);
  const HDC dc = ::GetDC(list);
  const HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(list, WM_GETFONT, 0, 0)));
  TEXTMETRICW metrics{};
  ::GetTextMetricsW(dc, &metrics);
  // Values line up after the widest label that precedes a value.
  for (int id : kReviewValueColumnLabels) {
    const std::wstring label = Text(id);
    SIZE size{};
    ::GetTextExtentPoint32W(dc, label.c_str(), static_cast<int>(label.size()), &size);
    valueColumn_ = std::max(valueColumn_, static_cast<int>(size.cx));
  }
  ::SelectObject(dc, old);
  ::ReleaseDC(list, dc);
  // One row is as high as the list's font.
  SendItem(IDC_UWZ_REVIEW, LB_SETITEMHEIGHT, 0, std::max<LONG>(metrics.tmHeight, 1));
  InstallPageWindow::OnInit();
}

LRESULT CUWzCheck::OnSetActive() {
  const LRESULT result = InstallPageWindow::OnSetActive();
  // Read once here, so painting never calls the library.
  std::vector<uint32_t> items;
  for (int i = 0; i < ItemCount(IDC_UWZ_REVIEW); ++i) items.push_back(static_cast<uint32_t>(ItemData(IDC_UWZ_REVIEW, i)));
  rows_ = ReviewRowsOf(run_.library, run_.information, selections_.modelPos, items);
  ::InvalidateRect(::GetDlgItem(Window(), IDC_UWZ_REVIEW), nullptr, TRUE);
  return result;
}

bool CUWzCheck::OnDrawItem(const DRAWITEMSTRUCT& item) {
  if (item.CtlID != IDC_UWZ_REVIEW) return false;
  const HDC dc = item.hDC;
  ::FillRect(dc, &item.rcItem, ::GetSysColorBrush(COLOR_BTNFACE));
  if (item.itemID >= rows_.size()) return true;
  const ReviewRow& row = rows_[item.itemID];
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, ::GetSysColor(COLOR_BTNTEXT));
  const std::wstring label = row.label != 0 ? Text(row.label) : std::wstring();
  ::TextOutW(dc, item.rcItem.left, item.rcItem.top, label.c_str(), static_cast<int>(label.size()));
  ::TextOutW(dc, item.rcItem.left + valueColumn_, item.rcItem.top, row.value.c_str(), static_cast<int>(row.value.size()));
  return true;
}

// --- the sheet and the run ----------------------------------------------------------------------

int CUWzSheet::Run() {
  CUWzGuide guide(module_, run_, selections_, true, false);
  CUWzPrinter printer(module_, run_, selections_, false, false);
  CUWzCheck check(module_, run_, selections_, false, true);
  return RunWizardSheet(module_, owner_, run_.title, {&guide, &printer, &check}) > 0 ? 1 : 0;
}

int CUWzMain::Run() {
  CUWzSheet sheet(module_, owner_, run_);
  if (sheet.Run() != 1) return 0;
  Win32SetupSystem system;
  Win32DeletionSystem windows;
  CPrgSheet progress(module_, owner_, run_, kStringCancelDelete);
  return progress.Run([&](ProgressRun& p) { DeletionSequence(run_, sheet.Selections(), p, system, windows).Run(); });
}

int RunDeletion(HINSTANCE module, HWND owner, WizardRun& run) { return CUWzMain(module, owner, run).Run(); }

}  // namespace setup_wizard::win
