// The worker's side of the progress sheet: showing texts, offering buttons, the cancellation check
// and questions. Installation and deletion sequences both run on it; the page itself (a window on
// the user-interface thread) comes in through the ProgressPage port.
#pragma once

#include <atomic>
#include <string>

namespace setup_wizard {

// How a run on the progress sheet ended.
enum class RunOutcome { kComplete, kStopped, kCancelled };

// Buttons the worker offers on the progress sheet.
enum ProgressButtons : unsigned { kOfferNone = 0, kOfferNext = 2, kOfferFinish = 4 };

// Port: the progress page as the worker reaches it. Every operation is safe from the worker
// thread and none waits for the user-interface thread, except `waitForAnswer` and `confirm`.
class ProgressPage {
 public:
  virtual ~ProgressPage() = default;
  virtual std::wstring String(int id) = 0;
  // The page window exists and is visible.
  virtual bool IsReady() = 0;
  // The sheet is gone: nobody can answer any more.
  virtual bool Closed() = 0;
  // Text into static 2002; a non-empty first choice shows radio 2003 selected, a non-empty second
  // choice shows radio 2004; an empty choice hides its radio.
  virtual void Show(const std::wstring& text, const std::wstring& first, const std::wstring& second) = 0;
  virtual void SetButtons(unsigned buttons, bool cancelToClose) = 0;
  // Offers Next, waits until the user pressed Next or Cancel (or the sheet went away), then offers no
  // buttons. True when the second choice is selected.
  virtual bool WaitForAnswer() = 0;
  // The user pressed Cancel since the last check (the running event is reset).
  virtual bool CancelRequested() = 0;
  // The request was seen: the answer event is set and the running event signalled again.
  virtual void AcknowledgeCancel() = 0;
  // Beeps and asks `text` with Yes/No and the warning icon, owned by the progress sheet.
  virtual bool Confirm(const std::wstring& text) = 0;
  // The window the library may own its own dialogs by.
  virtual void* OwnerWindow() = 0;
  // A timed wait of the worker.
  virtual void Sleep(int ms) = 0;
};

// The protocol between the worker and its page, with the run's cancelled flag.
class ProgressRun {
 public:
  // `cancelQuestion`: the string asked when the user presses Cancel.
  ProgressRun(ProgressPage& page, int cancelQuestion) : page_(page), cancelQuestion_(cancelQuestion) {}

  ProgressPage& Page() { return page_; }
  bool Cancelled() const { return cancelled_.load(); }
  void SetCancelled() { cancelled_.store(true); }

  // Waits until the page is on screen (false when the sheet went away first).
  bool WaitUntilReady();
  // 1 when a Cancel request was seen (whatever the answer), else 0; a confirmed request sets the
  // cancelled flag. A sheet that went away counts as confirmed.
  int CheckCancel();
  // Shows a question and waits for Next; Cancel requests the user does not confirm go back to
  // waiting. True when the second choice was selected.
  bool Ask(const std::wstring& text, const std::wstring& first = {}, const std::wstring& second = {});
  void Show(int stringId);
  void ShowText(const std::wstring& text) { page_.Show(text, L"", L""); }
  // The end of a run: the text stays, Finish is offered and Cancel becomes Close.
  void Finish(int stringId);
  void FinishShown() { page_.SetButtons(kOfferFinish, true); }
  // The end of a run: a cancellation confirmed at any point shows `cancelledText`, also after a
  // failure; a stopped run keeps its failure text; otherwise `completeText`.
  RunOutcome end(bool stopped, int completeText, int cancelledText);

 private:
  ProgressPage& page_;
  int cancelQuestion_;
  std::atomic<bool> cancelled_{false};
};

}  // namespace setup_wizard
