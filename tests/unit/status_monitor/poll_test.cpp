// The one-second poll and the "Printer Status" page as the operator sees them.
#include <gtest/gtest.h>

#include "fakes.h"
#include "status_monitor/common.h"
#include "status_monitor/main_form.h"

namespace monitor {
namespace {

using testing::ReadyPrinter;

constexpr int32_t kDoorOpen = -0x01020480;
constexpr int32_t kPrinting = -0x01020400;
constexpr int32_t kOfflineMode = -0x01020485;
constexpr int32_t kPortManagerMemory = -0x02000001;

struct Monitor : testing::Harness {
  explicit Monitor(int printers = 1) {
    for (int unit = 0; unit < printers; ++unit) library.printers.push_back(ReadyPrinter(unit));
  }
  void Load() { form.Load(L"C:\\Mon"); }
  void Poll() { events.Advance(1000); }
  testing::FakePrinter& Device() { return library.printers[0]; }
  std::wstring Picture(std::string_view name, int index = -1) { return view[{name, index}].picture; }
};

TEST(Refresh, ReadsEveryPageInOrderAndStopsAtTheFirstFailure) {
  Monitor m;
  m.Load();
  m.library.calls.clear();
  m.common.RefreshPrinterInfo();
  EXPECT_EQ(m.library.calls, (std::vector<std::string>{"LogSense 38", "LogSense 3A", "StandardInquiry", "VPDInquiry",
                                                        "ModeSense 23", "ModeSense 28", "ModeSense 2A", "ModeSense 2B",
                                                        "ModeSense 3A"}));
  EXPECT_EQ(m.common.Info().headInfo, "HEAD-0001");
  EXPECT_EQ(m.common.Info().lotNumber, "LOT-A1");

  m.library.calls.clear();
  m.library.scripted["ModeSense 23"] = {-0x01052400};
  m.common.Info().lotNumber = "kept";
  EXPECT_EQ(m.common.RefreshPrinterInfo(), -0x01052400);
  EXPECT_EQ(m.library.calls.back(), "ModeSense 23");
  EXPECT_EQ(m.common.Info().lotNumber, "kept") << "a failed read leaves its fields";
}

TEST(Refresh, BusyCountersAreReadAgainOnlyOnTheFirstRefresh) {
  Monitor m;
  m.Load();
  m.common.SetFirstRefresh();
  m.library.scripted["LogSense 38"] = {1};
  m.library.calls.clear();
  EXPECT_EQ(m.common.RefreshPrinterInfo(), 0);
  EXPECT_EQ(m.library.CountCalls("LogSense 38"), 2);
  EXPECT_FALSE(m.common.FirstRefresh());

  m.library.scripted["LogSense 38"] = {1};
  m.library.calls.clear();
  EXPECT_EQ(m.common.RefreshPrinterInfo(), 1) << "a busy counter read ends the sequence";
  EXPECT_EQ(m.library.calls, std::vector<std::string>{"LogSense 38"});
}

TEST(StatusRead, AsksForTheStatusUpToThreeTimesWhileTheLibraryHasNone) {
  Monitor m;
  m.Load();
  m.library.calls.clear();
  m.library.statusReturns = {0, 0, 0, 0};
  m.Device().state = 51;
  m.common.ReadStatus();
  EXPECT_EQ(m.library.CountCalls("GetPrinterStatus"), 3);
  EXPECT_EQ(m.events.pendingEventPasses, 2);
  EXPECT_EQ(m.common.Info().stateCode, 51);
}

TEST(StatusPage, ReadyPrinterInBlueWithSupplies) {
  Monitor m;
  m.Load();
  auto& label = m.view[{"Label0_1"}];
  EXPECT_EQ(label.text, "Ready");
  EXPECT_EQ(label.foreColor, Rgb(0, 0, 255));
  EXPECT_EQ(label.top, 600);
  EXPECT_EQ(label.height, 360);
  EXPECT_EQ(label.fontSize, 14);
  EXPECT_EQ(m.Picture("WebBrowser1"), L"C:\\Mon\\READY.gif");
  EXPECT_EQ(m.Picture("Pic0", 0), L"C:\\Mon\\LOGO.gif");
  EXPECT_EQ(m.Picture("Pic0", 1), L"C:\\Mon\\ANY.gif");
  EXPECT_EQ(m.Picture("Pic0", 3), L"C:\\Mon\\YMCKOP.gif");
  EXPECT_EQ(m.view.Text("Label0_2", 0), "50") << "a quantity of 25 shows 50";
  auto& bar = m.view[{"Pic0", 2}];
  EXPECT_TRUE(bar.hasBox);
  EXPECT_EQ(bar.boxColor, Rgb(128, 128, 255));
  EXPECT_EQ(bar.boxRight, (1800 - 60) * 25 / 50);
  EXPECT_EQ(bar.boxBottom, 375 - 75);
  EXPECT_EQ(m.view.Text("Label0_3", 1), " 200");
  EXPECT_EQ(m.view.Text("Label0_4", 1), "LOT-A1");
  EXPECT_EQ(m.view.Text("Label0_5"), " 120");
  EXPECT_EQ(m.view.Text("Label0_6"), " 45");
  EXPECT_EQ(m.view.Text("Label0_7"), "0105");
}

TEST(StatusPage, PrintingIsRedWithTheRunPictureAndDoesNotRaiseAHiddenWindow) {
  Monitor m;
  m.Load();
  m.form.Cmdm_Click();
  m.Device().testUnitReady = kPrinting;
  m.Device().status = kPrinting;
  m.Device().state = 50;
  m.Poll();
  EXPECT_FALSE(m.view.windowVisible);
  m.view.ShowWindow();
  m.Poll();
  EXPECT_EQ(m.view.Text("Label0_1"), "Printing");
  EXPECT_EQ(m.view[{"Label0_1"}].foreColor, Rgb(255, 0, 0));
  EXPECT_EQ(m.Picture("WebBrowser1"), L"C:\\Mon\\RUN.gif");
}

TEST(StatusPage, DoorOpenBringsAHiddenWindowBackOnPageZero) {
  Monitor m;
  m.Load();
  m.form.Cmdm_Click();
  m.view.page = 2;
  m.Device().testUnitReady = kDoorOpen;
  m.Device().status = kDoorOpen;
  m.Poll();
  EXPECT_TRUE(m.view.windowVisible);
  EXPECT_FALSE(m.view[{"Menu1"}].visible);
  EXPECT_EQ(m.view.page, 0);
  auto& label = m.view[{"Label0_1"}];
  EXPECT_EQ(label.text, "Error(01020480 : Printer Door is opened. Please close the door.)");
  EXPECT_EQ(label.top, 180);
  EXPECT_EQ(label.height, 1140);
  EXPECT_EQ(label.fontSize, 11);
  EXPECT_EQ(m.Picture("WebBrowser1"), L"C:\\Mon\\ERROR.gif");
  EXPECT_TRUE(m.boxes.shown.empty());
}

TEST(StatusPage, StateZeroUnderANotAcceptedStatusIsBusy) {
  Monitor m;
  m.Load();
  m.Device().testUnitReady = kOfflineMode;
  m.Device().status = kOfflineMode;
  m.Poll();
  EXPECT_EQ(m.view.Text("Label0_1"), "Printer is busy. Command was rejected.");
  EXPECT_EQ(m.Picture("WebBrowser1"), L"C:\\Mon\\RUN.gif");
}

TEST(StatusPage, InkQuantityOutsideTheScaleShowsNoBar) {
  for (uint8_t quantity : {51, 255}) {
    Monitor m;
    m.Device().logSupplies[8] = quantity;
    m.Load();
    EXPECT_FALSE((m.view[{"Pic0", 2}].hasBox)) << int(quantity);
    EXPECT_EQ(m.view.Text("Label0_2", 0), "") << int(quantity);
  }
  Monitor empty;
  empty.Device().logSupplies[8] = 0;
  empty.Device().logSupplies[13] = 1;
  empty.Load();
  EXPECT_EQ(empty.view.Text("Label0_2", 0), "0");
  EXPECT_EQ(empty.Picture("Pic0", 1), L"C:\\Mon\\NONE.gif");
}

TEST(StatusPage, RibbonPictureFollowsTheInkType) {
  const std::pair<uint8_t, const wchar_t*> cases[] = {
      {4, L"C:\\Mon\\YMCKOPK.gif"}, {254, L"C:\\Mon\\BLACK.gif"}, {252, L"C:\\Mon\\INKUNK.gif"}, {9, L"C:\\Mon\\INKUNK.gif"}};
  for (const auto& [type, picture] : cases) {
    Monitor m;
    m.Device().modePages[kModeInkRibbon][6] = type;
    m.Load();
    EXPECT_EQ(m.Picture("Pic0", 3), picture) << int(type);
  }
}

TEST(Poll, UnchangedStatusRedrawsOnlyTheSupplies) {
  Monitor m;
  m.Load();
  const int animationChanges = m.view[{"WebBrowser1"}].pictureChanges;
  m.view[{"Label0_1"}].text = "untouched";
  m.Device().logCounters[19] = 46;
  m.Poll();
  EXPECT_EQ(m.view.Text("Label0_1"), "untouched");
  EXPECT_EQ(m.view.Text("Label0_6"), " 46");
  EXPECT_EQ(m.view[{"WebBrowser1"}].pictureChanges, animationChanges) << "the animation is not restarted";
}

TEST(Poll, AnotherPageIsReadButNotRedrawn) {
  Monitor m;
  m.Load();
  m.view.page = 1;
  const int writes = m.view.writes;
  const int reads = m.library.CountCalls("TestUnitReady");
  m.Device().state = 50;
  m.Poll();
  EXPECT_EQ(m.library.CountCalls("TestUnitReady"), reads + 1);
  EXPECT_EQ(m.view.writes, writes);
}

TEST(Poll, RunsOnceASecond) {
  Monitor m;
  m.Load();
  const int reads = m.library.CountCalls("TestUnitReady");
  m.events.Advance(800);
  EXPECT_EQ(m.library.CountCalls("TestUnitReady"), reads);
  m.events.Advance(200);
  EXPECT_EQ(m.library.CountCalls("TestUnitReady"), reads + 1);
  m.events.Advance(3000);
  EXPECT_EQ(m.library.CountCalls("TestUnitReady"), reads + 4);
}

TEST(Poll, DisconnectionEmptiesTheListAndARescanFindsThePrinterAgain) {
  Monitor m;
  m.Load();
  auto unplugged = m.library.printers;
  m.library.printers.clear();
  m.Poll();  // the status read answers "no printer": the list is emptied
  EXPECT_EQ(m.common.Printers().count, 0);
  m.Poll();  // nothing to read: rescan, and the page says so
  EXPECT_EQ(m.view.Text("Label0_1"), "No printer is found");
  EXPECT_EQ(m.Picture("WebBrowser1"), L"C:\\Mon\\ERROR.gif");
  EXPECT_EQ(m.Picture("Pic0", 3), L"");
  EXPECT_EQ(m.view.Text("Label0_5"), "");
  const int scans = m.library.CountCalls("ScanKV450");
  m.Poll();
  EXPECT_EQ(m.library.CountCalls("ScanKV450"), scans + 1) << "rescans every second";

  m.library.printers = unplugged;
  m.Poll();
  EXPECT_EQ(m.common.Printers().count, 1);
  EXPECT_EQ(m.view.Text("Label0_1"), "Ready");
  EXPECT_EQ(m.view.Text("Combo0"), "1");
}

TEST(Poll, HostFailureAsksToEndOnceAtATime) {
  Monitor m;
  m.Load();
  m.Device().testUnitReady = kPortManagerMemory;
  m.Device().status = kPortManagerMemory;
  int nested = 0;
  m.boxes.answers = {BoxAnswer::No};
  m.boxes.whileOpen = [&] {
    if (nested++ == 0) m.Poll();  // the poll goes on under the open question
  };
  m.Poll();
  EXPECT_EQ(m.boxes.shown.size(), 1u) << "no second question while one is open";
  EXPECT_EQ(m.boxes.shown[0].text, "Unrecoverable error happens.\rWould you like to end Status Monitor?");
  EXPECT_EQ(m.boxes.shown[0].style, BoxStyle::Critical);
  EXPECT_FALSE(m.view.unloaded) << "No keeps the program running";
  EXPECT_EQ(m.view.Text("Label0_1").rfind("Error(02000001 : ", 0), 0u);

  m.boxes.whileOpen = nullptr;
  m.events.Advance(2000);  // still failing: asked again; Yes ends
  EXPECT_EQ(m.boxes.shown.size(), 2u);
  EXPECT_TRUE(m.view.unloaded);
  EXPECT_FALSE(m.events.Running(TimerId::Timer1));
}

TEST(Poll, SelectingAnotherPrinterReadsItAtOnce) {
  Monitor m(2);
  m.library.printers[1].state = 53;
  m.Load();
  m.form.Combo0_Click(1);
  EXPECT_EQ(m.common.Printers().unitText, "2");
  EXPECT_EQ(m.view.Text("Label0_1"), "MAG Encoding");
}

}  // namespace
}  // namespace monitor
