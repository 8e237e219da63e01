// The busy retry, the one-second wait and the printer scan, as the operator sees them.
#include <gtest/gtest.h>

#include "fakes.h"
#include "status_monitor/common.h"
#include "status_monitor/main_form.h"

namespace monitor {
namespace {

using testing::ReadyPrinter;
using Monitor = testing::Harness;

TEST(BusyRetry, ThreeBusyAnswersCostThreeWaitsAndTheLastStands) {
  Monitor m;
  m.library.printers = {ReadyPrinter(0)};
  m.library.scripted["StandardInquiry"] = {5, 6, 7};
  const KvResult result = m.common.WithBusyRetry([&] { return m.library.StandardInquiry({0x100, 0}, m.common.Buffer().data()); });
  EXPECT_EQ(result.code, 7);
  EXPECT_EQ(m.library.CountCalls("StandardInquiry"), 3);
  EXPECT_EQ(m.events.nowMs, 3000) << "one second after each busy answer";
  EXPECT_FALSE(m.common.Waiting());
  EXPECT_FALSE(m.events.Running(TimerId::Timer2));
}

TEST(BusyRetry, SuccessOrErrorEndsTheAttempts) {
  Monitor m;
  m.library.printers = {ReadyPrinter(0)};
  m.library.scripted["StandardInquiry"] = {1, 0};
  EXPECT_EQ(m.common.WithBusyRetry([&] { return m.library.StandardInquiry({0x100, 0}, m.common.Buffer().data()); }).code, 0);
  EXPECT_EQ(m.library.CountCalls("StandardInquiry"), 2);
  m.library.scripted["LogSelect"] = {-0x01052C00};
  EXPECT_EQ(m.common.WithBusyRetry([&] { return m.library.LogSelect({0x100, 0}); }).code, -0x01052C00);
  EXPECT_EQ(m.library.CountCalls("LogSelect"), 1);
}

TEST(OneSecondWait, BlocksInTheEventLoopAndThePollSkipsItsTurn) {
  Monitor m;
  m.library.printers = {ReadyPrinter(0)};
  m.form.Load(L"C:\\Monitor");
  const int statusReads = m.library.CountCalls("TestUnitReady");
  m.common.WaitOneSecond();
  // Five Timer1 ticks fell inside the wait (one of them a polling tick); none polled.
  EXPECT_EQ(m.library.CountCalls("TestUnitReady"), statusReads);
  EXPECT_GE(m.events.waitsForEvent, 5);
  EXPECT_EQ(m.events.nowMs, 1000);
}

TEST(Scan, OnePrinterWithUnitZeroShowsOneInADisabledPaleList) {
  Monitor m;
  m.library.printers = {ReadyPrinter(0)};
  EXPECT_FALSE(m.form.Printer_Scan());
  EXPECT_EQ(m.common.Printers().count, 1);
  EXPECT_FALSE(m.view[{"Combo0"}].enabled);
  EXPECT_EQ(m.view[{"Combo0"}].backColor, Rgb(192, 255, 255));
  EXPECT_TRUE(m.view[{"Combo0"}].items.empty());
  EXPECT_EQ(m.view.Text("Combo0"), "1");
}

TEST(Scan, UnitsZeroTwoFiveAreListedPlusOneAndTheFirstIsCurrent) {
  Monitor m;
  m.library.printers = {ReadyPrinter(0), ReadyPrinter(2), ReadyPrinter(5)};
  EXPECT_FALSE(m.form.Printer_Scan());
  auto& combo = m.view[{"Combo0"}];
  EXPECT_TRUE(combo.enabled);
  EXPECT_EQ(combo.backColor, kSystemWindowColor);
  EXPECT_EQ(combo.items, (std::vector<std::string>{"1", "3", "6"}));
  EXPECT_EQ(combo.listIndex, 0);
  EXPECT_EQ(m.common.Printers().selected.handle, 0x100);
  EXPECT_EQ(m.common.Printers().unitText, "1");
}

TEST(Scan, NoPrinterOnTheFirstCallClearsTheSelection) {
  Monitor m;
  EXPECT_EQ(m.common.ScanPrinters(), kNoPrinterLibrary);
  EXPECT_EQ(m.common.Printers().count, 0);
  EXPECT_EQ(m.common.Printers().selected.handle, 0);
  EXPECT_EQ(m.common.Printers().unitText, "");
  EXPECT_EQ(m.library.CountCalls("ScanKV450Next"), 0);
}

TEST(Scan, SixteenPrintersAndNoSeventeenthCall) {
  Monitor m;
  for (int unit = 0; unit < 17; ++unit) m.library.printers.push_back(ReadyPrinter(unit));
  EXPECT_EQ(m.common.ScanPrinters(), 0);
  EXPECT_EQ(m.common.Printers().count, 16);
  EXPECT_EQ(m.library.CountCalls("ScanKV450"), 16) << "one first call and fifteen next calls";
}

TEST(Scan, BusyScanIsRetried) {
  Monitor m;
  m.library.printers = {ReadyPrinter(3)};
  m.library.scripted["ScanKV450"] = {1};
  EXPECT_EQ(m.common.ScanPrinters(), 0);
  EXPECT_EQ(m.common.Printers().unitText, "4");
  EXPECT_EQ(m.library.CountCalls("ScanKV450Next"), 1);
}

TEST(Scan, MissingLibraryEndsTheProgramWithItsMessage) {
  Monitor m;
  m.library.missing = true;
  m.form.Load(L"C:\\Monitor");
  ASSERT_EQ(m.boxes.shown.size(), 1u);
  EXPECT_EQ(m.boxes.shown[0].text, "KV Port Manager is not found. Status Monitor ends.");
  EXPECT_EQ(m.boxes.shown[0].style, BoxStyle::Error);
  EXPECT_TRUE(m.form.EndFlag());
  EXPECT_FALSE(m.events.Running(TimerId::Timer1)) << "no poll without the library";
  EXPECT_TRUE(m.view.Text("MainForm").empty()) << "captions are not applied";
  EXPECT_EQ(m.view[{"Cmdm"}].fontName, "");
  m.form.Activate();
  EXPECT_TRUE(m.view.unloaded);
}

TEST(MainWindow, LoadSetsCaptionsFontsAndStartsThePoll) {
  Monitor m;
  m.library.printers = {ReadyPrinter(0)};
  m.form.Load(L"C:\\Monitor");
  EXPECT_EQ(m.view.Text("MainForm"), "TPX800 Status Monitor");
  EXPECT_EQ(m.view.Text("Cmdm"), "Minimize");
  EXPECT_EQ(m.view.Text("SSTab1", 3), "Printer Property");
  EXPECT_EQ(m.view.Text("Cmd0", 1), "Update");
  EXPECT_EQ(m.view[{"Label0_7"}].fontName, "Arial");
  EXPECT_EQ(m.view[{"Label0_7"}].fontSize, 9);
  EXPECT_EQ(m.view.page, 0);
  EXPECT_TRUE(m.view.windowVisible);
  EXPECT_FALSE(m.view[{"Menu1"}].visible);
  EXPECT_TRUE(m.events.Running(TimerId::Timer1));
  EXPECT_EQ(m.view.Text("Label0_1"), "Ready");
}

TEST(MainWindow, UpdateAsksFirstAndRedrawsOnlyWhenTheCountChanged) {
  Monitor m;
  m.library.printers = {ReadyPrinter(0), ReadyPrinter(1)};
  m.form.Load(L"C:\\Monitor");

  m.boxes.answers = {BoxAnswer::Cancel};
  m.form.Cmd0_Click(1);
  EXPECT_EQ(m.boxes.shown.back().text, "Would you like to refresh the status of Onlien Printers?");
  EXPECT_EQ(m.boxes.shown.back().style, BoxStyle::Question);
  EXPECT_EQ(m.library.CountCalls("ScanKV450"), 3) << "Cancel sends nothing: only the three calls of the load";

  // Same count: the list is rebuilt, entry 0 current, the page left for the next poll.
  m.form.Combo0_Click(1);
  const int writes = m.view.writes;
  const int reads = m.library.CountCalls("TestUnitReady");
  m.form.Cmd0_Click(1);
  EXPECT_EQ(m.common.Printers().selectedIndex, 0);
  EXPECT_EQ(m.library.CountCalls("TestUnitReady"), reads);
  EXPECT_LT(m.view.writes - writes, 10) << "only the selection list was refilled";

  // One printer unplugged: read and redraw at once.
  m.library.printers.pop_back();
  m.form.Cmd0_Click(1);
  EXPECT_EQ(m.library.CountCalls("TestUnitReady"), reads + 1);
  EXPECT_FALSE(m.view[{"Combo0"}].enabled);
}

TEST(MainWindow, LogButtonChecksThePrinterFirst) {
  Monitor m;
  m.form.Load(L"C:\\Monitor");
  m.form.Cmd0_Click(0);
  EXPECT_EQ(m.boxes.shown.back().text, "No Printer is found.");

  Monitor busy;
  busy.library.printers = {ReadyPrinter(0)};
  busy.library.printers[0].state = 50;
  busy.form.Load(L"C:\\Monitor");
  busy.form.Cmd0_Click(0);
  EXPECT_EQ(busy.boxes.shown.back().text, "Printer is on printing. Command could not be accepted.");
  EXPECT_EQ(busy.boxes.shown.back().style, BoxStyle::Error);
}

TEST(MainWindow, MinimizeHidesAndUnloadStopsThePoll) {
  Monitor m;
  m.library.printers = {ReadyPrinter(0)};
  m.form.Load(L"C:\\Monitor");
  m.form.Cmdm_Click();
  EXPECT_FALSE(m.view.windowVisible);
  m.form.Unload();
  EXPECT_TRUE(m.view.unloaded);
  EXPECT_FALSE(m.events.Running(TimerId::Timer1));
}

}  // namespace
}  // namespace monitor
