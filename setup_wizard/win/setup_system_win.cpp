#include "setup_wizard/win/setup_system_win.h"

#include <windows.h>
#include <setupapi.h>

#include <vector>

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

std::wstring Win32SetupSystem::systemDirectory() {
  wchar_t path[MAX_PATH + 1] = {};
  const UINT n = ::GetSystemDirectoryW(path, MAX_PATH + 1);
  return n > 0 && n <= common::kMaxPathChars ? std::wstring(path, n) : std::wstring();
}

bool Win32SetupSystem::exists(const std::wstring& path) {
  return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::optional<uint64_t> Win32SetupSystem::productVersion(const std::wstring& path) {
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

bool Win32SetupSystem::copyFile(const std::wstring& from, const std::wstring& to) {
  if (::CopyFileW(from.c_str(), to.c_str(), FALSE)) return true;
  // A read-only copy of an older version is still ours to replace.
  const DWORD attributes = ::GetFileAttributesW(to.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_READONLY)) return false;
  ::SetFileAttributesW(to.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
  return ::CopyFileW(from.c_str(), to.c_str(), FALSE) != FALSE;
}

bool Win32SetupSystem::deletePath(const std::wstring& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = ::GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
  }
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return ::RemoveDirectoryW(path.c_str()) != FALSE;
  if (attributes & FILE_ATTRIBUTE_READONLY) ::SetFileAttributesW(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
  return ::DeleteFileW(path.c_str()) != FALSE;
}

SetupSystem::Run Win32SetupSystem::runAndWait(const std::wstring& program, const std::wstring& commandLine) {
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

void Win32SetupSystem::sleep(int ms) { ::Sleep(static_cast<DWORD>(ms)); }

bool Win32SetupSystem::devicePresent(const std::wstring& description, const std::wstring& hardwareId) {
  DeviceList list(::SetupDiGetClassDevsW(nullptr, nullptr, nullptr, DIGCF_ALLCLASSES | DIGCF_PRESENT));
  if (list.get() == INVALID_HANDLE_VALUE) return false;
  SP_DEVINFO_DATA device{};
  device.cbSize = sizeof device;
  for (DWORD i = 0; ::SetupDiEnumDeviceInfo(list.get(), i, &device); ++i) {
    const std::vector<wchar_t> text = DeviceProperty(list.get(), device, SPDRP_DEVICEDESC);
    if (text.empty() || CompareNoCase(text.data(), description) != 0) continue;
    const std::vector<wchar_t> ids = DeviceProperty(list.get(), device, SPDRP_HARDWAREID);
    for (const wchar_t* id = ids.data(); !ids.empty() && *id != L'\0'; id += wcslen(id) + 1) {
      if (HardwareIdMatches(id, hardwareId)) return true;
    }
  }
  return false;
}

}  // namespace setup_wizard::win
