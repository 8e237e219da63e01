#include "setup_wizard/win/progress_sheet.h"

#include <commctrl.h>

#include <exception>
#include <thread>

#include "resources/setup_wizard/resource.h"

namespace setup_wizard::win {

namespace {

// Posted to the page when the worker left a new text in `shown_`.
constexpr UINT kShowMessage = WM_APP + 1;

HANDLE ManualResetEvent(bool signalled) { return ::CreateEventW(nullptr, TRUE, signalled ? TRUE : FALSE, nullptr); }

}  // namespace

CPrgGuide::CPrgGuide(HINSTANCE module, WizardRun& run)
    : PropertyPage(module, run, IDD_PRG_GUIDE),
      running_(ManualResetEvent(true)),
      answer_(ManualResetEvent(true)),
      closed_(ManualResetEvent(false)) {}

// --- worker thread ------------------------------------------------------------------------------

bool CPrgGuide::IsReady() {
  const HWND page = page_.load();
  return page != nullptr && ::IsWindowVisible(page);
}

void CPrgGuide::Show(const std::wstring& text, const std::wstring& first, const std::wstring& second) {
  {
    std::lock_guard<std::mutex> lock(shownMutex_);
    shown_ = {text, first, second};
  }
  // The choice is known now, so an answer read right after the wait never sees an older one.
  firstChosen_.store(!first.empty());
  if (const HWND page = page_.load()) ::PostMessageW(page, kShowMessage, 0, 0);
}

void CPrgGuide::SetButtons(unsigned buttons, bool cancelToClose) {
  const HWND sheet = sheet_.load();
  if (sheet == nullptr) return;
  ::PostMessageW(sheet, PSM_SETWIZBUTTONS, 0, static_cast<LPARAM>(buttons));
  if (cancelToClose) ::PostMessageW(sheet, PSM_CANCELTOCLOSE, 0, 0);
}

bool CPrgGuide::WaitForAnswer() {
  ::ResetEvent(answer_.get());
  SetButtons(kOfferNext, false);
  const HANDLE ends[] = {answer_.get(), closed_.get()};
  ::WaitForMultipleObjects(2, ends, FALSE, INFINITE);
  SetButtons(kOfferNone, false);
  return !firstChosen_.load();
}

void CPrgGuide::AcknowledgeCancel() {
  ::SetEvent(answer_.get());
  ::SetEvent(running_.get());
}

bool CPrgGuide::Confirm(const std::wstring& question) {
  ::MessageBeep(0xFFFFFFFF);
  return ::MessageBoxW(sheet_.load(), question.c_str(), run_.title.c_str(), MB_YESNO | MB_ICONWARNING) == IDYES;
}

// --- user-interface thread ----------------------------------------------------------------------

void CPrgGuide::OnInit() {
  Apply({});
  sheet_.store(Sheet());
  page_.store(Window());
}

LRESULT CPrgGuide::OnSetActive() {
  PropertyPage::SetButtons(kOfferNone);
  return 0;
}

void CPrgGuide::Apply(const Shown& shown) {
  const HWND page = Window();
  ::SetDlgItemTextW(page, IDC_PRG_TEXT, shown.text.c_str());
  const std::pair<int, const std::wstring*> radios[] = {{IDC_PRG_FIRST, &shown.first}, {IDC_PRG_SECOND, &shown.second}};
  for (const auto& [id, label] : radios) {
    ::CheckDlgButton(page, id, BST_UNCHECKED);
    ::SetDlgItemTextW(page, id, label->c_str());
    ::ShowWindow(::GetDlgItem(page, id), label->empty() ? SW_HIDE : SW_SHOW);
  }
  if (!shown.first.empty()) ::CheckDlgButton(page, IDC_PRG_FIRST, BST_CHECKED);
}

bool CPrgGuide::OnMessage(UINT message, WPARAM, LPARAM) {
  if (message != kShowMessage) return false;
  Shown shown;
  {
    std::lock_guard<std::mutex> lock(shownMutex_);
    shown = shown_;
  }
  Apply(shown);
  return true;
}

bool CPrgGuide::OnNotify(UINT code, LRESULT& result) {
  switch (code) {
    case PSN_QUERYCANCEL:
      // The worker asks the user at its next check; the sheet stays.
      ::ResetEvent(running_.get());
      ::SetEvent(answer_.get());
      result = TRUE;
      return true;
    case PSN_WIZNEXT:
      ::SetEvent(answer_.get());
      result = -1;
      return true;
    case PSN_WIZFINISH:
      result = FALSE;
      return true;
    default:
      return false;
  }
}

void CPrgGuide::OnCommand(int control, int code) {
  if (code != BN_CLICKED || (control != IDC_PRG_FIRST && control != IDC_PRG_SECOND)) return;
  const bool first = control == IDC_PRG_FIRST;
  ::CheckDlgButton(Window(), IDC_PRG_FIRST, first ? BST_CHECKED : BST_UNCHECKED);
  ::CheckDlgButton(Window(), IDC_PRG_SECOND, first ? BST_UNCHECKED : BST_CHECKED);
  firstChosen_.store(first);
}

void CPrgGuide::OnDestroy() {
  page_.store(nullptr);
  sheet_.store(nullptr);
  MarkClosed();
}

// --- the sheet ----------------------------------------------------------------------------------

int CPrgSheet::Run(const std::function<void(ProgressRun&)>& work) {
  CPrgGuide guide(module_, run_);
  ProgressRun progress(guide, cancelQuestion_);
  std::thread worker([&] {
    try {
      work(progress);
    } catch (const std::exception&) {
      // Whatever stopped the work, the user must still be able to leave.
      progress.FinishShown();
    }
  });
  RunWizardSheet(module_, owner_, run_.title, {&guide}, CloseBox::Disabled);
  guide.MarkClosed();
  worker.join();
  return 1;
}

}  // namespace setup_wizard::win
