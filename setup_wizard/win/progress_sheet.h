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
  void markClosed() { ::SetEvent(closed_.get()); }

  // ProgressPage, called from the worker thread.
  std::wstring string(int id) override { return text(id); }
  bool isReady() override;
  bool closed() override { return ::WaitForSingleObject(closed_.get(), 0) == WAIT_OBJECT_0; }
  void show(const std::wstring& text, const std::wstring& first, const std::wstring& second) override;
  void setButtons(unsigned buttons, bool cancelToClose) override;
  bool waitForAnswer() override;
  bool cancelRequested() override { return ::WaitForSingleObject(running_.get(), 0) == WAIT_TIMEOUT; }
  void acknowledgeCancel() override;
  bool confirm(const std::wstring& text) override;
  void* ownerWindow() override { return page_.load(); }
  void sleep(int ms) override { ::WaitForSingleObject(closed_.get(), static_cast<DWORD>(ms)); }

 private:
  struct Shown {
    std::wstring text, first, second;
  };
  // User-interface thread.
  void onInit() override;
  LRESULT onSetActive() override;
  bool onNotify(UINT code, LRESULT& result) override;
  void onCommand(int control, int code) override;
  bool onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void onDestroy() override;
  void apply(const Shown& shown);

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
  int run(const std::function<void(ProgressRun&)>& work);

 private:
  HINSTANCE module_;
  HWND owner_;
  WizardRun& run_;
  int cancelQuestion_;
};

}  // namespace setup_wizard::win
