// The deletion sequence the worker thread runs after the deletion wizard's Finish: the printer
// driver (with a spooler restart and a restart of Windows as fallbacks), its drivers for other
// systems, the port monitors with their USB devices and driver files, and the option UI services.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "setup_wizard/progress.h"
#include "setup_wizard/services.h"
#include "setup_wizard/setup_app.h"
#include "setup_wizard/uninstall_pages.h"

namespace setup_wizard {

// Port: what deletion needs from Windows besides the support library and SetupSystem.
class DeletionSystem {
 public:
  virtual ~DeletionSystem() = default;
  virtual std::wstring WindowsDirectory() = 0;  // without a trailing backslash
  struct DeviceRemoval {
    bool enumerated = true;  // the enumeration ended normally
    bool allRemoved = true;  // every matching device element was removed
  };
  // Removes every device element of all classes, present or not, whose description equals
  // `description` and one of whose hardware IDs matches `hardwareId` (see HardwareIdMatches).
  virtual DeviceRemoval RemoveDevices(const std::wstring& description, const std::wstring& hardwareId) = 0;
  // Names of the files in `directory` matching the wildcard `pattern`.
  virtual std::vector<std::wstring> FindFiles(const std::wstring& directory, const std::wstring& pattern) = 0;
  virtual std::optional<std::string> ReadBytes(const std::wstring& path) = 0;
  // Uninstalls an OEM information file by its name through the set-up API, forcing the deletion;
  // false when the API is missing or refuses.
  virtual bool UninstallOemInf(const std::wstring& fileName) = 0;
  // A string value under the machine's RunOnce key, run once at the next start of Windows.
  virtual bool SetRunOnce(const std::wstring& name, const std::wstring& command) = 0;
  // The full path of the running program.
  virtual std::wstring ProgramPath() = 0;
};

// Share entries of other systems whose drivers go with the model, by the running system's high
// byte: {share entry, 1 for the 64-bit table}.
struct OtherOsEntry {
  int shareNo;
  int is64;
};
std::vector<OtherOsEntry> OtherOsEntries(int osHighByte);

using DeletionOutcome = RunOutcome;

class DeletionSequence {
 public:
  DeletionSequence(WizardRun& run, const UninstallSelections& selections, ProgressRun& progress, SetupSystem& system,
                   DeletionSystem& windows)
      : library_(run.library), info_(run.information), selections_(selections), progress_(progress),
        system_(system), windows_(windows) {}

  // Runs every step in order and leaves the end text with Finish offered.
  DeletionOutcome Run();

 private:
  enum class Step { kGoOn, kStop, kCancel };
  Step Checkpoint();
  Step PrinterDriver();
  Step OtherOsDrivers();
  Step OtherOsDriver(const OtherOsEntry& entry);
  Step PortMonitors();
  // Deletes a monitor; true when it is gone or the user chose to keep it.
  bool DeletePortMonitor(int monitor, Step& step);
  Step UsbDriversOf(int monitor);
  void DeleteDriverFiles(const UsbDriverRecord& usb);
  void UninstallOemCopies(const UsbDriverRecord& usb);
  Step OptionServices();
  bool ServiceInUse(const std::wstring& name);
  // Loads the information file again for the running system.
  void ReloadRunningSystem();
  bool OtherInstalledModelUses(const std::wstring& monitor);

  SupportLibrary& library_;
  SetupInformation& info_;
  const UninstallSelections& selections_;
  ProgressRun& progress_;
  SetupSystem& system_;
  DeletionSystem& windows_;
  std::vector<int> installedModels_;
};

}  // namespace setup_wizard
