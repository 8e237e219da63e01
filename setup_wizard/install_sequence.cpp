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

InstallSequence::Step InstallSequence::Checkpoint() {
  progress_.CheckCancel();
  return progress_.Cancelled() ? Step::kCancel : Step::kGoOn;
}

InstallSequence::Step InstallSequence::Stop(int stringId) {
  progress_.Show(stringId);
  return Step::kStop;
}

InstallOutcome InstallSequence::Run() {
  if (!progress_.WaitUntilReady()) return InstallOutcome::kCancelled;
  Step (InstallSequence::*const steps[])() = {&InstallSequence::Services,     &InstallSequence::UsbDrivers,
                                              &InstallSequence::DeviceWait,   &InstallSequence::PortMonitors,
                                              &InstallSequence::Port,         &InstallSequence::DriverAndPrinter};
  Step result = Checkpoint();
  if (result == Step::kGoOn) {
    progress_.Show(kStringPreparing);
    progress_.Page().SetButtons(kOfferNone, false);
    portName_ = selections_.portName;
  }
  for (auto step : steps) {
    if (result != Step::kGoOn) break;
    result = Checkpoint();
    if (result == Step::kGoOn) result = (this->*step)();
  }
  if (result == Step::kGoOn) result = Checkpoint();
  return progress_.end(result == Step::kStop, kStringInstallComplete, kStringInstallCanceled);
}

InstallSequence::Step InstallSequence::Services() {
  progress_.Show(kStringServiceProgress);
  const int d = selections_.driverPos;
  info_.LoadDriver(d);
  const DriverRecord driver = info_.Driver();
  const std::wstring systemDirectory = system_.SystemDirectory();
  bool allInstalled = true;
  const auto install = [&](const ServiceFiles& files) {
    if (files.name.empty()) return false;
    if (InstallOptionService(library_, system_, files, systemDirectory) != 1) allInstalled = false;
    return true;
  };

  if (Checkpoint() == Step::kCancel) return Step::kCancel;
  if (install(FilesOf(driver.printerOptionUi, driver, driver.depend))) {
    std::array<wchar_t, abi::kSystemDirectoryBytes / sizeof(wchar_t)> buffer{};
    std::copy_n(systemDirectory.begin(), std::min(systemDirectory.size(), buffer.size() - 1), buffer.begin());
    library_.AfterServiceInstall(buffer.data(), abi::kSystemDirectoryBytes);
  }
  if (Checkpoint() == Step::kCancel) return Step::kCancel;
  install(FilesOf(driver.langMonOptionUi, driver, driver.langMonDepend));
  for (int i = 0; i < info_.PortMonitorCount(d); ++i) {
    if (Checkpoint() == Step::kCancel) return Step::kCancel;
    info_.LoadPortMonitor(d, i);
    const PortMonitorRecord& monitor = info_.PortMonitor();
    install(FilesOf(monitor.optionUi, monitor, monitor.depend));
  }
  if (!allInstalled) progress_.Show(kStringServiceFailed);
  return Step::kGoOn;
}

InstallSequence::Step InstallSequence::UsbDrivers() {
  const int d = selections_.driverPos;
  bool allInstalled = true;
  for (int i = 0; i < info_.PortMonitorCount(d); ++i) {
    for (int j = 0; j < info_.UsbDriverCount(d, i); ++j) {
      if (Checkpoint() == Step::kCancel) return Step::kCancel;
      progress_.Show(kStringUsbProgress);
      info_.LoadUsbDriver(d, i, j);
      const UsbDriverRecord& usb = info_.UsbDriver();
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
  return allInstalled ? Step::kGoOn : Stop(kStringUsbFailed);
}

InstallSequence::Step InstallSequence::DeviceWait() {
  const int d = selections_.driverPos;
  const int m = selections_.portMonitorIndex;
  if (m < 0 || info_.UsbDriverCount(d, m) < 1) return Step::kGoOn;
  progress_.Show(kStringConnectPrinter);
  info_.LoadUsbDriver(d, m, 0);
  const UsbDriverRecord usb = info_.UsbDriver();
  const int osHigh = (info_.OsCode() >> 8) & 0xFF;
  for (int n = 0;; ++n) {
    if (Checkpoint() == Step::kCancel) return Step::kCancel;
    if (system_.DevicePresent(usb.name, usb.hardwareIds)) {
      if (osHigh == 10 || osHigh == 11) {
        if (n > 0) system_.Sleep(kLateDeviceSettleMs);
      } else if (n > kSlowDevicePolls) {
        system_.Sleep(kSlowDeviceSettleMs);
      }
      return Step::kGoOn;
    }
    int32_t written = abi::kStatusUnset;
    library_.GetLastSupportStatus(&written);
    if (written == abi::kStatusUseAlternate) {
      RecordBuilder records;
      const abi::UsbDriverRecord record = records.UsbDriver(usb);
      if (library_.InstallUsbDriverAlternate(usb.name.c_str(), &record, usb.hardwareIds.c_str(), 1, 0) != 1) {
        return Stop(kStringUsbFailed);
      }
      return Step::kGoOn;
    }
    system_.Sleep(kDevicePollMs);
  }
}

InstallSequence::Step InstallSequence::OldMonitorCheck(const std::wstring& name, const abi::MonitorRecord& record,
                                                       const std::wstring& file, const std::wstring& newDirectory) {
  std::array<wchar_t, abi::kMonitorPathChars> path{};
  if (library_.QueryMonitorFile(name.c_str(), abi::kQueryInstalledFile, file.c_str(), path.data()) != 1) {
    return Step::kGoOn;
  }
  path.back() = L'\0';
  const std::optional<uint64_t> installed = system_.ProductVersion(path.data());
  const std::optional<uint64_t> fresh = system_.ProductVersion(newDirectory + file);
  // A missing new file is older than anything installed; an unreadable installed one older than it.
  const bool installedOlder = fresh && (!installed || *installed < *fresh);
  if (!installedOlder) return Step::kGoOn;
  if (library_.QueryMonitorFile(name.c_str(), abi::kQueryCannotReplace, file.c_str(), nullptr) != 1 &&
      library_.ReplacePortMonitor(name.c_str(), &record, abi::kReplaceMonitorFlags) == 1) {
    return Step::kGoOn;
  }
  const bool goOn = progress_.Ask(progress_.Page().String(kStringOldMonitor),
                                  progress_.Page().String(kStringOldMonitorAbort),
                                  progress_.Page().String(kStringOldMonitorContinue));
  if (progress_.Cancelled()) return Step::kCancel;
  if (!goOn) {
    progress_.SetCancelled();
    return Step::kCancel;
  }
  progress_.Show(kStringMonitorProgress);
  return Step::kGoOn;
}

InstallSequence::Step InstallSequence::PortMonitors() {
  const int d = selections_.driverPos;
  bool allInstalled = true;
  for (int i = 0; i < info_.PortMonitorCount(d); ++i) {
    if (Checkpoint() == Step::kCancel) return Step::kCancel;
    progress_.Show(kStringMonitorProgress);
    info_.LoadPortMonitor(d, i);
    const PortMonitorRecord monitor = info_.PortMonitor();
    RecordBuilder records;
    const abi::MonitorRecord record = records.PortMonitor(monitor);
    const std::wstring& newDirectory = monitor.depend.directory.empty() ? monitor.sourceDirectory : monitor.depend.directory;
    if (OldMonitorCheck(monitor.name, record, monitor.monitorFile, newDirectory) == Step::kCancel) return Step::kCancel;
    int32_t restart = 1;
    if (library_.InstallPortMonitor(monitor.name.c_str(), &record, abi::kInstallFlags, &restart) != 1) {
      allInstalled = false;
      continue;
    }
    if (restart == 1) {
      progress_.Ask(progress_.Page().String(kStringRestartForMonitor));
      if (progress_.Cancelled()) return Step::kCancel;
    }
  }
  return allInstalled ? Step::kGoOn : Stop(kStringMonitorFailed);
}

InstallSequence::Step InstallSequence::Port() {
  if (!portName_.empty()) return Step::kGoOn;
  progress_.Show(kStringPortProgress);
  std::array<wchar_t, abi::kPortNameChars> name{};
  if (library_.AddPortOfMonitor(progress_.Page().OwnerWindow(), selections_.portMonitorName.c_str(), name.data()) != 1) {
    return Stop(kStringPortFailed);
  }
  name.back() = L'\0';
  portName_ = name.data();
  return portName_.empty() ? Stop(kStringPortFailed) : Step::kGoOn;
}

std::wstring InstallSequence::ChooseDataType(const std::wstring& processor, const std::wstring& wanted) {
  return PickDataType(library_.DataTypes(processor), wanted);
}

InstallSequence::Step InstallSequence::DriverAndPrinter() {
  progress_.Show(kStringDriverProgress);
  info_.LoadDriver(selections_.driverPos);
  const DriverRecord driver = info_.Driver();
  RecordBuilder records;
  if (!driver.langMonName.empty()) {
    const std::wstring& newDirectory =
        driver.langMonDepend.directory.empty() ? driver.sourceDirectory : driver.langMonDepend.directory;
    const abi::MonitorRecord languageMonitor = records.LanguageMonitor(driver);
    if (OldMonitorCheck(driver.langMonName, languageMonitor, driver.langMonFile, newDirectory) == Step::kCancel) {
      return Step::kCancel;
    }
    progress_.Show(kStringDriverProgress);
  }
  const abi::DriverRecord record = records.Driver(driver);
  if (library_.InstallPrinterDriver(driver.name.c_str(), &record, abi::kInstallFlags, 0, 0) != 1) {
    return Stop(kStringDriverFailed);
  }
  const wchar_t* share = selections_.shareName.empty() ? nullptr : selections_.shareName.c_str();
  if (!driver.printProcessorName.empty()) {
    const abi::ProcessorRecord processor = records.Processor(driver);
    if (library_.InstallPrintProcessor(driver.printProcessorName.c_str(), &processor, abi::kInstallFlags, 0) != 1) {
      return Stop(kStringDriverFailed);
    }
    const std::wstring dataType = ChooseDataType(driver.printProcessorName, driver.dataType);
    progress_.Show(kStringPrinterProgress);
    const abi::PrinterRecord printer =
        records.Printer(driver.name, portName_, selections_.shareName, driver.printProcessorName, dataType);
    const uint32_t attributes = selections_.makeDefault ? abi::kAttributeDefault : 0;
    if (library_.AddPrinterWithProcessor(selections_.printerName.c_str(), &printer, 0, attributes) != 1) {
      return Stop(kStringDriverFailed);
    }
    return Step::kGoOn;
  }
  progress_.Show(kStringPrinterProgress);
  if (library_.AddPrinter(selections_.printerName.c_str(), driver.name.c_str(), portName_.c_str(), 0, share, 0,
                          PrinterAttributes(driver.dataType, selections_.makeDefault)) != 1) {
    return Stop(kStringDriverFailed);
  }
  return Step::kGoOn;
}

}  // namespace setup_wizard
