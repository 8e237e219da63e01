// The shell side of the notification icon's menu: the taskbar's windows, the screen, the menu.
#pragma once

#include <windows.h>

#include "status_monitor/ticon.h"

namespace monitor::win {

class WinTrayShell final : public TrayShell {
 public:
  // The window that owns the menu, the menu, and the command IDs of its items 0 and 2.
  void Attach(HWND window, HMENU menu, UINT openId, UINT versionId) {
    window_ = window;
    menu_ = menu;
    openId_ = openId;
    versionId_ = versionId;
  }

  bool TaskbarRects(ScreenRect& taskbar, ScreenRect& notifyArea) override;
  void ScreenSize(int& width, int& height) override;
  void CursorPos(int& x, int& y) override;
  void SetForeground() override;
  int TrackIconMenu(const MenuPlacement& placement) override;

 private:
  HWND window_ = nullptr;
  HMENU menu_ = nullptr;
  UINT openId_ = 0;
  UINT versionId_ = 0;
};

}  // namespace monitor::win
