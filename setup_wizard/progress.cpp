#include "setup_wizard/progress.h"

namespace setup_wizard {

// The page appears moments after the worker starts; checking more often gains nothing.
constexpr int kReadyPollMs = 10;

bool ProgressRun::waitUntilReady() {
  while (!page_.isReady()) {
    if (page_.closed()) return false;
    page_.sleep(kReadyPollMs);
  }
  return true;
}

int ProgressRun::checkCancel() {
  if (page_.closed()) {
    setCancelled();
    return 1;
  }
  if (!page_.cancelRequested()) return 0;
  page_.acknowledgeCancel();
  if (page_.confirm(page_.string(cancelQuestion_))) setCancelled();
  return 1;
}

bool ProgressRun::ask(const std::wstring& text, const std::wstring& first, const std::wstring& second) {
  checkCancel();
  if (cancelled()) return false;
  page_.show(text, first, second);
  bool secondChosen = false;
  while (!cancelled()) {
    secondChosen = page_.waitForAnswer();
    // Next leaves the running event alone; a Cancel the user takes back means waiting again.
    if (checkCancel() == 0) break;
  }
  return secondChosen;
}

void ProgressRun::show(int stringId) { showText(page_.string(stringId)); }

RunOutcome ProgressRun::end(bool stopped, int completeText, int cancelledText) {
  if (cancelled()) {
    finish(cancelledText);
    return RunOutcome::kCancelled;
  }
  if (stopped) {
    finishShown();
    return RunOutcome::kStopped;
  }
  finish(completeText);
  return RunOutcome::kComplete;
}

void ProgressRun::finish(int stringId) {
  show(stringId);
  finishShown();
}

}  // namespace setup_wizard
