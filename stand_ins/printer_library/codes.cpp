#include "stand_ins/printer_library/codes.h"

#include "common/text.h"

namespace printer_library {
namespace {

constexpr std::string_view kFunctionNames[kFunctionCount] = {
    "ScanKV450",       "ScanKV450Next",  "TestUnitReady", "GetPrinterStatus", "LogSense",
    "ModeSense",       "ModeSelect",     "StandardInquiry", "VPDInquiry",     "SendDiagnostic",
    "LogSelect",       "UpdateFirmware", "GetLogMessageAsFile", "ReadPosition",
};

bool SameIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

}  // namespace

std::string_view FunctionName(Function f) { return kFunctionNames[static_cast<size_t>(f)]; }

std::optional<Function> FunctionByName(std::string_view name) {
  if (SameIgnoringCase(name.substr(0, 6), "KVCMD_")) name.remove_prefix(6);
  for (size_t i = 0; i < kFunctionCount; ++i) {
    if (SameIgnoringCase(name, kFunctionNames[i])) return static_cast<Function>(i);
  }
  return std::nullopt;
}

std::string CodeText(int32_t code) {
  if (code >= 0) return std::to_string(code);
  return "-0x" + common::HexUpper(static_cast<uint32_t>(-static_cast<int64_t>(code)), 8);
}

}  // namespace printer_library
