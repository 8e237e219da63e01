// The file selector's controls on Win32: a drive combo box, a directory list box inside a clipping
// window (so the scroll bar can shift it left), a horizontal scroll bar, a file list box and the path
// field, all on one host window laid over the selector's frame. The host handles their
// notifications itself and passes them to the selector's logic.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "status_monitor/file_selector.h"
#include "status_monitor/ports.h"
#include "status_monitor/win/font_cache.h"

namespace monitor::win {

class SelectorControls final : public SelectorView {
 public:
  // `instance` 4 (the "Others" page) or 5 (the instruction log window) names the controls.
  explicit SelectorControls(int instance) : instance_(instance) {}
  SelectorControls(const SelectorControls&) = delete;
  SelectorControls& operator=(const SelectorControls&) = delete;

  // Creates the controls in `parent`, the frame's top-left corner at `frameTwips` (twips, in the
  // coordinates of `dpiWindow`'s client area) less `originPixels`.
  void Create(HINSTANCE instance, HWND parent, HWND dpiWindow, POINT frameTwips, POINT originPixels);
  void Attach(FileSelector* logic) { logic_ = logic; }

  // Fonts by control name ("Drive4", "Dir4", "File4", "Text4", "HScroll4"); false for other names.
  bool SetFontName(Ctl control, std::string_view name);
  bool SetFontSize(Ctl control, int points);

  // The child-window ID of a control of instance 4 or 5, for test robots; 0 for other names.
  static int ControlId(Ctl control);

  // SelectorView.
  void SetDriveList(const std::vector<std::wstring>& items, int selected) override;
  void SetDirectoryList(const std::vector<std::wstring>& items, int selected) override;
  void SetFileList(const std::vector<std::wstring>& items, int selected) override;
  void SetDirectoryPlacement(int leftTwips, int widthTwips) override;
  void SetScrollBar(int maximum, int value) override;
  void SetPathText(const std::wstring& text) override;
  std::wstring PathText() override;

 private:
  enum Part { kDrive, kDir, kScroll, kFile, kText, kPartCount };
  static LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  int PartOf(Ctl control) const;
  void ApplyFont(int part);
  void OnScroll(WPARAM wParam);

  int instance_;
  HWND dpiWindow_ = nullptr;
  HWND host_ = nullptr;
  HWND clip_ = nullptr;
  HWND parts_[kPartCount] = {};
  std::wstring fontNames_[kPartCount];
  int fontSizes_[kPartCount] = {8, 8, 8, 8, 8};
  FontCache fonts_;
  FileSelector* logic_ = nullptr;
};

}  // namespace monitor::win
