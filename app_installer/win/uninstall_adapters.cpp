#include "app_installer/win/uninstall_adapters.h"

#include <vector>

#include "common/win/handles.h"

namespace appsetup::win {

using common::win::UniqueHandle;

bool WinProcesses::StartAndWaitUntilIdle(const std::string& program, const std::string& commandLine,
                                         const std::string& directory) {
  SetCurrentDirectoryA(directory.c_str());
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  std::string line = commandLine;  // CreateProcessA may write into it
  // The program is named apart from the line, so a blank in its path cannot split it.
  if (!CreateProcessA(program.c_str(), line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                      &startup, &info)) {
    return false;
  }
  UniqueHandle process(info.hProcess);
  UniqueHandle thread(info.hThread);
  if (!process) return false;
  thread.reset();
  WaitForInputIdle(process.get(), INFINITE);
  return true;
}

bool WinRestart::DeleteAtRestart(const std::string& path) {
  return MoveFileExA(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) != FALSE;
}

std::string WinRestart::ShortPath(const std::string& path) {
  char buffer[MAX_PATH];
  const DWORD length = GetShortPathNameA(path.c_str(), buffer, MAX_PATH);
  return length > 0 && length < MAX_PATH ? std::string(buffer, length) : path;
}

std::string WinRestart::ReadSection(const std::string& file, const std::string& section,
                                    size_t capacity) {
  std::vector<char> buffer(capacity, '\0');
  const DWORD length = GetPrivateProfileSectionA(section.c_str(), buffer.data(),
                                                 static_cast<DWORD>(capacity), file.c_str());
  return std::string(buffer.data(), length);
}

bool WinRestart::WriteSection(const std::string& file, const std::string& section,
                              const std::string& lines) {
  // c_str() adds the second zero that ends the list.
  return WritePrivateProfileSectionA(section.c_str(), lines.c_str(), file.c_str()) != FALSE;
}

bool WinRestart::WriteString(const std::string& file, const std::string& section,
                             const std::string& key, const std::string& value) {
  return WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), file.c_str()) != FALSE;
}

}  // namespace appsetup::win
