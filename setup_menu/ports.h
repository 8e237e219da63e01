// What the setup menu needs from the outside world. The Win32 adapters are in win/; tests plug in
// in-memory fakes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace setup_menu {

class MenuDialog;

// The running system's version as it reports it.
struct OsVersion {
  bool ntFamily = true;  // false for the Windows 95/98 family
  unsigned major = 0;
  unsigned minor = 0;
};

class SystemPort {
 public:
  virtual ~SystemPort() = default;
  virtual std::wstring CommandLine() = 0;
  virtual std::wstring CurrentDirectory() = 0;
  virtual uint16_t DefaultLanguage() = 0;           // the system default language identifier
  virtual std::optional<OsVersion> Version() = 0;   // nullopt when it cannot be read
  // Whether the process is a 32-bit one under emulation on 64-bit Windows (asked at run time), and
  // so sees the 32-bit programs' registry view kept apart from the native one.
  virtual bool SeparateRegistryView() = 0;
};

class FilePort {
 public:
  virtual ~FilePort() = default;
  // The file's bytes; nullopt when it cannot be opened, read or closed.
  virtual std::optional<std::string> ReadAll(const std::wstring& path) = 0;
};

class RegistryPort {
 public:
  virtual ~RegistryPort() = default;
  // A text value under HKEY_LOCAL_MACHINE as stored, whatever its length; nullopt when the key or
  // value is missing or holds no text.
  virtual std::optional<std::wstring> LocalMachineText(const std::wstring& subkey, const std::wstring& name) = 0;
};

class ProcessPort {
 public:
  virtual ~ProcessPort() = default;
  // Starts the command line as a new process, waits until it is idle for input and then until it
  // ends. A command that cannot be started is left at that; the exit code is not used.
  virtual void RunAndWait(const std::wstring& commandLine, bool inheritHandles) = 0;
};

class MessageBoxPort {
 public:
  virtual ~MessageBoxPort() = default;
  // No owner, an OK button.
  virtual void Show(const std::wstring& text, const std::wstring& caption) = 0;
};

class StringTablePort {
 public:
  virtual ~StringTablePort() = default;
  virtual std::wstring Load(int id) = 0;  // empty when missing
};

enum class Language { English = 0, Japanese = 1, Chinese = 2 };

class DialogPort {
 public:
  virtual ~DialogPort() = default;
  // Shows the menu dialog of that language modally, with `logic` handling its events; returns
  // when the logic has closed it.
  virtual void Show(Language language, MenuDialog& logic) = 0;
};

struct Ports {
  SystemPort& system;
  FilePort& files;
  RegistryPort& registry;
  ProcessPort& processes;
  MessageBoxPort& boxes;
  StringTablePort& strings;
  DialogPort& dialog;
};

}  // namespace setup_menu
