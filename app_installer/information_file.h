// Finding and loading the installer's information file, and the check against existing
// uninstall entries.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "app_installer/installer_state.h"
#include "app_installer/messages.h"
#include "app_installer/ports.h"

namespace appsetup {

// Sets the program path, source directory and program name, then picks the information file:
// <base>.INF, else <base> + message 37 of the running language, else <base>E.INF (unchecked).
void FindInformationFile(InstallerState& state, const std::string& programPath,
                         FileSystemPort& files, const Messages& messages);

// Finds and reads the information file into the state and runs the existing-entry check. On
// false the user has been told why (message 1 or 2) and the program should end.
bool LoadInformationFile(InstallerState& state, const std::string& programPath,
                         const Ports& ports, const Messages& messages);

// The existing-entry check on its own: an entry under the installation key proposes its folder
// and menu folder; an entry owned by another title, or this title under another key, is refused
// with message 2.
// A folder from the Shell Folders key: the common value under HKLM with the all-users flag, else
// the per-user one under HKCU. nullopt when it cannot be read or is empty.
std::optional<std::string> ReadShellFolder(const InstallerState& state, RegistryPort& registry,
                                           const char* userName, const char* commonName);

bool CheckExistingEntry(InstallerState& state, const Ports& ports, const Messages& messages);

// The program path at the start of a command line: leading blanks skipped, then the quoted text,
// or the text up to the first blank.
std::string CommandProgramPath(std::string_view commandLine);

}  // namespace appsetup
