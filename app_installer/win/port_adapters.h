// The information-file ports on the real ANSI Win32 API.
#pragma once

#include <windows.h>

#include "app_installer/ports.h"

namespace appsetup::win {

class WinProfile final : public ProfilePort {
 public:
  std::string ReadString(const std::string& file, const std::string& section,
                         const std::string& key) override;
  int ReadInt(const std::string& file, const std::string& section, const std::string& key,
              int fallback) override;
};

class WinRegistry final : public RegistryPort {
 public:
  bool KeyExists(RegistryRoot root, const std::string& subkey) override;
  std::optional<std::string> ReadString(RegistryRoot root, const std::string& subkey,
                                        const std::string& name) override;
  std::vector<std::string> SubkeyNames(RegistryRoot root, const std::string& subkey) override;
};

HKEY RootKey(RegistryRoot root);

class WinFileSystem final : public FileSystemPort {
 public:
  bool FileExists(const std::string& path) override;
  bool DirectoryExists(const std::string& path) override;
  std::string FullPath(const std::string& path) override;
};

class WinSystem final : public SystemPort {
 public:
  std::string SystemDirectory() override;
  std::string WindowsDirectory() override;
  uint16_t UiLanguage() override;  // the calling thread's user-interface language
  CodePage AnsiCodePage() override;
};

class WinMessageBoxes final : public MessageBoxPort {
 public:
  MessageAnswer Show(WindowRef owner, const std::string& text, const std::string& caption,
                     MessageIcon icon, MessageButtons buttons) override;
};

// The string table of a module, looked up in exactly the language asked for and converted to the
// ANSI code page.
class WinStringTable final : public StringTablePort {
 public:
  explicit WinStringTable(HMODULE module) : module_(module) {}
  std::optional<std::string> Load(Language language, int number) override;

 private:
  HMODULE module_;
};

// The language id of each translation in the string table.
LANGID LanguageIdOf(Language language);

}  // namespace appsetup::win
