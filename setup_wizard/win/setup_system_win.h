// The SetupSystem port over the real API: system directory, version resources, file copies and
// deletions, service programs started and waited for, and the device search of the set-up API.
#pragma once

#include "setup_wizard/deletion_sequence.h"
#include "setup_wizard/services.h"

namespace setup_wizard::win {

class Win32SetupSystem final : public SetupSystem {
 public:
  std::wstring systemDirectory() override;
  bool exists(const std::wstring& path) override;
  std::optional<uint64_t> productVersion(const std::wstring& path) override;
  bool copyFile(const std::wstring& from, const std::wstring& to) override;
  bool deletePath(const std::wstring& path) override;
  Run runAndWait(const std::wstring& program, const std::wstring& commandLine) override;
  void sleep(int ms) override;
  bool devicePresent(const std::wstring& description, const std::wstring& hardwareId) override;
};

// The DeletionSystem port over the real API: device removal through the set-up API, the Inf
// folder, SetupUninstallOEMInfW looked up at run time, and the machine's RunOnce key.
class Win32DeletionSystem final : public DeletionSystem {
 public:
  std::wstring windowsDirectory() override;
  DeviceRemoval removeDevices(const std::wstring& description, const std::wstring& hardwareId) override;
  std::vector<std::wstring> findFiles(const std::wstring& directory, const std::wstring& pattern) override;
  std::optional<std::string> readBytes(const std::wstring& path) override;
  bool uninstallOemInf(const std::wstring& fileName) override;
  bool setRunOnce(const std::wstring& name, const std::wstring& command) override;
  std::wstring programPath() override;
};

}  // namespace setup_wizard::win
