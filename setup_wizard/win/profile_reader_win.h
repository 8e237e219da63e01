// The information file through the real profile API, and the file services around it.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <string_view>

#include "setup_wizard/setup_information.h"

namespace setup_wizard::win {

// GetPrivateProfileStringW / GetPrivateProfileIntW on one file: the reference the wizard's reading
// is checked against, and its fallback for a file it cannot load whole.
class Win32ProfileFile final : public ProfileSource {
 public:
  explicit Win32ProfileFile(std::wstring path) : path_(std::move(path)) {}
  std::wstring ReadString(std::wstring_view section, std::wstring_view key,
                          std::wstring_view def) const override;
  int ReadInt(std::wstring_view section, std::wstring_view key, int def) const override;
  std::vector<std::wstring> ReadKeyNames(std::wstring_view section) const override;

 private:
  std::wstring path_;
};

// How profile files are read.
enum class ProfileReading {
  // The file read once and parsed in memory by the profile functions' rules: the wizard's way. Each
  // call of those functions searches the file's sections one by one, so a large information file
  // (some 1,500 sections) read value by value takes a noticeable time before the first page appears.
  WholeFile,
  // Every value through the profile functions: the reference the wizard's reading is held against.
  ValueByValue,
};

class Win32SetupFiles final : public SetupFiles {
 public:
  explicit Win32SetupFiles(ProfileReading reading = ProfileReading::WholeFile) : reading_(reading) {}
  std::unique_ptr<ProfileSource> OpenProfile(const std::wstring& path) override;
  bool CanRead(const std::wstring& path) override;
  std::optional<std::wstring> ReadAnsiText(const std::wstring& path) override;

 private:
  ProfileReading reading_;
};

// Profile file bytes as the profile functions read them: a byte-order mark selects UTF-8 or
// UTF-16, anything else is in the ANSI code page.
std::wstring DecodeProfileBytes(std::string_view bytes);

// Directory of `module` without a trailing backslash; empty when it does not fit a path.
std::wstring ModuleDirectory(HMODULE module);

// The information object for the wizard module `module` (its directory holds KVSetup.ini).
std::unique_ptr<SetupInformation> CreateSetupInformation(HMODULE module);

}  // namespace setup_wizard::win
