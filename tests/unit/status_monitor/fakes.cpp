#include "fakes.h"

#include <algorithm>
#include <cstring>

namespace monitor::testing {

namespace {
std::string Hex2(int32_t value) {
  static const char* digits = "0123456789ABCDEF";
  return {digits[(value >> 4) & 0xF], digits[value & 0xF]};
}
}  // namespace

bool FakeLibrary::Scripted(const std::string& name, KvResult& result) {
  auto it = scripted.find(name);
  if (it == scripted.end() || it->second.empty()) return false;
  result.code = it->second.front();
  it->second.pop_front();
  return true;
}

KvResult FakeLibrary::Begin(const std::string& call, const std::string& name) {
  calls.push_back(call);
  KvResult result;
  if (missing) {
    result.code = -1;
    result.failure = BindFailure::FileNotFound;
    return result;
  }
  result.code = 0x7FFFFFFF;  // "not scripted"
  Scripted(name, result);
  return result;
}

FakePrinter* FakeLibrary::Find(PrinterRef printer) {
  for (auto& p : printers) {
    if (p.handle == printer.handle && p.unit == printer.unit) return &p;
  }
  return nullptr;
}

int FakeLibrary::CountCalls(const std::string& prefix) const {
  return static_cast<int>(std::count_if(calls.begin(), calls.end(),
                                        [&](const std::string& c) { return c.rfind(prefix, 0) == 0; }));
}

#define FAKE_BEGIN(call, name)                    \
  KvResult result = Begin(call, name);            \
  if (result.Raised()) return result;             \
  if (result.code != 0x7FFFFFFF) return result;   \
  result.code = 0

KvResult FakeLibrary::ScanKV450(int32_t& handle, int32_t& unit) {
  FAKE_BEGIN("ScanKV450", "ScanKV450");
  if (printers.empty()) return {kNoPrinterLibrary};
  handle = printers[0].handle;
  unit = printers[0].unit;
  return result;
}

KvResult FakeLibrary::ScanKV450Next(int32_t& handle, int32_t& unit) {
  FAKE_BEGIN("ScanKV450Next", "ScanKV450Next");
  for (size_t i = 0; i + 1 < printers.size(); ++i) {
    if (printers[i].handle == handle && printers[i].unit == unit) {
      handle = printers[i + 1].handle;
      unit = printers[i + 1].unit;
      return result;
    }
  }
  return {kNoPrinterLibrary};
}

KvResult FakeLibrary::TestUnitReady(PrinterRef printer) {
  FAKE_BEGIN("TestUnitReady", "TestUnitReady");
  FakePrinter* p = Find(printer);
  return {p ? p->testUnitReady : kNoPrinterLibrary};
}

KvResult FakeLibrary::GetPrinterStatus(PrinterRef printer, int32_t& status, int32_t& state) {
  calls.push_back("GetPrinterStatus");
  if (missing) return {-1, BindFailure::FileNotFound};
  FakePrinter* p = Find(printer);
  if (!p) return {kNoPrinterLibrary};
  status = p->status;
  state = p->state;
  if (statusReturns.empty()) return {1};
  const int32_t code = statusReturns.front();
  statusReturns.pop_front();
  return {code};
}

KvResult FakeLibrary::LogSense(PrinterRef printer, int32_t pageCode, uint8_t* buffer) {
  FAKE_BEGIN("LogSense " + Hex2(pageCode), "LogSense " + Hex2(pageCode));
  FakePrinter* p = Find(printer);
  if (!p) return {kNoPrinterLibrary};
  const DataBuffer& page = pageCode == kLogCounters ? p->logCounters : p->logSupplies;
  std::memcpy(buffer, page.data(), page.size());
  return result;
}

KvResult FakeLibrary::ModeSense(PrinterRef printer, int32_t pageCode, uint8_t* buffer) {
  FAKE_BEGIN("ModeSense " + Hex2(pageCode), "ModeSense " + Hex2(pageCode));
  FakePrinter* p = Find(printer);
  if (!p) return {kNoPrinterLibrary};
  const DataBuffer& page = p->modePages[pageCode];
  std::memcpy(buffer, page.data(), page.size());
  return result;
}

KvResult FakeLibrary::ModeSelect(PrinterRef printer, int32_t pageCode, uint8_t* buffer) {
  FAKE_BEGIN("ModeSelect " + Hex2(pageCode), "ModeSelect");
  FakePrinter* p = Find(printer);
  if (!p) return {kNoPrinterLibrary};
  std::memcpy(p->modePages[pageCode].data(), buffer, kDataBufferSize);
  return result;
}

KvResult FakeLibrary::StandardInquiry(PrinterRef printer, uint8_t* buffer) {
  FAKE_BEGIN("StandardInquiry", "StandardInquiry");
  FakePrinter* p = Find(printer);
  if (!p) return {kNoPrinterLibrary};
  std::memcpy(buffer, p->inquiry.data(), kDataBufferSize);
  return result;
}

KvResult FakeLibrary::VPDInquiry(PrinterRef printer, int32_t, uint8_t* buffer) {
  FAKE_BEGIN("VPDInquiry", "VPDInquiry");
  FakePrinter* p = Find(printer);
  if (!p) return {kNoPrinterLibrary};
  std::memcpy(buffer, p->vpd.data(), kDataBufferSize);
  return result;
}

KvResult FakeLibrary::SendDiagnostic(PrinterRef, int32_t selfTest, int32_t sides, int32_t count, int32_t* value) {
  diagnostics.push_back({selfTest, sides, count, *value});
  *value = 0x5A5A;  // the library leaves something behind in it
  FAKE_BEGIN("SendDiagnostic", "SendDiagnostic");
  return result;
}
KvResult FakeLibrary::LogSelect(PrinterRef printer) {
  FAKE_BEGIN("LogSelect", "LogSelect");
  if (FakePrinter* p = Find(printer)) std::fill(p->logCounters.begin() + 16, p->logCounters.begin() + 20, 0);
  return result;
}
namespace {
std::wstring PathFromBytes(const uint8_t* bytes) {
  std::wstring path;
  for (size_t i = 0; bytes[i] || bytes[i + 1]; i += 2) path.push_back(static_cast<wchar_t>(bytes[i] | (bytes[i + 1] << 8)));
  return path;
}
}  // namespace
KvResult FakeLibrary::UpdateFirmware(PrinterRef, const uint8_t* path, int32_t flags) {
  paths.push_back(PathFromBytes(path));
  firmwareFlags = flags;
  FAKE_BEGIN("UpdateFirmware", "UpdateFirmware");
  return result;
}
KvResult FakeLibrary::GetLogMessageAsFile(PrinterRef, const uint8_t* path) {
  paths.push_back(PathFromBytes(path));
  FAKE_BEGIN("GetLogMessageAsFile", "GetLogMessageAsFile");
  return result;
}

void FakeEvents::StartTimer(TimerId timer, int intervalMs) { timers_[timer] = {intervalMs, nowMs + intervalMs}; }
void FakeEvents::StopTimer(TimerId timer) { timers_.erase(timer); }

bool FakeEvents::FireNext(long long limit) {
  auto next = std::min_element(timers_.begin(), timers_.end(),
                               [](const auto& a, const auto& b) { return a.second.due < b.second.due; });
  if (next == timers_.end() || next->second.due > limit) return false;
  const TimerId id = next->first;
  nowMs = next->second.due;
  next->second.due += next->second.interval;
  if (onTimer) onTimer(id);
  return true;
}

bool FakeEvents::WaitForNextEvent() {
  ++waitsForEvent;
  return FireNext(nowMs + 3600 * 1000);
}

void FakeEvents::Advance(long long ms) {
  const long long end = nowMs + ms;
  while (FireNext(end)) {
  }
  nowMs = std::max(nowMs, end);  // a nested Advance may have gone further
}

BoxAnswer FakeBoxes::Show(std::string_view text, BoxStyle style) {
  shown.push_back({std::string(text), style});
  if (whileOpen) whileOpen();
  if (!answers.empty()) {
    const BoxAnswer answer = answers.front();
    answers.pop_front();
    return answer;
  }
  return style == BoxStyle::Critical || style == BoxStyle::QuestionYesNo ? BoxAnswer::Yes : BoxAnswer::Ok;
}

FakePrinter ReadyPrinter(int32_t unit) {
  FakePrinter p;
  p.handle = 0x100 + unit;
  p.unit = unit;
  p.state = 0;
  p.logCounters[0] = kLogCounters;
  p.logCounters[11] = 120;  // printer print counter
  p.logCounters[19] = 45;   // print counter
  p.logSupplies[0] = kLogSupplies;
  p.logSupplies[8] = 25;  // ink quantity: half
  std::memcpy(&p.inquiry[8], "ORV     TPX800 U1       0105", 28);
  p.inquiry[38] = 0x21;
  std::memcpy(&p.vpd[8], "HEAD-0001", 9);
  DataBuffer ribbon{};
  ribbon[4] = kModeInkRibbon;
  ribbon[6] = kInkYmckop;
  ribbon[9] = 200;
  std::memcpy(&ribbon[12], "LOT-A1", 6);
  p.modePages[kModeInkRibbon] = ribbon;
  for (int page : {kModePrintSettings, kModeMagnetic, kModePrintPosition, kModeJisEncoder}) {
    DataBuffer data{};
    data[4] = static_cast<uint8_t>(page);
    p.modePages[page] = data;
  }
  return p;
}

}  // namespace monitor::testing
