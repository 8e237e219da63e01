// appsetup.exe: start-up, command-line dispatch, the installation wizard and the uninstallation
// through a relay copy. ANSI throughout.
#include <windows.h>
#include <shellapi.h>

#include <string>

#include "app_installer/command_line.h"
#include "app_installer/information_file.h"
#include "app_installer/install_ports.h"
#include "app_installer/uninstall_flow.h"
#include "app_installer/win/install_adapters.h"
#include "app_installer/win/install_wizard.h"
#include "app_installer/win/port_adapters.h"
#include "app_installer/win/uninstall_adapters.h"
#include "app_installer/win/uninstall_window.h"

namespace appsetup::win {
namespace {

constexpr int kExitCode = 1;  // every exit of the installer
// The first stage waits for the relay to become idle and then exits, releasing its own file.
constexpr DWORD kRelayStartPauseMs = 700;

bool WindowsTooOld() {
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof(version);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  if (!GetVersionExA(&version)) return false;
#pragma GCC diagnostic pop
  return version.dwMajorVersion < 4;
}

std::string OwnPath() {
  std::string path(MAX_PATH, '\0');
  for (;;) {
    const DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

void Install(HINSTANCE instance, InstallContext& ctx, WinDisk& disk) {
  InstallerState& state = ctx.state;
  SetCurrentDirectoryA(state.sourceDirectory.c_str());
  RunInstallWizard(instance, DialogBaseOf(ctx.messages.RunningLanguage()), ctx, disk);
  if (!state.completed) {
    ctx.ports.boxes.Show(0, ctx.messages.Text(msg::kInstallInterrupted), state.title,
                         MessageIcon::Information, MessageButtons::Ok);
    return;
  }
  ctx.ports.boxes.Show(0, ctx.messages.Text(msg::kInstallCompleted), state.title,
                       MessageIcon::Information, MessageButtons::Ok);
  if (!state.documentToOpen.empty()) {
    ShellExecuteA(nullptr, "open", state.documentToOpen.c_str(), nullptr,
                  state.installationFolder.c_str(), SW_SHOWNORMAL);
  }
}

int Run(HINSTANCE instance) {
  WinProfile profile;
  WinRegistry registry;
  WinFileSystem files;
  WinSystem system;
  WinMessageBoxes boxes;
  WinStringTable strings(instance);
  Ports ports{profile, registry, files, system, boxes};
  const CodePage codePage = system.AnsiCodePage();
  const Messages messages(strings, LanguageFromId(system.UiLanguage()), codePage);

  if (WindowsTooOld()) {
    boxes.Show(0, messages.Text(msg::kWindowsTooOld), "", MessageIcon::Error, MessageButtons::Ok);
    return kExitCode;
  }

  const Invocation invocation = ParseArguments(ArgumentsOf(GetCommandLineA()));
  InstallerState state;
  state.codePage = codePage;
  const std::string programPath =
      invocation.mode == RunMode::kRelay ? invocation.relayPath : OwnPath();
  if (!LoadInformationFile(state, programPath, ports, messages)) return kExitCode;

  if (invocation.mode != RunMode::kInstall) {
    WinDisk disk;
    WinRegistryWriter registryWriter;
    WinProcesses processes;
    WinRestart restart;
    UninstallPorts uninstall{disk, registryWriter, processes, restart};
    UninstallContext ctx{{state, ports, messages}, uninstall};
    if (invocation.mode == RunMode::kUninstall) {
      StartUninstallation(ctx);
      return kExitCode;
    }
    Sleep(kRelayStartPauseMs);
    EnterRelayMode(state);
    ShowUninstallWindow(instance, DialogBaseOf(messages.RunningLanguage()), ctx);
    DeleteAtNextRestart(ctx, OwnPath());
    return kExitCode;
  }

  WinCachedProfile cachedProfile(profile);
  Ports installPorts{cachedProfile, registry, files, system, boxes};
  WinDisk disk;
  WinRegistryWriter registryWriter;
  WinShellLinks links;
  InstallPorts install{disk, registryWriter, links};
  InstallContext ctx{{state, installPorts, messages}, install};
  Install(instance, ctx, disk);
  return kExitCode;
}

}  // namespace
}  // namespace appsetup::win

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  try {
    return appsetup::win::Run(instance);
  } catch (...) {
    return 1;
  }
}
