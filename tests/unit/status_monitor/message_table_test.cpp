#include "status_monitor/message_table.h"

#include <gtest/gtest.h>

#include <set>

namespace monitor {
namespace {

TEST(MessageTable, HasSeventyRowsEndingWithTheEmptyRow) {
  const auto& rows = MessageRows();
  EXPECT_EQ(rows[0].code, -0x01020400);
  EXPECT_EQ(rows[57].code, -0x02010000);
  EXPECT_EQ(rows[68].code, -0x01033601);
  EXPECT_EQ(rows[69].code, 0);
  EXPECT_TRUE(rows[69].text.empty());
  std::set<int32_t> codes;
  for (const auto& row : rows) codes.insert(row.code);
  EXPECT_EQ(codes.size(), 70u) << "every code has one row";
}

TEST(MessageTable, CodesThatAreNotNegativeReadAsRowZeroKindZero) {
  for (int32_t code : {0, 1, 5, 0x7FFFFFFF}) {
    EXPECT_EQ(MessageKind(code), kInfo);
    EXPECT_EQ(MessageText(code), "Printer is on Printing. Command could not be accepted.");
  }
}

TEST(MessageTable, ExactRowsThenTheHighHalf) {
  EXPECT_EQ(MessageText(-0x01020480), "Printer Door is opened. Please close the door.");
  EXPECT_EQ(MessageKind(-0x01020480), kPrinterAlarm);
  EXPECT_EQ(MessageKind(-0x01020400), kInfo) << "printing is not a 'not accepted' condition";
  EXPECT_EQ(MessageKind(-0x01020401), kNotAccepted);
  EXPECT_EQ(MessageKind(-0x01062800), kCommandNotice);
  EXPECT_EQ(MessageKind(-0x01062900), kCommandNotice);
  EXPECT_EQ(MessageKind(-0x02000001), kHostFailure);

  // FDFF0005 has no row; its high half FDFF0000 is the SRB status row.
  const auto srb = static_cast<int32_t>(0xFDFF0005u);
  EXPECT_EQ(MessageText(srb), "Error happens in KV Port Manager. SRB status is invalid.");
  EXPECT_EQ(MessageKind(srb), kPrinterAlarm);

  // A code whose high half has no row either.
  EXPECT_EQ(MessageKind(-0x01020499), kInfo);
  EXPECT_TRUE(MessageText(-0x01020499).empty());
}

TEST(MessageTable, RowsSharingATextKeepTheirOwnCodes) {
  EXPECT_EQ(MessageText(-0x01033B82), MessageText(-0x01033B85));
  EXPECT_EQ(MessageText(-0x01033B87), MessageText(-0x01033B88));
  EXPECT_EQ(MessageText(-0x01052601), MessageText(-0x01052602));
  EXPECT_EQ(MessageText(-0x02000004), MessageText(-0x09000002));
  EXPECT_EQ(MessageKind(-0x02000004), kPrinterAlarm);
  EXPECT_EQ(MessageKind(-0x09000002), kPrinterAlarm);
}

TEST(MessageTable, FailureTextNeverEmpty) {
  EXPECT_EQ(FailureText(-0x01023A00), "There is no card. Please supply cards.");
  EXPECT_EQ(FailureText(-0x01020499), "Error code FEFDFB67");
}

}  // namespace
}  // namespace monitor
