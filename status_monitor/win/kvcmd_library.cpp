#include "status_monitor/win/kvcmd_library.h"

namespace monitor::win {

BindFailure KvcmdLibrary::Load() {
  if (module_) return BindFailure::None;
  // Tried again at every call while it fails, so a library installed later is found.
  module_.reset(::LoadLibraryW(fileName_.c_str()));
  if (module_) return BindFailure::None;
  const DWORD error = ::GetLastError();
  return error == ERROR_MOD_NOT_FOUND || error == ERROR_FILE_NOT_FOUND ? BindFailure::FileNotFound
                                                                        : BindFailure::LoadFailed;
}

template <typename Fn, typename... Args>
KvResult KvcmdLibrary::Call(Entry<Fn>& entry, Args... args) {
  if (!entry.function) {
    if (const BindFailure failure = Load(); failure != BindFailure::None) return {kLibraryMissing, failure};
    entry.function = reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(module_.get(), entry.name)));
    if (!entry.function) return {kLibraryMissing, BindFailure::EntryNotFound};
  }
  return {entry.function(args...)};
}

KvResult KvcmdLibrary::ScanKV450(int32_t& handle, int32_t& unit) { return Call(scan_, &handle, &unit); }
KvResult KvcmdLibrary::ScanKV450Next(int32_t& handle, int32_t& unit) { return Call(scanNext_, &handle, &unit); }
KvResult KvcmdLibrary::TestUnitReady(PrinterRef p) { return Call(testUnitReady_, p.handle, p.unit); }
KvResult KvcmdLibrary::GetPrinterStatus(PrinterRef p, int32_t& status, int32_t& state) {
  return Call(getPrinterStatus_, p.handle, p.unit, &status, &state);
}
KvResult KvcmdLibrary::LogSense(PrinterRef p, int32_t pageCode, uint8_t* buffer) {
  return Call(logSense_, p.handle, p.unit, pageCode, buffer);
}
KvResult KvcmdLibrary::ModeSense(PrinterRef p, int32_t pageCode, uint8_t* buffer) {
  return Call(modeSense_, p.handle, p.unit, pageCode, buffer);
}
KvResult KvcmdLibrary::ModeSelect(PrinterRef p, int32_t pageCode, uint8_t* buffer) {
  return Call(modeSelect_, p.handle, p.unit, pageCode, buffer);
}
KvResult KvcmdLibrary::StandardInquiry(PrinterRef p, uint8_t* buffer) {
  return Call(standardInquiry_, p.handle, p.unit, buffer);
}
KvResult KvcmdLibrary::VPDInquiry(PrinterRef p, int32_t page, uint8_t* buffer) {
  return Call(vpdInquiry_, p.handle, p.unit, page, buffer);
}
KvResult KvcmdLibrary::SendDiagnostic(PrinterRef p, int32_t selfTest, int32_t sides, int32_t count, int32_t* value) {
  return Call(sendDiagnostic_, p.handle, p.unit, selfTest, sides, count, value);
}
KvResult KvcmdLibrary::LogSelect(PrinterRef p) { return Call(logSelect_, p.handle, p.unit); }
KvResult KvcmdLibrary::UpdateFirmware(PrinterRef p, const uint8_t* path, int32_t flags) {
  return Call(updateFirmware_, p.handle, p.unit, path, flags);
}
KvResult KvcmdLibrary::GetLogMessageAsFile(PrinterRef p, const uint8_t* path) {
  return Call(getLogMessageAsFile_, p.handle, p.unit, path);
}

}  // namespace monitor::win
