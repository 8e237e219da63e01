// Uninstallation: the first stage that hands over to a relay copy in the system directory, and the
// relay copy's removal of files, shortcuts, folders and registry keys.
#pragma once

#include <string>

#include "app_installer/install_ports.h"

namespace appsetup {

// ---- First stage ("/r") ----

// Where the relay copy goes: the system directory joined with the program name.
std::string RelayPath(const UninstallContext& ctx);
// The relay's command line: relay path, " x ", the running installer's full path (no quotes).
std::string RelayCommandLine(const std::string& relayPath, const std::string& programPath);

// Asks for confirmation (message 32, with 33 for resident applications), copies the installer to
// the system directory and starts the copy in relay mode, waiting until it is idle. Message 34
// when the relay cannot be started. False when nothing was handed over.
bool StartUninstallation(const UninstallContext& ctx);

// ---- Relay stage ("x <path>") ----

// The relay works on the folder it was given: the installation folder is the source directory.
void EnterRelayMode(InstallerState& state);
// Message 29 with the title.
std::string UninstallCaption(const UninstallContext& ctx);

// What the uninstall window does when its start timer fires: the removal, the result text
// (message 30 or 31) and the Finish button.
void RunUninstallWindow(const UninstallContext& ctx, UninstallView& view, WindowRef owner);

// The whole removal, in order: [Reg] keys, the file entries from the last down to the installer
// (menu shortcuts before the information file), the installation folder, the uninstall key, the
// desktop and Startup shortcuts. False when anything stays behind.
bool RemoveInstallation(const UninstallContext& ctx, WindowRef owner);

// ---- Pieces, each used by the removal ----

// Deletes a registry key with all its subkeys; failures are silent.
void DeleteRegistryTree(RegistryWriterPort& registry, const CodePage& cp, RegistryRoot root,
                        const std::string& subkey);

// Removes `folder` (with or without trailing separator) with everything in it: help index files
// (".gid") silently, other files after asking (or never, with the keep-extra-files flag). Links
// are removed themselves, never followed. False when anything stays.
bool RemoveFolderTree(const UninstallContext& ctx, WindowRef owner, const std::string& folder);

// Deletes the menu shortcuts, then the menu folder and its empty parents inside the Start Menu.
void RemoveMenuShortcuts(const UninstallContext& ctx);

enum class RestartDeletion { BySystem, ByWininit, AlreadyListed, GaveUp };
// Deletes `path` at the next restart: through the system, else through the "rename" section of
// wininit.ini in the Windows directory.
RestartDeletion DeleteAtNextRestart(const UninstallContext& ctx, const std::string& path);

}  // namespace appsetup
