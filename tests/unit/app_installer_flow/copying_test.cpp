#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app_installer/copy_rules.h"
#include "app_installer/install_flow.h"
#include "tests/unit/app_installer_flow/flow_fakes.h"

namespace appsetup::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class CopyingTest : public ::testing::Test, protected FlowFixture {
 protected:
  // Runs the copying page as the posted steps would, returning how many steps ran.
  int RunAll(RecordedCopyingPage& page) {
    CopyingSequence sequence(ctx, page, 0);
    int steps = 1;
    while (sequence.RunStep()) ++steps;
    return steps;
  }
};

TEST_F(CopyingTest, NewerDestinationIsKeptOlderReplaced) {
  disk.Put("a.dll", "new", 100);
  disk.Put("C:\\Apps\\Tool\\a.dll", "kept", 150);
  EXPECT_EQ(CopyEntry(ctx, 0, "a.dll", "C:\\Apps\\Tool\\a.dll", false), EntryResult::KeptNewer);
  EXPECT_EQ(disk.Find("C:\\Apps\\Tool\\a.dll")->content, "kept");

  disk.Find("C:\\Apps\\Tool\\a.dll")->time = 100;  // same time: replaced
  disk.Find("a.dll")->readOnly = true;
  EXPECT_EQ(CopyEntry(ctx, 0, "a.dll", "C:\\Apps\\Tool\\a.dll", false), EntryResult::Copied);
  EXPECT_EQ(disk.Find("C:\\Apps\\Tool\\a.dll")->content, "new");
  EXPECT_FALSE(disk.Find("C:\\Apps\\Tool\\a.dll")->readOnly);
  EXPECT_THAT(boxes.shown, IsEmpty());
}

TEST_F(CopyingTest, FailedOverwriteIsReportedNotPassedOffAsDone) {
  disk.Put("a.dll", "new", 100);
  disk.Put("C:\\Apps\\Tool\\a.dll", "old", 50);
  disk.Find("C:\\Apps\\Tool\\a.dll")->locked = true;
  EXPECT_EQ(CopyEntry(ctx, 0, "a.dll", "C:\\Apps\\Tool\\a.dll", false), EntryResult::Skipped);
  disk.Find("C:\\Apps\\Tool\\a.dll")->locked = false;
  disk.Find("C:\\Apps\\Tool\\a.dll")->readOnly = true;
  EXPECT_EQ(CopyEntry(ctx, 0, "a.dll", "C:\\Apps\\Tool\\a.dll", false), EntryResult::Skipped);
  EXPECT_EQ(CopyEntry(ctx, 0, "missing.dll", "C:\\Apps\\Tool\\m.dll", false), EntryResult::Skipped);
  EXPECT_THAT(boxes.Texts(), ElementsAre("#18 C:\\Apps\\Tool\\a.dll", "#21 a.dll", "#21 missing.dll"));
  EXPECT_EQ(disk.Find("C:\\Apps\\Tool\\a.dll")->content, "old");
}

TEST_F(CopyingTest, MissingFoldersAreMadeFirst) {
  disk.Put("a.dll", "x", 1);
  EXPECT_EQ(CopyEntry(ctx, 0, "a.dll", "C:\\Apps\\Tool\\sub\\a.dll", false), EntryResult::Copied);
  EXPECT_THAT(disk.created, ElementsAre("C:\\Apps", "C:\\Apps\\Tool", "C:\\Apps\\Tool\\sub"));
}

TEST_F(CopyingTest, StepsProgressAndCompletion) {
  disk.Put("a.exe", "a", 1);
  disk.Put("b.dll", "b", 1);
  disk.Put("c.txt", "c", 1);
  AddEntries({"a.exe", "b.dll,lib\\b.dll", "c.txt, S!c.txt"});
  disk.SetIni(state.infoFilePath, kGroupSection, "1", "Tool,a.exe?1,-v");
  disk.SetIni(state.infoFilePath, kGroupSection, "2", "Remove Tool,appsetup.exe,/r");
  state.groupEntryCount = 2;
  state.startMenuChoice = true;
  state.desktopChoice = true;
  disk.Put("C:\\Apps\\Tool\\appsetup.exe", "installer v9", 900);  // newer, still replaced

  RecordedCopyingPage page;
  EXPECT_EQ(RunAll(page), 3 + 4);
  EXPECT_EQ(page.range, 3 + 3);
  EXPECT_EQ(page.position, 3 + 4);
  EXPECT_TRUE(state.completed);
  EXPECT_FALSE(page.progressVisible);
  EXPECT_EQ(page.status, "#22");
  EXPECT_EQ(page.note, "#9 Remove Tool");
  EXPECT_TRUE(page.noteVisible);
  EXPECT_TRUE(page.onlyFinish);
  EXPECT_THAT(boxes.shown, IsEmpty());

  EXPECT_EQ(disk.Find("C:\\Apps\\Tool\\appsetup.exe")->content, "installer v2");
  EXPECT_EQ(disk.Find("C:\\Apps\\Tool\\appsetup.INF")->content, "info");
  EXPECT_NE(disk.Find("C:\\Apps\\Tool\\lib\\b.dll"), nullptr);
  EXPECT_NE(disk.Find("C:\\WINDOWS\\system32\\c.txt"), nullptr);

  ASSERT_EQ(links.saved.size(), 3u);
  EXPECT_EQ(links.saved[0].linkPath, "C:\\Menu\\Programs\\Tool\\Tool.lnk");
  EXPECT_EQ(links.saved[0].target, "C:\\Apps\\Tool\\a.exe");
  EXPECT_EQ(links.saved[0].arguments, "-v");
  EXPECT_THAT(links.saved[0].icons, ElementsAre(std::pair<std::string, int>("C:\\Apps\\Tool\\a.exe", 1)));
  EXPECT_EQ(links.saved[1].linkPath, "C:\\Menu\\Programs\\Tool\\Remove Tool.lnk");
  EXPECT_EQ(links.saved[2].linkPath, "C:\\Desk\\Tool.lnk");
  EXPECT_EQ(links.saved[2].target, "C:\\Apps\\Tool\\a.exe");
  EXPECT_EQ(links.saved[2].workingDirectory, "C:\\Apps\\Tool\\");
  EXPECT_TRUE(disk.DirectoryExists("C:\\Menu\\Programs\\Tool"));

  const auto& entry = written.keys.at(std::string(kUninstallKey) + "\\Tool");
  EXPECT_EQ(entry.at("DisplayName"), "Tool");
  EXPECT_EQ(entry.at("MenuDir"), "C:\\Menu\\Programs\\Tool");
  EXPECT_EQ(entry.at("UninstallString"), "\"C:\\Apps\\Tool\\appsetup.exe\" /r");
}

TEST_F(CopyingTest, ResidentApplicationGetsOnlyAStartupShortcut) {
  disk.Put("a.exe", "a", 1);
  AddEntries({"a.exe"});
  state.resident = true;
  state.startMenuChoice = true;
  state.desktopChoice = true;
  RecordedCopyingPage page;
  EXPECT_EQ(RunAll(page), 1 + 4);
  ASSERT_EQ(links.saved.size(), 1u);
  EXPECT_EQ(links.saved[0].linkPath, "C:\\Menu\\Programs\\Startup\\Tool.lnk");
  EXPECT_EQ(page.note, "default note");
}

TEST_F(CopyingTest, FailedEntriesAreSkippedAndTheInstallationStillCompletes) {
  disk.Put("b.dll", "b", 1);
  AddEntries({"gone.dll", "b.dll," + std::string(250, 'x') + "\\b.dll", "b.dll"});
  RecordedCopyingPage page;
  EXPECT_EQ(RunAll(page), 3 + 4);
  EXPECT_TRUE(state.completed);
  EXPECT_THAT(boxes.Texts(), ElementsAre("#21 gone.dll", "#21 b.dll"));
  EXPECT_NE(disk.Find("C:\\Apps\\Tool\\b.dll"), nullptr);
  // Menu shortcut without [Group] entries goes into the menu folder without making it.
  EXPECT_THAT(links.saved, IsEmpty());  // the start-menu choice was off
}

TEST_F(CopyingTest, MenuShortcutWithoutGroupsDoesNotMakeTheFolder) {
  disk.Put("a.exe", "a", 1);
  AddEntries({"a.exe"});
  state.startMenuChoice = true;
  RecordedCopyingPage page;
  RunAll(page);
  ASSERT_EQ(links.saved.size(), 1u);
  EXPECT_EQ(links.saved[0].linkPath, "C:\\Menu\\Programs\\Tool\\Tool.lnk");
  EXPECT_FALSE(disk.DirectoryExists("C:\\Menu\\Programs\\Tool"));
}

TEST_F(CopyingTest, MenuFolderListLeavesOutTheStartupBranch) {
  for (const char* dir : {"c:\\menu\\programs", "c:\\menu\\programs\\startup", "c:\\menu\\programs\\startup\\x",
                          "c:\\menu\\programs\\b", "c:\\menu\\programs\\a", "c:\\menu\\programs\\a\\deep"}) {
    disk.dirs.insert(dir);
  }
  const MenuFolderList list = BuildMenuFolderList(ctx);
  EXPECT_EQ(list.selection, "Programs\\Tool");
  EXPECT_THAT(list.folders, ElementsAre("Programs\\Tool", "programs", "programs\\a", "programs\\a\\deep",
                                        "programs\\b"));

  EXPECT_TRUE(AcceptOptions(ctx, 0, true, false, "Programs\\Other"));
  EXPECT_EQ(state.menuFolder, "C:\\Menu\\Programs\\Other");
  EXPECT_TRUE(state.startMenuChoice);
  EXPECT_FALSE(state.desktopChoice);
}

}  // namespace
}  // namespace appsetup::testing
