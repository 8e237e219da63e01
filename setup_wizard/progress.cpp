#include "setup_wizard/progress.h"

namespace setup_wizard {

// The page appears moments after the worker starts; checking more often gains nothing.
constexpr int kReadyPollMs = 10;

bool ProgressRun::WaitUntilReady() {
  while (!page_.IsReady()) {
    if (page_.Closed()) return false;
    page_.Sleep(kReadyPollMs);
  }
  return true;
}

int ProgressRun::CheckCancel() {
  if (page_.Closed()) {
    SetCancelled();
    return 1;
  }
  if (!page_.CancelRequested()) return 0;
  page_.AcknowledgeCancel();
  if (page_.Confirm(page_.String(cancelQuestion_))) SetCancelled();
  return 1;
}

bool ProgressRun::Ask(const std::wstring& text, const std::wstring& first, const std::wstring& second) {
  CheckCancel();
  if (Cancelled()) return false;
  page_.Show(text, first, second);
  bool secondChosen = false;
  while (!Cancelled()) {
    secondChosen = page_.WaitForAnswer();
    // Next leaves the running event alone; a Cancel the user takes back means waiting again.
    if (CheckCancel() == 0) break;
  }
  return secondChosen;
}

void ProgressRun::Show(int stringId) { ShowText(page_.String(stringId)); }

RunOutcome ProgressRun::end(bool stopped, int completeText, int cancelledText) {
  if (Cancelled()) {
    Finish(cancelledText);
    return RunOutcome::kCancelled;
  }
  if (stopped) {
    FinishShown();
    return RunOutcome::kStopped;
  }
  Finish(completeText);
  return RunOutcome::kComplete;
}

void ProgressRun::Finish(int stringId) {
  Show(stringId);
  FinishShown();
}

}  // namespace setup_wizard
