// Result codes, function names and fixed sizes of the virtual printer library.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace printer_library {

inline constexpr int kMaxPrinters = 16;
inline constexpr size_t kBufferSize = 256;

// Result codes the library answers with (negative codes are the printer-condition, port manager
// and library families the monitor's message table knows).
namespace result {
inline constexpr int32_t kOk = 0;
inline constexpr int32_t kBusy = 1;
inline constexpr int32_t kStatusRead = 1;  // the status read answers non-zero once it has filled its outputs
inline constexpr int32_t kParameterLengthInvalid = -0x01051A00;
inline constexpr int32_t kCdbInvalid = -0x01052400;
inline constexpr int32_t kParameterInvalid = -0x01052601;
inline constexpr int32_t kDownloadDataInvalid = -0x01052681;
inline constexpr int32_t kInvalidParameter = -0x09000001;
inline constexpr int32_t kNoPrinter = -0x09000002;
inline constexpr int32_t kNoMemory = -0x09000003;
inline constexpr int32_t kFileReadFailed = -0x09000004;
}  // namespace result

// The library's functions, in the order of its export table.
enum class Function {
  ScanKV450,
  ScanKV450Next,
  TestUnitReady,
  GetPrinterStatus,
  LogSense,
  ModeSense,
  ModeSelect,
  StandardInquiry,
  VPDInquiry,
  SendDiagnostic,
  LogSelect,
  UpdateFirmware,
  GetLogMessageAsFile,
  ReadPosition,
};
inline constexpr size_t kFunctionCount = 14;

// Name without the KVCMD_ prefix, as the state file's fault keys spell it.
std::string_view FunctionName(Function f);
std::optional<Function> FunctionByName(std::string_view name);  // case-insensitive

// A code as a person writes it: "0", "1", "-0x09000002".
std::string CodeText(int32_t code);

}  // namespace printer_library
