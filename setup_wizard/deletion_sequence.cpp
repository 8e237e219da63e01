#include "setup_wizard/deletion_sequence.h"

#include <algorithm>

#include "common/win_path.h"

namespace setup_wizard {

namespace abi = support_abi;

namespace {

// The spooler gets a moment to stop and to come back before the driver is tried again.
constexpr int kSpoolerPauseMs = 1000;
constexpr wchar_t kSpooler[] = L"spooler";
// Deleting a printer processor: keep its files when another printer still uses it.
constexpr uint32_t kDeleteProcessorFlags = 1;
constexpr int kAttempts = 3;

bool EqualNoCase(std::wstring_view a, std::wstring_view b) { return CompareNoCase(a, b) == 0; }

}  // namespace

std::vector<OtherOsEntry> OtherOsEntries(int osHighByte) {
  switch (osHighByte) {
    case 4:
      return {{0, 0}};
    case 8:
    case 9:
    case 11:
      return {{0, 0}, {2, 0}, {3, 0}};
    case 5:
    case 6:
    case 10:
      return {{0, 0}, {2, 0}, {3, 1}};
    default:  // 7 and everything below 4 share no drivers
      return {};
  }
}

DeletionSequence::Step DeletionSequence::Checkpoint() {
  progress_.CheckCancel();
  return progress_.Cancelled() ? Step::kCancel : Step::kGoOn;
}

DeletionOutcome DeletionSequence::Run() {
  if (!progress_.WaitUntilReady()) return DeletionOutcome::kCancelled;
  progress_.Page().SetButtons(kOfferNone, false);
  progress_.Show(kStringDeletePreparing);
  installedModels_ = InstalledModels(library_, info_);

  Step result = Checkpoint();
  if (result == Step::kGoOn) result = PrinterDriver();
  if (result == Step::kGoOn) result = OtherOsDrivers();
  if (result == Step::kGoOn) result = Checkpoint();
  if (result == Step::kGoOn) result = PortMonitors();
  if (result == Step::kGoOn && selections_.installedModelCount <= 1) {
    result = Checkpoint();
    if (result == Step::kGoOn) result = OptionServices();
  }
  return progress_.end(result == Step::kStop, kStringDeleteComplete, kStringDeleteCanceled);
}

// --- printer driver ----------------------------------------------------------------------------

DeletionSequence::Step DeletionSequence::PrinterDriver() {
  if (Checkpoint() == Step::kCancel) return Step::kCancel;
  info_.LoadDriver(selections_.modelPos);
  const DriverRecord driver = info_.Driver();
  progress_.Show(kStringDeleteDriver);
  RecordBuilder records;
  const abi::DriverRecord record = records.Driver(driver, DriverFields::kDelete);
  bool deleted = false;
  for (int attempt = 1; attempt <= kAttempts && !deleted; ++attempt) {
    deleted = library_.DeletePrinterDriver(driver.name.c_str(), &record, abi::kDeleteDriverFlags, 0) == 1;
    if (deleted || attempt == kAttempts) break;
    if (attempt == 1) {
      progress_.Show(kStringRestartSpooler);
      library_.StopService(kSpooler);
      system_.Sleep(kSpoolerPauseMs);
      library_.StartService(kSpooler);
      system_.Sleep(kSpoolerPauseMs);
      continue;
    }
    // Still in use: finish after a restart of Windows, or leave it for now.
    const bool later = progress_.Ask(progress_.Page().String(kStringDriverInUse),
                                     progress_.Page().String(kStringRestartWindows),
                                     progress_.Page().String(kStringContinueLater));
    if (progress_.Cancelled()) return Step::kCancel;
    if (later) {
      progress_.SetCancelled();
      return Step::kCancel;
    }
    windows_.SetRunOnce(info_.ProductName(), windows_.ProgramPath());
    library_.RestartSystem();
  }
  if (!deleted) return Step::kStop;
  if (!driver.printProcessorName.empty()) {
    const abi::ProcessorRecord processor = records.Processor(driver);
    library_.DeletePrintProcessor(driver.printProcessorName.c_str(), &processor, kDeleteProcessorFlags);
  }
  return Step::kGoOn;
}

// --- drivers of other systems ------------------------------------------------------------------

DeletionSequence::Step DeletionSequence::OtherOsDrivers() {
  const int osHigh = (library_.GetOsVersionCode() >> 8) & 0xFF;
  for (const OtherOsEntry& entry : OtherOsEntries(osHigh)) {
    if (OtherOsDriver(entry) == Step::kCancel) return Step::kCancel;
  }
  return Step::kGoOn;
}

DeletionSequence::Step DeletionSequence::OtherOsDriver(const OtherOsEntry& entry) {
  const int code = info_.OtherOsCode(entry.shareNo, selections_.modelPos, entry.is64);
  if (code == 0) return Step::kGoOn;
  const bool loaded = info_.Load(code << 8, progress_.Page().String(kStringInfoFileName)) == 1;
  Step step = Checkpoint();
  if (step == Step::kGoOn && loaded && info_.LoadDriver(selections_.modelPos) == 1) {
    const DriverRecord& driver = info_.Driver();
    progress_.Show(kStringDeleteDriver);
    RecordBuilder records;
    const abi::DriverRecord record = records.Driver(driver, DriverFields::kOtherOsDelete);
    library_.DeletePrinterDriver(driver.name.c_str(), &record, abi::kDeleteDriverFlags, static_cast<uint32_t>(code << 8));
  }
  // Back to the running system before anything else reads the information, also after a cancel.
  ReloadRunningSystem();
  return step;
}

void DeletionSequence::ReloadRunningSystem() {
  info_.Load(library_.GetOsVersionCode(), progress_.Page().String(kStringInfoFileName));
}

// --- port monitors -----------------------------------------------------------------------------

bool DeletionSequence::OtherInstalledModelUses(const std::wstring& monitor) {
  for (int model : installedModels_) {
    if (model == selections_.modelPos) continue;
    for (int i = 0; i < info_.PortMonitorCount(model); ++i) {
      if (EqualNoCase(info_.PortMonitorName(model, i), monitor)) return true;
    }
  }
  return false;
}

DeletionSequence::Step DeletionSequence::PortMonitors() {
  const int d = selections_.modelPos;
  bool lastFailed = false;
  for (int i = 0; i < info_.PortMonitorCount(d) && !progress_.Cancelled(); ++i) {
    info_.LoadPortMonitor(d, i);
    const std::wstring name = info_.PortMonitor().name;
    if (name.empty() || OtherInstalledModelUses(name)) continue;
    Step step = Step::kGoOn;
    lastFailed = !DeletePortMonitor(i, step);
    if (step == Step::kCancel) return Step::kCancel;
  }
  if (progress_.Cancelled()) return Step::kCancel;
  if (lastFailed) {
    progress_.Show(kStringMonitorNotDeleted);
    return Step::kStop;
  }
  return Step::kGoOn;
}

bool DeletionSequence::DeletePortMonitor(int monitor, Step& step) {
  const PortMonitorRecord record = info_.PortMonitor();
  progress_.Show(kStringDeleteMonitor);
  RecordBuilder records;
  const abi::MonitorRecord abiRecord = records.PortMonitor(record);
  bool deleted = library_.DeletePortMonitor(record.name.c_str(), &abiRecord, abi::kDeleteMonitorFlags) == 1;
  if (!deleted) {
    int32_t written = abi::kStatusUnset;
    library_.GetLastSupportStatus(&written);
    if (written != abi::kStatusMonitorInUse) {
      step = UsbDriversOf(monitor);
      return false;
    }
    const bool force = progress_.Ask(progress_.Page().String(kStringPortInUse), progress_.Page().String(kStringKeepMonitor),
                                     progress_.Page().String(kStringDeletePort));
    if (progress_.Cancelled()) {
      step = Step::kCancel;
      return false;
    }
    if (!force) return true;  // the user keeps the monitor
    progress_.Show(kStringDeleteMonitor);
    deleted = library_.DeletePortMonitor(record.name.c_str(), &abiRecord, abi::kDeleteMonitorForcedFlags) == 1;
    if (!deleted) return false;
  }
  step = UsbDriversOf(monitor);
  return true;
}

// --- USB devices and driver files --------------------------------------------------------------

DeletionSequence::Step DeletionSequence::UsbDriversOf(int monitor) {
  const int d = selections_.modelPos;
  // A monitor that is still installed keeps its devices and drivers.
  if (library_.IsPortMonitorInstalled(info_.PortMonitorName(d, monitor).c_str(), 0) == 1) return Step::kGoOn;
  for (int j = 0; j < info_.UsbDriverCount(d, monitor); ++j) {
    if (Checkpoint() == Step::kCancel) return Step::kCancel;
    info_.LoadUsbDriver(d, monitor, j);
    const UsbDriverRecord usb = info_.UsbDriver();
    progress_.Show(kStringDeleteUsb);
    const DeletionSystem::DeviceRemoval removal = windows_.RemoveDevices(usb.name, usb.hardwareIds);
    if (removal.enumerated && removal.allRemoved) DeleteDriverFiles(usb);
    UninstallOemCopies(usb);
  }
  return Step::kGoOn;
}

void DeletionSequence::DeleteDriverFiles(const UsbDriverRecord& usb) {
  const std::wstring drivers = common::JoinPath(common::JoinPath(windows_.WindowsDirectory(), L"System32"), L"Drivers");
  std::vector<std::wstring> files;
  if (!usb.driverFile.empty()) files.push_back(usb.driverFile);
  files.insert(files.end(), usb.dependFiles.begin(), usb.dependFiles.end());
  for (const std::wstring& file : files) {
    const std::wstring path = common::JoinPath(drivers, common::FileNameOf(file));
    if (!system_.DeletePath(path)) system_.DeletePath(path);
  }
}

void DeletionSequence::UninstallOemCopies(const UsbDriverRecord& usb) {
  if (usb.infFile.empty()) return;
  const std::wstring source = usb.sourceDirectory + usb.infFile;
  if (!system_.Exists(source)) return;
  const std::optional<std::string> original = windows_.ReadBytes(source);
  if (!original) return;
  const std::wstring infDirectory = common::JoinPath(windows_.WindowsDirectory(), L"Inf");
  for (const std::wstring& name : windows_.FindFiles(infDirectory, L"oem*.inf")) {
    const std::wstring path = common::JoinPath(infDirectory, name);
    const std::optional<std::string> copy = windows_.ReadBytes(path);
    if (!copy || *copy != *original) continue;
    if (windows_.UninstallOemInf(name)) continue;
    system_.DeletePath(path);
    system_.DeletePath(path.substr(0, path.size() - 4) + L".pnf");
  }
}

// --- option UI services ------------------------------------------------------------------------

bool DeletionSequence::ServiceInUse(const std::wstring& name) {
  for (int m = 0; m < info_.DriverCount(); ++m) {
    const std::wstring driverName = info_.DriverName(m);
    if (info_.PrinterOptionServiceName(m) == name &&
        library_.IsPrinterDriverInstalled(driverName.c_str(), 0) == 1) {
      return true;
    }
    if (info_.LanguageMonitorOptionServiceName(m) == name) {
      info_.LoadDriver(m);
      const DriverRecord& driver = info_.Driver();
      if (library_.QueryMonitorFile(driver.langMonName.c_str(), abi::kQueryInstalledFile, driver.langMonFile.c_str(),
                                    nullptr) == 1) {
        return true;
      }
    }
    for (int i = 0; i < info_.PortMonitorCount(m); ++i) {
      info_.LoadPortMonitor(m, i);
      const PortMonitorRecord& monitor = info_.PortMonitor();
      if (monitor.optionUi.serviceName == name && library_.IsPortMonitorInstalled(monitor.name.c_str(), 0) == 1) {
        return true;
      }
    }
  }
  return false;
}

DeletionSequence::Step DeletionSequence::OptionServices() {
  progress_.Show(kStringDeleteServices);
  const int d = selections_.modelPos;
  const std::wstring directory = system_.SystemDirectory();

  // Collected first: the in-use test below refills the current records.
  std::vector<OptionUiService> services;
  info_.LoadDriver(d);
  services.push_back(info_.Driver().printerOptionUi);
  services.push_back(info_.Driver().langMonOptionUi);
  for (int i = 0; i < info_.PortMonitorCount(d); ++i) {
    info_.LoadPortMonitor(d, i);
    OptionUiService service = info_.PortMonitor().optionUi;
    // A port monitor's service goes by the name of the section that describes it.
    service.serviceName = service.section;
    services.push_back(service);
  }

  bool allRemoved = true;
  for (const OptionUiService& service : services) {
    if (Checkpoint() == Step::kCancel) return Step::kCancel;
    if (service.serviceName.empty() || ServiceInUse(service.serviceName)) continue;
    if (RemoveOptionService(library_, system_, service.serviceName, directory, service.file, service.dependFiles) != 1) {
      allRemoved = false;
    }
  }
  if (!allRemoved) {
    progress_.Show(kStringServiceNotDeleted);
    return Step::kStop;
  }
  return Step::kGoOn;
}

}  // namespace setup_wizard
