#include "app_installer/installer_state.h"

namespace appsetup {

std::string UninstallEntryKey(const InstallerState& state) {
  return std::string(kUninstallKey) + "\\" + state.installation_key;
}

std::string InstalledInformationFile(const InstallerState& state) {
  return state.installation_folder + WithoutExtension(state.code_page, state.program_name) + ".INF";
}

std::string InstalledProgram(const InstallerState& state) {
  return state.installation_folder + state.program_name;
}

std::string UninstallCommand(const InstallerState& state) {
  return "\"" + InstalledProgram(state) + "\" /r";
}

}  // namespace appsetup
