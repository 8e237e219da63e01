// In-memory stand-ins for the monitor's ports: a scriptable library, a fake clock with timers,
// a view that records what the operator would see, and message boxes with scripted answers.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "status_monitor/common.h"
#include "status_monitor/kvcmd.h"
#include "status_monitor/main_form.h"
#include "status_monitor/ports.h"
#include "status_monitor/snapshot.h"

namespace monitor::testing {

// A virtual printer as the fake library answers for it.
struct FakePrinter {
  int32_t handle = 0x100;
  int32_t unit = 0;
  int32_t testUnitReady = 0;
  int32_t status = 0;
  int32_t state = 0;
  DataBuffer logCounters{};
  DataBuffer logSupplies{};
  DataBuffer inquiry{};
  DataBuffer vpd{};
  std::map<int32_t, DataBuffer> modePages;
};

class FakeLibrary : public Kvcmd {
 public:
  std::vector<FakePrinter> printers;
  bool missing = false;             // every call fails to bind, as with no DLL
  std::vector<std::string> calls;   // one entry per call, e.g. "LogSense 38"
  // Scripted results: the next calls of a function answer these codes before the normal answer.
  std::map<std::string, std::deque<int32_t>> scripted;
  // GetPrinterStatus return values in turn (1 when the script is empty).
  std::deque<int32_t> statusReturns;
  // Arguments of the maintenance calls: each test print attempt, and each path sent.
  struct Diagnostic {
    int32_t selfTest, sides, count, valueBefore;
  };
  std::vector<Diagnostic> diagnostics;
  std::vector<std::wstring> paths;
  int32_t firmwareFlags = -1;

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

  int CountCalls(const std::string& prefix) const;

 private:
  bool Scripted(const std::string& name, KvResult& result);
  FakePrinter* Find(PrinterRef printer);
  KvResult Begin(const std::string& call, const std::string& name);
};

// Timers on a fake clock; WaitForNextEvent jumps to the next due timer and fires it.
class FakeEvents : public EventLoop {
 public:
  std::function<void(TimerId)> onTimer;
  long long nowMs = 0;
  int waitsForEvent = 0;
  int pendingEventPasses = 0;

  void StartTimer(TimerId timer, int intervalMs) override;
  void StopTimer(TimerId timer) override;
  bool WaitForNextEvent() override;
  void ProcessPendingEvents() override { ++pendingEventPasses; }

  bool Running(TimerId timer) const { return timers_.count(timer) != 0; }
  // Advances the clock by ms, firing every timer that falls due on the way.
  void Advance(long long ms);

 private:
  struct Timer {
    int interval;
    long long due;
  };
  bool FireNext(long long limit);
  std::map<TimerId, Timer> timers_;
};

struct ControlState {
  std::string text;
  Color foreColor = 0;
  Color backColor = 0;
  bool visible = true;
  bool enabled = true;
  std::string fontName;
  int fontSize = 0;
  int top = 0;
  int height = 0;
  std::vector<std::string> items;
  int listIndex = -1;
  std::wstring picture;
  int pictureChanges = 0;
  bool hasBox = false;
  int boxRight = 0;
  int boxBottom = 0;
  Color boxColor = 0;
  bool checked = false;
  int value = 0;
};

class FakeView : public View {
 public:
  std::map<std::pair<std::string, int>, ControlState> controls;
  bool windowVisible = false;
  int page = 0;
  bool unloaded = false;
  int writes = 0;  // every write, to tell a redraw from none
  SizeTwips pictureSize{1800, 375};

  ControlState& operator[](Ctl control) { return controls[{std::string(control.name), control.index}]; }
  const std::string& Text(std::string_view name, int index = -1) { return (*this)[{name, index}].text; }

  void SetText(Ctl c, std::string_view text) override { ++writes; (*this)[c].text = std::string(text); }
  void SetForeColor(Ctl c, Color color) override { ++writes; (*this)[c].foreColor = color; }
  void SetBackColor(Ctl c, Color color) override { ++writes; (*this)[c].backColor = color; }
  void SetVisible(Ctl c, bool visible) override { ++writes; (*this)[c].visible = visible; }
  void SetEnabled(Ctl c, bool enabled) override { ++writes; (*this)[c].enabled = enabled; }
  void SetFontName(Ctl c, std::string_view name) override { ++writes; (*this)[c].fontName = std::string(name); }
  void SetFontSize(Ctl c, int points) override { ++writes; (*this)[c].fontSize = points; }
  void SetTop(Ctl c, int twips) override { ++writes; (*this)[c].top = twips; }
  void SetHeight(Ctl c, int twips) override { ++writes; (*this)[c].height = twips; }
  SizeTwips GetSize(Ctl) override { return pictureSize; }
  void ClearList(Ctl c) override { ++writes; (*this)[c].items.clear(); (*this)[c].listIndex = -1; }
  void AddItem(Ctl c, std::string_view text) override { ++writes; (*this)[c].items.emplace_back(text); }
  void SetListIndex(Ctl c, int index) override { ++writes; (*this)[c].listIndex = index; }
  void SetPicture(Ctl c, const std::wstring& path) override {
    ++writes;
    auto& state = (*this)[c];
    if (state.picture != path) ++state.pictureChanges;
    state.picture = path;
  }
  void ClearDrawing(Ctl c) override { ++writes; (*this)[c].hasBox = false; }
  void FillBox(Ctl c, int right, int bottom, Color color) override {
    ++writes;
    auto& state = (*this)[c];
    state.hasBox = true;
    state.boxRight = right;
    state.boxBottom = bottom;
    state.boxColor = color;
  }
  void SetChecked(Ctl c, bool checked) override { ++writes; (*this)[c].checked = checked; }
  bool IsChecked(Ctl c) override { return (*this)[c].checked; }
  void SetValue(Ctl c, int value) override { ++writes; (*this)[c].value = value; }
  int GetValue(Ctl c) override { return (*this)[c].value; }
  std::string GetText(Ctl c) override { return (*this)[c].text; }
  bool IsWindowVisible() override { return windowVisible; }
  void ShowWindow() override { windowVisible = true; }
  void HideWindow() override { windowVisible = false; }
  int CurrentPage() override { return page; }
  void SelectPage(int p) override { page = p; }
  void BringToFront() override { ++broughtToFront; }
  int broughtToFront = 0;
  void Unload() override { unloaded = true; windowVisible = false; }
};

class FakeBoxes : public MessageBoxes {
 public:
  struct Shown {
    std::string text;
    BoxStyle style;
  };
  std::vector<Shown> shown;
  std::deque<BoxAnswer> answers;  // scripted answers; OK/Yes by default
  std::function<void()> whileOpen;  // runs while a box is open (its own message loop)

  BoxAnswer Show(std::string_view text, BoxStyle style) override;
};

// Fills the pages a ready YMC-K-OP printer would answer with.
FakePrinter ReadyPrinter(int32_t unit);

// The monitor wired to the fakes, its timers delivered to the form.
struct Harness {
  FakeLibrary library;
  FakeEvents events;
  FakeView view;
  FakeBoxes boxes;
  Common common{library, events};
  MainForm form{view, boxes, events, common};
  Harness() { events.onTimer = [this](TimerId id) { form.OnTimer(id); }; }
};

}  // namespace monitor::testing
