// The monitor against a printer library that misbehaves: it keeps running, shows only what a
// printer really said (or nothing), and comes back when the printer does.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "faulty_printer.h"
#include "status_monitor/texts.h"

namespace monitor {
namespace {

using testing::Fault;

constexpr Color kBlue = Rgb(0, 0, 255);
constexpr Color kRed = Rgb(255, 0, 0);

struct Monitor {
  testing::FakeLibrary printer;
  testing::FaultyLibrary library{printer};
  testing::BlockingClock clock;
  testing::FakeView view;
  testing::FakeBoxes boxes;
  Common common{library, clock};
  MainForm form{view, boxes, clock, common};

  Monitor() {
    printer.printers.push_back(testing::ReadyPrinter(0));
    clock.onTimer = [this](TimerId id) { form.OnTimer(id); };
    library.elapse = [this](int ms) { clock.Elapse(ms); };
    library.pollTickDepth = [this] { return clock.pollTickDepth; };
    form.Load(L"C:\\Mon");
  }
  testing::FakePrinter& Device() { return printer.printers[0]; }
  const std::string& Text(std::string_view name, int index = -1) { return view.Text(name, index); }
  // The values the status page shows from the snapshot.
  std::vector<std::string> ShownValues() {
    return {Text("Label0_2", 0), Text("Label0_3", 1), Text("Label0_4", 1), Text("Label0_5"), Text("Label0_6"),
            Text("Label0_7")};
  }
  void StillRunning() {
    EXPECT_FALSE(view.unloaded);
    EXPECT_TRUE(boxes.shown.empty()) << boxes.shown.front().text;
  }
};

std::string Field(const DataBuffer& data, size_t from, size_t width) {
  std::string out;
  for (size_t i = from; i < from + width && data[i] != 0; ++i) out.push_back(static_cast<char>(data[i]));
  return out;
}

int32_t BigEndian(const DataBuffer& data, size_t at) {
  return static_cast<int32_t>((uint32_t{data[at]} << 24) | (uint32_t{data[at + 1]} << 16) |
                              (uint32_t{data[at + 2]} << 8) | data[at + 3]);
}

TEST(PrinterFaults, BusyForeverShowsBusyAndTheLastValuesReadThenRecovers) {
  Monitor m;
  ASSERT_EQ(m.Text("Label0_1"), "Ready");
  const auto shown = m.ShownValues();
  ASSERT_EQ(shown, (std::vector<std::string>{"50", " 200", "LOT-A1", " 120", " 45", "0105"}));

  m.library.fault = Fault::BusyForever;
  const int readsBefore = m.library.statusReads;
  m.clock.Run(60'000);
  m.StillRunning();
  EXPECT_GE(m.library.statusReads - readsBefore, 30) << "the poll goes on asking";
  EXPECT_EQ(m.Text("Label0_1"), text::kPrinterBusy) << "a printer that never answers is not ready";
  EXPECT_EQ(m.view[{"Label0_1"}].foreColor, kRed);
  EXPECT_EQ(m.ShownValues(), shown) << "busy reads change nothing";
  EXPECT_EQ(m.common.Printers().count, 1);

  m.library.Recover();
  m.clock.Run(1'000);
  EXPECT_EQ(m.Text("Label0_1"), "Ready");
  EXPECT_EQ(m.view[{"Label0_1"}].foreColor, kBlue);
}

// A library that has no status words to give: the status call answers 0 and fills nothing.
struct NoStatusWords : testing::FaultyLibrary {
  using FaultyLibrary::FaultyLibrary;
  KvResult GetPrinterStatus(PrinterRef, int32_t&, int32_t&) override { return {0}; }
};

TEST(PrinterFaults, WithoutStatusWordsTheTestAnswerIsTheStatus) {
  Monitor m;
  NoStatusWords library(m.printer);
  Common common{library, m.clock};
  common.Printers() = m.common.Printers();

  m.Device().testUnitReady = -0x01020480;  // door open
  common.ReadStatus();
  EXPECT_EQ(common.Info().statusCode, -0x01020480) << "the printer's own answer, not a placeholder";
  EXPECT_EQ(common.Info().stateCode, 0);

  m.Device().testUnitReady = 0;  // ready, and nothing more to say
  common.ReadStatus();
  EXPECT_EQ(common.Info().statusCode, 0);
  EXPECT_EQ(common.Info().stateCode, 0);
}

TEST(PrinterFaults, UnpluggedBetweenStatusAndRefreshShowsNoPrinterNotOldValues) {
  Monitor m;
  m.library.fault = Fault::GoneAfterStatus;
  m.clock.Run(3'000);
  m.StillRunning();
  EXPECT_EQ(m.Text("Label0_1"), "No printer is found");
  for (const std::string& value : m.ShownValues()) EXPECT_EQ(value, "");
  EXPECT_EQ(m.common.Printers().count, 0);

  m.clock.Run(10'000);  // rescanning once a second
  m.StillRunning();
  EXPECT_EQ(m.Text("Label0_1"), "No printer is found");

  // Plugged in again with a new ribbon: the page never shows the old ribbon's lot for it.
  std::memcpy(&m.Device().modePages[kModeInkRibbon][12], "LOT-B2", 6);
  m.library.Recover();
  for (int second = 0; second < 3; ++second) {
    m.clock.Run(1'000);
    EXPECT_NE(m.Text("Label0_4", 1), "LOT-A1") << "second " << second;
  }
  EXPECT_EQ(m.Text("Label0_1"), "Ready");
  EXPECT_EQ(m.Text("Label0_4", 1), "LOT-B2");
  m.StillRunning();
}

TEST(PrinterFaults, UnpluggedDuringTheStatusCallShowsTheErrorNotReady) {
  Monitor m;
  struct GoneAtStatus : testing::FaultyLibrary {
    using FaultyLibrary::FaultyLibrary;
    KvResult GetPrinterStatus(PrinterRef, int32_t&, int32_t&) override { return {kNoPrinterLibrary}; }
  };
  GoneAtStatus library(m.printer);
  Common common{library, m.clock};
  common.Printers() = m.common.Printers();
  common.ReadStatus();
  EXPECT_EQ(common.Info().statusCode, kNoPrinterLibrary) << "a failed status call is no status";
  EXPECT_TRUE(IsDisconnectionCode(common.Info().statusCode));
}

TEST(PrinterFaults, WrongPageCodesLeaveEveryValueAsItWas) {
  Monitor m;
  const PrinterInfo before = m.common.Info();
  const auto shown = m.ShownValues();
  m.library.fault = Fault::WrongPageCodes;
  m.clock.Run(10'000);
  m.StillRunning();
  const PrinterInfo& after = m.common.Info();
  EXPECT_EQ(after.printerPrintCounter, before.printerPrintCounter);
  EXPECT_EQ(after.printCounter, before.printCounter);
  EXPECT_EQ(after.inkQuantity, before.inkQuantity);
  EXPECT_EQ(after.lotNumber, before.lotNumber);
  EXPECT_EQ(after.inkSets, before.inkSets);
  EXPECT_EQ(after.inkType, before.inkType);
  EXPECT_EQ(after.ymcPrintLevel, before.ymcPrintLevel);
  EXPECT_EQ(after.isoCoercivity, before.isoCoercivity);
  EXPECT_EQ(after.printOffsetX, before.printOffsetX);
  EXPECT_EQ(after.jisCoercivity, before.jisCoercivity);
  EXPECT_EQ(m.ShownValues(), shown);
  EXPECT_EQ(m.Text("Label0_1"), "Ready");

  m.Device().logCounters[19] = 46;
  m.library.Recover();
  m.clock.Run(1'000);
  EXPECT_EQ(m.Text("Label0_6"), " 46");
}

TEST(PrinterFaults, RandomPagesShowOnlyWhatAPageSaid) {
  Monitor m;
  m.library.fault = Fault::RandomPages;
  std::set<std::string> lotsRead = {m.common.Info().lotNumber};
  std::set<std::string> versionsRead = {m.common.Info().printerVersion};
  for (int poll = 0; poll < 40; ++poll) {
    const PrinterInfo before = m.common.Info();
    m.library.answered.clear();
    m.clock.Run(1'000);
    const PrinterInfo& info = m.common.Info();
    ASSERT_EQ(m.library.answered.size(), 9u) << "every page is read";

    const DataBuffer& counters = m.library.answered["LogSense 38"];
    EXPECT_EQ(info.printCounter, counters[0] == kLogCounters ? BigEndian(counters, 16) : before.printCounter);
    const DataBuffer& supplies = m.library.answered["LogSense 3A"];
    EXPECT_EQ(info.inkQuantity, supplies[0] == kLogSupplies ? supplies[8] : before.inkQuantity);
    const DataBuffer& ribbon = m.library.answered["ModeSense 23"];
    EXPECT_EQ(info.lotNumber, ribbon[4] == kModeInkRibbon ? Field(ribbon, 12, 32) : before.lotNumber);
    EXPECT_EQ(info.vendorId, Field(m.library.answered["StandardInquiry"], 8, 8));
    EXPECT_EQ(info.headInfo, Field(m.library.answered["VPDInquiry"], 8, 20));
    lotsRead.insert(info.lotNumber);
    versionsRead.insert(info.printerVersion);

    // The page: supplies from this poll, texts from one that was really read.
    const std::string percent = m.Text("Label0_2", 0);
    EXPECT_EQ(percent, info.inkQuantity <= 50 ? std::to_string(info.inkQuantity * 2) : "");
    EXPECT_EQ(m.Text("Label0_6"), (info.printCounter >= 0 ? " " : "") + std::to_string(info.printCounter));
    EXPECT_TRUE(lotsRead.count(m.Text("Label0_4", 1))) << m.Text("Label0_4", 1);
    EXPECT_TRUE(versionsRead.count(m.Text("Label0_7"))) << m.Text("Label0_7");
  }
  m.StillRunning();

  m.library.Recover();
  m.clock.Run(1'000);
  EXPECT_EQ(m.common.Info().lotNumber, "LOT-A1");
  EXPECT_EQ(m.Text("Label0_5"), " 120");
  EXPECT_EQ(m.Text("Label0_2", 0), "50");
}

TEST(PrinterFaults, SlowLibraryBlocksButNeverStacksPolls) {
  Monitor m;
  m.library.callMs = 3'000;
  m.printer.statusReturns.assign(100'000, 0);  // the status is asked three times, events run between
  const int readsBefore = m.library.statusReads;
  m.clock.Run(300'000);
  m.StillRunning();
  EXPECT_GE(m.library.statusReads - readsBefore, 5) << "slow, but still polling";
  EXPECT_LE(m.clock.maxPollTickDepth, 2) << "a tick may come during a poll";
  EXPECT_EQ(m.library.nestedPolls, 0) << "a poll never runs inside a poll";
  EXPECT_EQ(m.Text("Label0_1"), "Ready");
  EXPECT_EQ(m.Text("Label0_4", 1), "LOT-A1");

  m.library.callMs = 0;
  m.printer.statusReturns.clear();
  const int readsFast = m.library.statusReads;
  m.clock.Run(10'000);
  EXPECT_GE(m.library.statusReads - readsFast, 9) << "back to once a second";
  m.StillRunning();
}

}  // namespace
}  // namespace monitor
