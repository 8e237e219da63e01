// A printer library that goes wrong in chosen ways, in front of the status monitor tests' fake
// library (which stays the healthy printer), and a clock on which library calls take time.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <random>

#include "fakes.h"

namespace monitor::testing {

enum class Fault {
  None,
  BusyForever,         // every call answers busy; the status call answers 0 and fills nothing
  GoneAfterStatus,     // the printer disappears after the status read, before the refresh
  WrongPageCodes,      // pages arrive with success but the code byte of another page
  RandomPages,         // every page is random bytes
};

class FaultyLibrary : public Kvcmd {
 public:
  explicit FaultyLibrary(FakeLibrary& printer) : printer_(printer) {}

  Fault fault = Fault::None;
  // Time each call takes, spent on `elapse` (the window thread is blocked meanwhile).
  int callMs = 0;
  std::function<void(int)> elapse;
  // The pages as last answered, by "LogSense 38", "ModeSense 23", "StandardInquiry", "VPDInquiry".
  std::map<std::string, DataBuffer> answered;

  KvResult ScanKV450(int32_t& handle, int32_t& unit) override;
  KvResult ScanKV450Next(int32_t& handle, int32_t& unit) override;
  KvResult TestUnitReady(PrinterRef printer) override;
  KvResult GetPrinterStatus(PrinterRef printer, int32_t& status, int32_t& state) override;
  KvResult LogSense(PrinterRef printer, int32_t pageCode, uint8_t* buffer) override;
  KvResult ModeSense(PrinterRef printer, int32_t pageCode, uint8_t* buffer) override;
  KvResult ModeSelect(PrinterRef printer, int32_t pageCode, uint8_t* buffer) override;
  KvResult StandardInquiry(PrinterRef printer, uint8_t* buffer) override;
  KvResult VPDInquiry(PrinterRef printer, int32_t page, uint8_t* buffer) override;
  KvResult SendDiagnostic(PrinterRef printer, int32_t selfTest, int32_t sides, int32_t count, int32_t* value) override;
  KvResult LogSelect(PrinterRef printer) override;
  KvResult UpdateFirmware(PrinterRef printer, const uint8_t* path, int32_t flags) override;
  KvResult GetLogMessageAsFile(PrinterRef printer, const uint8_t* path) override;

  bool Gone() const { return gone_; }
  // The printer is plugged in again and answers normally.
  void Recover() {
    fault = Fault::None;
    gone_ = false;
  }
  int statusReads = 0;  // TestUnitReady calls, answered or not
  // How many Timer1 handlers are running; a status read under two of them is a poll inside a poll.
  std::function<int()> pollTickDepth;
  int nestedPolls = 0;

 private:
  // Spends the call's time; the answer of a printer that is busy or gone, if it is.
  bool Intercept(KvResult& result);
  // A page read: the healthy answer, then spoilt as the fault says.
  KvResult Page(const std::string& name, int codeAt, uint8_t* buffer, const std::function<KvResult()>& read);

  FakeLibrary& printer_;
  bool gone_ = false;
  std::mt19937 random_{20261207};
};

// Timers as Windows delivers them: a timer that fell due while the thread was blocked fires once
// when events are next handled, not once for every interval missed.
class BlockingClock : public EventLoop {
 public:
  std::function<void(TimerId)> onTimer;
  long long nowMs = 0;

  void StartTimer(TimerId timer, int intervalMs) override { timers_[timer] = {intervalMs, nowMs + intervalMs}; }
  void StopTimer(TimerId timer) override { timers_.erase(timer); }
  bool WaitForNextEvent() override;
  void ProcessPendingEvents() override;

  // Time passing inside a blocking call: nothing fires.
  void Elapse(int ms) { nowMs += ms; }
  // Runs the message loop for `ms`.
  void Run(long long ms);
  int pollTickDepth = 0;  // Timer1 handlers running now, nested ones included
  int maxPollTickDepth = 0;

 private:
  struct Timer {
    int interval;
    long long due;
  };
  bool FireDue();
  void Fire(TimerId id);
  std::map<TimerId, Timer> timers_;
};

}  // namespace monitor::testing
