// The setup menu's ports over the Win32 API.
#pragma once

#include <windows.h>

#include "setup_menu/ports.h"

namespace setup_menu::win {

class Win32System final : public SystemPort {
 public:
  std::wstring CommandLine() override;
  std::wstring CurrentDirectory() override;
  uint16_t DefaultLanguage() override;
  std::optional<OsVersion> Version() override;
  bool SeparateRegistryView() override;
};

class Win32Files final : public FilePort {
 public:
  std::optional<std::string> ReadAll(const std::wstring& path) override;
};

class Win32Registry final : public RegistryPort {
 public:
  std::optional<std::wstring> LocalMachineText(const std::wstring& subkey, const std::wstring& name) override;
};

class Win32Processes final : public ProcessPort {
 public:
  void RunAndWait(const std::wstring& commandLine, bool inheritHandles) override;
};

class Win32MessageBoxes final : public MessageBoxPort {
 public:
  void Show(const std::wstring& text, const std::wstring& caption) override;
};

class Win32Strings final : public StringTablePort {
 public:
  explicit Win32Strings(HINSTANCE module) : module_(module) {}
  std::wstring Load(int id) override;

 private:
  HINSTANCE module_;
};

}  // namespace setup_menu::win
