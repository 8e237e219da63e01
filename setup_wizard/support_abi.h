// The exports of the setup support library LMOSSUPW.DLL: bound by ordinal, __stdcall, UTF-16
// strings, 1 for success. Records travel by pointer; their integer fields are 32-bit and their
// string fields pointer-sized, so the 32-bit and 64-bit layouts differ only in the strings.
// Any library that honours these signatures and layouts can stand in for the real one.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// <windows.h> maps some of the library's names to its own ...W functions; here the library's
// names win, so include this header after <windows.h>.
#undef AddPrinter
#undef DeletePrinterDriver
#undef EnumPrinterDrivers
#undef EnumPorts
#undef DeletePort
#undef EnumPrintProcessors
#undef DeletePrintProcessor
#undef SetDefaultPrinter
#undef StartService

#if defined(_WIN32)
#define SUPPORT_CALL __stdcall
#else
#define SUPPORT_CALL
#endif

namespace support_abi {

// The wizard binds the library of its own bitness. The package ships one driver folder, where the
// 64-bit wizard (KVSETUPW64.DLL, run by the 64-bit host) finds its library beside the 32-bit one.
#if defined(_WIN64)
inline constexpr const wchar_t* kLibraryFileName = L"LMOSSUPW64.DLL";
#else
inline constexpr const wchar_t* kLibraryFileName = L"LMOSSUPW.DLL";
#endif

// Every ordinal the wizard binds, in binding order; all must resolve.
inline constexpr std::array<uint16_t, 49> kOrdinals = {
    1,  2,  3,  4,  5,  11, 12, 13, 14, 21, 22, 23, 25, 24, 26, 27, 31,
    32, 33, 34, 41, 42, 43, 44, 45, 51, 52, 53, 54, 61, 62, 63, 64, 65,
    66, 67, 68, 71, 73, 72, 74, 75, 76, 77, 78, 79, 81, 82, 83};

enum Ordinal : uint16_t {
  kGetOsVersionCode = 1,
  kGetLastSupportStatus = 2,
  kCheckSetupPreconditions = 3,
  kRestartSystem = 4,
  kGetSupportVersion = 5,
  kInstallPrinterDriver = 11,
  kDeletePrinterDriver = 12,
  kIsPrinterDriverInstalled = 13,
  kEnumPrinterDrivers = 14,
  kEnumPrintersOfDriver = 21,
  kValidatePrinterName = 22,
  kAddPrinter = 23,
  kAddPrinterWithProcessor = 24,
  kDeletePrinter = 25,
  kSetDefaultPrinter = 26,
  kIsPrinterInstalled = 27,
  kEnumPorts = 31,
  kDeletePort = 32,
  kAddPortOfMonitor = 33,
  kIsPortInstalled = 34,
  kEnumPortMonitors = 41,
  kGetMonitorOfPort = 42,
  kIsPortMonitorInstalled = 43,
  kInstallPortMonitor = 44,
  kDeletePortMonitor = 45,
  kIsUsbDriverInstalled = 51,
  kInstallUsbDriver = 52,
  kInstallUsbDriverAlternate = 53,
  kDeleteUsbDriver = 54,
  kEnumPrintProcessors = 61,
  kIsPrintProcessorInstalled = 62,
  kIsDataTypeSupported = 63,
  kGetPrinterProcessor = 64,
  kInstallPrintProcessor = 65,
  kDeletePrintProcessor = 66,
  kEnumDataTypes = 67,
  kGetPrinterPort = 68,
  kIsShareNameUsed = 71,
  kAfterServiceInstall = 72,
  kGetPrinterJobCount = 73,
  kEnumShares = 74,
  kInstallService = 75,
  kDeleteService = 76,
  kQueryService = 77,
  kStopService = 78,
  kStartService = 79,
  kQueryMonitorFile = 81,
  kIsMonitorInUse = 82,
  kReplacePortMonitor = 83,
};

// Sizes the callers rely on.
inline constexpr uint32_t kPortNameChars = 260;        // AddPortOfMonitor's buffer
inline constexpr uint32_t kMonitorPathChars = 260;     // QueryMonitorFile's path out
inline constexpr uint32_t kSystemDirectoryBytes = 520; // AfterServiceInstall's buffer

// Flags of the calls.
inline constexpr uint32_t kInstallFlags = 8;
inline constexpr uint32_t kDeleteDriverFlags = 0x30001;
inline constexpr uint32_t kDeleteMonitorFlags = 0x50001;
inline constexpr uint32_t kDeleteMonitorForcedFlags = 0xD0001;
inline constexpr uint32_t kForceBit = 0x80000;
inline constexpr uint32_t kReplaceMonitorFlags = 0x30001;
inline constexpr uint32_t kAttributeRaw = 0x1000000;
inline constexpr uint32_t kAttributeNotRaw = 0x2000000;
inline constexpr uint32_t kAttributeDefault = 4;
inline constexpr uint32_t kQueryInstalledFile = 1;
inline constexpr uint32_t kQueryCannotReplace = 3;
inline constexpr uint32_t kQueryServiceInstalled = 0;
inline constexpr uint32_t kQueryServiceRunning = 1;

// Status values callers test.
inline constexpr int32_t kStatusUnset = -2;
inline constexpr int32_t kStatusNoRights = 5;
inline constexpr int32_t kStatusMonitorInUse = 3008;
inline constexpr int32_t kStatusNameInUse = 3;
inline constexpr int32_t kStatusAlreadyInstalled = 8;
inline constexpr int32_t kStatusUseAlternate = 9;

// Records. `Text` is `const wchar_t*` for real calls; the integer stand-ins below let a native
// build check both architectures' layouts. File lists are NUL-separated names ended by an empty name.
template <typename Text>
struct DriverRecordLayout {
  Text sourceDirectory;
  Text driverFile;
  Text graphicsFile;
  Text userInterfaceFile;
  Text userModeFile;
  Text dataFile;
  Text helpFile;
  Text infFile;
  Text dependentDirectory;
  Text dependentFiles;
  Text languageMonitorName;
  Text languageMonitorFile;
  Text languageMonitorDependentDirectory;
  Text languageMonitorDependentFiles;
  uint32_t checkInf;
  uint32_t expandedFile;
  uint32_t reserved1;
  Text manufacturer;
  Text oemUrl;
  Text hardwareId;
  Text provider;
  Text reserved2[7];
};

// Port monitor and USB driver records share this shape.
template <typename Text>
struct MonitorRecordLayout {
  Text sourceDirectory;
  Text file;
  Text infFile;
  Text dependentDirectory;
  Text dependentFiles;
  uint32_t checkInf;
  uint32_t expandedFile;
};

template <typename Text>
struct ProcessorRecordLayout {
  Text sourceDirectory;
  Text file;
  Text dependentDirectory;
  Text dependentFiles;
  uint32_t expandedFile;
};

template <typename Text>
struct PrinterRecordLayout {
  Text driverName;
  Text portName;
  Text shareName;
  Text reserved1;
  Text reserved2;
  Text processorName;
  Text dataType;
  Text reserved3;
  Text reserved4;
};

using DriverRecord = DriverRecordLayout<const wchar_t*>;
using MonitorRecord = MonitorRecordLayout<const wchar_t*>;
using UsbDriverRecord = MonitorRecordLayout<const wchar_t*>;
using ProcessorRecord = ProcessorRecordLayout<const wchar_t*>;
using PrinterRecord = PrinterRecordLayout<const wchar_t*>;

// Layout checks: a 32-bit field stands for a 32-bit build's pointer, a 64-bit one for a 64-bit build's.
template <template <typename> class Record, typename Text>
constexpr size_t SizeWith() { return sizeof(Record<Text>); }

static_assert(SizeWith<DriverRecordLayout, uint32_t>() == 28 * 4);
static_assert(SizeWith<DriverRecordLayout, uint64_t>() == 25 * 8 + 4 * 3 + 4);
static_assert(offsetof(DriverRecordLayout<uint64_t>, manufacturer) == 128);
static_assert(offsetof(DriverRecordLayout<uint32_t>, manufacturer) == 17 * 4);
static_assert(SizeWith<MonitorRecordLayout, uint32_t>() == 7 * 4);
static_assert(SizeWith<MonitorRecordLayout, uint64_t>() == 5 * 8 + 2 * 4);
static_assert(SizeWith<ProcessorRecordLayout, uint32_t>() == 5 * 4);
static_assert(SizeWith<ProcessorRecordLayout, uint64_t>() == 4 * 8 + 8);
static_assert(SizeWith<PrinterRecordLayout, uint32_t>() == 9 * 4);
static_assert(SizeWith<PrinterRecordLayout, uint64_t>() == 9 * 8);
static_assert(sizeof(DriverRecord) == (sizeof(void*) == 4 ? SizeWith<DriverRecordLayout, uint32_t>()
                                                           : SizeWith<DriverRecordLayout, uint64_t>()));
static_assert(sizeof(MonitorRecord) == (sizeof(void*) == 4 ? SizeWith<MonitorRecordLayout, uint32_t>()
                                                             : SizeWith<MonitorRecordLayout, uint64_t>()));
static_assert(sizeof(ProcessorRecord) == (sizeof(void*) == 4 ? SizeWith<ProcessorRecordLayout, uint32_t>()
                                                               : SizeWith<ProcessorRecordLayout, uint64_t>()));

// Export signatures. Enumerations take (buffer, size in characters, needed out, ...) and return a count.
using GetOsVersionCode = int32_t(SUPPORT_CALL*)();
using GetLastSupportStatus = int32_t(SUPPORT_CALL*)(int32_t* status);
using CheckSetupPreconditions = int32_t(SUPPORT_CALL*)();
using RestartSystem = int32_t(SUPPORT_CALL*)();
using GetSupportVersion = int32_t(SUPPORT_CALL*)();
using InstallPrinterDriver = int32_t(SUPPORT_CALL*)(const wchar_t* name, const DriverRecord* record, uint32_t flags,
                                                   uint32_t reserved, uint32_t osFlags);
using DeletePrinterDriver = int32_t(SUPPORT_CALL*)(const wchar_t* name, const DriverRecord* record, uint32_t flags,
                                                  uint32_t osFlags);
using NameQuery = int32_t(SUPPORT_CALL*)(const wchar_t* name, uint32_t reserved);
using NameAction = int32_t(SUPPORT_CALL*)(const wchar_t* name);
using Enumerate = int32_t(SUPPORT_CALL*)(wchar_t* buffer, uint32_t size, uint32_t* needed, uint32_t reserved);
using EnumerateFor = int32_t(SUPPORT_CALL*)(wchar_t* buffer, uint32_t size, uint32_t* needed, const wchar_t* name);
using EnumPorts = int32_t(SUPPORT_CALL*)(wchar_t* buffer, uint32_t size, uint32_t* needed, uint32_t reserved,
                                        const wchar_t* monitor);
using EnumDataTypes = int32_t(SUPPORT_CALL*)(wchar_t* buffer, uint32_t size, uint32_t* needed,
                                            const wchar_t* processor, uint32_t reserved);
using AddPrinter = int32_t(SUPPORT_CALL*)(const wchar_t* printer, const wchar_t* driver, const wchar_t* port,
                                         uint32_t reserved1, const wchar_t* share, uint32_t reserved2,
                                         uint32_t attributes);
using AddPrinterWithProcessor = int32_t(SUPPORT_CALL*)(const wchar_t* printer, const PrinterRecord* record,
                                                      uint32_t reserved, uint32_t attributes);
using DeletePort = int32_t(SUPPORT_CALL*)(const wchar_t* port, const wchar_t* monitor);
using AddPortOfMonitor = int32_t(SUPPORT_CALL*)(void* owner, const wchar_t* monitor, wchar_t* portName);
using InstallPortMonitor = int32_t(SUPPORT_CALL*)(const wchar_t* name, const MonitorRecord* record, uint32_t flags,
                                                 int32_t* restart);
using MonitorAction = int32_t(SUPPORT_CALL*)(const wchar_t* name, const MonitorRecord* record, uint32_t flags);
using InstallUsbDriver = int32_t(SUPPORT_CALL*)(const wchar_t* name, const UsbDriverRecord* record,
                                               const wchar_t* hardwareIds, uint32_t flags, uint32_t reserved);
using DeleteUsbDriver = int32_t(SUPPORT_CALL*)(const wchar_t* name, const UsbDriverRecord* record, uint32_t flags);
using IsDataTypeSupported = int32_t(SUPPORT_CALL*)(const wchar_t* processor, const wchar_t* dataType);
using InstallPrintProcessor = int32_t(SUPPORT_CALL*)(const wchar_t* name, const ProcessorRecord* record,
                                                    uint32_t flags, uint32_t reserved);
using DeletePrintProcessor = int32_t(SUPPORT_CALL*)(const wchar_t* name, const ProcessorRecord* record,
                                                   uint32_t flags);
using AfterServiceInstall = int32_t(SUPPORT_CALL*)(wchar_t* systemDirectory, uint32_t bytes);
using GetPrinterJobCount = int32_t(SUPPORT_CALL*)(const wchar_t* printer, uint32_t* count);
using InstallService = int32_t(SUPPORT_CALL*)(const wchar_t* name, const wchar_t* program);
using QueryMonitorFile = int32_t(SUPPORT_CALL*)(const wchar_t* monitor, uint32_t what, const wchar_t* file,
                                               wchar_t* path);

}  // namespace support_abi
