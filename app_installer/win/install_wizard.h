// The installation wizard: destination, options and copying pages in one property sheet.
#pragma once

#include <windows.h>

#include "app_installer/install_ports.h"

namespace appsetup::win {

class WinDisk;

// Runs the wizard modally; `dialogBase` picks the language's set of dialogs. The state's
// completed flag tells how it ended.
void RunInstallWizard(HINSTANCE instance, int dialogBase, const InstallContext& ctx, WinDisk& disk);

// The dialog set of a language.
int DialogBaseOf(Language language);

void CenterOnScreen(HWND window);

}  // namespace appsetup::win
