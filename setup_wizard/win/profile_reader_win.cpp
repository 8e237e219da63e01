#include "setup_wizard/win/profile_reader_win.h"

#include <algorithm>
#include <vector>

#include "common/win/ansi.h"
#include "common/win/file_bytes.h"
#include "common/win/handles.h"
#include "common/win_path.h"

namespace setup_wizard::win {

namespace {

// Key lists beyond this are not a plausible information file; reading stops there.
constexpr DWORD kMaxListChars = 1u << 22;
// Licence texts beyond this are refused rather than shown in part.
constexpr LONGLONG kMaxLicenseBytes = 16ll << 20;
// Information files beyond this are left to the profile functions rather than held in memory.
constexpr LONGLONG kMaxProfileBytes = 16ll << 20;

common::win::UniqueFile OpenForReading(const std::wstring& path) {
  return common::win::UniqueFile(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                               nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

}  // namespace

std::wstring Win32ProfileFile::ReadString(std::wstring_view section, std::wstring_view key,
                                          std::wstring_view def) const {
  // The reader's value buffer: a value of 4,095 characters or more fills it and reads as empty.
  std::vector<wchar_t> buffer(ProfileReader::kValueChars, L'\0');
  const std::wstring s(section), k(key), d(def);
  const DWORD n = ::GetPrivateProfileStringW(s.c_str(), k.c_str(), d.c_str(), buffer.data(),
                                             static_cast<DWORD>(buffer.size()), path_.c_str());
  return std::wstring(buffer.data(), std::min<size_t>(n, buffer.size() - 1));
}

int Win32ProfileFile::ReadInt(std::wstring_view section, std::wstring_view key, int def) const {
  const std::wstring s(section), k(key);
  return static_cast<int>(::GetPrivateProfileIntW(s.c_str(), k.c_str(), def, path_.c_str()));
}

std::vector<std::wstring> Win32ProfileFile::ReadKeyNames(std::wstring_view section) const {
  const std::wstring s(section);
  std::vector<wchar_t> buffer;
  DWORD n = 0;
  // A truncated list comes back as size - 2; grow in steps of 1,024 characters until it fits.
  for (DWORD size = ProfileReader::kValueChars;; size += 1024) {
    buffer.assign(size, L'\0');
    n = ::GetPrivateProfileStringW(s.c_str(), nullptr, L"", buffer.data(), size, path_.c_str());
    if (n < size - 2) break;
    if (size >= kMaxListChars) return {};
  }
  std::vector<std::wstring> names;
  for (size_t at = 0; at < n && buffer[at] != L'\0';) {
    std::wstring name(buffer.data() + at);
    at += name.size() + 1;
    names.push_back(std::move(name));
  }
  return names;
}

std::wstring DecodeProfileBytes(std::string_view bytes) {
  if (IniTextProfile::HasByteOrderMark(bytes)) return IniTextProfile::DecodeBytes(bytes);
  return common::win::AnsiToWide(bytes);
}

std::unique_ptr<ProfileSource> Win32SetupFiles::OpenProfile(const std::wstring& path) {
  if (reading_ == ProfileReading::ValueByValue) return std::make_unique<Win32ProfileFile>(path);
  // A missing, locked or huge file goes to the profile functions, which have their own answer.
  const std::optional<std::string> bytes = common::win::ReadFileBytes(path, kMaxProfileBytes);
  if (!bytes) return std::make_unique<Win32ProfileFile>(path);
  return std::make_unique<IniTextProfile>(DecodeProfileBytes(*bytes));
}

bool Win32SetupFiles::CanRead(const std::wstring& path) { return static_cast<bool>(OpenForReading(path)); }

std::optional<std::wstring> Win32SetupFiles::ReadAnsiText(const std::wstring& path) {
  const std::optional<std::string> bytes = common::win::ReadFileBytes(path, kMaxLicenseBytes);
  if (!bytes) return std::nullopt;
  return common::win::AnsiToWide(*bytes);
}

std::wstring ModuleDirectory(HMODULE module) {
  wchar_t path[MAX_PATH + 1] = {};
  const DWORD n = ::GetModuleFileNameW(module, path, MAX_PATH + 1);
  if (n == 0 || n > common::kMaxPathChars) return {};  // a cut-off path would be another folder
  return common::DirectoryOf(std::wstring(path, n));
}

std::unique_ptr<SetupInformation> CreateSetupInformation(HMODULE module) {
  return std::make_unique<SetupInformation>(ModuleDirectory(module), std::make_unique<Win32SetupFiles>());
}

}  // namespace setup_wizard::win
