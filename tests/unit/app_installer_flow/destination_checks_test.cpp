#include "app_installer/destination_checks.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/unit/app_installer_flow/flow_fakes.h"

namespace appsetup::testing {
namespace {

using ::testing::ElementsAre;

class DestinationTest : public ::testing::Test, protected FlowFixture {
 protected:
  DestinationOutcome Next(const std::string& text) { return AcceptDestination(ctx, 0, text); }
};

TEST_F(DestinationTest, FolderTextsWithoutAUsableRootAreRefused) {
  struct Case {
    const char* text;
    const char* message;
  };
  for (const Case& c : {Case{"C:", "#12"}, Case{"Soft", "#12"}, Case{"", "#12"}, Case{"C:Soft", "#12"},
                        Case{"C:\\", "#11"}, Case{"c:/", "#11"}, Case{"\\\\srv\\share", "#11"},
                        Case{"\\\\srv\\share\\", "#11"}}) {
    boxes.shown.clear();
    EXPECT_EQ(Next(c.text), DestinationOutcome::Refused) << c.text;
    ASSERT_EQ(boxes.shown.size(), 1u) << c.text;
    EXPECT_EQ(boxes.shown[0].text, c.message) << c.text;
    EXPECT_EQ(boxes.shown[0].icon, MessageIcon::Error);
  }
  EXPECT_TRUE(disk.created.empty());
}

TEST_F(DestinationTest, NewFolderIsOnlyTriedAndParentLevelsStay) {
  EXPECT_EQ(Next("C:/Apps/New"), DestinationOutcome::OptionsPage);
  EXPECT_EQ(state.installationFolder, "C:\\Apps\\New\\");
  EXPECT_THAT(disk.created, ElementsAre("C:\\Apps", "C:\\Apps\\New"));
  EXPECT_THAT(disk.removed, ElementsAre("C:\\Apps\\New"));
  EXPECT_TRUE(disk.DirectoryExists("C:\\Apps"));
  EXPECT_FALSE(disk.DirectoryExists("C:\\Apps\\New"));
  EXPECT_THAT(disk.freeQueries, ElementsAre("C:\\"));
  EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(DestinationTest, FolderCreationFailuresKeepThePage) {
  disk.Put("C:\\Apps", "a file", 1);
  EXPECT_EQ(Next("C:\\Apps\\Tool"), DestinationOutcome::Refused);
  EXPECT_THAT(boxes.Texts(), ElementsAre("#5 C:\\Apps"));

  boxes.shown.clear();
  disk.unmakeable.insert("e:\\locked");
  EXPECT_EQ(Next("E:\\Locked\\Tool"), DestinationOutcome::Refused);
  EXPECT_THAT(boxes.Texts(), ElementsAre("#6 E:\\Locked"));
}

TEST_F(DestinationTest, FreeSpaceBelowTenMegabytesAsks) {
  disk.dirs.insert("c:\\apps\\tool");
  disk.freeBytes = uint64_t{9} << 20;
  boxes.answer = MessageAnswer::No;
  EXPECT_EQ(Next("C:\\Apps\\Tool"), DestinationOutcome::Refused);
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].text, "#14 9");
  EXPECT_EQ(boxes.shown[0].caption, "Tool");
  EXPECT_EQ(boxes.shown[0].buttons, MessageButtons::YesNo);
  EXPECT_EQ(boxes.shown[0].icon, MessageIcon::Question);

  boxes.answer = MessageAnswer::Yes;
  EXPECT_EQ(Next("C:\\Apps\\Tool"), DestinationOutcome::OptionsPage);

  // 10 MB, and more than 32 bits of megabytes, pass without a question.
  boxes.shown.clear();
  for (uint64_t bytes : {uint64_t{10} << 20, uint64_t{1} << 52, ~uint64_t{0}}) {
    disk.freeBytes = bytes;
    EXPECT_EQ(Next("C:\\Apps\\Tool"), DestinationOutcome::OptionsPage);
  }
  EXPECT_TRUE(boxes.shown.empty());

  // A failed query reads as no space at all.
  disk.freeBytes.reset();
  EXPECT_EQ(Next("C:\\Apps\\Tool"), DestinationOutcome::OptionsPage);
  EXPECT_THAT(boxes.Texts(), ElementsAre("#14 0"));
}

TEST(FreeMegabytes, ShiftsAndSaturates) {
  EXPECT_EQ(FreeMegabytes(uint64_t{1} << 52), 4294967295u);
  EXPECT_EQ(FreeMegabytes((uint64_t{1} << 52) - 1), 4294967295u);
  EXPECT_EQ(FreeMegabytes((uint64_t{10} << 20) - 1), 9u);
  EXPECT_EQ(FreeMegabytes(std::nullopt), 0u);
}

TEST_F(DestinationTest, ResidentApplicationSkipsTheOptionsPage) {
  state.resident = true;
  disk.dirs.insert("c:\\apps\\tool");
  EXPECT_EQ(Next("C:\\Apps\\Tool\\"), DestinationOutcome::CopyingPage);
}

TEST_F(DestinationTest, OverlongFolderIsRefusedNotShortened) {
  const std::string folder = "C:\\" + std::string(256, 'a');  // 259 characters, 260 with '\'
  EXPECT_EQ(Next(folder), DestinationOutcome::Refused);
  EXPECT_THAT(boxes.Texts(), ElementsAre("#12"));
  EXPECT_EQ(state.installationFolder, "C:\\Apps\\Tool\\");
  EXPECT_TRUE(disk.created.empty());
}

}  // namespace
}  // namespace appsetup::testing
