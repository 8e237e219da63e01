#include "setup_wizard/support_library.h"

#include "common/win_path.h"

namespace setup_wizard {

namespace abi = support_abi;

std::wstring SupportLibraryPath(std::wstring_view ownDirectory, std::wstring_view directory,
                                std::wstring_view name) {
  const std::wstring_view dir = directory.empty() ? ownDirectory : directory;
  // A bare name would be looked for along the search path, where any library of that name may lie.
  if (dir.empty()) return {};
  std::wstring path = common::JoinPath(dir, name.empty() ? std::wstring_view(abi::kLibraryFileName) : name);
  // A path cut to fit would name another file; refuse it instead.
  if (path.size() > common::kMaxPathChars) return {};
  return path;
}

std::vector<std::wstring> SplitNames(const wchar_t* buffer, size_t chars, int32_t count) {
  std::vector<std::wstring> names;
  if (buffer == nullptr) return names;
  size_t at = 0;
  while (static_cast<int32_t>(names.size()) < count && at < chars) {
    size_t end = at;
    while (end < chars && buffer[end] != L'\0') ++end;
    names.emplace_back(buffer + at, end - at);
    at = end + 1;
  }
  return names;
}

int SupportLibrary::Bind(std::wstring_view directory, std::wstring_view name) {
  release();
  const std::wstring path = SupportLibraryPath(loader_.OwnDirectory(), directory, name);
  if (path.empty() || !loader_.Load(path)) return 0;
  for (size_t i = 0; i < abi::kOrdinals.size(); ++i) {
    table_[i] = {abi::kOrdinals[i], loader_.Procedure(abi::kOrdinals[i])};
    if (table_[i].address == nullptr) {
      table_ = {};
      loader_.Unload();
      return 0;
    }
  }
  bound_ = true;
  return 1;
}

void SupportLibrary::release() {
  if (bound_) loader_.Unload();
  bound_ = false;
  table_ = {};
}

void* SupportLibrary::Address(uint16_t ordinal) const {
  for (const OrdinalEntry& e : table_) {
    if (e.ordinal == ordinal) return e.address;
  }
  return nullptr;
}

// --- one wrapper per ordinal --------------------------------------------------------------------

int32_t SupportLibrary::GetOsVersionCode() { return call<abi::GetOsVersionCode>(abi::kGetOsVersionCode); }
int32_t SupportLibrary::GetLastSupportStatus(int32_t* status) {
  return call<abi::GetLastSupportStatus>(abi::kGetLastSupportStatus, status);
}
int32_t SupportLibrary::CheckSetupPreconditions() {
  return call<abi::CheckSetupPreconditions>(abi::kCheckSetupPreconditions);
}
int32_t SupportLibrary::RestartSystem() { return call<abi::RestartSystem>(abi::kRestartSystem); }
int32_t SupportLibrary::GetSupportVersion() { return call<abi::GetSupportVersion>(abi::kGetSupportVersion); }
int32_t SupportLibrary::InstallPrinterDriver(const wchar_t* name, const abi::DriverRecord* record, uint32_t flags,
                                             uint32_t reserved, uint32_t osFlags) {
  return call<abi::InstallPrinterDriver>(abi::kInstallPrinterDriver, name, record, flags, reserved, osFlags);
}
int32_t SupportLibrary::DeletePrinterDriver(const wchar_t* name, const abi::DriverRecord* record, uint32_t flags,
                                            uint32_t osFlags) {
  return call<abi::DeletePrinterDriver>(abi::kDeletePrinterDriver, name, record, flags, osFlags);
}
int32_t SupportLibrary::IsPrinterDriverInstalled(const wchar_t* name, uint32_t reserved) {
  return call<abi::NameQuery>(abi::kIsPrinterDriverInstalled, name, reserved);
}
int32_t SupportLibrary::EnumPrinterDrivers(wchar_t* buffer, uint32_t size, uint32_t* needed, uint32_t reserved) {
  return call<abi::Enumerate>(abi::kEnumPrinterDrivers, buffer, size, needed, reserved);
}
int32_t SupportLibrary::EnumPrintersOfDriver(wchar_t* buffer, uint32_t size, uint32_t* needed,
                                             const wchar_t* driver) {
  return call<abi::EnumerateFor>(abi::kEnumPrintersOfDriver, buffer, size, needed, driver);
}
int32_t SupportLibrary::ValidatePrinterName(const wchar_t* name) {
  return call<abi::NameAction>(abi::kValidatePrinterName, name);
}
int32_t SupportLibrary::AddPrinter(const wchar_t* printer, const wchar_t* driver, const wchar_t* port,
                                   uint32_t reserved1, const wchar_t* share, uint32_t reserved2,
                                   uint32_t attributes) {
  return call<abi::AddPrinter>(abi::kAddPrinter, printer, driver, port, reserved1, share, reserved2, attributes);
}
int32_t SupportLibrary::AddPrinterWithProcessor(const wchar_t* printer, const abi::PrinterRecord* record,
                                                uint32_t reserved, uint32_t attributes) {
  return call<abi::AddPrinterWithProcessor>(abi::kAddPrinterWithProcessor, printer, record, reserved, attributes);
}
int32_t SupportLibrary::DeletePrinter(const wchar_t* printer) {
  return call<abi::NameAction>(abi::kDeletePrinter, printer);
}
int32_t SupportLibrary::SetDefaultPrinter(const wchar_t* printer) {
  return call<abi::NameAction>(abi::kSetDefaultPrinter, printer);
}
int32_t SupportLibrary::IsPrinterInstalled(const wchar_t* printer, uint32_t reserved) {
  return call<abi::NameQuery>(abi::kIsPrinterInstalled, printer, reserved);
}
int32_t SupportLibrary::EnumPorts(wchar_t* buffer, uint32_t size, uint32_t* needed, uint32_t reserved,
                                  const wchar_t* monitor) {
  return call<abi::EnumPorts>(abi::kEnumPorts, buffer, size, needed, reserved, monitor);
}
int32_t SupportLibrary::DeletePort(const wchar_t* port, const wchar_t* monitor) {
  return call<abi::DeletePort>(abi::kDeletePort, port, monitor);
}
int32_t SupportLibrary::AddPortOfMonitor(void* owner, const wchar_t* monitor, wchar_t* portName) {
  return call<abi::AddPortOfMonitor>(abi::kAddPortOfMonitor, owner, monitor, portName);
}
int32_t SupportLibrary::IsPortInstalled(const wchar_t* port, uint32_t reserved) {
  return call<abi::NameQuery>(abi::kIsPortInstalled, port, reserved);
}
int32_t SupportLibrary::EnumPortMonitors(wchar_t* buffer, uint32_t size, uint32_t* needed, uint32_t reserved) {
  return call<abi::Enumerate>(abi::kEnumPortMonitors, buffer, size, needed, reserved);
}
int32_t SupportLibrary::GetMonitorOfPort(wchar_t* buffer, uint32_t size, uint32_t* needed, const wchar_t* port) {
  return call<abi::EnumerateFor>(abi::kGetMonitorOfPort, buffer, size, needed, port);
}
int32_t SupportLibrary::IsPortMonitorInstalled(const wchar_t* name, uint32_t reserved) {
  return call<abi::NameQuery>(abi::kIsPortMonitorInstalled, name, reserved);
}
int32_t SupportLibrary::InstallPortMonitor(const wchar_t* name, const abi::MonitorRecord* record, uint32_t flags,
                                           int32_t* restart) {
  return call<abi::InstallPortMonitor>(abi::kInstallPortMonitor, name, record, flags, restart);
}
int32_t SupportLibrary::DeletePortMonitor(const wchar_t* name, const abi::MonitorRecord* record, uint32_t flags) {
  return call<abi::MonitorAction>(abi::kDeletePortMonitor, name, record, flags);
}
int32_t SupportLibrary::IsUsbDriverInstalled(const wchar_t* name, uint32_t reserved) {
  return call<abi::NameQuery>(abi::kIsUsbDriverInstalled, name, reserved);
}
int32_t SupportLibrary::InstallUsbDriver(const wchar_t* name, const abi::UsbDriverRecord* record,
                                         const wchar_t* hardwareIds, uint32_t flags, uint32_t reserved) {
  return call<abi::InstallUsbDriver>(abi::kInstallUsbDriver, name, record, hardwareIds, flags, reserved);
}
int32_t SupportLibrary::InstallUsbDriverAlternate(const wchar_t* name, const abi::UsbDriverRecord* record,
                                                  const wchar_t* hardwareIds, uint32_t flags, uint32_t reserved) {
  return call<abi::InstallUsbDriver>(abi::kInstallUsbDriverAlternate, name, record, hardwareIds, flags, reserved);
}
int32_t SupportLibrary::DeleteUsbDriver(const wchar_t* name, const abi::UsbDriverRecord* record, uint32_t flags) {
  return call<abi::DeleteUsbDriver>(abi::kDeleteUsbDriver, name, record, flags);
}
int32_t SupportLibrary::EnumPrintProcessors(wchar_t* buffer, uint32_t size, uint32_t* needed, uint32_t reserved) {
  return call<abi::Enumerate>(abi::kEnumPrintProcessors, buffer, size, needed, reserved);
}
int32_t SupportLibrary::IsPrintProcessorInstalled(const wchar_t* name, uint32_t reserved) {
  return call<abi::NameQuery>(abi::kIsPrintProcessorInstalled, name, reserved);
}
int32_t SupportLibrary::IsDataTypeSupported(const wchar_t* processor, const wchar_t* dataType) {
  return call<abi::IsDataTypeSupported>(abi::kIsDataTypeSupported, processor, dataType);
}
int32_t SupportLibrary::GetPrinterProcessor(wchar_t* buffer, uint32_t size, uint32_t* needed,
                                            const wchar_t* printer) {
  return call<abi::EnumerateFor>(abi::kGetPrinterProcessor, buffer, size, needed, printer);
}
int32_t SupportLibrary::InstallPrintProcessor(const wchar_t* name, const abi::ProcessorRecord* record,
                                              uint32_t flags, uint32_t reserved) {
  return call<abi::InstallPrintProcessor>(abi::kInstallPrintProcessor, name, record, flags, reserved);
}
int32_t SupportLibrary::DeletePrintProcessor(const wchar_t* name, const abi::ProcessorRecord* record,
                                             uint32_t flags) {
  return call<abi::DeletePrintProcessor>(abi::kDeletePrintProcessor, name, record, flags);
}
int32_t SupportLibrary::EnumDataTypes(wchar_t* buffer, uint32_t size, uint32_t* needed, const wchar_t* processor,
                                      uint32_t reserved) {
  return call<abi::EnumDataTypes>(abi::kEnumDataTypes, buffer, size, needed, processor, reserved);
}
int32_t SupportLibrary::GetPrinterPort(wchar_t* buffer, uint32_t size, uint32_t* needed, const wchar_t* printer) {
  return call<abi::EnumerateFor>(abi::kGetPrinterPort, buffer, size, needed, printer);
}
int32_t SupportLibrary::IsShareNameUsed(const wchar_t* share, uint32_t reserved) {
  return call<abi::NameQuery>(abi::kIsShareNameUsed, share, reserved);
}
int32_t SupportLibrary::AfterServiceInstall(wchar_t* systemDirectory, uint32_t bytes) {
  return call<abi::AfterServiceInstall>(abi::kAfterServiceInstall, systemDirectory, bytes);
}
int32_t SupportLibrary::GetPrinterJobCount(const wchar_t* printer, uint32_t* count) {
  return call<abi::GetPrinterJobCount>(abi::kGetPrinterJobCount, printer, count);
}
int32_t SupportLibrary::EnumShares(wchar_t* buffer, uint32_t size, uint32_t* needed, uint32_t reserved) {
  return call<abi::Enumerate>(abi::kEnumShares, buffer, size, needed, reserved);
}
int32_t SupportLibrary::InstallService(const wchar_t* name, const wchar_t* program) {
  return call<abi::InstallService>(abi::kInstallService, name, program);
}
int32_t SupportLibrary::DeleteService(const wchar_t* name) { return call<abi::NameAction>(abi::kDeleteService, name); }
int32_t SupportLibrary::QueryService(const wchar_t* name, uint32_t mode) {
  return call<abi::NameQuery>(abi::kQueryService, name, mode);
}
int32_t SupportLibrary::StopService(const wchar_t* name) { return call<abi::NameAction>(abi::kStopService, name); }
int32_t SupportLibrary::StartService(const wchar_t* name) { return call<abi::NameAction>(abi::kStartService, name); }
int32_t SupportLibrary::QueryMonitorFile(const wchar_t* monitor, uint32_t what, const wchar_t* file,
                                         wchar_t* path) {
  return call<abi::QueryMonitorFile>(abi::kQueryMonitorFile, monitor, what, file, path);
}
int32_t SupportLibrary::IsMonitorInUse(const wchar_t* name, uint32_t reserved) {
  return call<abi::NameQuery>(abi::kIsMonitorInUse, name, reserved);
}
int32_t SupportLibrary::ReplacePortMonitor(const wchar_t* name, const abi::MonitorRecord* record, uint32_t flags) {
  return call<abi::MonitorAction>(abi::kReplacePortMonitor, name, record, flags);
}

// --- the two-call protocol ------------------------------------------------------------------------

// A size beyond this is a broken answer, not a list of names.
constexpr uint32_t kMaxListChars = 1u << 20;

template <typename Call>
std::vector<std::wstring> SupportLibrary::TwoCallNames(Call call) {
  uint32_t needed = 0;
  call(nullptr, 0, &needed);
  if (needed > kMaxListChars) return {};
  // One character more than asked for, zero-filled, so the last name always ends inside the buffer.
  std::vector<wchar_t> buffer(static_cast<size_t>(needed) + 1, L'\0');
  const int32_t count = call(buffer.data(), needed, &needed);
  return SplitNames(buffer.data(), buffer.size(), count);
}

std::vector<std::wstring> SupportLibrary::PrintersOfDriver(const std::wstring& driver) {
  return TwoCallNames([&](wchar_t* b, uint32_t s, uint32_t* n) { return EnumPrintersOfDriver(b, s, n, driver.c_str()); });
}

std::vector<std::wstring> SupportLibrary::Ports(const std::wstring& monitor) {
  const wchar_t* name = monitor.empty() ? nullptr : monitor.c_str();
  return TwoCallNames([&](wchar_t* b, uint32_t s, uint32_t* n) { return EnumPorts(b, s, n, 0, name); });
}

std::vector<std::wstring> SupportLibrary::PortMonitors() {
  return TwoCallNames([&](wchar_t* b, uint32_t s, uint32_t* n) { return EnumPortMonitors(b, s, n, 0); });
}

std::vector<std::wstring> SupportLibrary::DataTypes(const std::wstring& processor) {
  return TwoCallNames([&](wchar_t* b, uint32_t s, uint32_t* n) { return EnumDataTypes(b, s, n, processor.c_str(), 0); });
}

std::wstring SupportLibrary::MonitorOfPort(const std::wstring& port) {
  uint32_t needed = 0;
  GetMonitorOfPort(nullptr, 0, &needed, port.c_str());
  if (needed > kMaxListChars) return {};
  std::vector<wchar_t> buffer(static_cast<size_t>(needed) + 1, L'\0');
  if (GetMonitorOfPort(buffer.data(), needed, &needed, port.c_str()) != 1) return {};
  std::vector<std::wstring> name = SplitNames(buffer.data(), buffer.size(), 1);
  return name.empty() ? std::wstring() : name.front();
}

int32_t SupportLibrary::CountPrintersOfDriver(const std::wstring& driver) {
  return EnumPrintersOfDriver(nullptr, 0, nullptr, driver.c_str());
}

int32_t SupportLibrary::CountPorts(const std::wstring& monitor) {
  return EnumPorts(nullptr, 0, nullptr, 0, monitor.empty() ? nullptr : monitor.c_str());
}

// --- records ------------------------------------------------------------------------------------

const wchar_t* RecordBuilder::Text(const std::wstring& value) {
  if (value.empty()) return nullptr;
  return kept_.emplace_back(value).c_str();
}

const wchar_t* RecordBuilder::List(const std::vector<std::wstring>& names) {
  if (names.empty()) return nullptr;
  return kept_.emplace_back(JoinFileList(names)).c_str();
}

abi::DriverRecord RecordBuilder::Driver(const DriverRecord& d, DriverFields fields) {
  abi::DriverRecord r{};
  r.sourceDirectory = Text(d.sourceDirectory);
  r.driverFile = Text(d.driverFile);
  r.graphicsFile = Text(d.graphicsFile);
  r.userInterfaceFile = Text(d.userInterfaceFile);
  r.userModeFile = Text(d.userModeFile);
  r.dataFile = Text(d.dataFile);
  r.helpFile = Text(d.helpFile);
  r.infFile = Text(d.infFile);
  r.dependentDirectory = Text(d.depend.directory);
  r.dependentFiles = List(d.dependFiles);
  if (fields == DriverFields::kOtherOsDelete) return r;
  r.languageMonitorName = Text(d.langMonName);
  r.languageMonitorFile = Text(d.langMonFile);
  r.languageMonitorDependentDirectory = Text(d.langMonDepend.directory);
  r.languageMonitorDependentFiles = List(d.langMonDependFiles);
  r.hardwareId = Text(d.hardwareId);
  if (fields == DriverFields::kDelete) return r;
  r.checkInf = static_cast<uint32_t>(d.checkInf);
  r.expandedFile = static_cast<uint32_t>(d.expandedFile);
  r.manufacturer = Text(d.manufacturer);
  r.oemUrl = Text(d.oemUrl);
  r.provider = Text(d.provider);
  return r;
}

abi::MonitorRecord RecordBuilder::PortMonitor(const PortMonitorRecord& m) {
  return {Text(m.sourceDirectory), Text(m.monitorFile), Text(m.infFile), Text(m.depend.directory),
          List(m.dependFiles), static_cast<uint32_t>(m.checkInf), static_cast<uint32_t>(m.expandedFile)};
}

abi::MonitorRecord RecordBuilder::LanguageMonitor(const DriverRecord& d) {
  return {Text(d.sourceDirectory), Text(d.langMonFile), nullptr, Text(d.langMonDepend.directory),
          List(d.langMonDependFiles), 0, static_cast<uint32_t>(d.expandedFile)};
}

abi::UsbDriverRecord RecordBuilder::UsbDriver(const UsbDriverRecord& u) {
  return {Text(u.sourceDirectory), Text(u.driverFile), Text(u.infFile), Text(u.depend.directory),
          List(u.dependFiles), static_cast<uint32_t>(u.checkInf), static_cast<uint32_t>(u.expandedFile)};
}

abi::ProcessorRecord RecordBuilder::Processor(const DriverRecord& d) {
  return {Text(d.sourceDirectory), Text(d.printProcessorFile), Text(d.printProcessorDepend.directory),
          List(d.printProcessorDependFiles), static_cast<uint32_t>(d.expandedFile)};
}

abi::PrinterRecord RecordBuilder::Printer(const std::wstring& driverName, const std::wstring& portName,
                                          const std::wstring& shareName, const std::wstring& processorName,
                                          const std::wstring& dataType) {
  abi::PrinterRecord r{};
  r.driverName = Text(driverName);
  r.portName = Text(portName);
  r.shareName = Text(shareName);
  r.processorName = Text(processorName);
  r.dataType = Text(dataType);
  return r;
}

uint32_t PrinterAttributes(std::wstring_view dataType, bool makeDefault) {
  const uint32_t kind = CompareNoCase(dataType, L"RAW") == 0 ? abi::kAttributeRaw : abi::kAttributeNotRaw;
  return kind | (makeDefault ? abi::kAttributeDefault : 0);
}

}  // namespace setup_wizard
