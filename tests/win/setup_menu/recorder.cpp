// A stand-in for the programs the setup menu starts: appends its arguments as one line to
// record.txt beside itself, so a test can read which commands ran and in which order.
// With the argument "monitor-install" it also registers an uninstall entry, as the application
// installer does: "TestMenuMonitor", whose command runs this program with "monitor-uninstall".
#include <windows.h>

#include <string>

#include "common/text.h"
#include "common/win/handles.h"

namespace {

std::wstring OwnPath() {
  wchar_t path[MAX_PATH * 2] = L"";
  const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH * 2);
  return std::wstring(path, length);
}

void Append(const std::wstring& file, const std::string& line) {
  common::win::UniqueFile out(::CreateFileW(file.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                            FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  if (out) ::WriteFile(out.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

void RegisterUninstallEntry(const std::wstring& self) {
  const std::wstring command = L"\"" + self + L"\" monitor-uninstall";
  common::win::UniqueHkey key;
  // The view of this build, as the installer of the same build registers.
  if (::RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\TestMenuMonitor",
                        0, nullptr, 0, KEY_SET_VALUE, nullptr, key.put(), nullptr) == ERROR_SUCCESS) {
    ::RegSetValueExW(key.get(), L"UninstallString", 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                     static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
  }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR arguments, int) {
  const std::wstring self = OwnPath();
  const std::wstring line = arguments ? arguments : L"";
  if (line == L"monitor-install") RegisterUninstallEntry(self);
  Append(self.substr(0, self.find_last_of(L'\\') + 1) + L"record.txt", common::WideToUtf8(line) + "\n");
  return 7;  // an exit code the menu must not care about
}
