// The installer's one process-wide record, shared by installation and uninstallation.
#pragma once

#include <string>

#include "app_installer/ansi_path.h"

namespace appsetup {

inline constexpr size_t kMaxTitleChars = 99;

struct InstallerState {
  CodePage codePage;                 // the ANSI code page every path below is in

  std::string programPath;           // own path, or in relay mode the path from the command line
  std::string sourceDirectory;       // folder of programPath, with trailing backslash
  std::string programName;           // file-name part of programPath ("appsetup.exe")
  std::string infoFilePath;          // information file in use
  std::string infoFileName;          // its file-name part

  std::string title;                 // [Install] Title, at most 99 characters
  std::string installationFolder;    // absolute, always with trailing backslash
  std::string menuFolder;            // start-menu folder for the program shortcuts; empty if unknown
  std::string installationKey;       // name of the uninstall entry's key
  std::string accessoriesName;       // localized "Accessories" menu folder name

  bool resident = false;             // TSR=1
  bool keepExtraFiles = false;       // RemoveNone=1
  bool allUsers = false;             // CommonMenu=1

  int fileEntryCount = 0;            // consecutive non-empty [Install] keys 1, 2, ...
  int groupEntryCount = 0;           // consecutive non-empty [Group] keys 1, 2, ...

  bool startMenuChoice = false;      // options page check boxes
  bool desktopChoice = false;
  bool completed = false;            // the last copy step has finished

  std::string uninstallShortcutName;  // [Group] shortcut that starts the uninstaller, or empty
  std::string documentToOpen;           // [Install] Open, read when the wizard finishes

  std::string sourceBuffer;          // the entry being processed: source name
  std::string destinationBuffer;     //   and full destination path
};

// Section and key names of the information file.
inline constexpr const char* kInstallSection = "Install";
inline constexpr const char* kGroupSection = "Group";
inline constexpr const char* kRegSection = "Reg";

// HKEY_LOCAL_MACHINE keys the installer reads and writes.
inline constexpr const char* kCurrentVersionKey = "Software\\Microsoft\\Windows\\CurrentVersion";
inline constexpr const char* kUninstallKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
inline constexpr const char* kShellFoldersKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

// The uninstall entry's key below HKEY_LOCAL_MACHINE.
std::string UninstallEntryKey(const InstallerState& state);
// Program base name + ".INF" in the installation folder: where installation puts the copy of the
// information file and uninstallation reads it.
std::string InstalledInformationFile(const InstallerState& state);
// The installed copy of the installer.
std::string InstalledProgram(const InstallerState& state);
// The UninstallString value: the installed copy in double quotes, a blank and "/r".
std::string UninstallCommand(const InstallerState& state);

}  // namespace appsetup
