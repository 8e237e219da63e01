// MainForm: the monitor's one window — load, printer selection, the status page buttons, page
// changes, the one-second poll and unload.
#pragma once

#include <array>

#include "status_monitor/common.h"
#include "status_monitor/ports.h"
#include "status_monitor/status_display.h"

namespace monitor {

// Pages 1 to 4 of SSTab1: prepared once at load, refreshed when another page is left.
class Page {
 public:
  virtual ~Page() = default;
  virtual void Prepare() = 0;
  virtual void Refresh() = 0;
};

class LogWindow;

class MainForm {
 public:
  MainForm(View& view, MessageBoxes& boxes, EventLoop& events, Common& common);

  // Pages 1..4 as they become available; a missing page keeps its caption only.
  void SetPage(int index, Page* page) { pages_[index] = page; }
  // The instruction log window that "Log.." opens.
  void SetLogWindow(LogWindow* window) { logWindow_ = window; }

  // Events of the window.
  void Load(std::wstring appPath);
  void Activate();
  void Unload();
  void Combo0_Click(int index);
  void Cmd0_Click(int index);
  void Cmdm_Click();
  void SSTab1_Click(int previousPage);
  void OnTimer(TimerId timer);
  // The notification-area icon: a double click, and the items of its menu (0 "Open", 2 "Version").
  void Icon_DoubleClick();
  void MenuItem_Click(int index);

  // Runs the scan and refills the selection; true when the program must end.
  bool Printer_Scan();

  bool EndFlag() const { return endFlag_; }
  bool Unloaded() const { return unloaded_; }
  StatusDisplay& Status() { return status_; }

 private:
  void ShowStatusAndRemember();
  // Reads the printer, refreshes the snapshot and redraws the status page in full.
  void ReadAndShowStatus();
  void RememberStatus();
  void Timer1_Timer();

  View& view_;
  MessageBoxes& boxes_;
  EventLoop& events_;
  Common& common_;
  StatusDisplay status_;
  std::array<Page*, 5> pages_{};
  LogWindow* logWindow_ = nullptr;

  bool endFlag_ = false;
  bool suppressSelection_ = false;
  bool unloaded_ = false;
  bool endQuestionOpen_ = false;
  int16_t tickCounter_ = 0;
  int16_t rememberedCount_ = 0;
  int32_t rememberedStatus_ = 0;
  int32_t rememberedState_ = 0;
};

}  // namespace monitor
