#include "setup_wizard/win/setup_system_win.h"

#include <windows.h>
#include <setupapi.h>

#include <vector>

#include "common/win/file_bytes.h"
#include "common/win/handles.h"
#include "common/win_path.h"
#include "setup_wizard/profile_reader.h"

namespace setup_wizard::win {

namespace {

class DeviceList {
 public:
  explicit DeviceList(HDEVINFO list) : list_(list) {}
  ~DeviceList() {
    if (list_ != INVALID_HANDLE_VALUE) ::SetupDiDestroyDeviceInfoList(list_);
  }
  DeviceList(const DeviceList&) = delete;
  DeviceList& operator=(const DeviceList&) = delete;
  HDEVINFO get() const { return list_; }

 private:
  HDEVINFO list_;
};

// A registry property of a device as UTF-16 characters (REG_SZ or REG_MULTI_SZ); empty when absent.
std::vector<wchar_t> DeviceProperty(HDEVINFO list, SP_DEVINFO_DATA& device, DWORD property) {
  DWORD bytes = 0;
  ::SetupDiGetDeviceRegistryPropertyW(list, &device, property, nullptr, nullptr, 0, &bytes);
  if (bytes == 0 || bytes > (1u << 16)) return {};
  // Two spare characters end the last string even when the stored value lacks its terminators.
  std::vector<wchar_t> value(bytes / sizeof(wchar_t) + 2, L'\0');
  if (!::SetupDiGetDeviceRegistryPropertyW(list, &device, property, nullptr, reinterpret_cast<BYTE*>(value.data()),
                                           bytes, nullptr)) {
    return {};
  }
  return value;
}

}  // namespace

std::wstring Win32SetupSystem::SystemDirectory() {
  wchar_t path[MAX_PATH + 1] = {};
  const UINT n = ::GetSystemDirectoryW(path, MAX_PATH + 1);
  return n > 0 && n <= common::kMaxPathChars ? std::wstring(path, n) : std::wstring();
}

bool Win32SetupSystem::Exists(const std::wstring& path) {
  return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::optional<uint64_t> Win32SetupSystem::ProductVersion(const std::wstring& path) {
  DWORD handle = 0;
  const DWORD bytes = ::GetFileVersionInfoSizeW(path.c_str(), &handle);
  if (bytes == 0) return std::nullopt;
  std::vector<BYTE> data(bytes);
  if (!::GetFileVersionInfoW(path.c_str(), 0, bytes, data.data())) return std::nullopt;
  VS_FIXEDFILEINFO* info = nullptr;
  UINT length = 0;
  if (!::VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&info), &length) || info == nullptr ||
      length < sizeof(VS_FIXEDFILEINFO)) {
    return std::nullopt;
  }
  return (static_cast<uint64_t>(info->dwProductVersionMS) << 32) | info->dwProductVersionLS;
}

bool Win32SetupSystem::CopyOneFile(const std::wstring& from, const std::wstring& to) {
  if (::CopyFileW(from.c_str(), to.c_str(), FALSE)) return true;
  // A read-only copy of an older version is still ours to replace.
  const DWORD attributes = ::GetFileAttributesW(to.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_READONLY)) return false;
  ::SetFileAttributesW(to.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
  return ::CopyFileW(from.c_str(), to.c_str(), FALSE) != FALSE;
}

bool Win32SetupSystem::DeletePath(const std::wstring& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = ::GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
  }
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return ::RemoveDirectoryW(path.c_str()) != FALSE;
  if (attributes & FILE_ATTRIBUTE_READONLY) ::SetFileAttributesW(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
  return ::DeleteFileW(path.c_str()) != FALSE;
}

SetupSystem::Run Win32SetupSystem::RunAndWait(const std::wstring& program, const std::wstring& commandLine) {
  std::wstring line = commandLine;  // CreateProcessW may write into its command line
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION process{};
  if (!::CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                        &process)) {
    const DWORD error = ::GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? Run::kMissing : Run::kFailed;
  }
  common::win::UniqueHandle processHandle(process.hProcess);
  common::win::UniqueHandle threadHandle(process.hThread);
  ::WaitForInputIdle(processHandle.get(), INFINITE);
  ::WaitForSingleObject(processHandle.get(), INFINITE);
  return Run::kEnded;
}

void Win32SetupSystem::Sleep(int ms) { ::Sleep(static_cast<DWORD>(ms)); }

namespace {

// Calls `found` for every device element of all classes (only present ones when `presentOnly`)
// whose description is `description` and one of whose hardware IDs matches `hardwareId`; stops
// when `found` returns false. False when the device list could not be had or its enumeration
// ended with an error.
template <typename Found>
bool ForEachMatchingDevice(bool presentOnly, const std::wstring& description, const std::wstring& hardwareId,
                           Found found) {
  DeviceList list(::SetupDiGetClassDevsW(nullptr, nullptr, nullptr, DIGCF_ALLCLASSES | (presentOnly ? DIGCF_PRESENT : 0)));
  if (list.get() == INVALID_HANDLE_VALUE) return false;
  SP_DEVINFO_DATA device{};
  device.cbSize = sizeof device;
  DWORD i = 0;
  for (; ::SetupDiEnumDeviceInfo(list.get(), i, &device); ++i) {
    const std::vector<wchar_t> text = DeviceProperty(list.get(), device, SPDRP_DEVICEDESC);
    if (text.empty() || CompareNoCase(text.data(), description) != 0) continue;
    const std::vector<wchar_t> ids = DeviceProperty(list.get(), device, SPDRP_HARDWAREID);
    for (const wchar_t* id = ids.data(); !ids.empty() && *id != L'\0'; id += wcslen(id) + 1) {
      if (!HardwareIdMatches(id, hardwareId)) continue;
      if (!found(list.get(), device)) return true;
      break;
    }
  }
  return ::GetLastError() == ERROR_NO_MORE_ITEMS;
}

}  // namespace

bool Win32SetupSystem::DevicePresent(const std::wstring& description, const std::wstring& hardwareId) {
  bool present = false;
  ForEachMatchingDevice(true, description, hardwareId, [&](HDEVINFO, SP_DEVINFO_DATA&) {
    present = true;
    return false;
  });
  return present;
}

std::wstring Win32DeletionSystem::WindowsDirectory() {
  wchar_t path[MAX_PATH + 1] = {};
  const UINT n = ::GetWindowsDirectoryW(path, MAX_PATH + 1);
  return n > 0 && n <= common::kMaxPathChars ? std::wstring(path, n) : std::wstring();
}

DeletionSystem::DeviceRemoval Win32DeletionSystem::RemoveDevices(const std::wstring& description,
                                                                 const std::wstring& hardwareId) {
  DeviceRemoval result;
  result.enumerated = ForEachMatchingDevice(false, description, hardwareId, [&](HDEVINFO list, SP_DEVINFO_DATA& device) {
    if (!::SetupDiRemoveDevice(list, &device)) result.allRemoved = false;
    return true;
  });
  return result;
}

std::vector<std::wstring> Win32DeletionSystem::FindFiles(const std::wstring& directory, const std::wstring& pattern) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW found{};
  common::win::UniqueFind search(::FindFirstFileW(common::JoinPath(directory, pattern).c_str(), &found));
  if (!search) return names;
  do {
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) names.emplace_back(found.cFileName);
  } while (::FindNextFileW(search.get(), &found));
  return names;
}

std::optional<std::string> Win32DeletionSystem::ReadBytes(const std::wstring& path) {
  // Information files are small; anything past this is not one of ours.
  constexpr LONGLONG kMaxBytes = 16 << 20;
  return common::win::ReadFileBytes(path, kMaxBytes);
}

bool Win32DeletionSystem::UninstallOemInf(const std::wstring& fileName) {
  // Looked up at run time: older systems lack it, and then the file is deleted by hand.
  using UninstallOemInf = BOOL(WINAPI*)(PCWSTR, DWORD, PVOID);
  common::win::UniqueModule setupApi(::LoadLibraryW(L"setupapi.dll"));
  if (!setupApi) return false;
  const auto uninstall =
      reinterpret_cast<UninstallOemInf>(reinterpret_cast<void*>(::GetProcAddress(setupApi.get(), "SetupUninstallOEMInfW")));
  constexpr DWORD kForceDelete = 0x0001;  // SUOI_FORCEDELETE
  return uninstall && uninstall(fileName.c_str(), kForceDelete, nullptr);
}

bool Win32DeletionSystem::SetRunOnce(const std::wstring& name, const std::wstring& command) {
  HKEY opened = nullptr;
  if (::RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce", 0, nullptr, 0,
                        KEY_ALL_ACCESS, nullptr, &opened, nullptr) != ERROR_SUCCESS) {
    return false;
  }
  common::win::UniqueHkey key(opened);
  // A string value's size counts its terminating character.
  const DWORD bytes = static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t));
  return ::RegSetValueExW(key.get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()), bytes) ==
         ERROR_SUCCESS;
}

std::wstring Win32DeletionSystem::ProgramPath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return {};
    if (n < path.size()) return path.substr(0, n);
    path.resize(path.size() * 2);
  }
}

}  // namespace setup_wizard::win
