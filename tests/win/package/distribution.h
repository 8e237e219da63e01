// The laid-out package the tests use: <build>\distribution, or the folder of the build tree that
// TPX_DISTRIBUTION names ("shipped": the package as it ships, laid out by a 64-bit build).
#pragma once

#include <windows.h>

#include <string>

#include "robot.h"

namespace package_test {

inline std::wstring Distribution() {
  wchar_t name[64] = {};
  const DWORD n = ::GetEnvironmentVariableW(L"TPX_DISTRIBUTION", name, 64);
  return robot::ProgramFolder() + L"\\..\\" + (n > 0 && n < 64 ? std::wstring(name, n) : L"distribution");
}

// True when the package's 32-bit programs cannot run here (64-bit Wine without its 32-bit half).
inline bool ThirtyTwoBitProgramsCannotRun() {
  DWORD type = 0;
  wchar_t runs[4] = {};
  return ::GetBinaryTypeW((Distribution() + L"\\setup.exe").c_str(), &type) && type == SCS_32BIT_BINARY &&
         ::GetEnvironmentVariableW(L"TPX_WINE32", runs, 4) == 1 && runs[0] == L'0';
}

}  // namespace package_test
