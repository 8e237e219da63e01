// TPX800StatusMonitor.exe: one window on one thread.
#include <windows.h>

#include "status_monitor/win/main_window.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  monitor::win::MainWindow window(instance);
  return window.Run();
}
