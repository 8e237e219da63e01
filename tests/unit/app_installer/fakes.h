// In-memory stand-ins for the installer's ports. Names compare without case, as on Windows.
#pragma once

#include <algorithm>
#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "app_installer/messages.h"
#include "app_installer/ports.h"

namespace appsetup::testing {

inline std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
  return s;
}

// Files and folders, and the ini values of the files.
class FakeFiles : public FileSystemPort, public ProfilePort {
 public:
  void AddIni(const std::string& file, const std::string& section, const std::string& key,
              const std::string& value) {
    AddFile(file);
    ini_[{Lower(file), Lower(section), Lower(key)}] = value;
  }
  void AddFile(const std::string& path) { files_.insert(Lower(path)); }
  void AddDirectory(const std::string& path) { dirs_.insert(Lower(path)); }

  std::string ReadString(const std::string& file, const std::string& section,
                         const std::string& key) override {
    auto it = ini_.find({Lower(file), Lower(section), Lower(key)});
    return it == ini_.end() ? "" : it->second;
  }
  int ReadInt(const std::string& file, const std::string& section, const std::string& key,
              int fallback) override {
    const std::string text = ReadString(file, section, key);
    return text.empty() ? fallback : std::atoi(text.c_str());
  }
  bool FileExists(const std::string& path) override { return files_.count(Lower(path)) > 0; }
  bool DirectoryExists(const std::string& path) override { return dirs_.count(Lower(path)) > 0; }
  std::string FullPath(const std::string& path) override { return path; }

 private:
  std::set<std::string> files_, dirs_;
  std::map<std::tuple<std::string, std::string, std::string>, std::string> ini_;
};

class FakeRegistry : public RegistryPort {
 public:
  void Set(RegistryRoot root, const std::string& key, const std::string& name,
           const std::string& value) {
    keys_[{root, Lower(key)}][name] = value;
  }
  bool KeyExists(RegistryRoot root, const std::string& key) override {
    return keys_.count({root, Lower(key)}) > 0;
  }
  std::optional<std::string> ReadString(RegistryRoot root, const std::string& key,
                                        const std::string& name) override {
    auto values = keys_.find({root, Lower(key)});
    if (values == keys_.end() || !values->second.count(name)) return std::nullopt;
    return values->second.at(name);
  }
  std::vector<std::string> SubkeyNames(RegistryRoot root, const std::string& key) override {
    std::vector<std::string> names;
    const std::string prefix = Lower(key) + "\\";
    for (const auto& [id, values] : keys_) {
      const std::string rest = id.second.substr(std::min(prefix.size(), id.second.size()));
      if (id.first == root && id.second.starts_with(prefix) && rest.find('\\') == rest.npos) {
        names.push_back(rest);
      }
    }
    return names;
  }

 private:
  std::map<std::pair<RegistryRoot, std::string>, std::map<std::string, std::string>> keys_;
};

class FakeSystem : public SystemPort {
 public:
  std::string SystemDirectory() override { return "C:\\WINDOWS\\system32"; }
  std::string WindowsDirectory() override { return windowsDirectory; }
  uint16_t UiLanguage() override { return 0x0409; }
  CodePage AnsiCodePage() override { return {}; }
  std::string windowsDirectory = "C:\\WINDOWS";
};

class FakeBoxes : public MessageBoxPort {
 public:
  struct Box {
    std::string text;
    MessageIcon icon;
  };
  std::vector<Box> shown;
  MessageAnswer Show(WindowRef, const std::string& text, const std::string&, MessageIcon icon,
                     MessageButtons) override {
    shown.push_back({text, icon});
    return MessageAnswer::Ok;
  }
};

// The numbers of the program's table that the tests look at.
class FakeStrings : public StringTablePort {
 public:
  std::optional<std::string> Load(Language language, int number) override {
    static const std::map<std::pair<Language, int>, std::string> table = {
        {{Language::English, 1}, "Damaged file, or NO Information file."},
        {{Language::English, 2}, "The uninstall entry already used by '%s'. Please uninstall it."},
        {{Language::English, 37}, "E.INF"},
        {{Language::Japanese, 37}, "J.INF"},
        {{Language::TraditionalChinese, 37}, "ZT.INF"},
    };
    auto it = table.find({language, number});
    return it == table.end() ? std::nullopt : std::optional<std::string>(it->second);
  }
};

// Shift-JIS lead bytes are 0x81-0x9F and 0xE0-0xFC; "表" is 0x95 0x5C, its trail byte a '\'.
inline CodePage ShiftJisLike() {
  CodePage cp;
  cp.SetLeadByteRange(0x81, 0x9F);
  cp.SetLeadByteRange(0xE0, 0xFC);
  return cp;
}
inline const std::string kHyou = "\x95\x5C";

}  // namespace appsetup::testing
