// The "Media Status" and "Printer Property" pages: what they show from the snapshot, with and
// without a printer, and indicators that a click cannot change.
#include <gtest/gtest.h>

#include <cstring>

#include "pages_harness.h"

namespace monitor {
namespace {


struct Pages : testing::PagesHarness {
  Pages() : PagesHarness(2) {}
  int Ribbon() {
    int checked = -1;
    for (int i = 0; i < 3; ++i) {
      if (Checked("Opt2", i)) {
        if (checked >= 0) return -2;  // more than one
        checked = i;
      }
    }
    return checked;
  }
};

TEST(MediaPage, InkTypeCodeChoosesTheRibbonOptionAndTagMessage) {
  const std::string good = "Good: Ink ribbon is recognized correctly.";
  struct Case {
    int code, option;
    std::string message;
  };
  const Case cases[] = {
      {0, 0, good}, {4, 1, good}, {1, 2, ""}, {3, 2, ""}, {5, 2, ""}, {251, 2, ""},
      {252, 2, "Tag Data Defect(252): Recorded data of tag is incorrect. Try again after replacing the ink ribbon."},
      {253, 2, "Tag Defect(253): Unable to communicate correctly with tag. Try again after replacing the ink ribbon."},
      {254, 2, "No Tag(254): Unable to read tag. The ink ribbon is regarded as K ink."},
      {255, 2, "R/W Defect(255): Printer's tag reader is defective. Repair of printer is required."},
  };
  Pages p;
  for (const Case& c : cases) {
    p.Device().modePages[kModeInkRibbon][6] = static_cast<uint8_t>(c.code);
    p.Show();
    EXPECT_EQ(p.Ribbon(), c.option) << "code " << c.code;
    EXPECT_EQ(p.view.Text("Label2", 8), c.message) << "code " << c.code;
  }
}

TEST(MediaPage, ShowsSetsLotCountersInkAndCards) {
  Pages p;
  DataBuffer& ribbon = p.Device().modePages[kModeInkRibbon];
  ribbon[8] = 0x7F;
  ribbon[9] = 0xFF;
  std::memcpy(&ribbon[12], "ABCDEFGHIJKLMNOPQRSTUVWXYZ012345", 32);  // 32 characters, no end byte
  p.Device().logCounters[24] = 0xFF;  // thermal head counter above 2^31
  p.Show();
  EXPECT_EQ(p.view.Text("Label2", 0), "32767");
  EXPECT_EQ(p.view.Text("Label2", 1), "ABCDEFGHIJKLMNOPQRSTUVWXYZ012345");
  EXPECT_EQ(p.view.Text("Label2", 2), "120");
  EXPECT_EQ(p.view.Text("Label2", 3), "45");
  EXPECT_EQ(p.view.Text("Label2", 4), "4278190080");
  EXPECT_EQ(p.view.Text("Label2", 7), "%");

  struct Supply {
    uint8_t ink;
    const char* percent;
    uint8_t cardEmpty;
    const char* cards;
  };
  for (const Supply s : {Supply{0, "0", 0, "Any"}, Supply{50, "100", 1, "None"}, Supply{51, "", 255, "None"}}) {
    p.Device().logSupplies[8] = s.ink;
    p.Device().logSupplies[13] = s.cardEmpty;
    p.Show();
    EXPECT_EQ(p.view.Text("Label2", 5), s.percent) << int{s.ink};
    EXPECT_EQ(p.view.Text("Label2", 6), s.cards) << int{s.cardEmpty};
    EXPECT_EQ(p.view.Text("Label2", 7), "%");
  }
}

TEST(MediaPage, ClickingARibbonOptionChangesNothing) {
  Pages p;
  p.Show();
  ASSERT_EQ(p.Ribbon(), 0);
  p.C("Opt2", 0).checked = false;  // what the click did to the buttons
  p.C("Opt2", 1).checked = true;
  p.media.Opt2_Click(1);
  EXPECT_EQ(p.Ribbon(), 0);
}

TEST(PropertyPage, ShowsIdentityVersionsAndUnits) {
  Pages p;
  std::memcpy(&p.Device().inquiry[8], "ORV  X  ", 8);
  p.Device().inquiry[36] = 0;
  p.Device().inquiry[37] = 0xAB;
  std::memcpy(&p.Device().inquiry[39], "L012", 4);
  p.Show();
  EXPECT_EQ(p.view.Text("Label3", 0), "ORV  X  ") << "trailing blanks stay";
  EXPECT_EQ(p.view.Text("Label3", 1), "TPX800 U1       ");
  EXPECT_EQ(p.view.Text("Label3", 2), "3");
  EXPECT_EQ(p.view.Text("Label3", 3), "0105");
  EXPECT_EQ(p.view.Text("Label3", 4), "00");
  EXPECT_EQ(p.view.Text("Label3", 5), "AB");
  EXPECT_EQ(p.view.Text("Label3", 7), "HEAD-0001");
  // Option byte 0x21: the ISO encoder and the laminator, whose version shows.
  const bool units21[6] = {true, false, false, false, false, true};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(p.Checked("Check3", i), units21[i]) << i;
  EXPECT_TRUE(p.C("Frame3", 6).visible);
  EXPECT_EQ(p.view.Text("Label3", 6), "L012");

  p.Device().inquiry[36] = 255;
  p.Device().inquiry[38] = 0x02;
  p.Device().inquiry[8] = 0;
  p.Show();
  EXPECT_EQ(p.view.Text("Label3", 4), "FF");
  EXPECT_EQ(p.view.Text("Label3", 0), "") << "a first byte of zero is an empty text";
  for (int i = 0; i < 6; ++i) EXPECT_EQ(p.Checked("Check3", i), i == 1) << i;
  EXPECT_FALSE(p.C("Frame3", 6).visible) << "no laminator: its version is hidden";
}

TEST(PropertyPage, ClickingAnOptionBoxChangesNothing) {
  Pages p;
  p.Show();
  for (int i = 0; i < 6; ++i) {
    const bool before = p.Checked("Check3", i);
    p.C("Check3", i).checked = !before;
    p.property.Check3_Click(i);
    EXPECT_EQ(p.Checked("Check3", i), before) << i;
  }
}

TEST(InfoPages, WithoutAPrinterEverythingIsEmpty) {
  Pages p;
  p.Device().modePages[kModeInkRibbon][6] = 254;
  p.Show();
  p.library.printers[0].testUnitReady = kNoPrinterLibrary;  // unplugged: the status read drops it
  p.Show();
  ASSERT_FALSE(p.common.Printers().Found());
  EXPECT_EQ(p.Ribbon(), -1);
  EXPECT_EQ(p.view.Text("Opt2", 2), "Unknown");
  for (int i = 0; i <= 6; ++i) EXPECT_EQ(p.view.Text("Label2", i), "") << i;
  EXPECT_EQ(p.view.Text("Label2", 8), "");
  EXPECT_EQ(p.view.Text("Label2", 7), "%");
  for (const int i : {0, 1, 2, 3, 4, 5, 7}) EXPECT_EQ(p.view.Text("Label3", i), "") << i;
  EXPECT_FALSE(p.C("Frame3", 6).visible);
  for (int i = 0; i < 6; ++i) EXPECT_FALSE(p.Checked("Check3", i)) << i;
  for (int i = 0; i < 6; ++i) EXPECT_EQ(p.view.Text("Label1_3", i), "") << i;
}

TEST(InfoPages, CaptionsAndFontsAreSetAtLoad) {
  Pages p;
  for (const Ctl control : {Ctl{"Frame1", 12}, Ctl{"Opt1_3", 2}, Ctl{"Label2", 8}, Ctl{"Check3", 5}, Ctl{"Label3", 7}}) {
    EXPECT_EQ(p.view[control].fontName, "Arial") << control.name << control.index;
    EXPECT_EQ(p.view[control].fontSize, 9) << control.name << control.index;
  }
  EXPECT_EQ(p.view.Text("Frame1", 0), "Printer Setting");
  EXPECT_EQ(p.view.Text("Frame1", 7), "Number of Write Retry");
  EXPECT_EQ(p.view.Text("Label1_1", 4), "Up");
  EXPECT_EQ(p.view.Text("Label1_2", 5), "Right");
  EXPECT_EQ(p.view.Text("Opt1_3", 2), "Hi-Co");
  EXPECT_EQ(p.view.Text("Cmd1", 1), "Refresh");
  EXPECT_EQ(p.view.Text("Frame2", 7), "Card Quantity");
  EXPECT_EQ(p.view.Text("Opt2", 1), "YMC-K-OP-K");
  EXPECT_EQ(p.view.Text("Frame3", 8), "Head Information");
  EXPECT_EQ(p.view.Text("Check3", 3), "Contact IC Encoder(JIS)");
}

}  // namespace
}  // namespace monitor
