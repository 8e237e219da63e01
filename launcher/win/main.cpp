// Install.exe (LAUNCHER_MODE 1) and Uninstall.exe (LAUNCHER_MODE 0), built from this one source.
#include <windows.h>

#include <exception>

#include "launcher/launcher.h"
#include "launcher/win/launcher_port.h"

#ifndef LAUNCHER_MODE
#error "LAUNCHER_MODE must be 1 (Install) or 0 (Uninstall)"
#endif

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
  try {
    launcher::win::Win32LauncherPort port(instance);
    launcher::Launcher launcher(port, LAUNCHER_MODE, commandLine ? commandLine : "");
    port.Attach(launcher);
    return launcher.Run();
  } catch (const std::exception&) {
    return launcher::kExitFailure;
  }
}
