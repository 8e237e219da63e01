#include "status_monitor/snapshot.h"

#include <gtest/gtest.h>

#include <cstring>

namespace monitor {
namespace {

DataBuffer Page(uint8_t at0, uint8_t at4 = 0) {
  DataBuffer data{};
  data[0] = at0;
  data[4] = at4;
  return data;
}

TEST(SnapshotFill, WrongPageCodeLeavesFieldsAlone) {
  PrinterInfo info;
  info.printCounter = 77;
  info.inkQuantity = 9;
  info.ymcPrintLevel = 3;
  DataBuffer counters = Page(0x3A);
  counters[19] = 1;
  EXPECT_FALSE(FillLogCounters(info, counters));
  EXPECT_FALSE(FillLogSupplies(info, Page(0x38)));
  EXPECT_FALSE(FillModePage(info, kModePrintSettings, Page(0, 0x2A)));
  EXPECT_EQ(info.printCounter, 77);
  EXPECT_EQ(info.inkQuantity, 9);
  EXPECT_EQ(info.ymcPrintLevel, 3);
}

TEST(SnapshotFill, CountersAreBigEndian) {
  PrinterInfo info;
  DataBuffer data = Page(kLogCounters);
  const uint8_t printer[] = {0x00, 0x01, 0x86, 0xA0};  // 100000
  std::memcpy(&data[8], printer, 4);
  data[19] = 7;
  data[24] = 0x80;  // the full 32 bits are kept
  ASSERT_TRUE(FillLogCounters(info, data));
  EXPECT_EQ(info.printerPrintCounter, 100000);
  EXPECT_EQ(info.printCounter, 7);
  EXPECT_EQ(info.thermalHeadCounter, static_cast<int32_t>(0x80000000u));
}

TEST(SnapshotFill, TextFieldsKeepTrailingSpacesAndStopAtZero) {
  PrinterInfo info;
  DataBuffer data{};
  std::memcpy(&data[8], "ORV     TPX800 U1       ", 24);
  std::memcpy(&data[32], "0105", 4);
  data[38] = 0x21;
  std::memcpy(&data[39], "L1", 2);
  FillStandardInquiry(info, data);
  EXPECT_EQ(info.vendorId, "ORV     ");
  EXPECT_EQ(info.productId, "TPX800 U1       ");
  EXPECT_EQ(info.printerVersion, "0105");
  EXPECT_EQ(info.laminatorVersion, "L1");
  // 0x21: ISO magnetic encoder and laminator only.
  EXPECT_EQ(info.optionUnits, (std::array<bool, 6>{true, false, false, false, false, true}));

  data[8] = 0;
  FillStandardInquiry(info, data);
  EXPECT_EQ(info.vendorId, "") << "a zero first byte gives an empty text";

  data[38] = 0xC0;  // bits 6 and 7 are not examined
  FillStandardInquiry(info, data);
  EXPECT_EQ(info.optionUnits, (std::array<bool, 6>{}));
}

TEST(SnapshotFill, RibbonPageWithAFullLengthLot) {
  PrinterInfo info;
  DataBuffer data = Page(0, kModeInkRibbon);
  data[6] = 254;
  data[8] = 1;
  data[9] = 44;
  std::memset(&data[12], 'L', 32);
  data[44] = 'X';  // beyond the field
  ASSERT_TRUE(FillModePage(info, kModeInkRibbon, data));
  EXPECT_EQ(info.inkType, 254);
  EXPECT_EQ(info.inkSets, 300);
  EXPECT_EQ(info.lotNumber, std::string(32, 'L'));
}

TEST(SnapshotBuild, RibbonPageAsSent) {
  PrinterInfo info;
  info.inkType = 4;
  info.inkSets = 300;
  info.lotNumber = "AB12";
  DataBuffer data;
  data.fill(0xEE);  // whatever the printer returned before
  ASSERT_EQ(BuildModePage(info, kModeInkRibbon, data), 44u);
  EXPECT_EQ(data[2], 0x10);
  EXPECT_EQ(data[4], 0x23);
  EXPECT_EQ(data[5], 0x26);
  EXPECT_EQ(data[6], 4);
  EXPECT_EQ(data[8], 1);
  EXPECT_EQ(data[9], 44);
  EXPECT_EQ(std::memcmp(&data[12], "AB12", 4), 0);
  for (int i = 16; i <= 43; ++i) EXPECT_EQ(data[i], 0) << "lot padded with zeros at " << i;
  for (int i : {0, 1, 3, 7, 10, 11, 44, 255}) EXPECT_EQ(data[i], 0) << i;
}

TEST(SnapshotBuild, SettingsPagesRoundTripThroughTheirLayouts) {
  PrinterInfo info;
  info.ymcPrintLevel = 12;
  info.ymcPrintMode = 1;
  info.resinKPrintLevel = 9;
  info.resinKPrintMode = 1;
  info.opRetransferLevel = 5;
  info.isoCoercivity = 2;
  info.writeRetries = 3;
  info.printOffsetX = 250;
  info.printOffsetY = 6;
  info.jisCoercivity = 1;
  const struct { int32_t page; size_t sent; uint8_t length; } pages[] = {
      {kModePrintSettings, 54, 0x30}, {kModeMagnetic, 14, 0x08}, {kModePrintPosition, 12, 0x06}, {kModeJisEncoder, 14, 0x08}};
  PrinterInfo back;
  for (const auto& p : pages) {
    DataBuffer data;
    ASSERT_EQ(BuildModePage(info, p.page, data), p.sent);
    EXPECT_EQ(data[5], p.length);
    ASSERT_TRUE(FillModePage(back, p.page, data));
  }
  EXPECT_EQ(back.ymcPrintLevel, 12);
  EXPECT_EQ(back.resinKPrintMode, 1);
  EXPECT_EQ(back.opRetransferLevel, 5);
  EXPECT_EQ(back.writeRetries, 3);
  EXPECT_EQ(back.printOffsetX, 250);
  EXPECT_EQ(back.printOffsetY, 6);
  EXPECT_EQ(back.jisCoercivity, 1);

  DataBuffer data;
  EXPECT_EQ(BuildModePage(info, 0x38, data), 0u) << "a log page is never sent";
}

}  // namespace
}  // namespace monitor
