// setup.exe: the package's start menu.
#include <windows.h>
#include <commctrl.h>

#include <exception>

#include "setup_menu/menu.h"
#include "setup_menu/win/adapters.h"
#include "setup_menu/win/menu_window.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  try {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    setup_menu::win::Win32System system;
    setup_menu::win::Win32Files files;
    setup_menu::win::Win32Registry registry;
    setup_menu::win::Win32Processes processes;
    setup_menu::win::Win32MessageBoxes boxes;
    setup_menu::win::Win32Strings strings(instance);
    setup_menu::win::Win32Dialog dialog(instance);
    return setup_menu::RunSetupMenu({system, files, registry, processes, boxes, strings, dialog});
  } catch (const std::exception&) {
    return 1;
  }
}
