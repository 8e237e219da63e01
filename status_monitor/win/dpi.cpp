#include "status_monitor/win/dpi.h"

#include "status_monitor/twips.h"

namespace monitor::win {
namespace {

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);

// Present from Windows 10 1607 on; looked up so the program still starts on older systems.
GetDpiForWindowFn GetDpiForWindowIfPresent() {
  static const GetDpiForWindowFn function = [] {
    HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
    FARPROC proc = user32 ? ::GetProcAddress(user32, "GetDpiForWindow") : nullptr;
    return reinterpret_cast<GetDpiForWindowFn>(reinterpret_cast<void (*)()>(proc));
  }();
  return function;
}

int DcDpi(HWND window, int index) {
  HDC dc = ::GetDC(window);
  if (!dc) return 0;
  const int dpi = ::GetDeviceCaps(dc, index);
  ::ReleaseDC(window, dc);
  return dpi;
}

int WindowDpi(HWND window, int index) {
  if (GetDpiForWindowFn function = GetDpiForWindowIfPresent(); function && window) {
    if (const UINT dpi = function(window); dpi > 0) return static_cast<int>(dpi);
  }
  return DcDpi(window, index);
}

}  // namespace

int WindowDpiX(HWND window) { return WindowDpi(window, LOGPIXELSX); }
int WindowDpiY(HWND window) { return WindowDpi(window, LOGPIXELSY); }

int TwipsToPixelsX(HWND window, int twips) { return TwipsToPixels(twips, WindowDpiX(window)); }
int TwipsToPixelsY(HWND window, int twips) { return TwipsToPixels(twips, WindowDpiY(window)); }

}  // namespace monitor::win
