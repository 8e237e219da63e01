// File, shortcut and registry entries of the information file, resolved against the state.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app_installer/installer_state.h"
#include "app_installer/ports.h"

namespace appsetup {

enum class EntryStatus {
  Resolved,
  Missing,  // no such entry (absent, empty, or without the parts it needs)
  TooLong,  // a path would not fit a 259-character buffer; the caller reports it and skips it
};

// Entry numbers with a fixed meaning besides the [Install] keys 1, 2, ...
inline constexpr int kInstallerEntry = -1;         // the installer itself
inline constexpr int kInformationFileEntry = 0;    // the information file in use

struct FileEntry {
  EntryStatus status = EntryStatus::Missing;
  std::string source;       // as written: relative to the source directory, or absolute
  std::string destination;  // full path
  bool outsideSystemDirectory = true;  // false for "S!" entries, which uninstalling keeps
};

// Resolves entry n. When resolved, also fills the state's source and destination buffers.
FileEntry ResolveFileEntry(InstallerState& state, int n, ProfilePort& profile, SystemPort& system);

// A [Group] entry split at its first comma: the name, and the installation folder followed by
// everything after that comma. Both empty when the key is absent or has no comma.
struct GroupEntry {
  std::string name;
  std::string targetText;
};
GroupEntry ReadGroupEntry(const InstallerState& state, ProfilePort& profile, int n);

struct IconLocation {
  std::string file;
  int index = 0;
};

struct Shortcut {
  EntryStatus status = EntryStatus::Missing;
  std::string name;               // description, and file name name.lnk
  std::string target;             // full path, trimmed
  std::string arguments;          // trimmed, may be empty
  std::vector<IconLocation> icons;  // in the order given
  std::string workingDirectory;
};

// Parses a target text "target[?option]...[,arguments]" read by ReadGroupEntry.
Shortcut ParseShortcut(const InstallerState& state, const GroupEntry& entry, const Ports& ports);

// Resolves [Group] entry n to a shortcut. A shortcut that starts the installed installer with
// exactly "/r" is remembered in the state as the uninstall shortcut.
Shortcut ResolveShortcut(InstallerState& state, int n, const Ports& ports);

// A [Reg] entry "ROOT\subkey".
struct RegistryEntry {
  RegistryRoot root;
  std::string subkey;
};
// nullopt for an unknown root, or for an entry naming a root itself: deleting that would wipe a
// whole hive.
std::optional<RegistryEntry> ParseRegistryEntry(std::string_view value);

}  // namespace appsetup
