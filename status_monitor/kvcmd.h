// KVCMD: the printer command library as the monitor sees it (a port; win/ binds the real DLL).
#pragma once

#include <cstdint>

namespace monitor {

// A printer as the library addresses it; (0, 0) when none is selected.
struct PrinterRef {
  int32_t handle = 0;
  int32_t unit = 0;
};

// Why a call did not reach the library at all.
enum class BindFailure : uint8_t {
  None,
  FileNotFound,   // QLC07RT.dll was not found
  LoadFailed,     // QLC07RT.dll was found but could not be loaded (another architecture, say)
  EntryNotFound,  // the library lacks the function
};

struct KvResult {
  int32_t code = 0;  // 0 success, > 0 busy, < 0 an error code of the message table
  BindFailure failure = BindFailure::None;

  bool Raised() const { return failure != BindFailure::None; }
};

// The result the scan reports when the library file is missing.
inline constexpr int32_t kLibraryMissing = -1;
// The library's "no printer" answer; it also ends the scan list.
inline constexpr int32_t kNoPrinterLibrary = -0x09000002;
inline constexpr int32_t kNoPrinterPortManager = -0x02000004;

class Kvcmd {
 public:
  virtual ~Kvcmd() = default;
  virtual KvResult ScanKV450(int32_t& handle, int32_t& unit) = 0;
  virtual KvResult ScanKV450Next(int32_t& handle, int32_t& unit) = 0;
  virtual KvResult TestUnitReady(PrinterRef printer) = 0;
  virtual KvResult GetPrinterStatus(PrinterRef printer, int32_t& status, int32_t& state) = 0;
  virtual KvResult LogSense(PrinterRef printer, int32_t pageCode, uint8_t* buffer) = 0;
  virtual KvResult ModeSense(PrinterRef printer, int32_t pageCode, uint8_t* buffer) = 0;
  virtual KvResult ModeSelect(PrinterRef printer, int32_t pageCode, uint8_t* buffer) = 0;
  virtual KvResult StandardInquiry(PrinterRef printer, uint8_t* buffer) = 0;
  virtual KvResult VPDInquiry(PrinterRef printer, int32_t page, uint8_t* buffer) = 0;
  virtual KvResult SendDiagnostic(PrinterRef printer, int32_t selfTest, int32_t sides, int32_t count,
                                  int32_t* value) = 0;
  virtual KvResult LogSelect(PrinterRef printer) = 0;
  virtual KvResult UpdateFirmware(PrinterRef printer, const uint8_t* path, int32_t flags) = 0;
  virtual KvResult GetLogMessageAsFile(PrinterRef printer, const uint8_t* path) = 0;
};

}  // namespace monitor
