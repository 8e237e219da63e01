// The relay's uninstall window: caption, "Uninstalling ...", and Finish once the removal is done.
#pragma once

#include <windows.h>

#include "app_installer/install_ports.h"

namespace appsetup::win {

// Shows the window modally, without owner; the removal starts 300 ms after it is up.
void ShowUninstallWindow(HINSTANCE instance, int dialogBase, const UninstallContext& ctx);

}  // namespace appsetup::win
