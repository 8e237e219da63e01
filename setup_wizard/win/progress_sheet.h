// The progress sheet (CPrgSheet) with its one page (CPrgGuide), shared by installation and
// deletion: the page is the worker's ProgressPage, reached only through posted messages and events.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>

#include "common/win/handles.h"
#include "setup_wizard/progress.h"
#include "setup_wizard/win/sheets.h"

namespace setup_wizard::win {

class CPrgGuide final : public PropertyPage, public ProgressPage {
 public:
  CPrgGuide(HINSTANCE module, WizardRun& run);

  // The sheet is gone: every wait of the worker ends.
  void MarkClosed() { ::SetEvent(closed_.get()); }

  // ProgressPage, called from the worker thread.
  std::wstring String(int id) override { return Text(id); }
  bool IsReady() override;
  bool Closed() override { return ::WaitForSingleObject(closed_.get(), 0) == WAIT_OBJECT_0; }
  void Show(const std::wstring& text, const std::wstring& first, const std::wstring& second) override;
  void SetButtons(unsigned buttons, bool cancelToClose) override;
  bool WaitForAnswer() override;
  bool CancelRequested() override { return ::WaitForSingleObject(running_.get(), 0) == WAIT_TIMEOUT; }
  void AcknowledgeCancel() override;
  bool Confirm(const std::wstring& text) override;
  void* OwnerWindow() override { return page_.load(); }
  void Sleep(int ms) override { ::WaitForSingleObject(closed_.get(), static_cast<DWORD>(ms)); }

 private:
  struct Shown {
    std::wstring text, first, second;
  };
  // User-interface thread.
  void OnInit() override;
  LRESULT OnSetActive() override;
  bool OnNotify(UINT code, LRESULT& result) override;
  void OnCommand(int control, int code) override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void OnDestroy() override;
  void Apply(const Shown& shown);

  common::win::UniqueHandle running_;  // manual reset, signalled until the user presses Cancel
  common::win::UniqueHandle answer_;   // manual reset, set by Next and Cancel
  common::win::UniqueHandle closed_;   // manual reset, set when the sheet goes away
  std::atomic<HWND> page_{nullptr};
  std::atomic<HWND> sheet_{nullptr};
  std::atomic<bool> firstChosen_{false};
  std::mutex shownMutex_;  // the worker's latest text waits here for the page to pick it up
  Shown shown_;
};

// Shows the progress sheet modally while `work` runs on a worker thread; returns when the user
// closed the sheet with Finish, after the worker ended.
class CPrgSheet {
 public:
  // `cancelQuestion`: the string asked when the user presses Cancel.
  CPrgSheet(HINSTANCE module, HWND owner, WizardRun& run, int cancelQuestion)
      : module_(module), owner_(owner), run_(run), cancelQuestion_(cancelQuestion) {}
  int Run(const std::function<void(ProgressRun&)>& work);

 private:
  HINSTANCE module_;
  HWND owner_;
  WizardRun& run_;
  int cancelQuestion_;
};

}  // namespace setup_wizard::win
