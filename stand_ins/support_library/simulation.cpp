#include "stand_ins/support_library/simulation.h"

#include <algorithm>

#include "common/win_path.h"

namespace support_stand_in {

namespace abi = support_abi;

namespace {

std::wstring Text(const wchar_t* p) { return p ? std::wstring(p) : std::wstring(); }

template <typename T>
T* Find(std::vector<T>& list, const wchar_t* name) {
  if (name == nullptr) return nullptr;
  for (T& item : list) {
    if (SameName(item.name, name)) return &item;
  }
  return nullptr;
}

template <typename T>
bool Erase(std::vector<T>& list, const wchar_t* name) {
  const auto it = std::find_if(list.begin(), list.end(), [&](const T& i) { return name && SameName(i.name, name); });
  if (it == list.end()) return false;
  list.erase(it);
  return true;
}

template <typename T, typename Keep>
std::vector<std::wstring> NamesWhere(const std::vector<T>& list, Keep keep) {
  std::vector<std::wstring> names;
  for (const T& item : list) {
    if (keep(item)) names.push_back(item.name);
  }
  return names;
}

constexpr auto Any = [](const auto&) { return true; };

// Writes `text` and its NUL into a caller's buffer of `chars` characters when it fits.
bool Copy(const std::wstring& text, wchar_t* out, size_t chars) {
  if (out == nullptr || text.size() + 1 > chars) return false;
  std::copy(text.begin(), text.end(), out);
  out[text.size()] = L'\0';
  return true;
}

}  // namespace

bool Simulation::ForcedFailure(uint16_t ordinal) {
  const auto it = s_.failures.find(ordinal);
  if (it == s_.failures.end() || it->second.remaining == 0) return false;
  status_ = it->second.status;
  if (it->second.remaining > 0) {
    if (--it->second.remaining == 0) s_.failures.erase(it);
    modified_ = true;
  }
  return true;
}

void Simulation::Record(uint16_t ordinal, int32_t result, const std::wstring& args) {
  journal_.push_back(std::wstring(ExportName(ordinal)) + L"(" + args + L") = " + std::to_wstring(result));
}

int32_t Simulation::Fail(uint16_t ordinal, int32_t natural) {
  const auto it = s_.statuses.find(ordinal);
  status_ = it == s_.statuses.end() ? natural : it->second;
  return 0;
}

int32_t Simulation::Succeed(bool changed) {
  status_ = kOk;
  modified_ = modified_ || changed;
  return 1;
}

Printer* Simulation::FindPrinter(const wchar_t* name) { return Find(s_.printers, name); }
Port* Simulation::FindPort(const wchar_t* name) { return Find(s_.ports, name); }
Monitor* Simulation::FindMonitor(const wchar_t* name) { return Find(s_.monitors, name); }
Driver* Simulation::FindDriver(const wchar_t* name) { return Find(s_.drivers, name); }

bool Simulation::ShareUsed(std::wstring_view share) const {
  for (const Printer& p : s_.printers) {
    if (!p.share.empty() && SameName(p.share, share)) return true;
  }
  return std::any_of(s_.shares.begin(), s_.shares.end(), [&](const std::wstring& n) { return SameName(n, share); });
}

bool Simulation::MonitorServesPrinter(const std::wstring& name) const {
  for (const Printer& p : s_.printers) {
    for (const Port& q : s_.ports) {
      if (SameName(q.name, p.port) && SameName(q.monitor, name)) return true;
    }
  }
  return false;
}

int32_t Simulation::WriteNames(const std::vector<std::wstring>& names, wchar_t* buffer, uint32_t size,
                               uint32_t* needed) {
  size_t chars = 0;
  for (const std::wstring& n : names) chars += n.size() + 1;
  if (needed != nullptr) *needed = static_cast<uint32_t>(chars);
  const auto count = static_cast<int32_t>(names.size());
  if (buffer == nullptr) return count;  // a size or count query
  if (size < chars) {
    status_ = kInsufficientBuffer;
    return 0;
  }
  for (const std::wstring& n : names) {
    std::copy(n.begin(), n.end(), buffer);
    buffer += n.size();
    *buffer++ = L'\0';
  }
  status_ = kOk;
  return count;
}

// --- system -------------------------------------------------------------------------------------

int32_t Simulation::GetLastSupportStatus(int32_t* status) {
  if (status != nullptr) *status = status_;
  return status_;
}

int32_t Simulation::CheckSetupPreconditions() {
  if (!s_.preconditions) return Fail(abi::kCheckSetupPreconditions, s_.preconditionStatus);
  if (!s_.spoolerRunning) return Fail(abi::kCheckSetupPreconditions, kRpcUnavailable);
  return Succeed();
}

int32_t Simulation::RestartSystem() {
  ++s_.restarts;
  s_.spoolerRunning = true;
  for (Monitor& m : s_.monitors) m.locked = false;  // files in use are replaced at the restart
  return Succeed(true);
}

// --- drivers ------------------------------------------------------------------------------------

int32_t Simulation::InstallPrinterDriver(const wchar_t* name, const abi::DriverRecord* record, uint32_t osFlags) {
  if (name == nullptr || *name == L'\0' || record == nullptr) return Fail(abi::kInstallPrinterDriver, 87);
  Driver* d = FindDriver(name);
  if (osFlags != 0) {
    if (d == nullptr) return Fail(abi::kInstallPrinterDriver, kUnknownDriver);
    if (std::find(d->otherOs.begin(), d->otherOs.end(), osFlags) == d->otherOs.end()) d->otherOs.push_back(osFlags);
    return Succeed(true);
  }
  d = &FindOrAdd(s_.drivers, name);
  d->file = Text(record->driverFile);
  d->languageMonitor = Text(record->languageMonitorName);
  d->hardwareId = Text(record->hardwareId);
  if (!d->languageMonitor.empty() && FindMonitor(d->languageMonitor.c_str()) == nullptr) {
    Monitor& m = FindOrAdd(s_.monitors, d->languageMonitor);
    m.file = Text(record->languageMonitorFile);
    m.language = true;
  }
  return Succeed(true);
}

int32_t Simulation::DeletePrinterDriver(const wchar_t* name, uint32_t osFlags) {
  Driver* d = FindDriver(name);
  if (d == nullptr) return Fail(abi::kDeletePrinterDriver, kUnknownDriver);
  if (osFlags != 0) {
    const auto it = std::find(d->otherOs.begin(), d->otherOs.end(), osFlags);
    if (it == d->otherOs.end()) return Fail(abi::kDeletePrinterDriver, kUnknownDriver);
    d->otherOs.erase(it);
    return Succeed(true);
  }
  // The driver's printers go with it, unless one still has jobs queued.
  for (const Printer& p : s_.printers) {
    if (SameName(p.driver, name) && p.jobs > 0) return Fail(abi::kDeletePrinterDriver, kDriverInUse);
  }
  std::erase_if(s_.printers, [&](const Printer& p) { return SameName(p.driver, name); });
  const std::wstring languageMonitor = d->languageMonitor;
  Erase(s_.drivers, name);
  if (!languageMonitor.empty()) {
    const bool shared = std::any_of(s_.drivers.begin(), s_.drivers.end(),
                                    [&](const Driver& o) { return SameName(o.languageMonitor, languageMonitor); });
    if (!shared) std::erase_if(s_.monitors, [&](const Monitor& m) { return m.language && SameName(m.name, languageMonitor); });
  }
  return Succeed(true);
}

int32_t Simulation::IsPrinterDriverInstalled(const wchar_t* name) {
  return FindDriver(name) ? Succeed() : Fail(abi::kIsPrinterDriverInstalled, kUnknownDriver);
}

int32_t Simulation::EnumPrinterDrivers(wchar_t* buffer, uint32_t size, uint32_t* needed) {
  return WriteNames(NamesWhere(s_.drivers, Any), buffer, size, needed);
}

// --- printers -----------------------------------------------------------------------------------

int32_t Simulation::EnumPrintersOfDriver(wchar_t* buffer, uint32_t size, uint32_t* needed, const wchar_t* driverName) {
  const auto ofDriver = [&](const Printer& p) { return driverName == nullptr || SameName(p.driver, driverName); };
  return WriteNames(NamesWhere(s_.printers, ofDriver), buffer, size, needed);
}

int32_t Simulation::ValidatePrinterName(const wchar_t* name) {
  const std::wstring n = Text(name);
  if (n.empty() || n.size() > 220 || n.find_first_of(L",\\!") != std::wstring::npos) {
    return Fail(abi::kValidatePrinterName, kInvalidPrinterName);
  }
  if (FindPrinter(name) != nullptr) return Fail(abi::kValidatePrinterName, abi::kStatusNameInUse);
  return Succeed();
}

int32_t Simulation::AddPrinter(const wchar_t* name, const wchar_t* driverName, const wchar_t* portName,
                               const wchar_t* share, const wchar_t* processor, const wchar_t* dataType,
                               uint32_t attributes) {
  const uint16_t ordinal = processor ? abi::kAddPrinterWithProcessor : abi::kAddPrinter;
  if (name == nullptr || *name == L'\0') return Fail(ordinal, kInvalidPrinterName);
  if (FindPrinter(name) != nullptr) return Fail(ordinal, kPrinterExists);
  if (FindDriver(driverName) == nullptr) return Fail(ordinal, kUnknownDriver);
  if (FindPort(portName) == nullptr) return Fail(ordinal, kUnknownPort);
  if (processor != nullptr && *processor != L'\0' && Find(s_.processors, processor) == nullptr) return Fail(ordinal, kUnknownProcessor);
  if (share != nullptr && *share != L'\0' && ShareUsed(share)) return Fail(ordinal, kDuplicateShare);
  Printer p;
  p.name = name;
  p.driver = driverName;
  p.port = portName;
  p.share = Text(share);
  p.processor = Text(processor);
  p.dataType = Text(dataType);
  p.attributes = attributes;
  p.isDefault = (attributes & abi::kAttributeDefault) != 0;
  if (p.isDefault) {
    for (Printer& o : s_.printers) o.isDefault = false;
  }
  s_.printers.push_back(p);
  return Succeed(true);
}

int32_t Simulation::DeletePrinter(const wchar_t* name) {
  return Erase(s_.printers, name) ? Succeed(true) : Fail(abi::kDeletePrinter, kInvalidPrinterName);
}

int32_t Simulation::SetDefaultPrinter(const wchar_t* name) {
  Printer* p = FindPrinter(name);
  if (p == nullptr) return Fail(abi::kSetDefaultPrinter, kInvalidPrinterName);
  for (Printer& o : s_.printers) o.isDefault = false;
  p->isDefault = true;
  return Succeed(true);
}

int32_t Simulation::IsPrinterInstalled(const wchar_t* name) {
  return FindPrinter(name) ? Succeed() : Fail(abi::kIsPrinterInstalled, kInvalidPrinterName);
}

int32_t Simulation::GetPrinterJobCount(const wchar_t* name, uint32_t* count) {
  const Printer* p = FindPrinter(name);
  if (p == nullptr || count == nullptr) return Fail(abi::kGetPrinterJobCount, kInvalidPrinterName);
  *count = p->jobs;
  return Succeed();
}

int32_t Simulation::GetPrinterProcessor(wchar_t* buffer, uint32_t size, uint32_t* needed, const wchar_t* name) {
  const Printer* p = FindPrinter(name);
  if (p == nullptr) return Fail(abi::kGetPrinterProcessor, kInvalidPrinterName);
  if (needed) *needed = static_cast<uint32_t>(p->processor.size() + 1);
  return Copy(p->processor, buffer, size) ? Succeed() : Fail(abi::kGetPrinterProcessor, kInsufficientBuffer);
}

int32_t Simulation::GetPrinterPort(wchar_t* buffer, uint32_t size, uint32_t* needed, const wchar_t* name) {
  const Printer* p = FindPrinter(name);
  if (p == nullptr) return Fail(abi::kGetPrinterPort, kInvalidPrinterName);
  if (needed) *needed = static_cast<uint32_t>(p->port.size() + 1);
  return Copy(p->port, buffer, size) ? Succeed() : Fail(abi::kGetPrinterPort, kInsufficientBuffer);
}

// --- ports and monitors -------------------------------------------------------------------------

int32_t Simulation::EnumPorts(wchar_t* buffer, uint32_t size, uint32_t* needed, const wchar_t* monitorName) {
  const auto ofMonitor = [&](const Port& p) { return monitorName == nullptr || SameName(p.monitor, monitorName); };
  return WriteNames(NamesWhere(s_.ports, ofMonitor), buffer, size, needed);
}

int32_t Simulation::DeletePort(const wchar_t* name) {
  return Erase(s_.ports, name) ? Succeed(true) : Fail(abi::kDeletePort, kUnknownPort);
}

int32_t Simulation::AddPortOfMonitor(const wchar_t* monitorName, wchar_t* portName) {
  const Monitor* m = FindMonitor(monitorName);
  if (m == nullptr || m->language) return Fail(abi::kAddPortOfMonitor, kUnknownMonitor);
  const std::wstring base = m->newPort.empty() ? m->name + L" Port" : m->newPort;
  std::wstring name = base;
  for (int n = 2; FindPort(name.c_str()) != nullptr; ++n) name = base + L" " + std::to_wstring(n);
  if (!Copy(name, portName, abi::kPortNameChars)) return Fail(abi::kAddPortOfMonitor, kInsufficientBuffer);
  s_.ports.push_back(Port{name, m->name});
  return Succeed(true);
}

int32_t Simulation::IsPortInstalled(const wchar_t* name) {
  return FindPort(name) ? Succeed() : Fail(abi::kIsPortInstalled, kUnknownPort);
}

int32_t Simulation::EnumPortMonitors(wchar_t* buffer, uint32_t size, uint32_t* needed) {
  return WriteNames(NamesWhere(s_.monitors, [](const Monitor& m) { return !m.language; }), buffer, size, needed);
}

int32_t Simulation::GetMonitorOfPort(wchar_t* buffer, uint32_t size, uint32_t* needed, const wchar_t* name) {
  const Port* p = FindPort(name);
  if (p == nullptr) {
    if (needed) *needed = 0;
    return Fail(abi::kGetMonitorOfPort, kUnknownPort);
  }
  if (needed) *needed = static_cast<uint32_t>(p->monitor.size() + 1);
  return Copy(p->monitor, buffer, size) ? Succeed() : Fail(abi::kGetMonitorOfPort, kInsufficientBuffer);
}

int32_t Simulation::IsPortMonitorInstalled(const wchar_t* name) {
  const Monitor* m = FindMonitor(name);
  return m && !m->language ? Succeed() : Fail(abi::kIsPortMonitorInstalled, kUnknownMonitor);
}

int32_t Simulation::InstallPortMonitor(const wchar_t* name, const abi::MonitorRecord* record, int32_t* restart) {
  if (name == nullptr || *name == L'\0' || record == nullptr) return Fail(abi::kInstallPortMonitor, 87);
  Monitor* m = FindMonitor(name);
  // A monitor whose file is in use is updated at the next restart.
  const bool needsRestart = m != nullptr && m->locked;
  m = &FindOrAdd(s_.monitors, name);
  m->language = false;
  if (!needsRestart) m->file = Text(record->file);
  if (restart != nullptr) *restart = needsRestart ? 1 : 0;
  return Succeed(true);
}

int32_t Simulation::DeletePortMonitor(const wchar_t* name, uint32_t flags) {
  const Monitor* m = FindMonitor(name);
  if (m == nullptr || m->language) return Fail(abi::kDeletePortMonitor, kUnknownMonitor);
  const std::wstring monitorName = m->name;
  if ((flags & abi::kForceBit) == 0 && MonitorServesPrinter(monitorName)) {
    return Fail(abi::kDeletePortMonitor, kMonitorInUse);
  }
  std::erase_if(s_.ports, [&](const Port& p) { return SameName(p.monitor, monitorName); });
  Erase(s_.monitors, name);
  return Succeed(true);
}

int32_t Simulation::IsMonitorInUse(const wchar_t* name) {
  return name && MonitorServesPrinter(name) ? Succeed() : Fail(abi::kIsMonitorInUse, kUnknownMonitor);
}

int32_t Simulation::QueryMonitorFile(const wchar_t* name, uint32_t what, const wchar_t* file, wchar_t* path) {
  const Monitor* m = FindMonitor(name);
  if (m == nullptr) return Fail(abi::kQueryMonitorFile, kUnknownMonitor);
  if (what == abi::kQueryCannotReplace) return m->locked ? Succeed() : Fail(abi::kQueryMonitorFile, kOk);
  if (what != abi::kQueryInstalledFile) return Fail(abi::kQueryMonitorFile, 87);
  const std::wstring installed =
      !m->path.empty() ? m->path : common::JoinPath(s_.systemDirectory, file && *file ? std::wstring(file) : m->file);
  if (path != nullptr && !Copy(installed, path, abi::kMonitorPathChars)) {
    return Fail(abi::kQueryMonitorFile, kInsufficientBuffer);
  }
  return Succeed();
}

int32_t Simulation::ReplacePortMonitor(const wchar_t* name, const abi::MonitorRecord* record) {
  Monitor* m = FindMonitor(name);
  if (m == nullptr) return Fail(abi::kReplacePortMonitor, kUnknownMonitor);
  if (m->locked) return Fail(abi::kReplacePortMonitor, kSharingViolation);
  if (record != nullptr) m->file = Text(record->file);
  m->path.clear();
  return Succeed(true);
}

// --- USB drivers --------------------------------------------------------------------------------

int32_t Simulation::IsUsbDriverInstalled(const wchar_t* name) {
  return Find(s_.usbDrivers, name) ? Succeed() : Fail(abi::kIsUsbDriverInstalled, kUnknownDriver);
}

int32_t Simulation::InstallUsbDriver(const wchar_t* name, const abi::UsbDriverRecord* record,
                                     const wchar_t* hardwareIds, bool alternate) {
  const uint16_t ordinal = alternate ? abi::kInstallUsbDriverAlternate : abi::kInstallUsbDriver;
  if (name == nullptr || *name == L'\0' || record == nullptr) return Fail(ordinal, 87);
  UsbDriver& u = FindOrAdd(s_.usbDrivers, name);
  u.file = Text(record->file);
  u.hardwareIds = Text(hardwareIds);
  u.alternate = u.alternate || alternate;
  Succeed(true);
  // The driver is staged; without a printer plugged in the status says so.
  if (!alternate && !s_.printerConnected) status_ = s_.usbDeviceStatus;
  return 1;
}

void Simulation::NoteStagedInf(const wchar_t* name, const std::wstring& oemInf) {
  UsbDriver* u = name ? Find(s_.usbDrivers, name) : nullptr;
  if (u == nullptr || u->oemInf == oemInf) return;
  u->oemInf = oemInf;
  modified_ = true;
}

bool Simulation::InfStaged(const wchar_t* name) {
  const UsbDriver* u = name ? Find(s_.usbDrivers, name) : nullptr;
  return u != nullptr && !u->oemInf.empty();
}

int32_t Simulation::DeleteUsbDriver(const wchar_t* name) {
  return Erase(s_.usbDrivers, name) ? Succeed(true) : Fail(abi::kDeleteUsbDriver, kUnknownDriver);
}

// --- print processors ---------------------------------------------------------------------------

int32_t Simulation::EnumPrintProcessors(wchar_t* buffer, uint32_t size, uint32_t* needed) {
  return WriteNames(NamesWhere(s_.processors, Any), buffer, size, needed);
}

int32_t Simulation::IsPrintProcessorInstalled(const wchar_t* name) {
  return Find(s_.processors, name) ? Succeed() : Fail(abi::kIsPrintProcessorInstalled, kUnknownProcessor);
}

int32_t Simulation::IsDataTypeSupported(const wchar_t* processor, const wchar_t* dataType) {
  const Processor* p = Find(s_.processors, processor);
  if (p == nullptr || dataType == nullptr) return Fail(abi::kIsDataTypeSupported, kUnknownProcessor);
  const bool found = std::any_of(p->dataTypes.begin(), p->dataTypes.end(),
                                 [&](const std::wstring& t) { return SameName(t, dataType); });
  return found ? Succeed() : Fail(abi::kIsDataTypeSupported, 1804);
}

int32_t Simulation::InstallPrintProcessor(const wchar_t* name, const abi::ProcessorRecord* record) {
  if (name == nullptr || *name == L'\0' || record == nullptr) return Fail(abi::kInstallPrintProcessor, 87);
  Processor& p = FindOrAdd(s_.processors, name);
  if (p.dataTypes.empty()) p.dataTypes = {L"RAW", L"NT EMF 1.008"};
  p.file = Text(record->file);
  return Succeed(true);
}

int32_t Simulation::DeletePrintProcessor(const wchar_t* name) {
  for (const Printer& p : s_.printers) {
    if (name && SameName(p.processor, name)) return Fail(abi::kDeletePrintProcessor, kProcessorInUse);
  }
  return Erase(s_.processors, name) ? Succeed(true) : Fail(abi::kDeletePrintProcessor, kUnknownProcessor);
}

int32_t Simulation::EnumDataTypes(wchar_t* buffer, uint32_t size, uint32_t* needed, const wchar_t* processor) {
  const Processor* p = Find(s_.processors, processor);
  if (p == nullptr) {
    if (needed) *needed = 0;
    return Fail(abi::kEnumDataTypes, kUnknownProcessor);
  }
  return WriteNames(p->dataTypes, buffer, size, needed);
}

// --- shares and services ------------------------------------------------------------------------

int32_t Simulation::IsShareNameUsed(const wchar_t* share) {
  return share && ShareUsed(share) ? Succeed() : Fail(abi::kIsShareNameUsed, kOk);
}

int32_t Simulation::EnumShares(wchar_t* buffer, uint32_t size, uint32_t* needed) {
  std::vector<std::wstring> names = s_.shares;
  for (const Printer& p : s_.printers) {
    if (!p.share.empty()) names.push_back(p.share);
  }
  return WriteNames(names, buffer, size, needed);
}

int32_t Simulation::AfterServiceInstall(const wchar_t* systemDirectory, uint32_t bytes) {
  return systemDirectory && bytes >= 2 ? Succeed() : Fail(abi::kAfterServiceInstall, 87);
}

int32_t Simulation::InstallService(const wchar_t* name, const wchar_t* program) {
  if (name == nullptr || *name == L'\0') return Fail(abi::kInstallService, 87);
  Service& v = FindOrAdd(s_.services, name);
  v.program = Text(program);
  v.running = true;
  return Succeed(true);
}

int32_t Simulation::DeleteService(const wchar_t* name) {
  return Erase(s_.services, name) ? Succeed(true) : Fail(abi::kDeleteService, kServiceMissing);
}

int32_t Simulation::QueryService(const wchar_t* name, uint32_t mode) {
  const Service* v = Find(s_.services, name);
  if (v == nullptr) return Fail(abi::kQueryService, kServiceMissing);
  if (mode == abi::kQueryServiceRunning && !v->running) return Fail(abi::kQueryService, 1062);
  return Succeed();
}

int32_t Simulation::StopService(const wchar_t* name) {
  if (name && SameName(name, L"spooler")) {
    s_.spoolerRunning = false;
    return Succeed(true);
  }
  Service* v = Find(s_.services, name);
  if (v == nullptr) return Fail(abi::kStopService, kServiceMissing);
  v->running = false;
  return Succeed(true);
}

int32_t Simulation::StartService(const wchar_t* name) {
  if (name && SameName(name, L"spooler")) {
    s_.spoolerRunning = true;
    return Succeed(true);
  }
  Service* v = Find(s_.services, name);
  if (v == nullptr) return Fail(abi::kStartService, kServiceMissing);
  v->running = true;
  return Succeed(true);
}

}  // namespace support_stand_in
