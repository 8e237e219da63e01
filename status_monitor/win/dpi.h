// Twips to pixels for a window, through the DPI the window is really drawn at.
#pragma once

#include <windows.h>

namespace monitor::win {

// The window's DPI: GetDpiForWindow where the system has it, else the DPI of the window's DC.
int WindowDpiX(HWND window);
int WindowDpiY(HWND window);

int TwipsToPixelsX(HWND window, int twips);
int TwipsToPixelsY(HWND window, int twips);

}  // namespace monitor::win
