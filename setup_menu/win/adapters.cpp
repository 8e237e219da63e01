#include "setup_menu/win/adapters.h"

#include <vector>

#include "common/win/file_bytes.h"
#include "common/win/handles.h"
#include "common/win/resource_text.h"

namespace setup_menu::win {

using common::win::UniqueHandle;
using common::win::UniqueHkey;

std::wstring Win32System::CommandLine() { return ::GetCommandLineW(); }

std::wstring Win32System::CurrentDirectory() {
  std::wstring folder(::GetCurrentDirectoryW(0, nullptr), L'\0');
  folder.resize(::GetCurrentDirectoryW(static_cast<DWORD>(folder.size()), folder.data()));
  return folder;
}

uint16_t Win32System::DefaultLanguage() { return ::GetSystemDefaultLangID(); }

std::optional<OsVersion> Win32System::Version() {
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof info;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  // The version as the manifest lets the system report it (see setup.manifest).
  if (!::GetVersionExW(&info)) return std::nullopt;
#pragma GCC diagnostic pop
  return OsVersion{info.dwPlatformId == VER_PLATFORM_WIN32_NT, info.dwMajorVersion, info.dwMinorVersion};
}

bool Win32System::SeparateRegistryView() {
  // Only a 32-bit process on 64-bit Windows sees the separate view (and the 64-bit slot): a 64-bit
  // build reads the native uninstall entries, where the installer of its own build registers.
  // Looked up at run time: older systems have no such function, and then no emulation either.
  using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, PBOOL);
  const auto isWow64Process = reinterpret_cast<IsWow64ProcessFn>(
      reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32"), "IsWow64Process")));
  BOOL wow64 = FALSE;
  return isWow64Process && isWow64Process(::GetCurrentProcess(), &wow64) && wow64;
}

std::optional<std::string> Win32Files::ReadAll(const std::wstring& path) {
  // A configuration file is a few kilobytes; anything this large is not one.
  constexpr LONGLONG kLargest = 4 << 20;
  return common::win::ReadFileBytes(path, kLargest);
}

std::optional<std::wstring> Win32Registry::LocalMachineText(const std::wstring& subkey, const std::wstring& name) {
  UniqueHkey key;
  if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, subkey.c_str(), 0, KEY_QUERY_VALUE, key.put()) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  DWORD type = 0;
  DWORD size = 0;
  if (::RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ)) {
    return std::nullopt;
  }
  std::vector<wchar_t> value(size / sizeof(wchar_t) + 1, L'\0');
  size = static_cast<DWORD>(value.size() * sizeof(wchar_t));
  if (::RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(value.data()), &size) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  // Stored with or without its terminator: the text ends at the first one.
  return std::wstring(value.data(), ::wcsnlen(value.data(), size / sizeof(wchar_t)));
}

void Win32Processes::RunAndWait(const std::wstring& commandLine, bool inheritHandles) {
  std::wstring writable = commandLine;  // CreateProcessW may write into its command line
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!::CreateProcessW(nullptr, writable.data(), nullptr, nullptr, inheritHandles, 0, nullptr, nullptr, &startup,
                        &info)) {
    return;
  }
  UniqueHandle process(info.hProcess);
  UniqueHandle thread(info.hThread);
  // Idle for input first; a program that never reads input, or has ended, stops this wait too.
  while (::WaitForInputIdle(process.get(), 500) == WAIT_TIMEOUT &&
         ::WaitForSingleObject(process.get(), 0) == WAIT_TIMEOUT) {
  }
  ::WaitForSingleObject(process.get(), INFINITE);
  DWORD exitCode = 0;
  ::GetExitCodeProcess(process.get(), &exitCode);  // read and not used: the menu goes on regardless
}

void Win32MessageBoxes::Show(const std::wstring& text, const std::wstring& caption) {
  ::MessageBoxW(nullptr, text.c_str(), caption.c_str(), MB_OK);
}

std::wstring Win32Strings::Load(int id) { return common::win::LoadResourceText(module_, static_cast<UINT>(id)); }

}  // namespace setup_menu::win
