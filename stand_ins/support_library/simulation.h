// The behaviour of every export of the support-library stand-in, on a State. The DLL layer loads
// the state, runs one call through `run`, saves the state when it changed and appends the journal.
#pragma once

#include <cstdint>
#include <string>
#include <type_traits>
#include <vector>

#include "setup_wizard/support_abi.h"
#include "stand_ins/support_library/state.h"

namespace support_stand_in {

// Status values the simulation leaves behind (Windows error numbers).
enum Status : int32_t {
  kOk = 0,
  kAccessDenied = 5,
  kSharingViolation = 32,
  kInsufficientBuffer = 122,
  kServiceMissing = 1060,
  kRpcUnavailable = 1722,
  kUnknownPort = 1796,
  kUnknownDriver = 1797,
  kUnknownProcessor = 1798,
  kInvalidPrinterName = 1801,
  kPrinterExists = 1802,
  kUnknownMonitor = 3000,
  kDriverInUse = 3001,
  kProcessorInUse = 3002,
  kMonitorInUse = 3008,
  kDuplicateShare = 2118,
};

class Simulation {
 public:
  Simulation(State& state, int32_t lastStatus) : s_(state), status_(lastStatus) {}

  int32_t LastStatus() const { return status_; }
  bool Modified() const { return modified_; }
  bool PrinterConnected() const { return s_.printerConnected; }
  const std::vector<std::wstring>& Journal() const { return journal_; }

  // One export call: a forced failure from [Fail] wins, then the behaviour runs; both are journaled.
  template <typename Behaviour, typename... Args>
  int32_t Run(uint16_t ordinal, Behaviour behaviour, Args... args) {
    int32_t result = 0;
    if (!ForcedFailure(ordinal)) result = behaviour(*this);
    Record(ordinal, result, Describe(args...));
    return result;
  }

  int32_t GetOsVersionCode() { return static_cast<int32_t>(s_.osCode); }
  int32_t GetLastSupportStatus(int32_t* status);
  int32_t CheckSetupPreconditions();
  int32_t RestartSystem();
  int32_t InstallPrinterDriver(const wchar_t* name, const support_abi::DriverRecord* record, uint32_t osFlags);
  int32_t DeletePrinterDriver(const wchar_t* name, uint32_t osFlags);
  int32_t IsPrinterDriverInstalled(const wchar_t* name);
  int32_t EnumPrinterDrivers(wchar_t* buffer, uint32_t size, uint32_t* needed);
  int32_t EnumPrintersOfDriver(wchar_t* buffer, uint32_t size, uint32_t* needed, const wchar_t* driver);
  int32_t ValidatePrinterName(const wchar_t* name);
  int32_t AddPrinter(const wchar_t* printer, const wchar_t* driver, const wchar_t* port, const wchar_t* share,
                     const wchar_t* processor, const wchar_t* dataType, uint32_t attributes);
  int32_t DeletePrinter(const wchar_t* printer);
  int32_t SetDefaultPrinter(const wchar_t* printer);
  int32_t IsPrinterInstalled(const wchar_t* printer);
  int32_t EnumPorts(wchar_t* buffer, uint32_t size, uint32_t* needed, const wchar_t* monitor);
  int32_t DeletePort(const wchar_t* port);
  int32_t AddPortOfMonitor(const wchar_t* monitor, wchar_t* portName);
  int32_t IsPortInstalled(const wchar_t* port);
  int32_t EnumPortMonitors(wchar_t* buffer, uint32_t size, uint32_t* needed);
  int32_t GetMonitorOfPort(wchar_t* buffer, uint32_t size, uint32_t* needed, const wchar_t* port);
  int32_t IsPortMonitorInstalled(const wchar_t* name);
  int32_t InstallPortMonitor(const wchar_t* name, const support_abi::MonitorRecord* record, int32_t* restart);
  int32_t DeletePortMonitor(const wchar_t* name, uint32_t flags);
  int32_t IsUsbDriverInstalled(const wchar_t* name);
  int32_t InstallUsbDriver(const wchar_t* name, const support_abi::UsbDriverRecord* record,
                           const wchar_t* hardwareIds, bool alternate);
  int32_t DeleteUsbDriver(const wchar_t* name);
  // The USB driver's information file was staged in the system's Inf folder as `oemInf`.
  void NoteStagedInf(const wchar_t* name, const std::wstring& oemInf);
  bool InfStaged(const wchar_t* name);

  int32_t EnumPrintProcessors(wchar_t* buffer, uint32_t size, uint32_t* needed);
  int32_t IsPrintProcessorInstalled(const wchar_t* name);
  int32_t IsDataTypeSupported(const wchar_t* processor, const wchar_t* dataType);
  int32_t GetPrinterProcessor(wchar_t* buffer, uint32_t size, uint32_t* needed, const wchar_t* printer);
  int32_t InstallPrintProcessor(const wchar_t* name, const support_abi::ProcessorRecord* record);
  int32_t DeletePrintProcessor(const wchar_t* name);
  int32_t EnumDataTypes(wchar_t* buffer, uint32_t size, uint32_t* needed, const wchar_t* processor);
  int32_t GetPrinterPort(wchar_t* buffer, uint32_t size, uint32_t* needed, const wchar_t* printer);
  int32_t IsShareNameUsed(const wchar_t* share);
  int32_t AfterServiceInstall(const wchar_t* systemDirectory, uint32_t bytes);
  int32_t GetPrinterJobCount(const wchar_t* printer, uint32_t* count);
  int32_t EnumShares(wchar_t* buffer, uint32_t size, uint32_t* needed);
  int32_t InstallService(const wchar_t* name, const wchar_t* program);
  int32_t DeleteService(const wchar_t* name);
  int32_t QueryService(const wchar_t* name, uint32_t mode);
  int32_t StopService(const wchar_t* name);
  int32_t StartService(const wchar_t* name);
  int32_t QueryMonitorFile(const wchar_t* monitor, uint32_t what, const wchar_t* file, wchar_t* path);
  int32_t IsMonitorInUse(const wchar_t* name);
  int32_t ReplacePortMonitor(const wchar_t* name, const support_abi::MonitorRecord* record);

  // The enumeration protocol: names one after another, each ended by a NUL; `needed` in characters.
  int32_t WriteNames(const std::vector<std::wstring>& names, wchar_t* buffer, uint32_t size, uint32_t* needed);

 private:
  bool ForcedFailure(uint16_t ordinal);
  void Record(uint16_t ordinal, int32_t result, const std::wstring& args);
  int32_t Fail(uint16_t ordinal, int32_t natural);
  int32_t Succeed(bool changed = false);
  Printer* FindPrinter(const wchar_t* name);
  Port* FindPort(const wchar_t* name);
  Monitor* FindMonitor(const wchar_t* name);
  Driver* FindDriver(const wchar_t* name);
  bool ShareUsed(std::wstring_view share) const;
  bool MonitorServesPrinter(const std::wstring& name) const;

  static std::wstring Arg(const wchar_t* text) { return text ? L"\"" + std::wstring(text) + L"\"" : L"null"; }
  template <typename T>
  static std::wstring Arg(T value) {
    if constexpr (std::is_pointer_v<T>) return value ? L"&" : L"null";
    else return std::to_wstring(value);
  }
  template <typename... Args>
  static std::wstring Describe(Args... args) {
    std::wstring out;
    ((out += (out.empty() ? L"" : L", ") + Arg(args)), ...);
    return out;
  }

  State& s_;
  int32_t status_;
  bool modified_ = false;
  std::vector<std::wstring> journal_;
};

}  // namespace support_stand_in
