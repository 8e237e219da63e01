// The uninstallation's process and restart ports on the real ANSI Win32 API.
#pragma once

#include <windows.h>

#include "app_installer/install_ports.h"

namespace appsetup::win {

class WinProcesses final : public ProcessPort {
 public:
  bool StartAndWaitUntilIdle(const std::string& program, const std::string& commandLine,
                             const std::string& directory) override;
};

class WinRestart final : public RestartPort {
 public:
  bool DeleteAtRestart(const std::string& path) override;
  std::string ShortPath(const std::string& path) override;
  std::string ReadSection(const std::string& file, const std::string& section,
                          size_t capacity) override;
  bool WriteSection(const std::string& file, const std::string& section,
                    const std::string& lines) override;
  bool WriteString(const std::string& file, const std::string& section, const std::string& key,
                   const std::string& value) override;
};

}  // namespace appsetup::win
