#include "status_monitor/win/tray_shell.h"

namespace monitor::win {

static_assert(kMenuVertical == TPM_VERTICAL && kMenuRightAligned == TPM_RIGHTALIGN && kMenuLeftAligned == TPM_LEFTALIGN &&
              kMenuBottomAligned == TPM_BOTTOMALIGN);

namespace {
ScreenRect ToScreenRect(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }
}  // namespace

bool WinTrayShell::TaskbarRects(ScreenRect& taskbar, ScreenRect& notifyArea) {
  const HWND tray = ::FindWindowW(L"Shell_TrayWnd", nullptr);
  if (!tray) return false;
  const HWND notify = ::FindWindowExW(tray, nullptr, L"TrayNotifyWnd", nullptr);
  RECT trayRect;
  RECT notifyRect;
  if (!notify || !::GetWindowRect(tray, &trayRect) || !::GetWindowRect(notify, &notifyRect)) return false;
  taskbar = ToScreenRect(trayRect);
  notifyArea = ToScreenRect(notifyRect);
  return true;
}

void WinTrayShell::ScreenSize(int& width, int& height) {
  width = ::GetSystemMetrics(SM_CXSCREEN);
  height = ::GetSystemMetrics(SM_CYSCREEN);
}

void WinTrayShell::CursorPos(int& x, int& y) {
  POINT at{};
  ::GetCursorPos(&at);
  x = at.x;
  y = at.y;
}

void WinTrayShell::SetForeground() { ::SetForegroundWindow(window_); }

int WinTrayShell::TrackIconMenu(const MenuPlacement& placement) {
  ::SetMenuDefaultItem(menu_, 0, TRUE);
  TPMPARAMS exclude{sizeof(exclude),
                    {placement.exclude.left, placement.exclude.top, placement.exclude.right, placement.exclude.bottom}};
  const UINT chosen = static_cast<UINT>(::TrackPopupMenuEx(menu_, placement.flags | TPM_RETURNCMD | TPM_NONOTIFY,
                                                           placement.x, placement.y, window_,
                                                           placement.hasExclude ? &exclude : nullptr));
  // Lets the menu close properly when the user clicks elsewhere next time.
  ::PostMessageW(window_, WM_NULL, 0, 0);
  if (chosen == openId_) return 0;
  if (chosen == versionId_) return 2;
  return -1;
}

}  // namespace monitor::win
