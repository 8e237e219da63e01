#include "status_monitor/ticon.h"

namespace monitor {

MenuPlacement PlaceIconMenu(const ScreenRect& taskbar, const ScreenRect& notifyArea, int screenWidth, int screenHeight) {
  const ScreenRect& n = notifyArea;
  MenuPlacement placement;
  if (taskbar.left > 0 || taskbar.top > 0) {  // docked right or at the bottom
    placement = {n.right, n.bottom, kMenuVertical | kMenuRightAligned, true, {n.left, n.top, screenWidth, screenHeight}};
  } else if (taskbar.right >= screenWidth) {  // docked at the top
    placement = {n.right, n.top, kMenuVertical | kMenuRightAligned, true, {n.left, 0, screenWidth, n.bottom}};
  } else {  // docked left
    placement = {n.left, n.bottom, kMenuVertical | kMenuLeftAligned, true, {0, n.top, n.right, screenHeight}};
  }
  return placement;
}

void Ticon::OnIconEvent(IconEvent event) {
  switch (event) {
    case IconEvent::DoubleClick: form_.Icon_DoubleClick(); break;
    case IconEvent::RightButtonDown:
      // The menu belongs to a hidden window; a right click while it is tracked is ignored.
      if (!view_.IsWindowVisible() && !menuOpen_) OpenMenu();
      break;
    case IconEvent::Other: break;
  }
}

void Ticon::OpenMenu() {
  ScreenRect taskbar;
  ScreenRect notifyArea;
  MenuPlacement placement;
  if (shell_.TaskbarRects(taskbar, notifyArea)) {
    int width = 0;
    int height = 0;
    shell_.ScreenSize(width, height);
    placement = PlaceIconMenu(taskbar, notifyArea, width, height);
  } else {
    // No taskbar to place it by: open at the pointer, above and to its left.
    shell_.CursorPos(placement.x, placement.y);
    placement.flags = kMenuRightAligned | kMenuBottomAligned;
  }
  view_.SetVisible({"Menu1"}, true);
  shell_.SetForeground();
  events_.ProcessPendingEvents();
  menuOpen_ = true;
  const int item = shell_.TrackIconMenu(placement);
  menuOpen_ = false;
  if (item >= 0) {
    form_.MenuItem_Click(item);
  } else {
    view_.SetVisible({"Menu1"}, false);
  }
}

}  // namespace monitor
