// LMOSSUPW.DLL stand-in: each export loads the state file, runs its simulation, saves the state
// when it changed and appends the call to the journal. The .def file maps the ordinals.
#include <windows.h>
#include <setupapi.h>
#include <initguid.h>
#include <devguid.h>

#include <exception>
#include <string>

#include "common/text.h"
#include "common/win/handles.h"
#include "common/win_path.h"
#include "setup_wizard/support_abi.h"
#include "stand_ins/support_library/simulation.h"

namespace {

namespace abi = support_abi;
using common::win::UniqueFile;
using common::win::UniqueHandle;
using support_stand_in::Simulation;
using support_stand_in::State;

// Like GetLastError: the status of this process's last call.
int32_t g_lastStatus = 0;

std::wstring Environment(const wchar_t* name) {
  wchar_t buffer[1024];
  const DWORD n = ::GetEnvironmentVariableW(name, buffer, ARRAYSIZE(buffer));
  return n > 0 && n < ARRAYSIZE(buffer) ? std::wstring(buffer, n) : std::wstring();
}

std::wstring OwnDirectory() {
  HMODULE self = nullptr;
  ::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&OwnDirectory), &self);
  wchar_t path[MAX_PATH];
  const DWORD n = ::GetModuleFileNameW(self, path, MAX_PATH);
  return common::DirectoryOf(std::wstring(path, n < MAX_PATH ? n : 0));
}

std::wstring StatePath() {
  const std::wstring chosen = Environment(L"LMOSSUPW_STATE");
  return chosen.empty() ? common::JoinPath(OwnDirectory(), L"LMOSSUPW.ini") : chosen;
}

bool ReadText(const std::wstring& path, std::wstring& text) {
  UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  std::string bytes;
  char chunk[4096];
  DWORD got = 0;
  while (::ReadFile(file.get(), chunk, sizeof chunk, &got, nullptr) && got > 0) bytes.append(chunk, got);
  text = common::Utf8ToWide(bytes);
  return true;
}

void WriteText(const std::wstring& path, const std::wstring& text, bool append) {
  UniqueFile file(::CreateFileW(path.c_str(), append ? FILE_APPEND_DATA : GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                append ? OPEN_ALWAYS : CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return;
  const std::string bytes = common::WideToUtf8(text);
  DWORD written = 0;
  ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

std::wstring JournalPath(const State& state, const std::wstring& statePath) {
  std::wstring path = Environment(L"LMOSSUPW_JOURNAL");
  if (path.empty()) path = state.journal;
  if (path.empty()) return {};
  const bool absolute = path.size() > 1 && (path[1] == L':' || common::IsPathSeparator(path[0]));
  return absolute ? path : common::JoinPath(common::DirectoryOf(statePath), path);
}

// Holds the state file's named mutex; several processes (launcher, wizard, tests) share the file.
class StateLock {
 public:
  StateLock() : mutex_(::CreateMutexW(nullptr, FALSE, L"Local\\LMOSSUPW-stand-in-state")) {
    owned_ = mutex_ && ::WaitForSingleObject(mutex_.get(), 10000) != WAIT_TIMEOUT;
  }
  ~StateLock() {
    if (owned_) ::ReleaseMutex(mutex_.get());
  }
  StateLock(const StateLock&) = delete;
  StateLock& operator=(const StateLock&) = delete;

 private:
  UniqueHandle mutex_;
  bool owned_ = false;
};

std::wstring InfFolder() {
  wchar_t windows[MAX_PATH] = {};
  const UINT n = ::GetWindowsDirectoryW(windows, MAX_PATH);
  return n > 0 && n < MAX_PATH ? common::JoinPath(std::wstring(windows, n), L"Inf") : std::wstring();
}

// A USB driver package is gone once its information file's copy in the Inf folder is (uninstalled
// through the set-up API or deleted): the state forgets it. True when any was forgotten.
bool ForgetUninstalledUsbDrivers(State& state) {
  const std::wstring inf = InfFolder();
  const auto gone = std::erase_if(state.usbDrivers, [&](const support_stand_in::UsbDriver& u) {
    return !u.oemInf.empty() &&
           ::GetFileAttributesW(common::JoinPath(inf, u.oemInf).c_str()) == INVALID_FILE_ATTRIBUTES;
  });
  return gone > 0;
}

// Stages the USB driver's information file as Windows does: copied into the Inf folder under the
// first free name oem<N>.inf. Empty when there is none to copy.
std::wstring StageInf(const abi::UsbDriverRecord* record) {
  if (record == nullptr || record->infFile == nullptr || *record->infFile == L'\0') return {};
  const std::wstring source = std::wstring(record->sourceDirectory ? record->sourceDirectory : L"") + record->infFile;
  const std::wstring inf = InfFolder();
  for (int n = 0; n < 1000 && !inf.empty(); ++n) {
    const std::wstring name = L"oem" + std::to_wstring(n) + L".inf";
    if (::CopyFileW(source.c_str(), common::JoinPath(inf, name).c_str(), TRUE)) return name;
    if (::GetLastError() != ERROR_FILE_EXISTS) return {};
  }
  return {};
}

// One call under the state lock.
template <typename Behaviour, typename... Args>
int32_t Call(uint16_t ordinal, Behaviour behaviour, Args... args) {
  try {
    StateLock lock;
    const std::wstring statePath = StatePath();
    std::wstring text;
    ReadText(statePath, text);
    support_stand_in::ParseResult parsed = support_stand_in::ParseState(text);
    const bool forgotten = ForgetUninstalledUsbDrivers(parsed.state);
    Simulation sim(parsed.state, g_lastStatus);
    const int32_t result = sim.Run(ordinal, behaviour, args...);
    g_lastStatus = sim.LastStatus();
    if (sim.Modified() || forgotten) WriteText(statePath, support_stand_in::FormatState(parsed.state), false);
    const std::wstring journal = JournalPath(parsed.state, statePath);
    if (!journal.empty()) {
      std::wstring lines;
      for (const std::wstring& p : parsed.problems) lines += L"; state file " + p + L"\r\n";
      for (const std::wstring& line : sim.Journal()) lines += line + L"\r\n";
      WriteText(journal, lines, true);
    }
    return result;
  } catch (const std::exception&) {
    return 0;
  }
}

// Plugs the simulated printer in: a present device the set-up API lists with the USB driver's
// name as description and "USB\<ids>" as hardware ID, as the wizard's device search expects.
void PlugInPrinter(const wchar_t* name, const wchar_t* ids) {
  if (name == nullptr || ids == nullptr || *ids == L'\0') return;
  const HDEVINFO set = ::SetupDiCreateDeviceInfoList(&GUID_DEVCLASS_USB, nullptr);
  if (set == INVALID_HANDLE_VALUE) return;
  const std::wstring hardwareId = L"USB\\" + std::wstring(ids);
  SP_DEVINFO_DATA device{};
  device.cbSize = sizeof device;
  // A printer plugged in by an earlier run is still there: creating it again fails, which is fine.
  if (::SetupDiCreateDeviceInfoW(set, (hardwareId + L"\\STANDIN").c_str(), &GUID_DEVCLASS_USB, name, nullptr, 0,
                                 &device)) {
    std::wstring multi = hardwareId;
    multi.push_back(L'\0');
    multi.push_back(L'\0');
    ::SetupDiSetDeviceRegistryPropertyW(set, &device, SPDRP_HARDWAREID, reinterpret_cast<const BYTE*>(multi.c_str()),
                                        static_cast<DWORD>(multi.size() * sizeof(wchar_t)));
    ::SetupDiRegisterDeviceInfo(set, &device, 0, nullptr, nullptr, nullptr);
  }
  ::SetupDiDestroyDeviceInfoList(set);
}

}  // namespace

#define EXPORT extern "C" int32_t __stdcall

EXPORT LM_GetOsVersionCode() {
  return Call(abi::kGetOsVersionCode, [](Simulation& s) { return s.GetOsVersionCode(); });
}
EXPORT LM_GetLastSupportStatus(int32_t* status) {
  return Call(abi::kGetLastSupportStatus, [=](Simulation& s) { return s.GetLastSupportStatus(status); }, status);
}
EXPORT LM_CheckSetupPreconditions() {
  return Call(abi::kCheckSetupPreconditions, [](Simulation& s) { return s.CheckSetupPreconditions(); });
}
EXPORT LM_RestartSystem() {
  return Call(abi::kRestartSystem, [](Simulation& s) { return s.RestartSystem(); });
}
EXPORT LM_GetSupportVersion() {
  return Call(abi::kGetSupportVersion, [](Simulation&) { return 0x0100; });
}
EXPORT LM_InstallPrinterDriver(const wchar_t* name, const abi::DriverRecord* record, uint32_t flags,
                               uint32_t reserved, uint32_t osFlags) {
  return Call(abi::kInstallPrinterDriver, [=](Simulation& s) { return s.InstallPrinterDriver(name, record, osFlags); },
              name, record, flags, reserved, osFlags);
}
EXPORT LM_DeletePrinterDriver(const wchar_t* name, const abi::DriverRecord* record, uint32_t flags, uint32_t osFlags) {
  return Call(abi::kDeletePrinterDriver, [=](Simulation& s) { return s.DeletePrinterDriver(name, osFlags); },
              name, record, flags, osFlags);
}
EXPORT LM_IsPrinterDriverInstalled(const wchar_t* name, uint32_t reserved) {
  return Call(abi::kIsPrinterDriverInstalled, [=](Simulation& s) { return s.IsPrinterDriverInstalled(name); },
              name, reserved);
}
EXPORT LM_EnumPrinterDrivers(wchar_t* buffer, uint32_t size, uint32_t* needed, uint32_t reserved) {
  return Call(abi::kEnumPrinterDrivers, [=](Simulation& s) { return s.EnumPrinterDrivers(buffer, size, needed); },
              buffer, size, needed, reserved);
}
EXPORT LM_EnumPrintersOfDriver(wchar_t* buffer, uint32_t size, uint32_t* needed, const wchar_t* driver) {
  return Call(abi::kEnumPrintersOfDriver,
              [=](Simulation& s) { return s.EnumPrintersOfDriver(buffer, size, needed, driver); },
              buffer, size, needed, driver);
}
EXPORT LM_ValidatePrinterName(const wchar_t* name) {
  return Call(abi::kValidatePrinterName, [=](Simulation& s) { return s.ValidatePrinterName(name); }, name);
}
EXPORT LM_AddPrinter(const wchar_t* printer, const wchar_t* driver, const wchar_t* port, uint32_t reserved1,
                     const wchar_t* share, uint32_t reserved2, uint32_t attributes) {
  return Call(abi::kAddPrinter,
              [=](Simulation& s) { return s.AddPrinter(printer, driver, port, share, nullptr, nullptr, attributes); },
              printer, driver, port, reserved1, share, reserved2, attributes);
}
EXPORT LM_AddPrinterWithProcessor(const wchar_t* printer, const abi::PrinterRecord* r, uint32_t reserved,
                                  uint32_t attributes) {
  return Call(abi::kAddPrinterWithProcessor, [=](Simulation& s) {
    if (r == nullptr) return s.AddPrinter(printer, nullptr, nullptr, nullptr, nullptr, nullptr, attributes);
    const wchar_t* processor = r->processorName ? r->processorName : L"";
    return s.AddPrinter(printer, r->driverName, r->portName, r->shareName, processor, r->dataType, attributes);
  }, printer, r ? r->driverName : nullptr, r ? r->portName : nullptr, r ? r->shareName : nullptr,
     r ? r->processorName : nullptr, r ? r->dataType : nullptr, reserved, attributes);
}
EXPORT LM_DeletePrinter(const wchar_t* printer) {
  return Call(abi::kDeletePrinter, [=](Simulation& s) { return s.DeletePrinter(printer); }, printer);
}
EXPORT LM_SetDefaultPrinter(const wchar_t* printer) {
  return Call(abi::kSetDefaultPrinter, [=](Simulation& s) { return s.SetDefaultPrinter(printer); }, printer);
}
EXPORT LM_IsPrinterInstalled(const wchar_t* printer, uint32_t reserved) {
  return Call(abi::kIsPrinterInstalled, [=](Simulation& s) { return s.IsPrinterInstalled(printer); }, printer,
              reserved);
}
EXPORT LM_EnumPorts(wchar_t* buffer, uint32_t size, uint32_t* needed, uint32_t reserved, const wchar_t* monitor) {
  return Call(abi::kEnumPorts, [=](Simulation& s) { return s.EnumPorts(buffer, size, needed, monitor); },
              buffer, size, needed, reserved, monitor);
}
EXPORT LM_DeletePort(const wchar_t* port, const wchar_t* monitor) {
  return Call(abi::kDeletePort, [=](Simulation& s) { return s.DeletePort(port); }, port, monitor);
}
EXPORT LM_AddPortOfMonitor(void* owner, const wchar_t* monitor, wchar_t* portName) {
  return Call(abi::kAddPortOfMonitor, [=](Simulation& s) { return s.AddPortOfMonitor(monitor, portName); },
              owner, monitor, portName);
}
EXPORT LM_IsPortInstalled(const wchar_t* port, uint32_t reserved) {
  return Call(abi::kIsPortInstalled, [=](Simulation& s) { return s.IsPortInstalled(port); }, port, reserved);
}
EXPORT LM_EnumPortMonitors(wchar_t* buffer, uint32_t size, uint32_t* needed, uint32_t reserved) {
  return Call(abi::kEnumPortMonitors, [=](Simulation& s) { return s.EnumPortMonitors(buffer, size, needed); },
              buffer, size, needed, reserved);
}
EXPORT LM_GetMonitorOfPort(wchar_t* buffer, uint32_t size, uint32_t* needed, const wchar_t* port) {
  return Call(abi::kGetMonitorOfPort, [=](Simulation& s) { return s.GetMonitorOfPort(buffer, size, needed, port); },
              buffer, size, needed, port);
}
EXPORT LM_IsPortMonitorInstalled(const wchar_t* name, uint32_t reserved) {
  return Call(abi::kIsPortMonitorInstalled, [=](Simulation& s) { return s.IsPortMonitorInstalled(name); }, name,
              reserved);
}
EXPORT LM_InstallPortMonitor(const wchar_t* name, const abi::MonitorRecord* record, uint32_t flags, int32_t* restart) {
  return Call(abi::kInstallPortMonitor, [=](Simulation& s) { return s.InstallPortMonitor(name, record, restart); },
              name, record, flags, restart);
}
EXPORT LM_DeletePortMonitor(const wchar_t* name, const abi::MonitorRecord* record, uint32_t flags) {
  return Call(abi::kDeletePortMonitor, [=](Simulation& s) { return s.DeletePortMonitor(name, flags); }, name,
              record, flags);
}
EXPORT LM_IsUsbDriverInstalled(const wchar_t* name, uint32_t reserved) {
  return Call(abi::kIsUsbDriverInstalled, [=](Simulation& s) { return s.IsUsbDriverInstalled(name); }, name,
              reserved);
}
namespace {

// Installs a USB driver; its information file is staged the first time.
int32_t InstallUsbDriver(Simulation& s, const wchar_t* name, const abi::UsbDriverRecord* record, const wchar_t* ids,
                         bool alternate) {
  const int32_t result = s.InstallUsbDriver(name, record, ids, alternate);
  if (result == 1 && !s.InfStaged(name)) s.NoteStagedInf(name, StageInf(record));
  return result;
}

}  // namespace

EXPORT LM_InstallUsbDriver(const wchar_t* name, const abi::UsbDriverRecord* record, const wchar_t* ids,
                           uint32_t flags, uint32_t reserved) {
  return Call(abi::kInstallUsbDriver, [=](Simulation& s) {
    const int32_t result = InstallUsbDriver(s, name, record, ids, false);
    if (result == 1 && s.PrinterConnected()) PlugInPrinter(name, ids);
    return result;
  },
              name, record, ids, flags, reserved);
}
EXPORT LM_InstallUsbDriverAlternate(const wchar_t* name, const abi::UsbDriverRecord* record, const wchar_t* ids,
                                    uint32_t flags, uint32_t reserved) {
  return Call(abi::kInstallUsbDriverAlternate,
              [=](Simulation& s) { return InstallUsbDriver(s, name, record, ids, true); }, name, record, ids, flags,
              reserved);
}
EXPORT LM_DeleteUsbDriver(const wchar_t* name, const abi::UsbDriverRecord* record, uint32_t flags) {
  return Call(abi::kDeleteUsbDriver, [=](Simulation& s) { return s.DeleteUsbDriver(name); }, name, record, flags);
}
EXPORT LM_EnumPrintProcessors(wchar_t* buffer, uint32_t size, uint32_t* needed, uint32_t reserved) {
  return Call(abi::kEnumPrintProcessors, [=](Simulation& s) { return s.EnumPrintProcessors(buffer, size, needed); },
              buffer, size, needed, reserved);
}
EXPORT LM_IsPrintProcessorInstalled(const wchar_t* name, uint32_t reserved) {
  return Call(abi::kIsPrintProcessorInstalled, [=](Simulation& s) { return s.IsPrintProcessorInstalled(name); },
              name, reserved);
}
EXPORT LM_IsDataTypeSupported(const wchar_t* processor, const wchar_t* dataType) {
  return Call(abi::kIsDataTypeSupported, [=](Simulation& s) { return s.IsDataTypeSupported(processor, dataType); },
              processor, dataType);
}
EXPORT LM_GetPrinterProcessor(wchar_t* buffer, uint32_t size, uint32_t* needed, const wchar_t* printer) {
  return Call(abi::kGetPrinterProcessor,
              [=](Simulation& s) { return s.GetPrinterProcessor(buffer, size, needed, printer); }, buffer, size,
              needed, printer);
}
EXPORT LM_InstallPrintProcessor(const wchar_t* name, const abi::ProcessorRecord* record, uint32_t flags,
                                uint32_t reserved) {
  return Call(abi::kInstallPrintProcessor, [=](Simulation& s) { return s.InstallPrintProcessor(name, record); },
              name, record, flags, reserved);
}
EXPORT LM_DeletePrintProcessor(const wchar_t* name, const abi::ProcessorRecord* record, uint32_t flags) {
  return Call(abi::kDeletePrintProcessor, [=](Simulation& s) { return s.DeletePrintProcessor(name); }, name, record,
              flags);
}
EXPORT LM_EnumDataTypes(wchar_t* buffer, uint32_t size, uint32_t* needed, const wchar_t* processor,
                        uint32_t reserved) {
  return Call(abi::kEnumDataTypes, [=](Simulation& s) { return s.EnumDataTypes(buffer, size, needed, processor); },
              buffer, size, needed, processor, reserved);
}
EXPORT LM_GetPrinterPort(wchar_t* buffer, uint32_t size, uint32_t* needed, const wchar_t* printer) {
  return Call(abi::kGetPrinterPort, [=](Simulation& s) { return s.GetPrinterPort(buffer, size, needed, printer); },
              buffer, size, needed, printer);
}
EXPORT LM_IsShareNameUsed(const wchar_t* share, uint32_t reserved) {
  return Call(abi::kIsShareNameUsed, [=](Simulation& s) { return s.IsShareNameUsed(share); }, share, reserved);
}
EXPORT LM_AfterServiceInstall(wchar_t* systemDirectory, uint32_t bytes) {
  const wchar_t* text = systemDirectory;
  return Call(abi::kAfterServiceInstall, [=](Simulation& s) { return s.AfterServiceInstall(text, bytes); }, text,
              bytes);
}
EXPORT LM_GetPrinterJobCount(const wchar_t* printer, uint32_t* count) {
  return Call(abi::kGetPrinterJobCount, [=](Simulation& s) { return s.GetPrinterJobCount(printer, count); },
              printer, count);
}
EXPORT LM_EnumShares(wchar_t* buffer, uint32_t size, uint32_t* needed, uint32_t reserved) {
  return Call(abi::kEnumShares, [=](Simulation& s) { return s.EnumShares(buffer, size, needed); }, buffer, size,
              needed, reserved);
}
EXPORT LM_InstallService(const wchar_t* name, const wchar_t* program) {
  return Call(abi::kInstallService, [=](Simulation& s) { return s.InstallService(name, program); }, name, program);
}
EXPORT LM_DeleteService(const wchar_t* name) {
  return Call(abi::kDeleteService, [=](Simulation& s) { return s.DeleteService(name); }, name);
}
EXPORT LM_QueryService(const wchar_t* name, uint32_t mode) {
  return Call(abi::kQueryService, [=](Simulation& s) { return s.QueryService(name, mode); }, name, mode);
}
EXPORT LM_StopService(const wchar_t* name) {
  return Call(abi::kStopService, [=](Simulation& s) { return s.StopService(name); }, name);
}
EXPORT LM_StartService(const wchar_t* name) {
  return Call(abi::kStartService, [=](Simulation& s) { return s.StartService(name); }, name);
}
EXPORT LM_QueryMonitorFile(const wchar_t* monitor, uint32_t what, const wchar_t* file, wchar_t* path) {
  return Call(abi::kQueryMonitorFile, [=](Simulation& s) { return s.QueryMonitorFile(monitor, what, file, path); },
              monitor, what, file, path);
}
EXPORT LM_IsMonitorInUse(const wchar_t* name, uint32_t reserved) {
  return Call(abi::kIsMonitorInUse, [=](Simulation& s) { return s.IsMonitorInUse(name); }, name, reserved);
}
EXPORT LM_ReplacePortMonitor(const wchar_t* name, const abi::MonitorRecord* record, uint32_t flags) {
  return Call(abi::kReplacePortMonitor, [=](Simulation& s) { return s.ReplacePortMonitor(name, record); }, name,
              record, flags);
}
