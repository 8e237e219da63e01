// The instruction log window on Win32: a modal window over the main window with the "*.txt" file
// selector and the buttons "Write" and "Cancel". Made when shown, destroyed when closed.
#pragma once

#include <windows.h>

#include "status_monitor/common.h"
#include "status_monitor/other.h"
#include "status_monitor/sub_form.h"
#include "status_monitor/win/font_cache.h"
#include "status_monitor/win/selector_controls.h"

namespace monitor::win {

class SubFormWindow final : public LogWindow, public CaptionView {
 public:
  SubFormWindow(HINSTANCE instance, Files& files, MessageBoxes& boxes, Other& other, Common& common)
      : instance_(instance), files_(files), boxes_(boxes), other_(other), common_(common) {}
  SubFormWindow(const SubFormWindow&) = delete;
  SubFormWindow& operator=(const SubFormWindow&) = delete;

  void SetOwner(HWND owner) { owner_ = owner; }

  static constexpr const wchar_t* kWindowClass = L"TPX800InstructionLogWindow";
  // The child-window ID of Frame5, Cmd5(0), Cmd5(1) or a selector control, for test robots.
  static int ControlId(Ctl control);

  // LogWindow: returns when the window has closed.
  void ShowModal() override;

  // CaptionView.
  void SetText(Ctl control, std::string_view text) override;
  void SetFont(Ctl control, std::string_view name, int points) override;

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  HWND Child(Ctl control) const;
  bool Create();

  HINSTANCE instance_;
  Files& files_;
  MessageBoxes& boxes_;
  Other& other_;
  Common& common_;
  HWND owner_ = nullptr;
  HWND window_ = nullptr;
  HWND frame_ = nullptr;
  HWND buttons_[2] = {};
  SelectorControls selector_{5};
  SubForm* form_ = nullptr;  // the logic of the opening in progress
  bool done_ = false;
  FontCache fonts_;
};

}  // namespace monitor::win
