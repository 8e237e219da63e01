#include "faulty_printer.h"

#include <algorithm>

namespace monitor::testing {

namespace {
constexpr KvResult kBusy{1};
constexpr KvResult kGone{kNoPrinterLibrary};
}  // namespace

bool FaultyLibrary::Intercept(KvResult& result) {
  if (callMs > 0 && elapse) elapse(callMs);
  if (fault == Fault::BusyForever) {
    result = kBusy;
    return true;
  }
  if (gone_) {
    result = kGone;
    return true;
  }
  return false;
}

KvResult FaultyLibrary::ScanKV450(int32_t& handle, int32_t& unit) {
  KvResult result;
  return Intercept(result) ? result : printer_.ScanKV450(handle, unit);
}

KvResult FaultyLibrary::ScanKV450Next(int32_t& handle, int32_t& unit) {
  KvResult result;
  return Intercept(result) ? result : printer_.ScanKV450Next(handle, unit);
}

KvResult FaultyLibrary::TestUnitReady(PrinterRef printer) {
  ++statusReads;
  if (pollTickDepth && pollTickDepth() >= 2) ++nestedPolls;
  KvResult result;
  return Intercept(result) ? result : printer_.TestUnitReady(printer);
}

KvResult FaultyLibrary::GetPrinterStatus(PrinterRef printer, int32_t& status, int32_t& state) {
  KvResult result;
  if (Intercept(result)) return fault == Fault::BusyForever ? KvResult{0} : result;  // busy: no status yet
  return printer_.GetPrinterStatus(printer, status, state);
}

KvResult FaultyLibrary::Page(const std::string& name, int codeAt, uint8_t* buffer,
                             const std::function<KvResult()>& read) {
  KvResult result;
  if (Intercept(result)) return result;
  if (fault == Fault::GoneAfterStatus) {
    gone_ = true;  // unplugged between the status read and the refresh
    return kGone;
  }
  result = read();
  if (result.code != 0) return result;
  if (fault == Fault::WrongPageCodes && codeAt >= 0) {
    const uint8_t code = buffer[codeAt];
    std::fill(buffer, buffer + kDataBufferSize, uint8_t{0xEE});  // what must never be shown
    buffer[codeAt] = static_cast<uint8_t>(code ^ 0x01);
  } else if (fault == Fault::RandomPages) {
    std::generate(buffer, buffer + kDataBufferSize, [&] { return static_cast<uint8_t>(random_()); });
    // Now and then the page code is right, so random fields do get taken.
    if (codeAt >= 0 && random_() % 2 == 0) buffer[codeAt] = static_cast<uint8_t>(std::stoi(name.substr(name.size() - 2), nullptr, 16));
  }
  std::copy_n(buffer, kDataBufferSize, answered[name].begin());
  return result;
}

KvResult FaultyLibrary::LogSense(PrinterRef printer, int32_t pageCode, uint8_t* buffer) {
  const std::string name = pageCode == kLogCounters ? "LogSense 38" : "LogSense 3A";
  return Page(name, 0, buffer, [&] { return printer_.LogSense(printer, pageCode, buffer); });
}

KvResult FaultyLibrary::ModeSense(PrinterRef printer, int32_t pageCode, uint8_t* buffer) {
  static const char* digits = "0123456789ABCDEF";
  const std::string name = std::string("ModeSense ") + digits[(pageCode >> 4) & 0xF] + digits[pageCode & 0xF];
  return Page(name, 4, buffer, [&] { return printer_.ModeSense(printer, pageCode, buffer); });
}

KvResult FaultyLibrary::StandardInquiry(PrinterRef printer, uint8_t* buffer) {
  return Page("StandardInquiry", -1, buffer, [&] { return printer_.StandardInquiry(printer, buffer); });
}

KvResult FaultyLibrary::VPDInquiry(PrinterRef printer, int32_t page, uint8_t* buffer) {
  return Page("VPDInquiry", -1, buffer, [&] { return printer_.VPDInquiry(printer, page, buffer); });
}

KvResult FaultyLibrary::ModeSelect(PrinterRef printer, int32_t pageCode, uint8_t* buffer) {
  KvResult result;
  return Intercept(result) ? result : printer_.ModeSelect(printer, pageCode, buffer);
}

KvResult FaultyLibrary::SendDiagnostic(PrinterRef printer, int32_t selfTest, int32_t sides, int32_t count,
                                       int32_t* value) {
  KvResult result;
  return Intercept(result) ? result : printer_.SendDiagnostic(printer, selfTest, sides, count, value);
}

KvResult FaultyLibrary::LogSelect(PrinterRef printer) {
  KvResult result;
  return Intercept(result) ? result : printer_.LogSelect(printer);
}

KvResult FaultyLibrary::UpdateFirmware(PrinterRef printer, const uint8_t* path, int32_t flags) {
  KvResult result;
  return Intercept(result) ? result : printer_.UpdateFirmware(printer, path, flags);
}

KvResult FaultyLibrary::GetLogMessageAsFile(PrinterRef printer, const uint8_t* path) {
  KvResult result;
  return Intercept(result) ? result : printer_.GetLogMessageAsFile(printer, path);
}

void BlockingClock::Fire(TimerId id) {
  timers_[id].due = nowMs + timers_[id].interval;
  const bool poll = id == TimerId::Timer1;
  if (poll) maxPollTickDepth = std::max(maxPollTickDepth, ++pollTickDepth);
  if (onTimer) onTimer(id);
  if (poll) --pollTickDepth;
}

bool BlockingClock::FireDue() {
  for (auto& [id, timer] : timers_) {
    if (timer.due <= nowMs) {
      Fire(id);
      return true;  // the handler may have started or stopped timers
    }
  }
  return false;
}

void BlockingClock::ProcessPendingEvents() {
  // Each timer that is due fires once; what falls due while a handler runs waits for the next pass.
  std::map<TimerId, bool> fired;
  for (bool again = true; again;) {
    again = false;
    for (auto& [id, timer] : timers_) {
      if (timer.due <= nowMs && !fired[id]) {
        fired[id] = true;
        Fire(id);
        again = true;
        break;
      }
    }
  }
}

bool BlockingClock::WaitForNextEvent() {
  if (FireDue()) return true;
  auto next = std::min_element(timers_.begin(), timers_.end(),
                               [](const auto& a, const auto& b) { return a.second.due < b.second.due; });
  if (next == timers_.end()) return false;
  nowMs = next->second.due;
  Fire(next->first);
  return true;
}

void BlockingClock::Run(long long ms) {
  const long long end = nowMs + ms;
  for (;;) {
    if (FireDue()) continue;
    auto next = std::min_element(timers_.begin(), timers_.end(),
                                 [](const auto& a, const auto& b) { return a.second.due < b.second.due; });
    if (next == timers_.end() || next->second.due > end) break;
    nowMs = next->second.due;
  }
  nowMs = std::max(nowMs, end);  // a blocking call may have run past the end
}

}  // namespace monitor::testing
