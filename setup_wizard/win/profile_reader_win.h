// The information file through the real profile API, and the file services around it.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "setup_wizard/setup_information.h"

namespace setup_wizard::win {

// GetPrivateProfileStringW / GetPrivateProfileIntW on one file.
class Win32ProfileFile final : public ProfileSource {
 public:
  explicit Win32ProfileFile(std::wstring path) : path_(std::move(path)) {}
  std::wstring readString(std::wstring_view section, std::wstring_view key,
                          std::wstring_view def) const override;
  int readInt(std::wstring_view section, std::wstring_view key, int def) const override;
  std::vector<std::wstring> readKeyNames(std::wstring_view section) const override;

 private:
  std::wstring path_;
};

class Win32SetupFiles final : public SetupFiles {
 public:
  std::unique_ptr<ProfileSource> openProfile(const std::wstring& path) override;
  bool canRead(const std::wstring& path) override;
  std::optional<std::wstring> readAnsiText(const std::wstring& path) override;
};

// Directory of `module` without a trailing backslash; empty when it does not fit a path.
std::wstring ModuleDirectory(HMODULE module);

// The information object for the wizard module `module` (its directory holds KVSetup.ini).
std::unique_ptr<SetupInformation> CreateSetupInformation(HMODULE module);

}  // namespace setup_wizard::win
