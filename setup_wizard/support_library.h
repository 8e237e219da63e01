// The wizard's binding of the setup support library: every ordinal resolved up front into a
// private table, one wrapper per ordinal, and the two-call protocol of the enumerations.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "setup_wizard/setup_information.h"
#include "setup_wizard/support_abi.h"

namespace setup_wizard {

// Port: loads one module and yields its exports by ordinal.
class ModuleLoader {
 public:
  virtual ~ModuleLoader() = default;
  // Directory of the wizard module itself, without a trailing backslash.
  virtual std::wstring OwnDirectory() = 0;
  virtual bool Load(const std::wstring& path) = 0;
  // Address of the export with that ordinal in the loaded module, or null.
  virtual void* Procedure(uint16_t ordinal) = 0;
  virtual void Unload() = 0;
};

struct OrdinalEntry {
  uint16_t ordinal = 0;
  void* address = nullptr;
};

// The library file: `name` (default LMOSSUPW.DLL) in `directory`, or in `ownDirectory` when
// `directory` is empty. Empty when there is no directory or the result would not fit a Windows path.
std::wstring SupportLibraryPath(std::wstring_view ownDirectory, std::wstring_view directory = {},
                                std::wstring_view name = {});

// Splits a buffer of NUL-ended names into at most `count` names, never reading past `chars`.
std::vector<std::wstring> SplitNames(const wchar_t* buffer, size_t chars, int32_t count);

class SupportLibrary {
 public:
  explicit SupportLibrary(ModuleLoader& loader) : loader_(loader) {}
  ~SupportLibrary() { release(); }
  SupportLibrary(const SupportLibrary&) = delete;
  SupportLibrary& operator=(const SupportLibrary&) = delete;

  // 1 when the library loaded and all ordinals resolved; otherwise nothing stays loaded and 0.
  int Bind(std::wstring_view directory = {}, std::wstring_view name = {});
  void release();
  bool Bound() const { return bound_; }
  const std::array<OrdinalEntry, support_abi::kOrdinals.size()>& Table() const { return table_; }
  void* Address(uint16_t ordinal) const;

  // One wrapper per ordinal; each returns 0 when its function is missing.
  int32_t GetOsVersionCode();
  int32_t GetLastSupportStatus(int32_t* status);
  int32_t CheckSetupPreconditions();
  int32_t RestartSystem();
  int32_t GetSupportVersion();
  int32_t InstallPrinterDriver(const wchar_t* name, const support_abi::DriverRecord* record, uint32_t flags,
                               uint32_t reserved, uint32_t osFlags);
  int32_t DeletePrinterDriver(const wchar_t* name, const support_abi::DriverRecord* record, uint32_t flags,
                              uint32_t osFlags);
  int32_t IsPrinterDriverInstalled(const wchar_t* name, uint32_t reserved);
  int32_t EnumPrinterDrivers(wchar_t* buffer, uint32_t size, uint32_t* needed, uint32_t reserved);
  int32_t EnumPrintersOfDriver(wchar_t* buffer, uint32_t size, uint32_t* needed, const wchar_t* driver);
  int32_t ValidatePrinterName(const wchar_t* name);
  int32_t AddPrinter(const wchar_t* printer, const wchar_t* driver, const wchar_t* port, uint32_t reserved1,
                     const wchar_t* share, uint32_t reserved2, uint32_t attributes);
  int32_t AddPrinterWithProcessor(const wchar_t* printer, const support_abi::PrinterRecord* record,
                                  uint32_t reserved, uint32_t attributes);
  int32_t DeletePrinter(const wchar_t* printer);
  int32_t SetDefaultPrinter(const wchar_t* printer);
  int32_t IsPrinterInstalled(const wchar_t* printer, uint32_t reserved);
  int32_t EnumPorts(wchar_t* buffer, uint32_t size, uint32_t* needed, uint32_t reserved, const wchar_t* monitor);
  int32_t DeletePort(const wchar_t* port, const wchar_t* monitor);
  int32_t AddPortOfMonitor(void* owner, const wchar_t* monitor, wchar_t* portName);
  int32_t IsPortInstalled(const wchar_t* port, uint32_t reserved);
  int32_t EnumPortMonitors(wchar_t* buffer, uint32_t size, uint32_t* needed, uint32_t reserved);
  int32_t GetMonitorOfPort(wchar_t* buffer, uint32_t size, uint32_t* needed, const wchar_t* port);
  int32_t IsPortMonitorInstalled(const wchar_t* name, uint32_t reserved);
  int32_t InstallPortMonitor(const wchar_t* name, const support_abi::MonitorRecord* record, uint32_t flags,
                             int32_t* restart);
  int32_t DeletePortMonitor(const wchar_t* name, const support_abi::MonitorRecord* record, uint32_t flags);
  int32_t IsUsbDriverInstalled(const wchar_t* name, uint32_t reserved);
  int32_t InstallUsbDriver(const wchar_t* name, const support_abi::UsbDriverRecord* record,
                           const wchar_t* hardwareIds, uint32_t flags, uint32_t reserved);
  int32_t InstallUsbDriverAlternate(const wchar_t* name, const support_abi::UsbDriverRecord* record,
                                    const wchar_t* hardwareIds, uint32_t flags, uint32_t reserved);
  int32_t DeleteUsbDriver(const wchar_t* name, const support_abi::UsbDriverRecord* record, uint32_t flags);
  int32_t EnumPrintProcessors(wchar_t* buffer, uint32_t size, uint32_t* needed, uint32_t reserved);
  int32_t IsPrintProcessorInstalled(const wchar_t* name, uint32_t reserved);
  int32_t IsDataTypeSupported(const wchar_t* processor, const wchar_t* dataType);
  int32_t GetPrinterProcessor(wchar_t* buffer, uint32_t size, uint32_t* needed, const wchar_t* printer);
  int32_t InstallPrintProcessor(const wchar_t* name, const support_abi::ProcessorRecord* record, uint32_t flags,
                                uint32_t reserved);
  int32_t DeletePrintProcessor(const wchar_t* name, const support_abi::ProcessorRecord* record, uint32_t flags);
  int32_t EnumDataTypes(wchar_t* buffer, uint32_t size, uint32_t* needed, const wchar_t* processor,
                        uint32_t reserved);
  int32_t GetPrinterPort(wchar_t* buffer, uint32_t size, uint32_t* needed, const wchar_t* printer);
  int32_t IsShareNameUsed(const wchar_t* share, uint32_t reserved);
  int32_t AfterServiceInstall(wchar_t* systemDirectory, uint32_t bytes);
  int32_t GetPrinterJobCount(const wchar_t* printer, uint32_t* count);
  int32_t EnumShares(wchar_t* buffer, uint32_t size, uint32_t* needed, uint32_t reserved);
  int32_t InstallService(const wchar_t* name, const wchar_t* program);
  int32_t DeleteService(const wchar_t* name);
  int32_t QueryService(const wchar_t* name, uint32_t mode);
  int32_t StopService(const wchar_t* name);
  int32_t StartService(const wchar_t* name);
  int32_t QueryMonitorFile(const wchar_t* monitor, uint32_t what, const wchar_t* file, wchar_t* path);
  int32_t IsMonitorInUse(const wchar_t* name, uint32_t reserved);
  int32_t ReplacePortMonitor(const wchar_t* name, const support_abi::MonitorRecord* record, uint32_t flags);

  // The two-call protocol: ask for the size, allocate that many characters plus one, ask again.
  std::vector<std::wstring> PrintersOfDriver(const std::wstring& driver);
  std::vector<std::wstring> Ports(const std::wstring& monitor);  // empty monitor: every port
  std::vector<std::wstring> PortMonitors();
  std::vector<std::wstring> DataTypes(const std::wstring& processor);
  std::wstring MonitorOfPort(const std::wstring& port);
  // Counts alone: a null buffer and a null size pointer.
  int32_t CountPrintersOfDriver(const std::wstring& driver);
  int32_t CountPorts(const std::wstring& monitor);

 private:
  template <typename Fn, typename... Args>
  int32_t call(uint16_t ordinal, Args... args) {
    void* p = Address(ordinal);
    if (p == nullptr) return 0;
    return reinterpret_cast<Fn>(p)(args...);
  }
  template <typename Call>
  std::vector<std::wstring> TwoCallNames(Call call);

  ModuleLoader& loader_;
  std::array<OrdinalEntry, support_abi::kOrdinals.size()> table_{};
  bool bound_ = false;
};

// Which driver fields a call takes: installation all, deletion those up to the language
// monitor's dependent files plus the hardware ID, deletion for another system the first ten.
enum class DriverFields { kInstall, kDelete, kOtherOsDelete };

// Lays the information file's current records out as the library takes them. The records point
// into text this object keeps, so they stay valid as long as it lives, whatever is refilled.
class RecordBuilder {
 public:
  RecordBuilder() = default;
  RecordBuilder(const RecordBuilder&) = delete;
  RecordBuilder& operator=(const RecordBuilder&) = delete;

  support_abi::DriverRecord Driver(const DriverRecord& d, DriverFields fields = DriverFields::kInstall);
  support_abi::MonitorRecord PortMonitor(const PortMonitorRecord& m);
  // The language monitor as a monitor: no inf, check inf 0, the driver's expanded-file flag.
  support_abi::MonitorRecord LanguageMonitor(const DriverRecord& d);
  support_abi::UsbDriverRecord UsbDriver(const UsbDriverRecord& u);
  support_abi::ProcessorRecord Processor(const DriverRecord& d);
  support_abi::PrinterRecord Printer(const std::wstring& driverName, const std::wstring& portName,
                                     const std::wstring& shareName, const std::wstring& processorName,
                                     const std::wstring& dataType);

 private:
  // A kept copy of the text, or null for an absent (empty) one.
  const wchar_t* Text(const std::wstring& value);
  const wchar_t* List(const std::vector<std::wstring>& names);
  std::deque<std::wstring> kept_;
};

// 0x1000000 for the RAW data type, else 0x2000000; plus 4 for the default printer.
uint32_t PrinterAttributes(std::wstring_view dataType, bool makeDefault);

}  // namespace setup_wizard
