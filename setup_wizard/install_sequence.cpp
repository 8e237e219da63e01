#include "setup_wizard/install_sequence.h"

#include <algorithm>
#include <array>

#include "common/win_path.h"

namespace setup_wizard {

namespace abi = support_abi;

namespace {

// Between two looks for the printer; newer systems need longer to finish setting up a device that
// was found after the first look, older ones only when it took a while to appear.
constexpr int kDevicePollMs = 1000;
constexpr int kLateDeviceSettleMs = 7000;
constexpr int kSlowDeviceSettleMs = 1000;
constexpr int kSlowDevicePolls = 4;

ServiceFiles FilesOf(const OptionUiService& service, const ComponentRecord& owner, const DependSlot& slot) {
  return {service.serviceName, owner.sourceDirectory, slot.directory, service.file, service.dependFiles};
}

bool StartsWithNoCase(std::wstring_view text, std::wstring_view prefix) {
  return text.size() >= prefix.size() && CompareNoCase(text.substr(0, prefix.size()), prefix) == 0;
}

}  // namespace

std::wstring PickDataType(const std::vector<std::wstring>& offered, const std::wstring& wanted) {
  for (const std::wstring& t : offered) {
    if (CompareNoCase(t, wanted) == 0) return t;
  }
  for (const std::wstring& t : offered) {
    if (StartsWithNoCase(t, wanted)) return t;
  }
  return {};
}

InstallSequence::Step InstallSequence::checkpoint() {
  progress_.checkCancel();
  return progress_.cancelled() ? Step::kCancel : Step::kGoOn;
}

InstallSequence::Step InstallSequence::stop(int stringId) {
  progress_.show(stringId);
  return Step::kStop;
}

InstallOutcome InstallSequence::run() {
  if (!progress_.waitUntilReady()) return InstallOutcome::kCancelled;
  Step (InstallSequence::*const steps[])() = {&InstallSequence::services,     &InstallSequence::usbDrivers,
                                              &InstallSequence::deviceWait,   &InstallSequence::portMonitors,
                                              &InstallSequence::port,         &InstallSequence::driverAndPrinter};
  Step result = checkpoint();
  if (result == Step::kGoOn) {
    progress_.show(kStringPreparing);
    progress_.page().setButtons(kOfferNone, false);
    portName_ = selections_.portName;
  }
  for (auto step : steps) {
    if (result != Step::kGoOn) break;
    result = checkpoint();
    if (result == Step::kGoOn) result = (this->*step)();
  }
  if (result == Step::kGoOn) result = checkpoint();
  return progress_.end(result == Step::kStop, kStringInstallComplete, kStringInstallCanceled);
}

InstallSequence::Step InstallSequence::services() {
  progress_.show(kStringServiceProgress);
  const int d = selections_.driverPos;
  info_.loadDriver(d);
  const DriverRecord driver = info_.driver();
  const std::wstring systemDirectory = system_.systemDirectory();
  bool allInstalled = true;
  const auto install = [&](const ServiceFiles& files) {
    if (files.name.empty()) return false;
    if (InstallOptionService(library_, system_, files, systemDirectory) != 1) allInstalled = false;
    return true;
  };

  if (checkpoint() == Step::kCancel) return Step::kCancel;
  if (install(FilesOf(driver.printerOptionUi, driver, driver.depend))) {
    std::array<wchar_t, abi::kSystemDirectoryBytes / sizeof(wchar_t)> buffer{};
    std::copy_n(systemDirectory.begin(), std::min(systemDirectory.size(), buffer.size() - 1), buffer.begin());
    library_.AfterServiceInstall(buffer.data(), abi::kSystemDirectoryBytes);
  }
  if (checkpoint() == Step::kCancel) return Step::kCancel;
  install(FilesOf(driver.langMonOptionUi, driver, driver.langMonDepend));
  for (int i = 0; i < info_.portMonitorCount(d); ++i) {
    if (checkpoint() == Step::kCancel) return Step::kCancel;
    info_.loadPortMonitor(d, i);
    const PortMonitorRecord& monitor = info_.portMonitor();
    install(FilesOf(monitor.optionUi, monitor, monitor.depend));
  }
  if (!allInstalled) progress_.show(kStringServiceFailed);
  return Step::kGoOn;
}

InstallSequence::Step InstallSequence::usbDrivers() {
  const int d = selections_.driverPos;
  bool allInstalled = true;
  for (int i = 0; i < info_.portMonitorCount(d); ++i) {
    for (int j = 0; j < info_.usbDriverCount(d, i); ++j) {
      if (checkpoint() == Step::kCancel) return Step::kCancel;
      progress_.show(kStringUsbProgress);
      info_.loadUsbDriver(d, i, j);
      const UsbDriverRecord& usb = info_.usbDriver();
      RecordBuilder records;
      const abi::UsbDriverRecord record = records.UsbDriver(usb);
      if (library_.InstallUsbDriver(usb.name.c_str(), &record, usb.hardwareIds.c_str(), abi::kInstallFlags, 0) == 1) {
        continue;
      }
      int32_t written = abi::kStatusUnset;
      library_.GetLastSupportStatus(&written);
      if (written != abi::kStatusAlreadyInstalled) allInstalled = false;
    }
  }
  return allInstalled ? Step::kGoOn : stop(kStringUsbFailed);
}

InstallSequence::Step InstallSequence::deviceWait() {
  const int d = selections_.driverPos;
  const int m = selections_.portMonitorIndex;
  if (m < 0 || info_.usbDriverCount(d, m) < 1) return Step::kGoOn;
  progress_.show(kStringConnectPrinter);
  info_.loadUsbDriver(d, m, 0);
  const UsbDriverRecord usb = info_.usbDriver();
  const int osHigh = (info_.osCode() >> 8) & 0xFF;
  for (int n = 0;; ++n) {
    if (checkpoint() == Step::kCancel) return Step::kCancel;
    if (system_.devicePresent(usb.name, usb.hardwareIds)) {
      if (osHigh == 10 || osHigh == 11) {
        if (n > 0) system_.sleep(kLateDeviceSettleMs);
      } else if (n > kSlowDevicePolls) {
        system_.sleep(kSlowDeviceSettleMs);
      }
      return Step::kGoOn;
    }
    int32_t written = abi::kStatusUnset;
    library_.GetLastSupportStatus(&written);
    if (written == abi::kStatusUseAlternate) {
      RecordBuilder records;
      const abi::UsbDriverRecord record = records.UsbDriver(usb);
      if (library_.InstallUsbDriverAlternate(usb.name.c_str(), &record, usb.hardwareIds.c_str(), 1, 0) != 1) {
        return stop(kStringUsbFailed);
      }
      return Step::kGoOn;
    }
    system_.sleep(kDevicePollMs);
  }
}

InstallSequence::Step InstallSequence::oldMonitorCheck(const std::wstring& name, const abi::MonitorRecord& record,
                                                       const std::wstring& file, const std::wstring& newDirectory) {
  std::array<wchar_t, abi::kMonitorPathChars> path{};
  if (library_.QueryMonitorFile(name.c_str(), abi::kQueryInstalledFile, file.c_str(), path.data()) != 1) {
    return Step::kGoOn;
  }
  path.back() = L'\0';
  const std::optional<uint64_t> installed = system_.productVersion(path.data());
  const std::optional<uint64_t> fresh = system_.productVersion(newDirectory + file);
  // A missing new file is older than anything installed; an unreadable installed one older than it.
  const bool installedOlder = fresh && (!installed || *installed < *fresh);
  if (!installedOlder) return Step::kGoOn;
  if (library_.QueryMonitorFile(name.c_str(), abi::kQueryCannotReplace, file.c_str(), nullptr) != 1 &&
      library_.ReplacePortMonitor(name.c_str(), &record, abi::kReplaceMonitorFlags) == 1) {
    return Step::kGoOn;
  }
  const bool goOn = progress_.ask(progress_.page().string(kStringOldMonitor),
                                  progress_.page().string(kStringOldMonitorAbort),
                                  progress_.page().string(kStringOldMonitorContinue));
  if (progress_.cancelled()) return Step::kCancel;
  if (!goOn) {
    progress_.setCancelled();
    return Step::kCancel;
  }
  progress_.show(kStringMonitorProgress);
  return Step::kGoOn;
}

InstallSequence::Step InstallSequence::portMonitors() {
  const int d = selections_.driverPos;
  bool allInstalled = true;
  for (int i = 0; i < info_.portMonitorCount(d); ++i) {
    if (checkpoint() == Step::kCancel) return Step::kCancel;
    progress_.show(kStringMonitorProgress);
    info_.loadPortMonitor(d, i);
    const PortMonitorRecord monitor = info_.portMonitor();
    RecordBuilder records;
    const abi::MonitorRecord record = records.PortMonitor(monitor);
    const std::wstring& newDirectory = monitor.depend.directory.empty() ? monitor.sourceDirectory : monitor.depend.directory;
    if (oldMonitorCheck(monitor.name, record, monitor.monitorFile, newDirectory) == Step::kCancel) return Step::kCancel;
    int32_t restart = 1;
    if (library_.InstallPortMonitor(monitor.name.c_str(), &record, abi::kInstallFlags, &restart) != 1) {
      allInstalled = false;
      continue;
    }
    if (restart == 1) {
      progress_.ask(progress_.page().string(kStringRestartForMonitor));
      if (progress_.cancelled()) return Step::kCancel;
    }
  }
  return allInstalled ? Step::kGoOn : stop(kStringMonitorFailed);
}

InstallSequence::Step InstallSequence::port() {
  if (!portName_.empty()) return Step::kGoOn;
  progress_.show(kStringPortProgress);
  std::array<wchar_t, abi::kPortNameChars> name{};
  if (library_.AddPortOfMonitor(progress_.page().ownerWindow(), selections_.portMonitorName.c_str(), name.data()) != 1) {
    return stop(kStringPortFailed);
  }
  name.back() = L'\0';
  portName_ = name.data();
  return portName_.empty() ? stop(kStringPortFailed) : Step::kGoOn;
}

std::wstring InstallSequence::chooseDataType(const std::wstring& processor, const std::wstring& wanted) {
  return PickDataType(library_.DataTypes(processor), wanted);
}

InstallSequence::Step InstallSequence::driverAndPrinter() {
  progress_.show(kStringDriverProgress);
  info_.loadDriver(selections_.driverPos);
  const DriverRecord driver = info_.driver();
  RecordBuilder records;
  if (!driver.langMonName.empty()) {
    const std::wstring& newDirectory =
        driver.langMonDepend.directory.empty() ? driver.sourceDirectory : driver.langMonDepend.directory;
    const abi::MonitorRecord languageMonitor = records.LanguageMonitor(driver);
    if (oldMonitorCheck(driver.langMonName, languageMonitor, driver.langMonFile, newDirectory) == Step::kCancel) {
      return Step::kCancel;
    }
    progress_.show(kStringDriverProgress);
  }
  const abi::DriverRecord record = records.Driver(driver);
  if (library_.InstallPrinterDriver(driver.name.c_str(), &record, abi::kInstallFlags, 0, 0) != 1) {
    return stop(kStringDriverFailed);
  }
  const wchar_t* share = selections_.shareName.empty() ? nullptr : selections_.shareName.c_str();
  if (!driver.printProcessorName.empty()) {
    const abi::ProcessorRecord processor = records.Processor(driver);
    if (library_.InstallPrintProcessor(driver.printProcessorName.c_str(), &processor, abi::kInstallFlags, 0) != 1) {
      return stop(kStringDriverFailed);
    }
    const std::wstring dataType = chooseDataType(driver.printProcessorName, driver.dataType);
    progress_.show(kStringPrinterProgress);
    const abi::PrinterRecord printer =
        records.Printer(driver.name, portName_, selections_.shareName, driver.printProcessorName, dataType);
    const uint32_t attributes = selections_.makeDefault ? abi::kAttributeDefault : 0;
    if (library_.AddPrinterWithProcessor(selections_.printerName.c_str(), &printer, 0, attributes) != 1) {
      return stop(kStringDriverFailed);
    }
    return Step::kGoOn;
  }
  progress_.show(kStringPrinterProgress);
  if (library_.AddPrinter(selections_.printerName.c_str(), driver.name.c_str(), portName_.c_str(), 0, share, 0,
                          PrinterAttributes(driver.dataType, selections_.makeDefault)) != 1) {
    return stop(kStringDriverFailed);
  }
  return Step::kGoOn;
}

}  // namespace setup_wizard
