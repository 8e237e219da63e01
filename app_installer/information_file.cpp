#include "app_installer/information_file.h"

#include <string>

namespace appsetup {

namespace {

void ShowError(const Ports& ports, const std::string& text) {
  ports.boxes.Show(0, text, "", MessageIcon::Error, MessageButtons::Ok);
}

bool Refuse(const Ports& ports, const Messages& messages) {
  ShowError(ports, messages.Text(msg::kNoInformationFile));
  return false;
}

int CountEntries(ProfilePort& profile, const std::string& file, const char* section) {
  int count = 0;
  while (!profile.ReadString(file, section, std::to_string(count + 1)).empty()) ++count;
  return count;
}

// The last component of a folder, trailing separators ignored ("Acme/Tool/" -> "Tool").
std::string LastComponent(const CodePage& cp, std::string_view folder) {
  std::string trimmed(folder);
  while (EndsWithSeparator(cp, trimmed)) trimmed.pop_back();
  return FileNamePart(cp, trimmed);
}

std::string KeyNameOf(const CodePage& cp, std::string key) {
  for (size_t i = 0; i < key.size(); i = cp.Next(key, i)) {
    if (IsSeparator(key[i])) key[i] = '_';
  }
  return key;
}

std::string AccessoriesName(RegistryPort& registry) {
  // The system keeps the name in a 50-byte buffer; a longer value cannot be read.
  auto name = registry.ReadString(RegistryRoot::LocalMachine, kCurrentVersionKey,
                                  "SM_AccessoriesName");
  if (!name || name->empty() || name->size() > 49) return "Accessories";
  return *name;
}

// An unknown shell folder leaves the menu folder unknown (empty): joining onto nothing would
// put the shortcuts at the root of the current drive.
std::string MenuFolder(const InstallerState& state, RegistryPort& registry,
                       const std::string& menu) {
  const CodePage& cp = state.codePage;
  if (!menu.empty() && IsSeparator(menu[0])) {
    const std::string startMenu = ReadShellFolder(state, registry, "Start Menu", "Common Start Menu").value_or("");
    return startMenu.empty() ? "" : Join(cp, startMenu, menu);
  }
  const std::string programs = ReadShellFolder(state, registry, "Programs", "Common Programs").value_or("");
  if (programs.empty()) return "";
  if (menu.starts_with("a!")) {
    return Join(cp, Join(cp, programs, state.accessoriesName), menu.substr(2));
  }
  if (!menu.empty()) return Join(cp, programs, menu);
  if (state.groupEntryCount > 0) return Join(cp, programs, state.title);
  return programs;
}

std::string InstallationFolder(const InstallerState& state, const Ports& ports,
                               const std::string& folder) {
  const CodePage& cp = state.codePage;
  std::string base =
      ports.registry.ReadString(RegistryRoot::LocalMachine, kCurrentVersionKey, "ProgramFilesDir")
          .value_or("");
  if (base.empty()) {
    const std::string windows = ports.system.WindowsDirectory();
    const bool drive = RootLength(cp, windows) == 3;
    base = drive ? windows.substr(0, 2) + "\\Program Files" : "C:\\";
  }
  std::string path;
  const size_t root = RootLength(cp, folder);
  if (root == 1) {
    // Rooted at '\': on the program-files drive (or share).
    const size_t baseRoot = RootLength(cp, base);
    std::string drive = baseRoot == 0 ? "C:" : base.substr(0, baseRoot);
    if (EndsWithSeparator(cp, drive)) drive.pop_back();
    path = drive + folder;
  } else if (root > 1) {
    path = folder;  // a drive or network path stands as written
  } else {
    path = Join(cp, base, folder);
  }
  return Join(cp, path, "");
}

}  // namespace

std::optional<std::string> ReadShellFolder(const InstallerState& state, RegistryPort& registry,
                                           const char* userName, const char* commonName) {
  const bool all = state.allUsers;
  auto value = registry.ReadString(all ? RegistryRoot::LocalMachine : RegistryRoot::CurrentUser,
                                   kShellFoldersKey, all ? commonName : userName);
  if (value && value->empty()) return std::nullopt;
  return value;
}

void FindInformationFile(InstallerState& state, const std::string& programPath,
                         FileSystemPort& files, const Messages& messages) {
  const CodePage& cp = state.codePage;
  state.programPath = programPath;
  state.sourceDirectory = DirectoryPart(cp, programPath);
  state.programName = FileNamePart(cp, programPath);

  const std::string stem = WithoutExtension(cp, programPath);
  const std::string candidates[] = {stem + ".INF",
                                    stem + messages.Text(msg::kInformationFileSuffix)};
  state.infoFilePath = stem + "E.INF";
  for (const std::string& candidate : candidates) {
    if (candidate.size() <= kMaxPathChars && files.FileExists(candidate)) {
      state.infoFilePath = candidate;
      break;
    }
  }
  state.infoFileName = FileNamePart(cp, state.infoFilePath);
}

bool LoadInformationFile(InstallerState& state, const std::string& programPath,
                         const Ports& ports, const Messages& messages) {
  state.codePage = ports.system.AnsiCodePage();
  const CodePage& cp = state.codePage;
  if (programPath.size() > kMaxPathChars) return Refuse(ports, messages);
  FindInformationFile(state, programPath, ports.files, messages);
  if (state.infoFilePath.size() > kMaxPathChars) return Refuse(ports, messages);

  ProfilePort& profile = ports.profile;
  const std::string& file = state.infoFilePath;
  auto text = [&](const char* key) { return profile.ReadString(file, kInstallSection, key); };
  auto flag = [&](const char* key) { return profile.ReadInt(file, kInstallSection, key, 0) == 1; };

  state.title = Truncate(cp, text("Title"), kMaxTitleChars);
  std::string folder = text("Folder");
  std::string key = text("InstallKey");
  std::string menu = text("Menu");
  state.resident = flag("TSR");
  state.keepExtraFiles = flag("RemoveNone");
  state.allUsers = flag("CommonMenu");
  if (state.title.empty() || folder.empty()) return Refuse(ports, messages);
  // A value cut inside a double-byte character would swallow the separator joined after it,
  // putting the files or shortcuts beside the folder instead of in it.
  for (const std::string* value : {&state.title, &folder, &key, &menu}) {
    if (EndsInsideCharacter(cp, *value)) return Refuse(ports, messages);
  }

  state.fileEntryCount = CountEntries(profile, file, kInstallSection);
  state.groupEntryCount = CountEntries(profile, file, kGroupSection);

  if (key.empty()) key = LastComponent(cp, folder);
  state.installationKey = KeyNameOf(cp, key);
  // An empty key would make the whole Uninstall list this program's entry.
  if (state.installationKey.empty()) return Refuse(ports, messages);
  folder = ToBackslashes(cp, folder);
  menu = ToBackslashes(cp, menu);

  state.accessoriesName = AccessoriesName(ports.registry);
  state.menuFolder = MenuFolder(state, ports.registry, menu);
  state.installationFolder = InstallationFolder(state, ports, folder);

  if (!CheckExistingEntry(state, ports, messages)) return false;
  // Longer folders could not be held without cutting them into a different path.
  if (state.installationFolder.size() > kMaxPathChars ||
      state.menuFolder.size() > kMaxPathChars) {
    return Refuse(ports, messages);
  }
  return true;
}

bool CheckExistingEntry(InstallerState& state, const Ports& ports, const Messages& messages) {
  RegistryPort& registry = ports.registry;
  const CodePage& cp = state.codePage;
  const auto machine = RegistryRoot::LocalMachine;
  const std::string key = UninstallEntryKey(state);

  if (registry.KeyExists(machine, key)) {
    if (auto name = registry.ReadString(machine, key, "DisplayName"); name && *name != state.title) {
      ShowError(ports, messages.Format(msg::kEntryInUse, {*name}));
      return false;
    }
    if (auto command = registry.ReadString(machine, key, "UninstallString")) {
      // Only an absolute folder that fits can stand for the installation folder.
      const std::string folder = DirectoryPart(cp, CommandProgramPath(*command));
      if (RootLength(cp, folder) > 0 && folder.size() <= kMaxPathChars) {
        state.installationFolder = Join(cp, folder, "");
      }
    }
    if (auto menu = registry.ReadString(machine, key, "MenuDir"); menu && !menu->empty()) {
      state.menuFolder = *menu;
    }
    return true;
  }

  for (const std::string& subkey : registry.SubkeyNames(machine, kUninstallKey)) {
    auto name = registry.ReadString(machine, std::string(kUninstallKey) + "\\" + subkey,
                                    "DisplayName");
    if (name && *name == state.title) {
      ShowError(ports, messages.Format(msg::kEntryInUse, {*name}));
      return false;
    }
  }
  return true;
}

std::string CommandProgramPath(std::string_view commandLine) {
  while (!commandLine.empty() && (commandLine.front() == ' ' || commandLine.front() == '\t')) {
    commandLine.remove_prefix(1);
  }
  if (!commandLine.empty() && commandLine.front() == '"') {
    commandLine.remove_prefix(1);
    return std::string(commandLine.substr(0, commandLine.find('"')));
  }
  return std::string(commandLine.substr(0, commandLine.find(' ')));
}

}  // namespace appsetup
