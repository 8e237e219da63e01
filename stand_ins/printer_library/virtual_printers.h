// Up to 16 virtual printers answering the command library's functions from the state file.
#pragma once

#include "stand_ins/printer_library/codes.h"
#include "stand_ins/printer_library/state_file.h"

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace printer_library {

struct FileStamp {
  uint64_t writeTime = 0;
  uint64_t size = 0;
  bool operator==(const FileStamp&) const = default;
};

// What the library needs from the machine: files, the call journal and the clock.
class HostPort {
 public:
  virtual ~HostPort() = default;
  virtual std::optional<FileStamp> Stamp(const std::wstring& path) = 0;  // nullopt: no such file
  virtual std::optional<std::string> Read(const std::wstring& path) = 0;  // nullopt: cannot be read now
  virtual std::optional<uint64_t> ReadableSize(const std::wstring& path) = 0;  // nullopt: cannot be opened
  virtual bool Replace(const std::wstring& path, const std::string& content) = 0;  // all or nothing
  virtual bool Write(const std::wstring& path, const std::string& content) = 0;    // create or overwrite
  virtual void Journal(const std::string& line) = 0;  // no-op when no journal was asked for
  virtual std::string Now() = 0;                      // "2026-12-07 10:40:01", local time
};

// The file types a firmware download accepts (the printer's own download formats).
bool IsFirmwareFileName(std::wstring_view path);

class VirtualPrinters {
 public:
  VirtualPrinters(HostPort& host, std::wstring statePath);

  // The handle the scan gives the printer of a unit (distinct, never 0).
  static int32_t HandleOf(int unit);

  int32_t ScanKV450(int32_t* handle, int32_t* unit);
  int32_t ScanKV450Next(int32_t* handle, int32_t* unit);
  int32_t TestUnitReady(int32_t handle, int32_t unit);
  int32_t GetPrinterStatus(int32_t handle, int32_t unit, int32_t* status, int32_t* state);
  int32_t LogSense(int32_t handle, int32_t unit, int32_t page, uint8_t* buffer);
  int32_t ModeSense(int32_t handle, int32_t unit, int32_t page, uint8_t* buffer);
  int32_t ModeSelect(int32_t handle, int32_t unit, int32_t page, const uint8_t* buffer);
  int32_t StandardInquiry(int32_t handle, int32_t unit, uint8_t* buffer);
  int32_t VPDInquiry(int32_t handle, int32_t unit, int32_t page, uint8_t* buffer);
  int32_t SendDiagnostic(int32_t handle, int32_t unit, int32_t selfTest, int32_t sides, int32_t count, int32_t* value);
  int32_t LogSelect(int32_t handle, int32_t unit);
  int32_t UpdateFirmware(int32_t handle, int32_t unit, const uint8_t* path, int32_t flags);
  int32_t GetLogMessageAsFile(int32_t handle, int32_t unit, const uint8_t* path);
  int32_t ReadPosition(int32_t handle, int32_t unit, uint8_t* buffer);

 private:
  struct Printer {
    PrinterConfig config;
    std::array<int, kFunctionCount> busyLeft{};
  };
  struct Instruction {
    std::string time;
    Function function;
    std::string details;
    int32_t result;
  };
  class Call;

  void Refresh();
  Printer* Find(int32_t handle, int32_t unit);
  int32_t Scan(Function f, int from, int32_t* handle, int32_t* unit);
  int32_t ReadPage(Function f, int32_t handle, int32_t unit, int32_t page, uint8_t* buffer,
                   bool (*build)(const PrinterConfig&, int, std::span<uint8_t, kBufferSize>));
  void Record(Function f, int32_t unit, bool known, const std::string& details, int32_t result);
  bool Persist(int unit, const std::function<std::string(std::string)>& edit);
  std::string InstructionLogText(int unit) const;

  HostPort& host_;
  std::wstring statePath_;
  bool loaded_ = false;
  std::optional<FileStamp> stamp_;
  std::string text_;
  std::array<std::optional<Printer>, kMaxPrinters> printers_;
  std::array<std::deque<Instruction>, kMaxPrinters> logs_;  // kept across re-reads of the file
};

}  // namespace printer_library
