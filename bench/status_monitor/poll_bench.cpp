// Measures one full poll — status read, the eleven information reads and a full redraw — and the
// steady-state poll (nothing changed), in time and heap allocations per poll.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "status_monitor/common.h"
#include "status_monitor/main_form.h"

namespace {

long long g_allocations = 0;

}  // namespace

void* operator new(std::size_t size) {
  ++g_allocations;
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

using namespace monitor;

// A ready printer answering every call at once from prepared pages.
class InstantLibrary final : public Kvcmd {
 public:
  InstantLibrary() {
    counters_[0] = kLogCounters;
    counters_[11] = 100;
    supplies_[0] = kLogSupplies;
    supplies_[8] = 30;
    std::memcpy(&inquiry_[8], "ORV     TPX800          0212", 28);
    std::memcpy(&vpd_[8], "KT-0854-A1", 10);
    for (int i = 0; i < 5; ++i) modes_[i][4] = static_cast<uint8_t>(kPages[i]);
    std::memcpy(&modes_[0][12], "LOT-2026-0412-ABCDEFGHIJKLMNOPQR", 32);
  }
  KvResult ScanKV450(int32_t& h, int32_t& u) override { h = 1; u = 0; return {}; }
  KvResult ScanKV450Next(int32_t&, int32_t&) override { return {kNoPrinterLibrary}; }
  KvResult TestUnitReady(PrinterRef) override { return {}; }
  KvResult GetPrinterStatus(PrinterRef, int32_t& status, int32_t& state) override {
    status = 0;
    state = 0;
    return {1};
  }
  KvResult LogSense(PrinterRef, int32_t page, uint8_t* b) override {
    std::memcpy(b, page == kLogCounters ? counters_ : supplies_, kDataBufferSize);
    return {};
  }
  KvResult ModeSense(PrinterRef, int32_t page, uint8_t* b) override {
    for (int i = 0; i < 5; ++i) {
      if (kPages[i] == page) std::memcpy(b, modes_[i], kDataBufferSize);
    }
    return {};
  }
  KvResult ModeSelect(PrinterRef, int32_t, uint8_t*) override { return {}; }
  KvResult StandardInquiry(PrinterRef, uint8_t* b) override { std::memcpy(b, inquiry_, kDataBufferSize); return {}; }
  KvResult VPDInquiry(PrinterRef, int32_t, uint8_t* b) override { std::memcpy(b, vpd_, kDataBufferSize); return {}; }
  KvResult SendDiagnostic(PrinterRef, int32_t, int32_t, int32_t, int32_t*) override { return {}; }
  KvResult LogSelect(PrinterRef) override { return {}; }
  KvResult UpdateFirmware(PrinterRef, const uint8_t*, int32_t) override { return {}; }
  KvResult GetLogMessageAsFile(PrinterRef, const uint8_t*) override { return {}; }

 private:
  static constexpr int32_t kPages[5] = {kModeInkRibbon, kModePrintSettings, kModeMagnetic, kModePrintPosition, kModeJisEncoder};
  uint8_t counters_[kDataBufferSize] = {};
  uint8_t supplies_[kDataBufferSize] = {};
  uint8_t inquiry_[kDataBufferSize] = {};
  uint8_t vpd_[kDataBufferSize] = {};
  uint8_t modes_[5][kDataBufferSize] = {};
};

// Records the size of what it is given, as a real view would copy it, without keeping it.
class RecordingView final : public View {
 public:
  long long writes = 0;
  size_t bytes = 0;
  void SetText(Ctl, std::string_view t) override { ++writes; bytes += t.size(); }
  void SetForeColor(Ctl, Color) override { ++writes; }
  void SetBackColor(Ctl, Color) override { ++writes; }
  void SetVisible(Ctl, bool) override { ++writes; }
  void SetEnabled(Ctl, bool) override { ++writes; }
  void SetFontName(Ctl, std::string_view) override { ++writes; }
  void SetFontSize(Ctl, int) override { ++writes; }
  void SetTop(Ctl, int) override { ++writes; }
  void SetHeight(Ctl, int) override { ++writes; }
  SizeTwips GetSize(Ctl) override { return {1800, 375}; }
  void ClearList(Ctl) override { ++writes; }
  void AddItem(Ctl, std::string_view) override { ++writes; }
  void SetListIndex(Ctl, int) override { ++writes; }
  void SetPicture(Ctl, const std::wstring& p) override { ++writes; bytes += p.size(); }
  void ClearDrawing(Ctl) override { ++writes; }
  void FillBox(Ctl, int, int, Color) override { ++writes; }
  void SetChecked(Ctl, bool) override { ++writes; }
  bool IsChecked(Ctl) override { return false; }
  void SetValue(Ctl, int) override { ++writes; }
  int GetValue(Ctl) override { return 0; }
  std::string GetText(Ctl) override { return {}; }
  bool IsWindowVisible() override { return true; }
  void ShowWindow() override {}
  void HideWindow() override {}
  int CurrentPage() override { return 0; }
  void SelectPage(int) override {}
  void BringToFront() override {}
  void Unload() override {}
};

struct NoBoxes final : MessageBoxes {
  BoxAnswer Show(std::string_view, BoxStyle) override { return BoxAnswer::Ok; }
};

// Ticks arrive only when the benchmark sends them.
struct ManualEvents final : EventLoop {
  void StartTimer(TimerId, int) override {}
  void StopTimer(TimerId) override {}
  bool WaitForNextEvent() override { return false; }
  void ProcessPendingEvents() override {}
};

template <typename Step>
void Measure(const char* name, int iterations, Step&& step) {
  const long long allocationsBefore = g_allocations;
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < iterations; ++i) step();
  const auto elapsed = std::chrono::steady_clock::now() - start;
  const double microseconds = std::chrono::duration<double, std::micro>(elapsed).count() / iterations;
  const double allocations = static_cast<double>(g_allocations - allocationsBefore) / iterations;
  std::printf("%-34s %9.3f us/poll %8.2f allocations/poll\n", name, microseconds, allocations);
}

}  // namespace

int main(int argc, char** argv) {
  const int iterations = argc > 1 ? std::atoi(argv[1]) : 200000;
  InstantLibrary library;
  RecordingView view;
  NoBoxes boxes;
  ManualEvents events;
  Common common(library, events);
  MainForm form(view, boxes, events, common);
  form.Load(L"C:\\Program Files\\TPX800 Status Monitor");

  // The poll acts on every fifth Timer1 tick: five ticks make one poll.
  const auto poll = [&] {
    for (int tick = 0; tick < 5; ++tick) form.OnTimer(TimerId::Timer1);
  };
  poll();  // warm-up: every string has its storage
  Measure("steady poll (nothing changed)", iterations, poll);
  Measure("full poll (reads + full redraw)", iterations, [&] {
    common.ReadStatus();
    common.RefreshPrinterInfo();
    form.Status().ShowStatusPage();
  });
  std::printf("view writes: %lld\n", view.writes);
  return 0;
}
