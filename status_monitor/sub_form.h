// SubForm: the instruction log window — a file selector for "*.txt" files, "Write" and "Cancel".
// Opened modally from the status page's "Log.." button while the printer is idle.
#pragma once

#include <string>
#include <string_view>

#include "status_monitor/file_selector.h"
#include "status_monitor/other.h"
#include "status_monitor/ports.h"

namespace monitor {

// The window's own captions and fonts.
class CaptionView {
 public:
  virtual ~CaptionView() = default;
  virtual void SetText(Ctl control, std::string_view text) = 0;
  virtual void SetFont(Ctl control, std::string_view name, int points) = 0;
};

// What the main form calls to show the window; it returns when the window has closed.
class LogWindow {
 public:
  virtual ~LogWindow() = default;
  virtual void ShowModal() = 0;
};

inline constexpr int kSubFormFontSize = 9;

class SubForm {
 public:
  SubForm(CaptionView& view, SelectorView& selector, Files& files, MessageBoxes& boxes, Other& other)
      : view_(view), other_(other), selector_(selector, files, boxes, text::kLogPattern, DriveFailure::ReportNotReady) {}

  // Captions, fonts and the selector's fill in the program's folder.
  void Form_Load(const std::wstring& appPath);
  // 0 "Write", 1 "Cancel"; true when the window closes.
  bool Cmd5_Click(int index);

  FileSelector& Selector() { return selector_; }

 private:
  CaptionView& view_;
  Other& other_;
  FileSelector selector_;
};

}  // namespace monitor
