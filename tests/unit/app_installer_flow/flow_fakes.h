// In-memory disk, profile, registry writer, links, boxes and copying page for the flow tests.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "app_installer/install_ports.h"
#include "tests/unit/app_installer/fakes.h"

namespace appsetup::testing {

struct FakeFile {
  std::string content;
  uint64_t time = 0;
  bool readOnly = false;
  bool locked = false;  // open elsewhere without sharing
};

// Paths compare without case; relative names resolve against `current`.
class FakeDisk : public FileSystemPort, public ProfilePort, public DiskPort {
 public:
  std::string current = "D:\\pkg\\";
  std::optional<uint64_t> freeBytes = uint64_t{1} << 40;
  std::set<std::string> unmakeable;  // folders whose creation fails
  std::map<std::string, FakeFile> files;
  std::set<std::string> dirs;
  std::map<std::string, std::map<std::string, std::string>> ini;  // "file|section" -> key -> value

  // Junctions: link folder -> target folder (both as Full() gives them). A path through a link
  // reaches the target, as on a real disk.
  std::map<std::string, std::string> junctions;
  std::set<std::string> undeletable;  // files whose deletion fails (open elsewhere)
  std::set<std::string> unremovable;  // folders whose removal fails

  std::string Full(const std::string& path) const {
    std::string full = RootLength(CodePage{}, path) > 0 ? Lower(path) : Lower(current + path);
    for (const auto& [link, target] : junctions) {
      if (full.starts_with(link + "\\")) return target + full.substr(link.size());
    }
    return full;
  }
  void AddJunction(const std::string& link, const std::string& target) {
    dirs.insert(Full(link));
    junctions[Full(link)] = Full(target);
  }
  void Put(const std::string& path, const std::string& content, uint64_t time) {
    files[Full(path)] = {content, time};
  }
  FakeFile* Find(const std::string& path) {
    auto it = files.find(Full(path));
    return it == files.end() ? nullptr : &it->second;
  }
  void SetIni(const std::string& file, const std::string& section, const std::string& key,
              const std::string& value) {
    ini[Lower(file) + "|" + Lower(section)][Lower(key)] = value;
  }

  // ProfilePort
  std::string ReadString(const std::string& file, const std::string& section,
                         const std::string& key) override {
    auto s = ini.find(Lower(file) + "|" + Lower(section));
    if (s == ini.end()) return "";
    auto k = s->second.find(Lower(key));
    return k == s->second.end() ? "" : k->second;
  }
  int ReadInt(const std::string& file, const std::string& section, const std::string& key,
              int fallback) override {
    const std::string value = ReadString(file, section, key);
    return value.empty() ? fallback : std::atoi(value.c_str());
  }

  // FileSystemPort
  bool FileExists(const std::string& path) override { return Find(path) != nullptr; }
  bool DirectoryExists(const std::string& path) override {
    return IsRootDirectory(CodePage{}, path) || dirs.count(Full(path)) > 0;
  }
  std::string FullPath(const std::string& path) override {
    return RootLength(CodePage{}, path) > 0 ? path : current + path;
  }

  // DiskPort
  bool CreateFolder(const std::string& path) override {
    if (unmakeable.count(Full(path)) || dirs.count(Full(path))) return false;
    created.push_back(path);
    dirs.insert(Full(path));
    return true;
  }
  bool RemoveFolder(const std::string& path) override {
    removed.push_back(path);
    const std::string full = Full(path);
    if (unremovable.count(full)) return false;
    const std::string prefix = full + "\\";
    for (const std::string& dir : dirs) {
      if (dir.starts_with(prefix)) return false;
    }
    for (const auto& [name, file] : files) {
      if (name.starts_with(prefix)) return false;
    }
    junctions.erase(full);
    return dirs.erase(full) > 0;
  }
  CopyOutcome CopyFile(const std::string& from, const std::string& to, bool overwrite) override {
    FakeFile* source = Find(from);
    if (source == nullptr) return CopyOutcome::Failed;
    if (FakeFile* target = Find(to)) {
      if (!overwrite) return CopyOutcome::DestinationExists;
      if (target->locked) return CopyOutcome::SharingViolation;
      if (target->readOnly) return CopyOutcome::Failed;
    }
    FakeFile copy = *source;
    copy.locked = false;
    files[Full(to)] = copy;
    return CopyOutcome::Copied;
  }
  std::optional<uint64_t> LastWriteTime(const std::string& path) override {
    FakeFile* file = Find(path);
    if (file == nullptr) return std::nullopt;
    return file->time;
  }
  bool SetNormalAttributes(const std::string& path) override {
    FakeFile* file = Find(path);
    if (file == nullptr) return false;
    file->readOnly = false;
    return true;
  }
  std::optional<uint64_t> FreeBytes(const std::string& root) override {
    freeQueries.push_back(root);
    return freeBytes;
  }
  std::vector<std::string> Subfolders(const std::string& folder) override {
    std::vector<std::string> names;
    const std::string prefix = Full(folder) + "\\";
    for (const std::string& dir : dirs) {
      if (dir.starts_with(prefix) && dir.find('\\', prefix.size()) == std::string::npos) {
        names.push_back(dir.substr(prefix.size()));
      }
    }
    return names;
  }

  std::vector<FolderItem> List(const std::string& folder) override {
    std::vector<FolderItem> items;
    const std::string prefix = Full(folder) + "\\";
    auto direct = [&](const std::string& path) {
      return path.starts_with(prefix) && path.find('\\', prefix.size()) == std::string::npos;
    };
    for (const std::string& dir : dirs) {
      if (direct(dir)) items.push_back({dir.substr(prefix.size()), true, junctions.count(dir) > 0});
    }
    for (const auto& [name, file] : files) {
      if (direct(name)) items.push_back({name.substr(prefix.size()), false, false});
    }
    return items;
  }
  bool DeleteFile(const std::string& path) override {
    deleted.push_back(path);
    if (undeletable.count(Full(path))) return false;
    return files.erase(Full(path)) > 0;
  }

  std::vector<std::string> deleted;
  std::vector<std::string> created;
  std::vector<std::string> removed;
  std::vector<std::string> freeQueries;
};

struct ShownBox {
  std::string text;
  std::string caption;
  MessageIcon icon;
  MessageButtons buttons;
};

class ScriptedBoxes : public MessageBoxPort {
 public:
  std::vector<ShownBox> shown;
  MessageAnswer answer = MessageAnswer::Ok;
  MessageAnswer Show(WindowRef, const std::string& text, const std::string& caption,
                     MessageIcon icon, MessageButtons buttons) override {
    shown.push_back({text, caption, icon, buttons});
    return buttons == MessageButtons::YesNo && answer == MessageAnswer::Ok ? MessageAnswer::Yes : answer;
  }
  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (const ShownBox& box : shown) texts.push_back(box.text);
    return texts;
  }
};

// Every message reads "#<number>" followed by its values, so tests see which one was used.
class NumberedStrings : public StringTablePort {
 public:
  std::optional<std::string> Load(Language, int number) override {
    if (number == msg::kLowDiskSpace) return "#14 %u";
    if (number == msg::kMainFileLocked) return "#28 %s|%s";
    if (number == msg::kInstallSucceeded || number == msg::kRootDirectory ||
        number == msg::kNeedDriveAndPath || number == msg::kBadRegEntry ||
        number == msg::kCloseResidentApps || number == msg::kRelayFailed) {
      return "#" + std::to_string(number);
    }
    return "#" + std::to_string(number) + " %s";
  }
};

// Keys by path (the root is not told apart), each with its values; a key's subkeys are the keys
// below it, enumerated in path order.
class WrittenRegistry : public RegistryWriterPort {
 public:
  std::map<std::string, std::map<std::string, std::string>> keys;
  std::set<std::string> undeletable;  // lower-case paths whose deletion fails

  // Adds a key and every level above it.
  void AddKey(const std::string& path) {
    for (size_t at = path.find('\\'); at != std::string::npos; at = path.find('\\', at + 1)) {
      keys[path.substr(0, at)];
    }
    keys[path];
  }
  bool Has(const std::string& path) const {
    return std::any_of(keys.begin(), keys.end(), [&](const auto& key) { return Lower(key.first) == Lower(path); });
  }
  std::vector<std::string> Children(const std::string& path) const {
    std::vector<std::string> names;
    const std::string prefix = Lower(path) + "\\";
    for (const auto& [key, values] : keys) {
      const std::string lower = Lower(key);
      if (lower.starts_with(prefix) && lower.find('\\', prefix.size()) == std::string::npos) {
        names.push_back(key.substr(prefix.size()));
      }
    }
    return names;
  }

  bool WriteStrings(RegistryRoot root, const std::string& subkey,
                    const std::vector<std::pair<std::string, std::string>>& values) override {
    for (const auto& [name, value] : values) keys[subkey][name] = value;
    return true;
  }
  bool OpensForDeletion(RegistryRoot, const std::string& subkey) override { return Has(subkey); }
  std::optional<std::string> SubkeyAt(RegistryRoot, const std::string& subkey, uint32_t index) override {
    enumerated.push_back(subkey + "#" + std::to_string(index));
    const std::vector<std::string> names = Children(subkey);
    if (index >= names.size()) return std::nullopt;
    return names[index];
  }
  bool DeleteKey(RegistryRoot, const std::string& subkey) override {
    if (!Children(subkey).empty() || undeletable.count(Lower(subkey))) return false;
    return std::erase_if(keys, [&](const auto& key) { return Lower(key.first) == Lower(subkey); }) > 0;
  }

  std::vector<std::string> enumerated;  // "key#index" of every enumeration call
};

class SavedLinks : public ShellLinkPort {
 public:
  std::vector<ShortcutFile> saved;
  void Create(const std::vector<ShortcutFile>& links) override {
    saved.insert(saved.end(), links.begin(), links.end());
  }
};

class RecordedCopyingPage : public CopyingView {
 public:
  int range = -1;
  int position = 0;
  bool progressVisible = true;
  bool noteVisible = false;
  bool onlyFinish = false;
  std::string status;
  std::string note = "default note";
  void SetProgressRange(int maximum) override { range = maximum; }
  void AdvanceProgress() override { ++position; }
  void HideProgress() override { progressVisible = false; }
  void SetStatusText(const std::string& text) override { status = text; }
  void SetNoteText(const std::string& text) override { note = text; }
  void ShowNote() override { noteVisible = true; }
  void EnableOnlyFinish() override { onlyFinish = true; }
};

// A ready installer state and context over the fakes: the package in D:\pkg, installing to
// C:\Apps\Tool\.
struct FlowFixture {
  FakeDisk disk;
  FakeRegistry registry;
  FakeSystem system;
  ScriptedBoxes boxes;
  NumberedStrings strings;
  WrittenRegistry written;
  SavedLinks links;
  Ports ports{disk, registry, disk, system, boxes};
  InstallPorts install{disk, written, links};
  Messages messages{strings, Language::English};
  InstallerState state;
  InstallContext ctx{{state, ports, messages}, install};

  FlowFixture() {
    state.programPath = "D:\\pkg\\appsetup.exe";
    state.sourceDirectory = "D:\\pkg\\";
    state.programName = "appsetup.exe";
    state.infoFilePath = "D:\\pkg\\appsetupE.INF";
    state.infoFileName = "appsetupE.INF";
    state.title = "Tool";
    state.installationFolder = "C:\\Apps\\Tool\\";
    state.installationKey = "Tool";
    state.menuFolder = "C:\\Menu\\Programs\\Tool";
    disk.dirs.insert("d:\\pkg");
    disk.Put("appsetup.exe", "installer v2", 200);
    disk.Put("appsetupE.INF", "info", 200);
    registry.Set(RegistryRoot::CurrentUser, kShellFoldersKey, "Start Menu", "C:\\Menu");
    registry.Set(RegistryRoot::CurrentUser, kShellFoldersKey, "Startup", "C:\\Menu\\Programs\\Startup");
    registry.Set(RegistryRoot::CurrentUser, kShellFoldersKey, "Desktop", "C:\\Desk");
  }

  // [Install] file entries 1..n.
  void AddEntries(const std::vector<std::string>& entries) {
    for (size_t i = 0; i < entries.size(); ++i) {
      disk.SetIni(state.infoFilePath, kInstallSection, std::to_string(i + 1), entries[i]);
    }
    state.fileEntryCount = static_cast<int>(entries.size());
  }
};

}  // namespace appsetup::testing
