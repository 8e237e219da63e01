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

DeletionSequence::Step DeletionSequence::checkpoint() {
  progress_.checkCancel();
  return progress_.cancelled() ? Step::kCancel : Step::kGoOn;
}

DeletionOutcome DeletionSequence::run() {
  if (!progress_.waitUntilReady()) return DeletionOutcome::kCancelled;
  progress_.page().setButtons(kOfferNone, false);
  progress_.show(kStringDeletePreparing);
  installedModels_ = InstalledModels(library_, info_);

  Step result = checkpoint();
  if (result == Step::kGoOn) result = printerDriver();
  if (result == Step::kGoOn) result = otherOsDrivers();
  if (result == Step::kGoOn) result = checkpoint();
  if (result == Step::kGoOn) result = portMonitors();
  if (result == Step::kGoOn && selections_.installedModelCount <= 1) {
    result = checkpoint();
    if (result == Step::kGoOn) result = optionServices();
  }
  return progress_.end(result == Step::kStop, kStringDeleteComplete, kStringDeleteCanceled);
}

// --- printer driver ----------------------------------------------------------------------------

DeletionSequence::Step DeletionSequence::printerDriver() {
  if (checkpoint() == Step::kCancel) return Step::kCancel;
  info_.loadDriver(selections_.modelPos);
  const DriverRecord driver = info_.driver();
  progress_.show(kStringDeleteDriver);
  RecordBuilder records;
  const abi::DriverRecord record = records.Driver(driver, DriverFields::kDelete);
  bool deleted = false;
  for (int attempt = 1; attempt <= kAttempts && !deleted; ++attempt) {
    deleted = library_.DeletePrinterDriver(driver.name.c_str(), &record, abi::kDeleteDriverFlags, 0) == 1;
    if (deleted || attempt == kAttempts) break;
    if (attempt == 1) {
      progress_.show(kStringRestartSpooler);
      library_.StopService(kSpooler);
      system_.sleep(kSpoolerPauseMs);
      library_.StartService(kSpooler);
      system_.sleep(kSpoolerPauseMs);
      continue;
    }
    // Still in use: finish after a restart of Windows, or leave it for now.
    const bool later = progress_.ask(progress_.page().string(kStringDriverInUse),
                                     progress_.page().string(kStringRestartWindows),
                                     progress_.page().string(kStringContinueLater));
    if (progress_.cancelled()) return Step::kCancel;
    if (later) {
      progress_.setCancelled();
      return Step::kCancel;
    }
    windows_.setRunOnce(info_.productName(), windows_.programPath());
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

DeletionSequence::Step DeletionSequence::otherOsDrivers() {
  const int osHigh = (library_.GetOsVersionCode() >> 8) & 0xFF;
  for (const OtherOsEntry& entry : OtherOsEntries(osHigh)) {
    if (otherOsDriver(entry) == Step::kCancel) return Step::kCancel;
  }
  return Step::kGoOn;
}

DeletionSequence::Step DeletionSequence::otherOsDriver(const OtherOsEntry& entry) {
  const int code = info_.otherOsCode(entry.shareNo, selections_.modelPos, entry.is64);
  if (code == 0) return Step::kGoOn;
  const bool loaded = info_.load(code << 8, progress_.page().string(kStringInfoFileName)) == 1;
  Step step = checkpoint();
  if (step == Step::kGoOn && loaded && info_.loadDriver(selections_.modelPos) == 1) {
    const DriverRecord& driver = info_.driver();
    progress_.show(kStringDeleteDriver);
    RecordBuilder records;
    const abi::DriverRecord record = records.Driver(driver, DriverFields::kOtherOsDelete);
    library_.DeletePrinterDriver(driver.name.c_str(), &record, abi::kDeleteDriverFlags, static_cast<uint32_t>(code << 8));
  }
  // Back to the running system before anything else reads the information, also after a cancel.
  reloadRunningSystem();
  return step;
}

void DeletionSequence::reloadRunningSystem() {
  info_.load(library_.GetOsVersionCode(), progress_.page().string(kStringInfoFileName));
}

// --- port monitors -----------------------------------------------------------------------------

bool DeletionSequence::otherInstalledModelUses(const std::wstring& monitor) {
  for (int model : installedModels_) {
    if (model == selections_.modelPos) continue;
    for (int i = 0; i < info_.portMonitorCount(model); ++i) {
      if (EqualNoCase(info_.portMonitorName(model, i), monitor)) return true;
    }
  }
  return false;
}

DeletionSequence::Step DeletionSequence::portMonitors() {
  const int d = selections_.modelPos;
  bool lastFailed = false;
  for (int i = 0; i < info_.portMonitorCount(d) && !progress_.cancelled(); ++i) {
    info_.loadPortMonitor(d, i);
    const std::wstring name = info_.portMonitor().name;
    if (name.empty() || otherInstalledModelUses(name)) continue;
    Step step = Step::kGoOn;
    lastFailed = !deletePortMonitor(i, step);
    if (step == Step::kCancel) return Step::kCancel;
  }
  if (progress_.cancelled()) return Step::kCancel;
  if (lastFailed) {
    progress_.show(kStringMonitorNotDeleted);
    return Step::kStop;
  }
  return Step::kGoOn;
}

bool DeletionSequence::deletePortMonitor(int monitor, Step& step) {
  const PortMonitorRecord record = info_.portMonitor();
  progress_.show(kStringDeleteMonitor);
  RecordBuilder records;
  const abi::MonitorRecord abiRecord = records.PortMonitor(record);
  bool deleted = library_.DeletePortMonitor(record.name.c_str(), &abiRecord, abi::kDeleteMonitorFlags) == 1;
  if (!deleted) {
    int32_t written = abi::kStatusUnset;
    library_.GetLastSupportStatus(&written);
    if (written != abi::kStatusMonitorInUse) {
      step = usbDriversOf(monitor);
      return false;
    }
    const bool force = progress_.ask(progress_.page().string(kStringPortInUse), progress_.page().string(kStringKeepMonitor),
                                     progress_.page().string(kStringDeletePort));
    if (progress_.cancelled()) {
      step = Step::kCancel;
      return false;
    }
    if (!force) return true;  // the user keeps the monitor
    progress_.show(kStringDeleteMonitor);
    deleted = library_.DeletePortMonitor(record.name.c_str(), &abiRecord, abi::kDeleteMonitorForcedFlags) == 1;
    if (!deleted) return false;
  }
  step = usbDriversOf(monitor);
  return true;
}

// --- USB devices and driver files --------------------------------------------------------------

DeletionSequence::Step DeletionSequence::usbDriversOf(int monitor) {
  const int d = selections_.modelPos;
  // A monitor that is still installed keeps its devices and drivers.
  if (library_.IsPortMonitorInstalled(info_.portMonitorName(d, monitor).c_str(), 0) == 1) return Step::kGoOn;
  for (int j = 0; j < info_.usbDriverCount(d, monitor); ++j) {
    if (checkpoint() == Step::kCancel) return Step::kCancel;
    info_.loadUsbDriver(d, monitor, j);
    const UsbDriverRecord usb = info_.usbDriver();
    progress_.show(kStringDeleteUsb);
    const DeletionSystem::DeviceRemoval removal = windows_.removeDevices(usb.name, usb.hardwareIds);
    if (removal.enumerated && removal.allRemoved) deleteDriverFiles(usb);
    uninstallOemCopies(usb);
  }
  return Step::kGoOn;
}

void DeletionSequence::deleteDriverFiles(const UsbDriverRecord& usb) {
  const std::wstring drivers = common::JoinPath(common::JoinPath(windows_.windowsDirectory(), L"System32"), L"Drivers");
  std::vector<std::wstring> files;
  if (!usb.driverFile.empty()) files.push_back(usb.driverFile);
  files.insert(files.end(), usb.dependFiles.begin(), usb.dependFiles.end());
  for (const std::wstring& file : files) {
    const std::wstring path = common::JoinPath(drivers, common::FileNameOf(file));
    if (!system_.deletePath(path)) system_.deletePath(path);
  }
}

void DeletionSequence::uninstallOemCopies(const UsbDriverRecord& usb) {
  if (usb.infFile.empty()) return;
  const std::wstring source = usb.sourceDirectory + usb.infFile;
  if (!system_.exists(source)) return;
  const std::optional<std::string> original = windows_.readBytes(source);
  if (!original) return;
  const std::wstring infDirectory = common::JoinPath(windows_.windowsDirectory(), L"Inf");
  for (const std::wstring& name : windows_.findFiles(infDirectory, L"oem*.inf")) {
    const std::wstring path = common::JoinPath(infDirectory, name);
    const std::optional<std::string> copy = windows_.readBytes(path);
    if (!copy || *copy != *original) continue;
    if (windows_.uninstallOemInf(name)) continue;
    system_.deletePath(path);
    system_.deletePath(path.substr(0, path.size() - 4) + L".pnf");
  }
}

// --- option UI services ------------------------------------------------------------------------

bool DeletionSequence::serviceInUse(const std::wstring& name) {
  for (int m = 0; m < info_.driverCount(); ++m) {
    const std::wstring driverName = info_.driverName(m);
    if (info_.printerOptionServiceName(m) == name &&
        library_.IsPrinterDriverInstalled(driverName.c_str(), 0) == 1) {
      return true;
    }
    if (info_.languageMonitorOptionServiceName(m) == name) {
      info_.loadDriver(m);
      const DriverRecord& driver = info_.driver();
      if (library_.QueryMonitorFile(driver.langMonName.c_str(), abi::kQueryInstalledFile, driver.langMonFile.c_str(),
                                    nullptr) == 1) {
        return true;
      }
    }
    for (int i = 0; i < info_.portMonitorCount(m); ++i) {
      info_.loadPortMonitor(m, i);
      const PortMonitorRecord& monitor = info_.portMonitor();
      if (monitor.optionUi.serviceName == name && library_.IsPortMonitorInstalled(monitor.name.c_str(), 0) == 1) {
        return true;
      }
    }
  }
  return false;
}

DeletionSequence::Step DeletionSequence::optionServices() {
  progress_.show(kStringDeleteServices);
  const int d = selections_.modelPos;
  const std::wstring directory = system_.systemDirectory();

  // Collected first: the in-use test below refills the current records.
  std::vector<OptionUiService> services;
  info_.loadDriver(d);
  services.push_back(info_.driver().printerOptionUi);
  services.push_back(info_.driver().langMonOptionUi);
  for (int i = 0; i < info_.portMonitorCount(d); ++i) {
    info_.loadPortMonitor(d, i);
    OptionUiService service = info_.portMonitor().optionUi;
    // A port monitor's service goes by the name of the section that describes it.
    service.serviceName = service.section;
    services.push_back(service);
  }

  bool allRemoved = true;
  for (const OptionUiService& service : services) {
    if (checkpoint() == Step::kCancel) return Step::kCancel;
    if (service.serviceName.empty() || serviceInUse(service.serviceName)) continue;
    if (RemoveOptionService(library_, system_, service.serviceName, directory, service.file, service.dependFiles) != 1) {
      allRemoved = false;
    }
  }
  if (!allRemoved) {
    progress_.show(kStringServiceNotDeleted);
    return Step::kStop;
  }
  return Step::kGoOn;
}

}  // namespace setup_wizard
