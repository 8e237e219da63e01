#include "stand_ins/printer_library/state_file.h"

#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <sstream>

namespace printer_library {
namespace {

TEST(StateFile, ShippedFileHasThreeCleanPrinters) {
  std::ifstream in(SHIPPED_PRINTERS_INI, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  const StateFile state = ParseStateFile(text.str());
  EXPECT_TRUE(state.warnings.empty()) << state.warnings.front();
  ASSERT_TRUE(state.printers[0] && state.printers[1] && state.printers[2]);
  for (int i = 3; i < kMaxPrinters; ++i) EXPECT_FALSE(state.printers[i]);
  EXPECT_EQ(state.printers[1]->status, -0x01020400);
  EXPECT_EQ(state.printers[1]->state, 50);
  EXPECT_EQ(state.printers[1]->inkType, 4);
  EXPECT_EQ(state.printers[0]->options, 0x17);
  EXPECT_EQ(state.printers[2]->inkQuantity, 3);
}

TEST(StateFile, BadLinesAreSkippedAndTheRestStillCounts) {
  const StateFile state = ParseStateFile(
      "Status=door_open\n"        // 1: outside a section
      "[Printer3]\r\n"
      "InkQuantity=300\n"         // 3: too big for a byte
      "Lot=123456789012345678901234567890123\n"  // 4: 33 characters
      "Colour=red\n"              // 5: unknown key
      "just words\n"              // 6
      "Busy.PrintCard=2\n"        // 7: unknown function
      "Status=7\n"                // 8: a condition is never positive
      "ModePage.28=28 01 00\n"    // 9: length byte disagrees
      "InkSets=300\n"
      "[Printer16]\n"             // 11
      "Status=no_card\n"          // 12: belongs to the ignored section
      "[printer 3]\n"
      "CardEmpty=1\n");
  ASSERT_TRUE(state.printers[3]);
  EXPECT_EQ(state.printers[3]->inkSets, 300);
  EXPECT_EQ(state.printers[3]->cardEmpty, 1);
  EXPECT_EQ(state.printers[3]->inkQuantity, 50);
  EXPECT_EQ(state.printers[3]->status, 0);
  std::vector<int> lines;
  for (const auto& w : state.warnings) lines.push_back(std::stoi(w.substr(5)));
  EXPECT_EQ(lines, (std::vector<int>{1, 3, 4, 5, 6, 7, 8, 9, 11, 12}));
}

TEST(StateFile, ConditionsByNameOrCode) {
  EXPECT_EQ(ParseStatus("door_open"), -0x01020480);
  EXPECT_EQ(ParseStatus("Door Open"), -0x01020480);
  EXPECT_EQ(ParseStatus("-0x01020480"), -0x01020480);
  EXPECT_EQ(ParseStatus("0xFEFDFB80"), -0x01020480);  // the 32-bit pattern
  EXPECT_EQ(ParseStatus("-16909440"), -0x01020480);
  EXPECT_EQ(ParseStatus("ready"), 0);
  EXPECT_FALSE(ParseStatus("-0x1FFFFFFFF"));
  EXPECT_FALSE(ParseStatus("door"));
  EXPECT_EQ(ParseState("card_loading"), 51);
  EXPECT_EQ(ParseInkType("YMC-K-OP-K"), 4);
  EXPECT_EQ(ParseInkType("no_tag"), 254);
}

TEST(StateFile, FaultKeysAndQuotedTexts) {
  const StateFile state = ParseStateFile(
      "[Printer0]\nBusy.TestUnitReady=2\nFail.KVCMD_ModeSelect=-0x01052601\nDisconnect.LogSense=yes\n"
      "Vendor=\"ORV     \"\nLot=\"\"quoted\"\"\nOptions=iso_mag + laminator\n");
  const PrinterConfig& p = *state.printers[0];
  EXPECT_TRUE(state.warnings.empty());
  EXPECT_EQ(p.FaultOf(Function::TestUnitReady).busy, 2);
  EXPECT_EQ(p.FaultOf(Function::ModeSelect).fail, -0x01052601);
  EXPECT_TRUE(p.FaultOf(Function::LogSense).disconnect);
  EXPECT_EQ(p.vendor, "ORV     ");
  EXPECT_EQ(p.lot, "\"quoted\"");
  EXPECT_EQ(p.options, 0x21);
}

TEST(StateFile, EditsKeepCommentsLineEndsAndOtherSections) {
  const std::string text =
      "; top\r\n[Printer0]\r\nPrintCounter=5\r\n\r\n; about printer 1\r\n[Printer1]\r\n"
      "  printcounter = 9\r\nLot=A\r\n; trailing comment\r\n";
  EXPECT_EQ(SetKey(text, 1, "PrintCounter", "0"),
            "; top\r\n[Printer0]\r\nPrintCounter=5\r\n\r\n; about printer 1\r\n[Printer1]\r\n"
            "  printcounter =0\r\nLot=A\r\n; trailing comment\r\n");
  // A new key goes after the section's last key, not after the comment that follows it.
  EXPECT_EQ(SetKey(text, 0, "Lot", QuotedIfNeeded(" B")),
            "; top\r\n[Printer0]\r\nPrintCounter=5\r\nLot=\" B\"\r\n\r\n; about printer 1\r\n[Printer1]\r\n"
            "  printcounter = 9\r\nLot=A\r\n; trailing comment\r\n");
  EXPECT_EQ(RemoveKey(text, 1, "Lot"),
            "; top\r\n[Printer0]\r\nPrintCounter=5\r\n\r\n; about printer 1\r\n[Printer1]\r\n"
            "  printcounter = 9\r\n; trailing comment\r\n");
  EXPECT_EQ(SetKey("[Printer2]\nStatus=ready", 5, "Status", "no_card"), "[Printer2]\nStatus=ready\n[Printer5]\nStatus=no_card\n");
  EXPECT_EQ(ParseStateFile(SetKey(text, 0, "Lot", QuotedIfNeeded(" B"))).printers[0]->lot, " B");
  EXPECT_EQ(SetKey("\xEF\xBB\xBF[Printer0]\nLot=A\n", 0, "Lot", "B"), "\xEF\xBB\xBF[Printer0]\nLot=B\n");
  EXPECT_EQ(RemoveKey("[Printer0]\nModePage.0x2b=2B 06 00 00 00 00 00 00\n", 0, "ModePage.2B"), "[Printer0]\n");
}

TEST(StateFile, GarbageNeverBreaksParsingOrEditing) {
  const std::string pieces[] = {"[Printer", "]", "=", "\"", "0x", "-", "Busy.", "ModePage.28", "Lot", "Status",
                                "\r\n", "\n", ";", "\xEF\xBB\xBF", std::string(1, '\0'), "\xFF", "99999999999999999999"};
  std::mt19937 random(7);
  for (int round = 0; round < 300; ++round) {
    std::string text;
    for (int i = 0; i < 60; ++i) {
      text += random() % 3 ? pieces[random() % std::size(pieces)] : std::string(1, static_cast<char>(random()));
    }
    const StateFile state = ParseStateFile(text);
    const std::string edited = SetKey(RemoveKey(text, 3, "Lot"), 3, "Lot", "x");
    EXPECT_EQ(ParseStateFile(edited).printers[3]->lot, "x") << edited;
  }
}

}  // namespace
}  // namespace printer_library
