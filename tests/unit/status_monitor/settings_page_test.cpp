// The "Printer Setting" page: what it shows from the printer's mode pages and what Update sends back.
#include <gtest/gtest.h>

#include <cstring>

#include "pages_harness.h"

namespace monitor {
namespace {


struct Settings : testing::PagesHarness {
  Settings() : PagesHarness(0) {}
  DataBuffer& ModePage(int32_t code) { return Device().modePages[code]; }
  void Update() {
    library.calls.clear();
    settings.Cmd1_Click(0);
  }
  std::string Value(int slider) { return view.Text("Label1_3", slider); }
  // The operator drags a slider: the window moves it and reports the change.
  void Drag(int slider, int position) {
    C("HScroll1", slider).value = position;
    settings.HScroll1_Change(slider);
  }
  std::vector<std::string> Selects() {
    std::vector<std::string> selects;
    for (const auto& call : library.calls) {
      if (call.rfind("ModeSelect", 0) == 0) selects.push_back(call);
    }
    return selects;
  }
};

TEST(SettingsPage, SliderEndsShowAndSendTheirValues) {
  struct End {
    uint8_t level, retries, offset;
    const char* levelText;
    const char* retriesText;
    const char* offsetText;
  };
  for (const End end : {End{0, 0, 0, "-3", "0", "-7"}, End{6, 3, 14, "3", "3", "7"}}) {
    Settings s;
    for (const int at : {38, 45, 47}) s.ModePage(kModePrintSettings)[at] = end.level;
    s.ModePage(kModeMagnetic)[11] = end.retries;
    s.ModePage(kModePrintPosition)[7] = end.offset;
    s.ModePage(kModePrintPosition)[9] = end.offset;
    s.Show();
    const std::string shown[6] = {end.levelText, end.levelText, end.levelText, end.retriesText, end.offsetText,
                                  end.offsetText};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(s.Value(i), shown[i]) << "slider " << i;

    for (const int at : {38, 45, 47}) s.ModePage(kModePrintSettings)[at] = 0x55;  // overwritten by Update
    s.Update();
    for (const int at : {38, 45, 47}) EXPECT_EQ(s.ModePage(kModePrintSettings)[at], end.level);
    EXPECT_EQ(s.ModePage(kModeMagnetic)[11], end.retries);
    EXPECT_EQ(s.ModePage(kModePrintPosition)[7], end.offset);
    EXPECT_EQ(s.ModePage(kModePrintPosition)[9], end.offset);
  }
}

TEST(SettingsPage, AMovedSliderShowsItsValueAndUpdateSendsIt) {
  Settings s;
  s.Show();
  s.Drag(0, 5);
  s.Drag(5, 2);
  EXPECT_EQ(s.Value(0), "2");
  EXPECT_EQ(s.Value(5), "-5");
  s.Update();
  EXPECT_EQ(s.ModePage(kModePrintSettings)[38], 5);
  EXPECT_EQ(s.ModePage(kModePrintPosition)[9], 2);
  EXPECT_EQ(s.common.Info().ymcPrintLevel, 5) << "the snapshot keeps what was sent";
  EXPECT_EQ(s.Value(0), "2") << "nothing is read back";
}

TEST(SettingsPage, ValuesOutsideASlidersRangeAreShownAtItsEnd) {
  Settings s;
  s.ModePage(kModePrintSettings)[38] = 9;
  s.ModePage(kModeMagnetic)[11] = 200;
  s.ModePage(kModePrintPosition)[7] = 15;
  s.Show();
  EXPECT_EQ(s.C("HScroll1", 0).value, 6);
  EXPECT_EQ(s.Value(0), "3");
  EXPECT_EQ(s.Value(3), "3");
  EXPECT_EQ(s.Value(4), "7");
  EXPECT_EQ(s.common.Info().ymcPrintLevel, 9) << "the snapshot keeps what the printer said";
}

TEST(SettingsPage, PrintModesShowStandardOrFineAndAreSentAsZeroOrOne) {
  Settings s;
  s.ModePage(kModePrintSettings)[39] = 7;  // YMC: any non-zero value is "Fine"
  s.ModePage(kModePrintSettings)[46] = 0;
  s.Show();
  EXPECT_FALSE(s.Checked("Opt1_1", 0));
  EXPECT_TRUE(s.Checked("Opt1_1", 1));
  EXPECT_TRUE(s.Checked("Opt1_2", 0));
  EXPECT_FALSE(s.Checked("Opt1_2", 1));
  s.Update();
  EXPECT_EQ(s.ModePage(kModePrintSettings)[39], 1);
  EXPECT_EQ(s.ModePage(kModePrintSettings)[46], 0);
}

struct CoercivityCase {
  const char* name;
  uint8_t options;  // inquiry byte 38
  uint8_t iso, jis;
  bool visible;
  const char* caption;
  int selected;  // Opt1_3 index, -1 when the group is hidden and not looked at
  bool enabled;
  uint8_t isoSent, jisSent;
};

class Coercivity : public ::testing::TestWithParam<CoercivityCase> {};

TEST_P(Coercivity, GroupFollowsTheEncodersAndTheHiddenValueIsEchoed) {
  const CoercivityCase& c = GetParam();
  Settings s;
  s.Device().inquiry[38] = c.options;
  s.ModePage(kModeMagnetic)[6] = c.iso;
  s.ModePage(kModeJisEncoder)[7] = c.jis;
  s.Show();
  EXPECT_EQ(s.C("Frame1", 8).visible, c.visible);
  if (c.caption) {
    EXPECT_EQ(s.view.Text("Frame1", 8), c.caption);
  }
  if (c.selected >= 0) {
    for (int i = 0; i < 3; ++i) EXPECT_EQ(s.Checked("Opt1_3", i), i == c.selected) << i;
    for (int i = 0; i < 3; ++i) EXPECT_EQ(s.C("Opt1_3", i).enabled, c.enabled) << i;
  }
  EXPECT_FALSE(s.C("Opt1_3", 0).visible) << "the \"None\" option is never shown";
  EXPECT_TRUE(s.C("Frame1", 6).visible) << "the MAG group stays";
  EXPECT_TRUE(s.C("HScroll1", 3).visible) << "the retry slider stays";
  s.Update();
  EXPECT_EQ(s.ModePage(kModeMagnetic)[6], c.isoSent);
  EXPECT_EQ(s.ModePage(kModeJisEncoder)[7], c.jisSent);
}

INSTANTIATE_TEST_SUITE_P(
    SettingsPage, Coercivity,
    ::testing::Values(CoercivityCase{"IsoNone", 0x01, 0, 2, false, "ISO Mode", 0, true, 0, 2},
                      CoercivityCase{"IsoHigh", 0x01, 2, 0, true, "ISO Mode", 2, true, 2, 0},
                      CoercivityCase{"IsoAndJis", 0x03, 1, 2, true, "ISO Mode", 1, true, 1, 2},
                      CoercivityCase{"JisOnly", 0x02, 1, 2, true, "JIS Mode", 2, false, 1, 2},
                      CoercivityCase{"Neither", 0x00, 1, 2, false, nullptr, -1, true, 1, 2}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SettingsPage, ChosenIsoCoercivityIsSentAndJisKeepsItsValue) {
  Settings s;
  s.Device().inquiry[38] = 0x03;
  s.ModePage(kModeMagnetic)[6] = 2;
  s.ModePage(kModeJisEncoder)[7] = 1;
  s.Show();
  // The operator picks "Lo-Co"; the window clears the other options of the group.
  s.C("Opt1_3", 2).checked = false;
  s.C("Opt1_3", 1).checked = true;
  s.Update();
  EXPECT_EQ(s.ModePage(kModeMagnetic)[6], 1);
  EXPECT_EQ(s.ModePage(kModeJisEncoder)[7], 1);
}

TEST(SettingsPage, UpdateSendsFivePagesInOrderWithTheRibbonPageAsLastRead) {
  Settings s;
  DataBuffer& ribbon = s.ModePage(kModeInkRibbon);
  ribbon.fill(0xEE);  // printer bytes beyond the fields are not echoed
  ribbon[4] = kModeInkRibbon;
  ribbon[6] = 4;
  ribbon[8] = 1;
  ribbon[9] = 44;  // 300 ink sets
  std::memcpy(&ribbon[12], "LOT7\0", 5);
  s.Show();
  s.Update();
  EXPECT_EQ(s.Selects(), (std::vector<std::string>{"ModeSelect 23", "ModeSelect 28", "ModeSelect 2A", "ModeSelect 2B",
                                                   "ModeSelect 3A"}));
  const DataBuffer& sent = s.ModePage(kModeInkRibbon);
  const uint8_t header[] = {0x00, 0x00, 0x10, 0x00, 0x23, 0x26, 4, 0, 1, 44, 0, 0, 'L', 'O', 'T', '7'};
  for (size_t i = 0; i < std::size(header); ++i) EXPECT_EQ(sent[i], header[i]) << "byte " << i;
  for (size_t i = 16; i < sent.size(); ++i) EXPECT_EQ(sent[i], 0) << "byte " << i;
  EXPECT_TRUE(s.boxes.shown.size() == 1 && s.boxes.shown[0].text == "Would you like to change Printer Setting?");
}

TEST(SettingsPage, UpdateUsesTheRibbonFieldsOfTheLatestPollNotOfTheLastRedraw) {
  Settings s;
  s.Show();
  std::memcpy(&s.ModePage(kModeInkRibbon)[12], "NEWLOT", 6);
  s.events.Advance(1000);  // the poll reads the printer without redrawing this page
  s.Update();
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&s.ModePage(kModeInkRibbon)[12])), "NEWLOT");
}

TEST(SettingsPage, AFailureStopsTheWriteAndIsReported) {
  Settings s;
  s.Show();
  s.library.scripted["ModeSelect"] = {0, -0x01052601};
  s.Update();
  EXPECT_EQ(s.Selects(), (std::vector<std::string>{"ModeSelect 23", "ModeSelect 28"}));
  ASSERT_EQ(s.boxes.shown.size(), 2u);
  EXPECT_EQ(s.boxes.shown[1].text, "Command is defective. Parameter is invalid.");
  EXPECT_EQ(s.boxes.shown[1].style, BoxStyle::Error);
}

TEST(SettingsPage, APrinterBusyThroughThreeAttemptsIsReported) {
  Settings s;
  s.Show();
  s.library.scripted["ModeSelect"] = {1, 1, 1};
  const long long start = s.events.nowMs;
  s.Update();
  EXPECT_EQ(s.Selects(), (std::vector<std::string>{"ModeSelect 23", "ModeSelect 23", "ModeSelect 23"}));
  EXPECT_GE(s.events.nowMs - start, 3000) << "a one-second wait after every busy answer";
  EXPECT_EQ(s.boxes.shown.back().text, "Printer is on Printing. Command could not be accepted.");
}

TEST(SettingsPage, UpdateAsksFirstAndNeedsAPrinter) {
  Settings s;
  s.Show();
  s.boxes.answers = {BoxAnswer::Cancel};
  s.Update();
  EXPECT_TRUE(s.Selects().empty());

  s.library.printers.clear();
  s.common.ClearPrinters();
  s.boxes.shown.clear();
  for (const int button : {0, 1}) {
    s.library.calls.clear();
    s.settings.Cmd1_Click(button);
    EXPECT_TRUE(s.library.calls.empty());
  }
  ASSERT_EQ(s.boxes.shown.size(), 2u);
  EXPECT_EQ(s.boxes.shown[0].text, "No Printer is found.");
  EXPECT_EQ(s.boxes.shown[1].text, "No Printer is found.");
}

TEST(SettingsPage, WithoutAPrinterTheValuesAreBlankAndUpdateLaterRedrawsInsteadOfSending) {
  Settings s;
  s.Device().inquiry[38] = 0x01;
  s.ModePage(kModeMagnetic)[6] = 1;
  s.Show();
  ASSERT_TRUE(s.C("Frame1", 8).visible);
  s.common.ClearPrinters();
  s.form.SSTab1_Click(0);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(s.Value(i), "") << i;
  for (const char* options : {"Opt1_1", "Opt1_2"}) {
    EXPECT_FALSE(s.Checked(options, 0));
    EXPECT_FALSE(s.Checked(options, 1));
  }
  EXPECT_FALSE(s.C("Frame1", 8).visible);

  // A printer is selected again while the page still shows none: Update draws it and sends nothing.
  s.form.Printer_Scan();
  s.Update();
  EXPECT_TRUE(s.Selects().empty());
  EXPECT_EQ(s.Value(0), "-3");
  EXPECT_TRUE(s.Checked("Opt1_1", 0));
}

TEST(SettingsPage, RefreshRereadsAndRedrawsOnlyThisPage) {
  Settings s;
  s.Show();
  s.ModePage(kModePrintSettings)[38] = 6;
  s.Device().testUnitReady = -0x01020480;  // door opened meanwhile
  s.Device().status = -0x01020480;
  s.Device().logSupplies[13] = 1;
  s.library.calls.clear();
  s.settings.Cmd1_Click(1);
  EXPECT_EQ(s.boxes.shown.back().text, "Would you like to refresh Printer Setting?");
  EXPECT_EQ(s.library.calls.front(), "TestUnitReady");
  EXPECT_EQ(s.Value(0), "3");
  EXPECT_EQ(s.view.Text("Label0_1"), "Ready") << "the status page waits for the poll";
  EXPECT_EQ(s.view.Text("Label2", 6), "Any") << "the media page waits for a page change";
}

TEST(PageChange, RedrawsEveryPageButTheOneLeft) {
  Settings s;
  s.Show();
  s.ModePage(kModePrintSettings)[38] = 6;
  s.Device().logSupplies[13] = 1;
  s.Device().inquiry[36] = 0x1F;
  s.form.SSTab1_Click(1);  // leaving the settings page
  EXPECT_EQ(s.Value(0), "-3") << "unsent changes on the page left stay";
  EXPECT_EQ(s.view.Text("Label2", 6), "None");
  EXPECT_EQ(s.view.Text("Label3", 4), "1F");
  s.form.SSTab1_Click(2);
  EXPECT_EQ(s.Value(0), "3");
}

}  // namespace
}  // namespace monitor
