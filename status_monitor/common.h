// Common: the module every page shares — the printer list, the snapshot, the shared data buffer,
// the library wrappers with their busy retry, the one-second wait, the scan, the status read and
// the information refresh.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "status_monitor/kvcmd.h"
#include "status_monitor/ports.h"
#include "status_monitor/snapshot.h"

namespace monitor {

inline constexpr int kMaxPrinters = 16;

struct PrinterList {
  int16_t count = 0;
  std::array<int32_t, kMaxPrinters> handles{};
  std::array<int32_t, kMaxPrinters> units{};
  int16_t selectedIndex = 0;
  PrinterRef selected;
  std::string unitText;  // selected unit + 1, in decimal; empty when none
  std::wstring appPath;  // the program's folder, without a trailing separator

  bool Found() const { return count != 0; }
};

// The state code of a printer that answers busy and gives no status words: no printer state, so
// the status page shows the printer as busy.
inline constexpr int32_t kStateNoAnswer = -1;

// The library's error for a port-manager status or "no printer" answer means the printer is gone.
bool IsDisconnectionCode(int32_t code);

// A path as the zero-terminated UTF-16LE bytes the library takes.
std::vector<uint8_t> PathToLibraryBytes(std::wstring_view path);

class Common {
 public:
  Common(Kvcmd& library, EventLoop& events) : library_(library), events_(events) {}

  PrinterList& Printers() { return printers_; }
  PrinterInfo& Info() { return info_; }
  DataBuffer& Buffer() { return buffer_; }
  Kvcmd& Library() { return library_; }

  // The one-second wait between busy retries: the window keeps handling events meanwhile.
  void WaitOneSecond();
  void OnTimer2();
  bool Waiting() const { return waiting_; }

  // Runs `attempt` up to three times while it answers busy, waiting a second after each busy answer.
  template <typename Attempt>
  KvResult WithBusyRetry(Attempt&& attempt) {
    KvResult result;
    for (int tries = 0; tries < 3; ++tries) {
      result = attempt();
      if (result.Raised() || result.code <= 0) return result;
      WaitOneSecond();
    }
    return result;
  }

  // Rebuilds the printer list; the last library result, or kLibraryMissing.
  int32_t ScanPrinters();
  void SelectPrinter(int index);
  void ClearPrinters();

  void SetFirstRefresh() { firstRefresh_ = true; }
  bool FirstRefresh() const { return firstRefresh_; }

  void ReadStatus();
  int32_t RefreshPrinterInfo();

  // Sends the settings pages 0x23, 0x28, 0x2A, 0x2B and 0x3A built from the snapshot, in that order;
  // the result of the first page that failed, or 0 (also at once with no printer selected).
  int32_t WriteModePages();
  // Builds one page in the data buffer and sends it with the busy retry; the last attempt's result.
  int32_t WriteModePage(int32_t pageCode);

 private:
  Kvcmd& library_;
  EventLoop& events_;
  PrinterList printers_;
  PrinterInfo info_;
  DataBuffer buffer_{};
  bool waiting_ = false;
  bool firstRefresh_ = false;
};

}  // namespace monitor
