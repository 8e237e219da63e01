// A scripted support library behind the real binding: the loader hands out functions that record
// each call in a journal and answer from the fields of the one active FakeSupport.
#pragma once

#include <cstring>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "setup_wizard/setup_app.h"
#include "setup_wizard/support_library.h"

namespace setup_wizard::fakes {

namespace abi = support_abi;

struct FakeSupport {
  std::vector<std::wstring> journal;
  std::map<std::wstring, int32_t> results;  // export name -> result; absent: 1
  std::map<std::wstring, std::deque<int32_t>> nextResults;  // export name -> results of its next calls
  int32_t status = 0;                       // what GetLastSupportStatus returns and writes
  std::map<std::wstring, int32_t> statusAfter;  // export name -> status its call leaves
  int32_t osCode = 0x0600;
  std::vector<std::wstring> ports;
  std::vector<std::wstring> monitors;
  std::map<std::wstring, std::wstring> monitorOfPort;
  std::vector<std::wstring> dataTypes{L"RAW", L"NT EMF 1.008"};
  std::wstring newPort = L"TPX800 Port";
  int32_t restartFlag = 0;
  std::map<std::wstring, std::wstring> installedMonitors;  // monitor -> path QueryMonitorFile gives
  bool cannotReplace = false;
  std::set<std::wstring> services;
  std::set<std::wstring> usedShares;  // installed (and running) services
  std::set<std::wstring> installedDrivers;                       // IsPrinterDriverInstalled
  std::set<std::wstring> installedPortMonitors;                  // IsPortMonitorInstalled
  std::map<std::wstring, std::vector<std::wstring>> printersOf;  // driver -> its printers
  std::map<std::wstring, std::vector<std::wstring>> portsOf;     // monitor -> its ports; absent: `ports`
  std::map<std::wstring, uint32_t> jobs;                         // printer -> queued jobs
  // What the last calls carried.
  uint32_t attributes = 0;
  std::wstring dataType, share, port, processor;

  static FakeSupport*& Active() {
    static FakeSupport* active = nullptr;
    return active;
  }

  int32_t Answer(const std::wstring& name, const std::wstring& args) {
    journal.push_back(name + L"(" + args + L")");
    const auto s = statusAfter.find(name);
    if (s != statusAfter.end()) status = s->second;
    auto& queued = nextResults[name];
    if (!queued.empty()) {
      const int32_t next = queued.front();
      queued.pop_front();
      return next;
    }
    const auto r = results.find(name);
    return r == results.end() ? 1 : r->second;
  }
  static std::wstring Text(const wchar_t* t) { return t ? std::wstring(t) : L"null"; }
  static int32_t Names(const std::vector<std::wstring>& names, wchar_t* buffer, uint32_t size, uint32_t* needed) {
    size_t chars = 0;
    for (const auto& n : names) chars += n.size() + 1;
    if (needed) *needed = static_cast<uint32_t>(chars);
    if (buffer == nullptr) return static_cast<int32_t>(names.size());
    if (size < chars) return 0;
    for (const auto& n : names) {
      std::memcpy(buffer, n.c_str(), (n.size() + 1) * sizeof(wchar_t));
      buffer += n.size() + 1;
    }
    return static_cast<int32_t>(names.size());
  }
  // The journal without the status and enumeration calls, for order checks.
  std::vector<std::wstring> Actions() const {
    std::vector<std::wstring> out;
    for (const auto& line : journal) {
      if (line.rfind(L"GetLastSupportStatus", 0) == 0 || line.rfind(L"Enum", 0) == 0 ||
          line.rfind(L"GetOsVersionCode", 0) == 0 || line.rfind(L"QueryService", 0) == 0) {
        continue;
      }
      out.push_back(line);
    }
    return out;
  }
};

namespace thunks {
inline FakeSupport& F() { return *FakeSupport::Active(); }
inline int32_t GetOsVersionCode() { return F().osCode; }
inline int32_t GetLastSupportStatus(int32_t* s) {
  F().journal.push_back(L"GetLastSupportStatus()");
  if (s) *s = F().status;
  return F().status;
}
inline int32_t CheckSetupPreconditions() { return F().Answer(L"CheckSetupPreconditions", L""); }
inline int32_t ValidatePrinterName(const wchar_t* n) { return F().Answer(L"ValidatePrinterName", FakeSupport::Text(n)); }
inline int32_t IsShareNameUsed(const wchar_t* n, uint32_t) {
  F().journal.push_back(L"IsShareNameUsed(" + FakeSupport::Text(n) + L")");
  return F().usedShares.count(n) ? 1 : 0;
}
inline int32_t EnumPorts(wchar_t* b, uint32_t s, uint32_t* n, uint32_t, const wchar_t* monitor) {
  const auto it = monitor ? F().portsOf.find(monitor) : F().portsOf.end();
  return FakeSupport::Names(it != F().portsOf.end() ? it->second : F().ports, b, s, n);
}
inline int32_t EnumPortMonitors(wchar_t* b, uint32_t s, uint32_t* n, uint32_t) {
  return FakeSupport::Names(F().monitors, b, s, n);
}
inline int32_t EnumDataTypes(wchar_t* b, uint32_t s, uint32_t* n, const wchar_t*, uint32_t) {
  return FakeSupport::Names(F().dataTypes, b, s, n);
}
inline int32_t GetMonitorOfPort(wchar_t* b, uint32_t s, uint32_t* n, const wchar_t* port) {
  const std::wstring m = F().monitorOfPort[port];
  if (n) *n = static_cast<uint32_t>(m.size() + 1);
  if (!b || s < m.size() + 1) return 0;
  std::memcpy(b, m.c_str(), (m.size() + 1) * sizeof(wchar_t));
  return 1;
}
inline int32_t InstallUsbDriver(const wchar_t* n, const abi::UsbDriverRecord* r, const wchar_t* ids, uint32_t f, uint32_t) {
  return F().Answer(L"InstallUsbDriver", FakeSupport::Text(n) + L", " + FakeSupport::Text(ids) + L", " +
                                             std::to_wstring(f) + L", " + FakeSupport::Text(r ? r->file : nullptr));
}
inline int32_t InstallUsbDriverAlternate(const wchar_t* n, const abi::UsbDriverRecord*, const wchar_t* ids, uint32_t f,
                                         uint32_t) {
  return F().Answer(L"InstallUsbDriverAlternate", FakeSupport::Text(n) + L", " + FakeSupport::Text(ids) + L", " +
                                                      std::to_wstring(f));
}
inline int32_t InstallPortMonitor(const wchar_t* n, const abi::MonitorRecord* r, uint32_t f, int32_t* restart) {
  const int32_t result = F().Answer(L"InstallPortMonitor", FakeSupport::Text(n) + L", " + std::to_wstring(f));
  if (restart) *restart = F().restartFlag;
  return result;
}
inline int32_t QueryMonitorFile(const wchar_t* m, uint32_t what, const wchar_t* file, wchar_t* path) {
  const auto it = F().installedMonitors.find(m);
  F().journal.push_back(L"QueryMonitorFile(" + FakeSupport::Text(m) + L", " + std::to_wstring(what) + L")");
  if (it == F().installedMonitors.end()) return 0;
  if (what == abi::kQueryCannotReplace) return F().cannotReplace ? 1 : 0;
  if (path) std::wcsncpy(path, it->second.c_str(), abi::kMonitorPathChars - 1);
  return 1;
}
inline int32_t ReplacePortMonitor(const wchar_t* n, const abi::MonitorRecord*, uint32_t f) {
  return F().Answer(L"ReplacePortMonitor", FakeSupport::Text(n) + L", " + std::to_wstring(f));
}
inline int32_t AddPortOfMonitor(void*, const wchar_t* m, wchar_t* port) {
  const int32_t r = F().Answer(L"AddPortOfMonitor", FakeSupport::Text(m));
  if (r == 1) std::wcsncpy(port, F().newPort.c_str(), abi::kPortNameChars - 1);
  return r;
}
inline int32_t InstallPrinterDriver(const wchar_t* n, const abi::DriverRecord* r, uint32_t f, uint32_t, uint32_t) {
  return F().Answer(L"InstallPrinterDriver", FakeSupport::Text(n) + L", " + std::to_wstring(f) + L", " +
                                                 FakeSupport::Text(r ? r->languageMonitorName : nullptr));
}
inline int32_t InstallPrintProcessor(const wchar_t* n, const abi::ProcessorRecord*, uint32_t f, uint32_t) {
  return F().Answer(L"InstallPrintProcessor", FakeSupport::Text(n) + L", " + std::to_wstring(f));
}
inline int32_t AddPrinterWithProcessor(const wchar_t* p, const abi::PrinterRecord* r, uint32_t, uint32_t a) {
  F().attributes = a;
  F().dataType = FakeSupport::Text(r->dataType);
  F().port = FakeSupport::Text(r->portName);
  F().share = FakeSupport::Text(r->shareName);
  F().processor = FakeSupport::Text(r->processorName);
  return F().Answer(L"AddPrinterWithProcessor", FakeSupport::Text(p) + L", " + FakeSupport::Text(r->driverName));
}
inline int32_t AddPrinter(const wchar_t* p, const wchar_t* d, const wchar_t* port, uint32_t, const wchar_t* share,
                          uint32_t, uint32_t a) {
  F().attributes = a;
  F().port = FakeSupport::Text(port);
  F().share = FakeSupport::Text(share);
  return F().Answer(L"AddPrinter", FakeSupport::Text(p) + L", " + FakeSupport::Text(d));
}
inline int32_t AfterServiceInstall(wchar_t* dir, uint32_t bytes) {
  return F().Answer(L"AfterServiceInstall", FakeSupport::Text(dir) + L", " + std::to_wstring(bytes));
}
inline int32_t QueryService(const wchar_t* n, uint32_t mode) {
  F().journal.push_back(L"QueryService(" + FakeSupport::Text(n) + L", " + std::to_wstring(mode) + L")");
  return F().services.count(n) ? 1 : 0;
}
inline int32_t IsPrinterDriverInstalled(const wchar_t* n, uint32_t) { return F().installedDrivers.count(n) ? 1 : 0; }
inline int32_t IsPortMonitorInstalled(const wchar_t* n, uint32_t) { return F().installedPortMonitors.count(n) ? 1 : 0; }
inline int32_t EnumPrintersOfDriver(wchar_t* b, uint32_t s, uint32_t* n, const wchar_t* driver) {
  return FakeSupport::Names(F().printersOf[driver], b, s, n);
}
inline int32_t GetPrinterJobCount(const wchar_t* p, uint32_t* count) {
  if (count) *count = F().jobs[p];
  return 1;
}
inline int32_t DeletePrinterDriver(const wchar_t* n, const abi::DriverRecord* r, uint32_t f, uint32_t os) {
  const int32_t result =
      F().Answer(L"DeletePrinterDriver", FakeSupport::Text(n) + L", " + std::to_wstring(f) + L", " + std::to_wstring(os) +
                                             L", " + FakeSupport::Text(r ? r->hardwareId : nullptr));
  if (result == 1 && os == 0) F().installedDrivers.erase(n);
  return result;
}
inline int32_t DeletePrintProcessor(const wchar_t* n, const abi::ProcessorRecord*, uint32_t f) {
  return F().Answer(L"DeletePrintProcessor", FakeSupport::Text(n) + L", " + std::to_wstring(f));
}
inline int32_t DeletePortMonitor(const wchar_t* n, const abi::MonitorRecord*, uint32_t f) {
  const int32_t result = F().Answer(L"DeletePortMonitor", FakeSupport::Text(n) + L", " + std::to_wstring(f));
  if (result == 1) F().installedPortMonitors.erase(n);
  return result;
}
inline int32_t StopService(const wchar_t* n) { return F().Answer(L"StopService", FakeSupport::Text(n)); }
inline int32_t StartService(const wchar_t* n) { return F().Answer(L"StartService", FakeSupport::Text(n)); }
inline int32_t RestartSystem() { return F().Answer(L"RestartSystem", L""); }
inline int32_t Nothing() { return 0; }
}  // namespace thunks

// A loader whose module is the fake above.
class FakeSupportLoader : public ModuleLoader {
 public:
  std::wstring OwnDirectory() override { return L"C:\\Driver"; }
  bool Load(const std::wstring&) override { return true; }
  void* Procedure(uint16_t ordinal) override {
    static const std::map<uint16_t, void*> table = {
        {abi::kGetOsVersionCode, reinterpret_cast<void*>(&thunks::GetOsVersionCode)},
        {abi::kGetLastSupportStatus, reinterpret_cast<void*>(&thunks::GetLastSupportStatus)},
        {abi::kCheckSetupPreconditions, reinterpret_cast<void*>(&thunks::CheckSetupPreconditions)},
        {abi::kValidatePrinterName, reinterpret_cast<void*>(&thunks::ValidatePrinterName)},
        {abi::kIsShareNameUsed, reinterpret_cast<void*>(&thunks::IsShareNameUsed)},
        {abi::kEnumPorts, reinterpret_cast<void*>(&thunks::EnumPorts)},
        {abi::kEnumPortMonitors, reinterpret_cast<void*>(&thunks::EnumPortMonitors)},
        {abi::kEnumDataTypes, reinterpret_cast<void*>(&thunks::EnumDataTypes)},
        {abi::kGetMonitorOfPort, reinterpret_cast<void*>(&thunks::GetMonitorOfPort)},
        {abi::kInstallUsbDriver, reinterpret_cast<void*>(&thunks::InstallUsbDriver)},
        {abi::kInstallUsbDriverAlternate, reinterpret_cast<void*>(&thunks::InstallUsbDriverAlternate)},
        {abi::kInstallPortMonitor, reinterpret_cast<void*>(&thunks::InstallPortMonitor)},
        {abi::kQueryMonitorFile, reinterpret_cast<void*>(&thunks::QueryMonitorFile)},
        {abi::kReplacePortMonitor, reinterpret_cast<void*>(&thunks::ReplacePortMonitor)},
        {abi::kAddPortOfMonitor, reinterpret_cast<void*>(&thunks::AddPortOfMonitor)},
        {abi::kInstallPrinterDriver, reinterpret_cast<void*>(&thunks::InstallPrinterDriver)},
        {abi::kInstallPrintProcessor, reinterpret_cast<void*>(&thunks::InstallPrintProcessor)},
        {abi::kAddPrinterWithProcessor, reinterpret_cast<void*>(&thunks::AddPrinterWithProcessor)},
        {abi::kAddPrinter, reinterpret_cast<void*>(&thunks::AddPrinter)},
        {abi::kAfterServiceInstall, reinterpret_cast<void*>(&thunks::AfterServiceInstall)},
        {abi::kQueryService, reinterpret_cast<void*>(&thunks::QueryService)},
        {abi::kIsPrinterDriverInstalled, reinterpret_cast<void*>(&thunks::IsPrinterDriverInstalled)},
        {abi::kIsPortMonitorInstalled, reinterpret_cast<void*>(&thunks::IsPortMonitorInstalled)},
        {abi::kEnumPrintersOfDriver, reinterpret_cast<void*>(&thunks::EnumPrintersOfDriver)},
        {abi::kGetPrinterJobCount, reinterpret_cast<void*>(&thunks::GetPrinterJobCount)},
        {abi::kDeletePrinterDriver, reinterpret_cast<void*>(&thunks::DeletePrinterDriver)},
        {abi::kDeletePrintProcessor, reinterpret_cast<void*>(&thunks::DeletePrintProcessor)},
        {abi::kDeletePortMonitor, reinterpret_cast<void*>(&thunks::DeletePortMonitor)},
        {abi::kStopService, reinterpret_cast<void*>(&thunks::StopService)},
        {abi::kStartService, reinterpret_cast<void*>(&thunks::StartService)},
        {abi::kRestartSystem, reinterpret_cast<void*>(&thunks::RestartSystem)},
    };
    const auto it = table.find(ordinal);
    return it != table.end() ? it->second : reinterpret_cast<void*>(&thunks::Nothing);
  }
  void Unload() override {}
};

// The fake, bound through the real SupportLibrary, active for the object's life.
class BoundFake {
 public:
  BoundFake() : library(loader) {
    FakeSupport::Active() = &fake;
    library.Bind();
  }
  ~BoundFake() { FakeSupport::Active() = nullptr; }
  FakeSupport fake;
  FakeSupportLoader loader;
  SupportLibrary library;
};

}  // namespace setup_wizard::fakes
