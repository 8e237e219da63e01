// What the installer's information-file logic reads from the outside world. Every text is in the
// ANSI code page. The Win32 adapters are in win/port_adapters.h; tests plug in-memory fakes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app_installer/ansi_path.h"

namespace appsetup {

// Private-profile ("ini") files, read as the system reads them: values trimmed of surrounding
// blanks, a missing file, section or key reading as empty text.
class ProfilePort {
 public:
  virtual ~ProfilePort() = default;
  // The whole value, however long (the logic decides what is too long).
  virtual std::string ReadString(const std::string& file, const std::string& section,
                                 const std::string& key) = 0;
  // The value's leading decimal digits (optionally signed); `fallback` when the key is missing.
  virtual int ReadInt(const std::string& file, const std::string& section, const std::string& key,
                      int fallback) = 0;
};

enum class RegistryRoot { CurrentUser, LocalMachine, ClassesRoot };

class RegistryPort {
 public:
  virtual ~RegistryPort() = default;
  // Whether the key can be opened for reading.
  virtual bool KeyExists(RegistryRoot root, const std::string& subkey) = 0;
  // A text value (REG_SZ or REG_EXPAND_SZ, not expanded); nullopt when the key or value is
  // missing or holds something else.
  virtual std::optional<std::string> ReadString(RegistryRoot root, const std::string& subkey,
                                                const std::string& name) = 0;
  // Names of the key's immediate subkeys; empty when it cannot be opened.
  virtual std::vector<std::string> SubkeyNames(RegistryRoot root, const std::string& subkey) = 0;
};

class FileSystemPort {
 public:
  virtual ~FileSystemPort() = default;
  virtual bool FileExists(const std::string& path) = 0;       // a file, not a folder
  virtual bool DirectoryExists(const std::string& path) = 0;  // a folder
  // The absolute form of a path as the system makes it ("." and ".." resolved, '/' made '\');
  // empty when that fails.
  virtual std::string FullPath(const std::string& path) = 0;
};

class SystemPort {
 public:
  virtual ~SystemPort() = default;
  virtual std::string SystemDirectory() = 0;   // without trailing backslash
  virtual std::string WindowsDirectory() = 0;  // without trailing backslash
  virtual uint16_t UiLanguage() = 0;           // language id of the running user interface
  virtual CodePage AnsiCodePage() = 0;
};

enum class MessageIcon { None, Error, Warning, Question, Information };
enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MessageAnswer { Ok, Cancel, Yes, No };
// An owner window as an opaque number; 0 for none.
using WindowRef = std::uintptr_t;

class MessageBoxPort {
 public:
  virtual ~MessageBoxPort() = default;
  // An empty caption leaves the system's default caption.
  virtual MessageAnswer Show(WindowRef owner, const std::string& text, const std::string& caption,
                             MessageIcon icon, MessageButtons buttons) = 0;
};

enum class Language { English, Japanese, TraditionalChinese };

// The program's string table; one translation per language.
class StringTablePort {
 public:
  virtual ~StringTablePort() = default;
  // The text with that number in that language, nullopt when that translation lacks it.
  virtual std::optional<std::string> Load(Language language, int number) = 0;
};

// The ports the loader needs, bundled.
struct Ports {
  ProfilePort& profile;
  RegistryPort& registry;
  FileSystemPort& files;
  SystemPort& system;
  MessageBoxPort& boxes;
};

}  // namespace appsetup
