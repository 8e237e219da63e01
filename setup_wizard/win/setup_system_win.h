// The SetupSystem port over the real API: system directory, version resources, file copies and
// deletions, service programs started and waited for, and the device search of the set-up API.
#pragma once

#include "setup_wizard/deletion_sequence.h"
#include "setup_wizard/services.h"

namespace setup_wizard::win {

class Win32SetupSystem final : public SetupSystem {
 public:
  std::wstring SystemDirectory() override;
  bool Exists(const std::wstring& path) override;
  std::optional<uint64_t> ProductVersion(const std::wstring& path) override;
  bool CopyOneFile(const std::wstring& from, const std::wstring& to) override;
  bool DeletePath(const std::wstring& path) override;
  Run RunAndWait(const std::wstring& program, const std::wstring& commandLine) override;
  void Sleep(int ms) override;
  bool DevicePresent(const std::wstring& description, const std::wstring& hardwareId) override;
};

// The DeletionSystem port over the real API: device removal through the set-up API, the Inf
// folder, SetupUninstallOEMInfW looked up at run time, and the machine's RunOnce key.
class Win32DeletionSystem final : public DeletionSystem {
 public:
  std::wstring WindowsDirectory() override;
  DeviceRemoval RemoveDevices(const std::wstring& description, const std::wstring& hardwareId) override;
  std::vector<std::wstring> FindFiles(const std::wstring& directory, const std::wstring& pattern) override;
  std::optional<std::string> ReadBytes(const std::wstring& path) override;
  bool UninstallOemInf(const std::wstring& fileName) override;
  bool SetRunOnce(const std::wstring& name, const std::wstring& command) override;
  std::wstring ProgramPath() override;
};

}  // namespace setup_wizard::win
