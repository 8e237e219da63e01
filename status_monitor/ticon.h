// basTicon: the notification-area icon's events and the placement of its menu beside the taskbar.
#pragma once

#include <cstdint>

#include "status_monitor/main_form.h"
#include "status_monitor/ports.h"

namespace monitor {

struct ScreenRect {
  int left = 0, top = 0, right = 0, bottom = 0;
  friend bool operator==(const ScreenRect&, const ScreenRect&) = default;
};

// Menu tracking flags, as the window system takes them.
inline constexpr uint32_t kMenuLeftAligned = 0x0000;
inline constexpr uint32_t kMenuRightAligned = 0x0008;
inline constexpr uint32_t kMenuBottomAligned = 0x0020;
inline constexpr uint32_t kMenuVertical = 0x0040;

struct MenuPlacement {
  int x = 0, y = 0;
  uint32_t flags = 0;
  bool hasExclude = false;
  ScreenRect exclude;  // the area the menu must not cover
  friend bool operator==(const MenuPlacement&, const MenuPlacement&) = default;
};

// Where the icon menu opens, from the taskbar's and the notification area's rectangles and the
// screen size, all in pixels.
MenuPlacement PlaceIconMenu(const ScreenRect& taskbar, const ScreenRect& notifyArea, int screenWidth, int screenHeight);

// The shell as the icon menu needs it.
class TrayShell {
 public:
  virtual ~TrayShell() = default;
  // The taskbar window and its notification area; false when the shell has none.
  virtual bool TaskbarRects(ScreenRect& taskbar, ScreenRect& notifyArea) = 0;
  virtual void ScreenSize(int& width, int& height) = 0;
  virtual void CursorPos(int& x, int& y) = 0;
  // Brings the main window to the foreground, so the menu closes when the user clicks elsewhere.
  virtual void SetForeground() = 0;
  // Tracks the icon menu with "Open(&O)" as its default item; the chosen item (0 or 2) or -1.
  virtual int TrackIconMenu(const MenuPlacement& placement) = 0;
};

enum class IconEvent { DoubleClick, RightButtonDown, Other };

class Ticon {
 public:
  Ticon(View& view, EventLoop& events, MainForm& form, TrayShell& shell)
      : view_(view), events_(events), form_(form), shell_(shell) {}

  void OnIconEvent(IconEvent event);
  bool MenuOpen() const { return menuOpen_; }

 private:
  void OpenMenu();

  View& view_;
  EventLoop& events_;
  MainForm& form_;
  TrayShell& shell_;
  bool menuOpen_ = false;
};

}  // namespace monitor
