#include "app_installer/entry_resolver.h"

#include <string>

namespace appsetup {

namespace {

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string SkipLeadingBlanks(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  return std::string(text);
}

// "S!" / "W!" (either case) in front of a destination, '\0' for none.
char DestinationPrefix(std::string_view dest) {
  if (dest.size() < 2 || dest[1] != '!') return '\0';
  if (dest[0] == 'S' || dest[0] == 's') return 'S';
  if (dest[0] == 'W' || dest[0] == 'w') return 'W';
  return '\0';
}

// Splits at every '?' that is a whole character.
std::vector<std::string> SplitOptions(const CodePage& cp, std::string_view text) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (;;) {
    const size_t mark = FindChar(cp, text, '?', start);
    parts.emplace_back(text.substr(start, mark == std::string_view::npos ? text.npos : mark - start));
    if (mark == std::string_view::npos) return parts;
    start = mark + 1;
  }
}

IconLocation ParseIconOption(const InstallerState& state, const std::string& option,
                             const std::string& target) {
  IconLocation icon;
  size_t i = 0;
  for (; i < option.size() && IsDigit(option[i]); ++i) {
    // Icon indexes are small; stop growing rather than overflow on a silly value.
    if (icon.index < 100000000) icon.index = icon.index * 10 + (option[i] - '0');
  }
  const size_t equals = FindChar(state.codePage, option, '=', i);
  const std::string file = equals == std::string::npos ? "" : Trim(option.substr(equals + 1));
  if (file.empty()) {
    icon.file = target;
  } else if (RootLength(state.codePage, file) > 0) {
    icon.file = file;
  } else {
    icon.file = state.installationFolder + file;
  }
  return icon;
}

std::string ShellFolderOfUser(RegistryPort& registry, const char* name) {
  return registry.ReadString(RegistryRoot::CurrentUser, kShellFoldersKey, name).value_or("");
}

std::string WorkingDirectory(const InstallerState& state, const std::string& text,
                             const Ports& ports) {
  const CodePage& cp = state.codePage;
  const std::string& install = state.installationFolder;
  if (text.empty()) return install;

  std::string path;
  if (RootLength(cp, text) > 0) {
    path = text;
  } else if (text.size() >= 2 && text[1] == '!' && IsAsciiLetter(text[0])) {
    const std::string rest = text.substr(2);
    std::string base;
    // All-users shortcuts must not point into one user's folders.
    if (text[0] == 'd' && !state.allUsers) base = ShellFolderOfUser(ports.registry, "Desktop");
    if (text[0] == 'm' && !state.allUsers) base = ShellFolderOfUser(ports.registry, "Personal");
    if (text[0] == 'w') base = ports.system.WindowsDirectory();
    path = base.empty() ? install + rest : Join(cp, base, rest);
  } else {
    path = install + text;
  }
  if (path.size() > kMaxPathChars) return install;
  const std::string full = WithoutTrailingSeparator(cp, ports.files.FullPath(path));
  if (full.empty() || !ports.files.DirectoryExists(full)) return install;
  return full;
}

}  // namespace

FileEntry ResolveFileEntry(InstallerState& state, int n, ProfilePort& profile, SystemPort& system) {
  const CodePage& cp = state.codePage;
  FileEntry entry;
  if (n == kInstallerEntry) {
    entry.source = state.programName;
    entry.destination = InstalledProgram(state);
  } else if (n == kInformationFileEntry) {
    entry.source = state.infoFileName;
    entry.destination = InstalledInformationFile(state);
  } else if (n >= 1 && n <= state.fileEntryCount) {
    const std::string value = profile.ReadString(state.infoFilePath, kInstallSection,
                                                 std::to_string(n));
    const size_t comma = FindChar(cp, value, ',');
    if (comma == std::string::npos) {
      entry.source = value;
      entry.destination = state.installationFolder + value;
    } else {
      entry.source = Trim(value.substr(0, comma));
      const std::string dest = SkipLeadingBlanks(value.substr(comma + 1));
      switch (DestinationPrefix(dest)) {
        case 'S':
          entry.destination = Join(cp, system.SystemDirectory(), dest.substr(2));
          entry.outsideSystemDirectory = false;
          break;
        case 'W':
          entry.destination = Join(cp, system.WindowsDirectory(), dest.substr(2));
          break;
        default:
          entry.destination = state.installationFolder + dest;
      }
    }
  }
  if (entry.source.empty()) return FileEntry{};
  if (entry.source.size() > kMaxPathChars || entry.destination.size() > kMaxPathChars) {
    entry.status = EntryStatus::TooLong;
    return entry;
  }
  entry.status = EntryStatus::Resolved;
  state.sourceBuffer = entry.source;
  state.destinationBuffer = entry.destination;
  return entry;
}

GroupEntry ReadGroupEntry(const InstallerState& state, ProfilePort& profile, int n) {
  if (n < 1 || n > state.groupEntryCount) return {};
  const std::string value = profile.ReadString(state.infoFilePath, kGroupSection,
                                               std::to_string(n));
  const size_t comma = FindChar(state.codePage, value, ',');
  if (comma == std::string::npos) return {};
  return {value.substr(0, comma), state.installationFolder + value.substr(comma + 1)};
}

Shortcut ParseShortcut(const InstallerState& state, const GroupEntry& entry, const Ports& ports) {
  const CodePage& cp = state.codePage;
  Shortcut shortcut;
  // A nameless entry would become a file called ".lnk".
  if (Trim(entry.name).empty() || entry.targetText.empty()) return shortcut;
  shortcut.name = entry.name;

  // The installation folder may itself hold a comma; only what follows it is split.
  const std::string& text = entry.targetText;
  const size_t from = text.starts_with(state.installationFolder) ? state.installationFolder.size() : 0;
  const size_t comma = FindChar(cp, text, ',', from);
  if (comma != std::string::npos) shortcut.arguments = Trim(text.substr(comma + 1));

  const std::string targetPart = text.substr(0, comma);
  std::vector<std::string> parts = SplitOptions(cp, std::string_view(targetPart).substr(from));
  shortcut.target = Trim(targetPart.substr(0, from) + parts.front());

  std::string directoryOption;
  for (size_t i = 1; i < parts.size(); ++i) {
    const std::string option = Trim(parts[i]);
    if (option.empty()) continue;
    if (IsDigit(option[0])) {
      shortcut.icons.push_back(ParseIconOption(state, option, shortcut.target));
    } else {
      directoryOption = option;
    }
  }
  shortcut.workingDirectory = WorkingDirectory(state, directoryOption, ports);

  shortcut.status = EntryStatus::Resolved;
  if (shortcut.target.size() > kMaxPathChars) shortcut.status = EntryStatus::TooLong;
  for (const IconLocation& icon : shortcut.icons) {
    if (icon.file.size() > kMaxPathChars) shortcut.status = EntryStatus::TooLong;
  }
  return shortcut;
}

Shortcut ResolveShortcut(InstallerState& state, int n, const Ports& ports) {
  Shortcut shortcut = ParseShortcut(state, ReadGroupEntry(state, ports.profile, n), ports);
  if (shortcut.status == EntryStatus::Resolved && shortcut.arguments == "/r" &&
      EqualsIgnoreCase(state.codePage, shortcut.target, InstalledProgram(state))) {
    state.uninstallShortcutName = shortcut.name;
  }
  return shortcut;
}

std::optional<RegistryEntry> ParseRegistryEntry(std::string_view value) {
  static constexpr struct {
    std::string_view name;
    RegistryRoot root;
  } kRoots[] = {
      {"HKEY_CURRENT_USER", RegistryRoot::CurrentUser},
      {"HKEY_LOCAL_MACHINE", RegistryRoot::LocalMachine},
      {"HKEY_CLASSES_ROOT", RegistryRoot::ClassesRoot},
  };
  for (const auto& known : kRoots) {
    if (!value.starts_with(known.name)) continue;
    const std::string_view rest = value.substr(known.name.size());
    // "HKEY_CURRENT_USERX\..." is another name, not this root.
    if (rest.empty() || !IsSeparator(rest.front())) return std::nullopt;
    const std::string_view subkey = rest.substr(1);
    if (subkey.find_first_not_of("\\/ \t") == std::string_view::npos) return std::nullopt;
    return RegistryEntry{known.root, std::string(subkey)};
  }
  return std::nullopt;
}

}  // namespace appsetup
