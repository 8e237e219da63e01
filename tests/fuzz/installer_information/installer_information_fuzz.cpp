// The application installer's information file: loading it into the installer state (with an
// existing uninstall entry taken from the same text), then every file, shortcut and registry
// entry through the resolvers. Input: byte 0 picks the code page and the folders; the rest is
// the file, read through the same in-memory profile parser the wizard's native tests use.
#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app_installer/entry_resolver.h"
#include "app_installer/information_file.h"
#include "app_installer/messages.h"
#include "fuzz_check.h"
#include "setup_wizard/profile_reader.h"

using namespace appsetup;

namespace {

// Byte for byte, built whole: a character at a time was a tenth of a run.
std::wstring Widen(std::string_view text) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  return std::wstring(bytes, bytes + text.size());
}

std::string Narrow(std::wstring_view text) {
  std::string out(text.size(), '\0');
  for (size_t i = 0; i < text.size(); ++i) out[i] = static_cast<char>(text[i]);
  return out;
}

// Every information-file name reads the one fuzzed text; [Fuzz] holds the test's own settings.
class Profile : public ProfilePort {
 public:
  explicit Profile(std::string_view text) : ini_(Widen(text)) {}
  std::string ReadString(const std::string&, const std::string& section, const std::string& key) override {
    return Narrow(ini_.ReadString(Widen(section), Widen(key), L""));
  }
  int ReadInt(const std::string&, const std::string& section, const std::string& key, int fallback) override {
    return ini_.ReadInt(Widen(section), Widen(key), fallback);
  }

 private:
  setup_wizard::IniTextProfile ini_;
};

class Registry : public RegistryPort {
 public:
  std::map<std::string, std::map<std::string, std::string>> keys;  // HKLM and HKCU alike
  bool KeyExists(RegistryRoot, const std::string& subkey) override { return keys.count(subkey) != 0; }
  std::optional<std::string> ReadString(RegistryRoot, const std::string& subkey, const std::string& name) override {
    auto key = keys.find(subkey);
    if (key == keys.end() || !key->second.count(name)) return std::nullopt;
    return key->second.at(name);
  }
  std::vector<std::string> SubkeyNames(RegistryRoot, const std::string& subkey) override {
    std::vector<std::string> names;
    for (const auto& [path, values] : keys) {
      if (path.size() > subkey.size() + 1 && path.starts_with(subkey + "\\")) names.push_back(path.substr(subkey.size() + 1));
    }
    return names;
  }
};

// Every folder exists; FullPath keeps the path as it is.
class Files : public FileSystemPort {
 public:
  bool FileExists(const std::string&) override { return true; }
  bool DirectoryExists(const std::string&) override { return true; }
  std::string FullPath(const std::string& path) override { return path; }
};

class System : public SystemPort {
 public:
  CodePage codePage;
  std::string windows = "C:\\WINDOWS";
  std::string SystemDirectory() override { return windows + "\\system32"; }
  std::string WindowsDirectory() override { return windows; }
  uint16_t UiLanguage() override { return 0x0409; }
  CodePage AnsiCodePage() override { return codePage; }
};

class Boxes : public MessageBoxPort {
 public:
  int shown = 0;
  MessageAnswer Show(WindowRef, const std::string&, const std::string&, MessageIcon, MessageButtons) override {
    ++shown;
    return MessageAnswer::Ok;
  }
};

class Strings : public StringTablePort {
 public:
  std::optional<std::string> Load(Language, int number) override {
    if (number == 1) return "Damaged file, or NO Information file.";
    if (number == 2) return "The uninstall entry already used by '%s'. Please uninstall it.";
    if (number == 37) return "E.INF";
    return std::nullopt;
  }
};

bool HasSeparator(const CodePage& cp, std::string_view text) {
  return FindChar(cp, text, '\\') != std::string_view::npos || FindChar(cp, text, '/') != std::string_view::npos;
}

constexpr int kMaxVisited = 8;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* input, size_t size) {
  if (size < 1) return 0;
  const std::string_view text(reinterpret_cast<const char*>(input) + 1, size - 1);
  Profile profile(text);
  Registry registry;
  Files files;
  System system;
  Boxes boxes;
  if (input[0] & 1) {  // Shift-JIS lead bytes, whose trail bytes may equal '\'
    system.codePage.SetLeadByteRange(0x81, 0x9F);
    system.codePage.SetLeadByteRange(0xE0, 0xFC);
  }
  const bool longBase = input[0] & 2;
  registry.keys[kCurrentVersionKey]["ProgramFilesDir"] =
      longBase ? "C:\\" + std::string(200, 'p') : (input[0] & 4 ? "\\\\srv\\share\\Apps" : "C:\\Program Files");
  registry.keys[kShellFoldersKey] = {{"Programs", "C:\\Menu\\Programs"},
                                     {"Start Menu", "C:\\Menu"},
                                     {"Common Programs", "C:\\All\\Programs"},
                                     {"Common Start Menu", "C:\\All"},
                                     {"Desktop", "C:\\U\\Desktop"},
                                     {"Personal", "C:\\U\\Docs"}};
  // An earlier installation, as the uninstall list would hold it.
  const std::string entryKey = profile.ReadString("", "Fuzz", "EntryKey");
  if (!entryKey.empty()) {
    auto& values = registry.keys[std::string(kUninstallKey) + "\\" + entryKey];
    for (const char* name : {"DisplayName", "UninstallString", "MenuDir"}) {
      const std::string value = profile.ReadString("", "Fuzz", name);
      if (!value.empty()) values[name] = value;
    }
  }
  std::string programPath = profile.ReadString("", "Fuzz", "ProgramPath");
  if (programPath.empty()) programPath = "D:\\Setup\\appsetup.exe";

  Strings strings;
  const Messages messages(strings, Language::English);
  const Ports ports{profile, registry, files, system, boxes};
  InstallerState state;
  const bool loaded = LoadInformationFile(state, programPath, ports, messages);
  FUZZ_CHECK(loaded ? boxes.shown == 0 : boxes.shown == 1);  // a refusal always says why
  if (!loaded) return 0;

  const CodePage& cp = state.codePage;
  FUZZ_CHECK(!state.title.empty() && state.title.size() <= kMaxTitleChars);
  FUZZ_CHECK(state.installationFolder.size() <= kMaxPathChars);
  FUZZ_CHECK(EndsWithSeparator(cp, state.installationFolder));
  FUZZ_CHECK(RootLength(cp, state.installationFolder) > 0);
  FUZZ_CHECK(state.menuFolder.size() <= kMaxPathChars);
  FUZZ_CHECK(!state.installationKey.empty() && !HasSeparator(cp, state.installationKey));
  FUZZ_CHECK(state.infoFilePath.size() <= kMaxPathChars);

  // The uninstall command written at installation leads back to the installed program.
  const std::string installed = InstalledProgram(state);
  if (installed.find('"') == std::string::npos) FUZZ_CHECK(CommandProgramPath(UninstallCommand(state)) == installed);

  for (int n = kInstallerEntry; n <= std::min(state.fileEntryCount, kMaxVisited) + 1; ++n) {
    state.sourceBuffer = state.destinationBuffer = "untouched";
    const FileEntry entry = ResolveFileEntry(state, n, profile, system);
    switch (entry.status) {
      case EntryStatus::Resolved:
        FUZZ_CHECK(!entry.source.empty() && n <= state.fileEntryCount);
        FUZZ_CHECK(entry.source.size() <= kMaxPathChars && entry.destination.size() <= kMaxPathChars);
        FUZZ_CHECK(state.sourceBuffer == entry.source && state.destinationBuffer == entry.destination);
        break;
      case EntryStatus::TooLong:
        FUZZ_CHECK(entry.source.size() > kMaxPathChars || entry.destination.size() > kMaxPathChars);
        FUZZ_CHECK(state.sourceBuffer == "untouched" && state.destinationBuffer == "untouched");
        break;
      case EntryStatus::Missing:
        FUZZ_CHECK(entry.source.empty() && entry.destination.empty());
        FUZZ_CHECK(state.sourceBuffer == "untouched");
        break;
    }
    if (!entry.outsideSystemDirectory) FUZZ_CHECK(entry.destination.starts_with(system.SystemDirectory()));
  }

  for (int n = 0; n <= std::min(state.groupEntryCount, kMaxVisited) + 1; ++n) {
    const GroupEntry group = ReadGroupEntry(state, profile, n);
    FUZZ_CHECK(FindChar(cp, group.name, ',') == std::string::npos);
    if (group.targetText.empty()) FUZZ_CHECK(group.name.empty());
    else FUZZ_CHECK(group.targetText.starts_with(state.installationFolder));
    const Shortcut shortcut = ResolveShortcut(state, n, ports);
    if (shortcut.status == EntryStatus::Missing) continue;
    FUZZ_CHECK(!Trim(shortcut.name).empty());
    FUZZ_CHECK(shortcut.workingDirectory.size() <= kMaxPathChars);
    FUZZ_CHECK(shortcut.arguments == Trim(shortcut.arguments) && shortcut.target == Trim(shortcut.target));
    if (shortcut.status == EntryStatus::Resolved) {
      FUZZ_CHECK(shortcut.target.size() <= kMaxPathChars);
      for (const IconLocation& icon : shortcut.icons) FUZZ_CHECK(icon.file.size() <= kMaxPathChars && icon.index >= 0);
    }
  }
  FUZZ_CHECK(state.uninstallShortcutName.size() <= text.size());

  for (int n = 1; n <= kMaxVisited; ++n) {
    const std::string value = profile.ReadString("", kRegSection, std::to_string(n));
    const std::optional<RegistryEntry> entry = ParseRegistryEntry(value);
    if (!entry) continue;
    // Never a whole hive: something names a key below the root.
    FUZZ_CHECK(!entry->subkey.empty() && entry->subkey.find_first_not_of("\\/ \t") != std::string::npos);
    FUZZ_CHECK(value.starts_with("HKEY_") && value.ends_with(entry->subkey));
  }
  return 0;
}
