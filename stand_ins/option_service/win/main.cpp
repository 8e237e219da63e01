// The option UI service stand-in: "<program> -install" registers the service this copy stands for
// with the support-library stand-in (InstallService, ordinal 75); "-remove" unregisters it (76).
//
// The support library is LMOSSUPW_LIBRARY, or LMOSSUPW.DLL along the search path. The service name
// comes from the [Services] section of the file OPTION_SERVICE_NAMES names (key: this program's
// file name), else it is the file name without its extension. Exit code 0 on success, 1 otherwise.
#include <windows.h>

#include <cstdint>
#include <exception>
#include <string>
#include <vector>

#include "common/win/handles.h"
#include "common/win_path.h"
#include "stand_ins/option_service/service_program.h"

namespace {

using InstallServiceFn = int32_t(__stdcall*)(const wchar_t* name, const wchar_t* program);
using DeleteServiceFn = int32_t(__stdcall*)(const wchar_t* name);

std::wstring Environment(const wchar_t* name) {
  wchar_t buffer[1024];
  const DWORD n = ::GetEnvironmentVariableW(name, buffer, ARRAYSIZE(buffer));
  return n > 0 && n < ARRAYSIZE(buffer) ? std::wstring(buffer, n) : std::wstring();
}

std::wstring OwnPath() {
  wchar_t path[MAX_PATH + 1] = {};
  const DWORD n = ::GetModuleFileNameW(nullptr, path, MAX_PATH + 1);
  return n > 0 && n <= MAX_PATH ? std::wstring(path, n) : std::wstring();
}

std::wstring ConfiguredName(const std::wstring& fileName) {
  const std::wstring names = Environment(L"OPTION_SERVICE_NAMES");
  if (names.empty()) return {};
  wchar_t value[256] = {};
  ::GetPrivateProfileStringW(L"Services", fileName.c_str(), L"", value, ARRAYSIZE(value), names.c_str());
  return value;
}

int Run(int argc, wchar_t** argv) {
  const std::vector<std::wstring> arguments(argv + 1, argv + argc);
  const option_service::Action action = option_service::ParseAction(arguments);
  if (action == option_service::Action::kUsage) return 1;
  const std::wstring self = OwnPath();
  const std::wstring fileName = common::FileNameOf(self);
  const std::wstring service = option_service::ServiceNameFor(fileName, ConfiguredName(fileName));

  std::wstring libraryPath = Environment(L"LMOSSUPW_LIBRARY");
  if (libraryPath.empty()) libraryPath = L"LMOSSUPW.DLL";
  common::win::UniqueModule library(::LoadLibraryW(libraryPath.c_str()));
  if (!library) return 1;
  if (action == option_service::Action::kInstall) {
    const auto install = reinterpret_cast<InstallServiceFn>(
        reinterpret_cast<void*>(::GetProcAddress(library.get(), MAKEINTRESOURCEA(75))));
    return install && install(service.c_str(), self.c_str()) == 1 ? 0 : 1;
  }
  const auto remove = reinterpret_cast<DeleteServiceFn>(
      reinterpret_cast<void*>(::GetProcAddress(library.get(), MAKEINTRESOURCEA(76))));
  return remove && remove(service.c_str()) == 1 ? 0 : 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  try {
    return Run(argc, argv);
  } catch (const std::exception&) {
    return 1;
  }
}
