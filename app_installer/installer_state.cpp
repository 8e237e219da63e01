#include "app_installer/installer_state.h"

namespace appsetup {

std::string UninstallEntryKey(const InstallerState& state) {
  return std::string(kUninstallKey) + "\\" + state.installationKey;
}

std::string InstalledInformationFile(const InstallerState& state) {
  return state.installationFolder + WithoutExtension(state.codePage, state.programName) + ".INF";
}

std::string InstalledProgram(const InstallerState& state) {
  return state.installationFolder + state.programName;
}

std::string UninstallCommand(const InstallerState& state) {
  return "\"" + InstalledProgram(state) + "\" /r";
}

}  // namespace appsetup
