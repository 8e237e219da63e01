// The installation sequence the worker thread runs after the wizard's Finish: option UI services,
// USB drivers, the wait for the printer, port monitors, the port, the driver and the printer.
#pragma once

#include <string>

#include "setup_wizard/install_pages.h"
#include "setup_wizard/progress.h"
#include "setup_wizard/services.h"
#include "setup_wizard/setup_app.h"

namespace setup_wizard {

using InstallOutcome = RunOutcome;

class InstallSequence {
 public:
  InstallSequence(WizardRun& run, const InstallSelections& selections, ProgressRun& progress, SetupSystem& system)
      : library_(run.library), info_(run.information), selections_(selections), progress_(progress),
        system_(system) {}

  // Runs every step in order and leaves the end text with Finish offered.
  InstallOutcome Run();

  // The port that was created or chosen (after `run`).
  const std::wstring& PortName() const { return portName_; }

 private:
  enum class Step { kGoOn, kStop, kCancel };
  // The cancellation check before a step; kCancel when the user confirmed.
  Step Checkpoint();
  Step Stop(int stringId);
  Step Services();
  Step UsbDrivers();
  Step DeviceWait();
  Step PortMonitors();
  Step Port();
  Step DriverAndPrinter();
  // An installed monitor older than the media's: replaced silently when it can be, else the user
  // decides. kCancel when the user aborts.
  Step OldMonitorCheck(const std::wstring& name, const support_abi::MonitorRecord& record, const std::wstring& file,
                       const std::wstring& newDirectory);
  std::wstring ChooseDataType(const std::wstring& processor, const std::wstring& wanted);

  SupportLibrary& library_;
  SetupInformation& info_;
  const InstallSelections& selections_;
  ProgressRun& progress_;
  SetupSystem& system_;
  std::wstring portName_;
};

// The data type among `offered` for `wanted`: equal ignoring case, else the first beginning with it
// (ignoring case), else none.
std::wstring PickDataType(const std::vector<std::wstring>& offered, const std::wstring& wanted);

}  // namespace setup_wizard
