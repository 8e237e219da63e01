#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/unit/app_installer_uninstall/uninstall_fixture.h"

namespace appsetup::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class RemovalTest : public ::testing::Test, protected UninstallFixture {
 protected:
  // A tool with two files in its folder, one in the system and one in the Windows directory,
  // two menu shortcuts and a [Reg] key.
  void InstallTool() {
    Install({"tool.exe", "help.txt", "x.dll, S!x.dll", "y.dll,W!y.dll"},
            {"C:\\Apps\\Tool\\tool.exe", "C:\\Apps\\Tool\\help.txt", "C:\\WINDOWS\\system32\\x.dll",
             "C:\\WINDOWS\\y.dll"});
    AddGroups({"Tool,tool.exe", "Remove Tool,appsetup.exe,/r"});
    AddShortcutsOnDesktopAndStartup();
    disk.SetIni(state.infoFilePath, kRegSection, "1", "HKEY_CURRENT_USER\\Software\\Acme\\Tool");
    written.AddKey("Software\\Acme\\Tool\\Settings");
  }

  bool Run() {
    RecordedUninstallWindow window;
    RunUninstallWindow(uctx, window, 0);
    EXPECT_TRUE(window.finishEnabled);
    status_ = window.status;
    return window.status == "#30 Tool";
  }

  std::string status_;
};

TEST_F(RemovalTest, EverythingGoesInOrderAndTheSystemFileStays) {
  InstallTool();
  EXPECT_TRUE(Run()) << status_;
  EXPECT_THAT(boxes.shown, IsEmpty());
  // Files from the last entry down, the menu shortcuts just before the information file, the
  // installer last; then the desktop and Startup shortcuts.
  EXPECT_THAT(disk.deleted,
              ElementsAre("C:\\WINDOWS\\y.dll", "C:\\Apps\\Tool\\help.txt", "C:\\Apps\\Tool\\tool.exe",
                          "C:\\Menu\\Programs\\Acme\\Tool\\Tool.lnk",
                          "C:\\Menu\\Programs\\Acme\\Tool\\Remove Tool.lnk", "C:\\Apps\\Tool\\appsetup.INF",
                          "C:\\Apps\\Tool\\appsetup.exe", "C:\\Desk\\Tool.lnk",
                          "C:\\Menu\\Programs\\Startup\\Tool.lnk"));
  EXPECT_TRUE(Exists("C:\\WINDOWS\\system32\\x.dll"));
  EXPECT_FALSE(FolderExists("C:\\Apps\\Tool"));
  EXPECT_TRUE(FolderExists("C:\\Apps"));
  // The emptied menu folder and its empty parent go; Programs stays although it is empty now.
  EXPECT_FALSE(FolderExists(kMenu));
  EXPECT_FALSE(FolderExists("C:\\Menu\\Programs\\Acme"));
  EXPECT_TRUE(FolderExists("C:\\Menu\\Programs"));
  EXPECT_FALSE(written.Has("Software\\Acme\\Tool"));
  EXPECT_TRUE(written.Has("Software\\Acme"));
  EXPECT_FALSE(written.Has(kEntryKey));
  EXPECT_TRUE(written.Has(kUninstallKey));
}

TEST_F(RemovalTest, LockedMainFileStopsTheRemovalSoItCanBeRunAgain) {
  InstallTool();
  disk.undeletable.insert(Lower("C:\\Apps\\Tool\\tool.exe"));
  EXPECT_FALSE(Run());
  EXPECT_EQ(status_, "#31 C:\\Apps\\Tool\\");
  EXPECT_THAT(boxes.Texts(), ElementsAre("#24 C:\\Apps\\Tool\\tool.exe",
                                         "#28 C:\\Apps\\Tool\\tool.exe|Tool"));
  EXPECT_EQ(boxes.shown[1].icon, MessageIcon::Error);
  // Already gone: the [Reg] key and the higher-numbered files.
  EXPECT_FALSE(written.Has("Software\\Acme\\Tool"));
  EXPECT_FALSE(Exists("C:\\Apps\\Tool\\help.txt"));
  EXPECT_FALSE(Exists("C:\\WINDOWS\\y.dll"));
  // Still there: shortcuts, the installed information file and installer, the folder, the entry.
  EXPECT_TRUE(Exists("C:\\Menu\\Programs\\Acme\\Tool\\Tool.lnk"));
  EXPECT_TRUE(Exists("C:\\Apps\\Tool\\appsetup.INF"));
  EXPECT_TRUE(Exists("C:\\Apps\\Tool\\appsetup.exe"));
  EXPECT_TRUE(FolderExists("C:\\Apps\\Tool"));
  EXPECT_TRUE(written.Has(kEntryKey));
  EXPECT_TRUE(Exists("C:\\Desk\\Tool.lnk"));
  EXPECT_TRUE(Exists("C:\\Menu\\Programs\\Startup\\Tool.lnk"));
}

TEST_F(RemovalTest, OtherLockedFilesAreReportedAndTheRestGoes) {
  InstallTool();
  disk.undeletable.insert(Lower("C:\\Apps\\Tool\\help.txt"));
  // The help file stays; the folder is then not empty, and the user keeps the file when asked.
  boxes.answer = MessageAnswer::No;
  EXPECT_FALSE(Run());
  EXPECT_THAT(boxes.Texts(), ElementsAre("#24 C:\\Apps\\Tool\\help.txt", "#25 C:\\Apps\\Tool\\help.txt"));
  EXPECT_FALSE(Exists("C:\\Apps\\Tool\\tool.exe"));
  EXPECT_FALSE(Exists("C:\\Apps\\Tool\\appsetup.exe"));
  EXPECT_FALSE(written.Has(kEntryKey));
}

TEST_F(RemovalTest, ExtraFileIsAskedAboutWithYesNoAndKeptWithRemoveNone) {
  InstallTool();
  disk.Put("C:\\Apps\\Tool\\notes.txt", "user", 1);

  boxes.answer = MessageAnswer::No;
  EXPECT_FALSE(Run());
  EXPECT_EQ(status_, "#31 C:\\Apps\\Tool\\");
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].text, "#25 C:\\Apps\\Tool\\notes.txt");
  EXPECT_EQ(boxes.shown[0].caption, "Tool");
  EXPECT_EQ(boxes.shown[0].icon, MessageIcon::Question);
  EXPECT_EQ(boxes.shown[0].buttons, MessageButtons::YesNoCancel);
  EXPECT_TRUE(Exists("C:\\Apps\\Tool\\notes.txt"));
  EXPECT_TRUE(FolderExists("C:\\Apps\\Tool"));
  EXPECT_FALSE(written.Has(kEntryKey));  // still unlisted: what stays is the user's

  // Again with RemoveNone=1: no question, the same result.
  boxes.shown.clear();
  state.keepExtraFiles = true;
  EXPECT_FALSE(Run());
  EXPECT_EQ(status_, "#31 C:\\Apps\\Tool\\");
  EXPECT_THAT(boxes.shown, IsEmpty());
  EXPECT_TRUE(Exists("C:\\Apps\\Tool\\notes.txt"));

  // And answered Yes: the file and the folder go.
  state.keepExtraFiles = false;
  boxes.answer = MessageAnswer::Yes;
  EXPECT_TRUE(Run());
  EXPECT_FALSE(Exists("C:\\Apps\\Tool\\notes.txt"));
  EXPECT_FALSE(FolderExists("C:\\Apps\\Tool"));
}

TEST_F(RemovalTest, HelpIndexAndSubfoldersGoWithoutAsking) {
  InstallTool();
  disk.Put("C:\\Apps\\Tool\\TOOL.GID", "index", 1);
  disk.dirs.insert(Lower("C:\\Apps\\Tool\\cache\\deep"));
  disk.dirs.insert(Lower("C:\\Apps\\Tool\\cache"));
  disk.Put("C:\\Apps\\Tool\\cache\\deep\\help.gid", "index", 1);
  EXPECT_TRUE(Run()) << status_;
  EXPECT_THAT(boxes.shown, IsEmpty());
  EXPECT_FALSE(FolderExists("C:\\Apps\\Tool"));
}

TEST_F(RemovalTest, CancelAtTheFirstQuestionKeepsTheFolderButNotTheEntryOrShortcuts) {
  InstallTool();
  disk.Put("C:\\Apps\\Tool\\a.txt", "user", 1);
  disk.Put("C:\\Apps\\Tool\\b.txt", "user", 1);
  disk.Put("C:\\Apps\\Tool\\TOOL.GID", "index", 1);  // listed after both: never reached
  boxes.answer = MessageAnswer::Cancel;
  EXPECT_FALSE(Run());
  EXPECT_THAT(boxes.Texts(), ElementsAre("#25 C:\\Apps\\Tool\\a.txt"));
  EXPECT_TRUE(Exists("C:\\Apps\\Tool\\a.txt"));
  EXPECT_TRUE(Exists("C:\\Apps\\Tool\\b.txt"));
  EXPECT_TRUE(Exists("C:\\Apps\\Tool\\TOOL.GID"));
  EXPECT_TRUE(FolderExists("C:\\Apps\\Tool"));
  EXPECT_FALSE(written.Has(kEntryKey));
  EXPECT_FALSE(Exists("C:\\Desk\\Tool.lnk"));
  EXPECT_FALSE(Exists("C:\\Menu\\Programs\\Startup\\Tool.lnk"));
}

TEST_F(RemovalTest, CancelInASubfolderStopsTheWholeFolder) {
  InstallTool();
  disk.dirs.insert(Lower("C:\\Apps\\Tool\\data"));
  disk.Put("C:\\Apps\\Tool\\data\\user.db", "user", 1);
  disk.Put("C:\\Apps\\Tool\\z.txt", "user", 1);
  boxes.answer = MessageAnswer::Cancel;
  EXPECT_FALSE(Run());
  EXPECT_THAT(boxes.Texts(), ElementsAre("#25 C:\\Apps\\Tool\\data\\user.db"));
  EXPECT_TRUE(Exists("C:\\Apps\\Tool\\z.txt"));
  EXPECT_TRUE(FolderExists("C:\\Apps\\Tool\\data"));
}

TEST_F(RemovalTest, JunctionIsRemovedItselfAndItsTargetIsUntouched) {
  InstallTool();
  disk.dirs.insert(Lower("D:\\Shared"));
  disk.Put("D:\\Shared\\keep.txt", "precious", 1);
  disk.AddJunction("C:\\Apps\\Tool\\data", "D:\\Shared");

  // Declined: the link stays; nothing behind it was asked about.
  boxes.answer = MessageAnswer::No;
  EXPECT_FALSE(Run());
  EXPECT_THAT(boxes.Texts(), ElementsAre("#25 C:\\Apps\\Tool\\data"));
  EXPECT_TRUE(FolderExists("C:\\Apps\\Tool\\data"));

  boxes.shown.clear();
  boxes.answer = MessageAnswer::Yes;
  EXPECT_TRUE(Run()) << status_;
  EXPECT_THAT(boxes.Texts(), ElementsAre("#25 C:\\Apps\\Tool\\data"));
  EXPECT_FALSE(FolderExists("C:\\Apps\\Tool"));
  EXPECT_TRUE(FolderExists("D:\\Shared"));
  ASSERT_TRUE(Exists("D:\\Shared\\keep.txt"));
  EXPECT_EQ(disk.Find("D:\\Shared\\keep.txt")->content, "precious");
}

TEST_F(RemovalTest, FailuresInsideTheFolderAreReported) {
  InstallTool();
  // A subfolder that will not go although it is empty: message 26, and its parent stays.
  disk.dirs.insert(Lower("C:\\Apps\\Tool\\sub"));
  disk.unremovable.insert(Lower("C:\\Apps\\Tool\\sub"));
  EXPECT_FALSE(Run());
  EXPECT_THAT(boxes.Texts(), ElementsAre("#26 C:\\Apps\\Tool\\sub"));
  EXPECT_TRUE(FolderExists("C:\\Apps\\Tool"));
  EXPECT_FALSE(written.Has(kEntryKey));

  // A help index that cannot be deleted: message 24.
  disk.unremovable.clear();
  boxes.shown.clear();
  disk.Put("C:\\Apps\\Tool\\sub\\a.gid", "x", 1);
  disk.undeletable.insert(Lower("C:\\Apps\\Tool\\sub\\a.gid"));
  EXPECT_FALSE(Run());
  EXPECT_THAT(boxes.Texts(), ElementsAre("#24 C:\\Apps\\Tool\\sub\\a.gid"));
  EXPECT_TRUE(FolderExists("C:\\Apps\\Tool\\sub"));
}

TEST_F(RemovalTest, RegEntriesWithUnknownRootAreReportedAndSkipped) {
  InstallTool();
  disk.SetIni(state.infoFilePath, kRegSection, "2", "HKEY_USERS\\x");
  disk.SetIni(state.infoFilePath, kRegSection, "3", "HKEY_LOCAL_MACHINE\\Software\\Acme\\Shared");
  written.AddKey("Software\\Acme\\Shared");
  written.AddKey("x");
  EXPECT_TRUE(Run()) << status_;
  EXPECT_THAT(boxes.Texts(), ElementsAre("#27"));
  EXPECT_EQ(boxes.shown[0].icon, MessageIcon::Error);
  EXPECT_FALSE(written.Has("Software\\Acme\\Tool"));
  EXPECT_FALSE(written.Has("Software\\Acme\\Shared"));
  EXPECT_TRUE(written.Has("x"));
}

TEST_F(RemovalTest, RegistryTreeGoesWholeAndAStuckSubkeyIsSteppedOver) {
  for (const char* key : {"Soft\\App\\A\\A1\\A11", "Soft\\App\\A\\A2", "Soft\\App\\B", "Soft\\App\\C\\C1",
                          "Soft\\Other"}) {
    written.AddKey(key);
  }
  DeleteRegistryTree(written, state.codePage, RegistryRoot::CurrentUser, "Soft\\App");
  EXPECT_FALSE(written.Has("Soft\\App"));
  EXPECT_TRUE(written.Has("Soft\\Other"));

  // B cannot be deleted: it comes back at index 0, the index moves past it, C still goes, and the
  // key itself stays because it is not empty.
  for (const char* key : {"Soft\\App\\B", "Soft\\App\\C\\C1"}) written.AddKey(key);
  written.undeletable.insert(Lower("Soft\\App\\B"));
  written.enumerated.clear();
  DeleteRegistryTree(written, state.codePage, RegistryRoot::CurrentUser, "Soft\\App");
  EXPECT_TRUE(written.Has("Soft\\App\\B"));
  EXPECT_FALSE(written.Has("Soft\\App\\C"));
  EXPECT_TRUE(written.Has("Soft\\App"));
  EXPECT_THAT(written.enumerated, ElementsAre("Soft\\App#0", "Soft\\App\\B#0", "Soft\\App#0", "Soft\\App#1",
                                              "Soft\\App\\C#0", "Soft\\App\\C\\C1#0", "Soft\\App\\C#0",
                                              "Soft\\App#1"));
}

TEST_F(RemovalTest, MenuFolderClimbStopsAtAFolderThatIsNotEmpty) {
  AddGroups({"Tool,tool.exe"});
  disk.Put("C:\\Menu\\Programs\\Acme\\Other.lnk", "link", 1);
  RemoveMenuShortcuts(uctx);
  EXPECT_FALSE(FolderExists(kMenu));
  EXPECT_TRUE(FolderExists("C:\\Menu\\Programs\\Acme"));
  EXPECT_THAT(disk.removed, ElementsAre(kMenu, "C:\\Menu\\Programs\\Acme"));
}

TEST_F(RemovalTest, MenuFolderClimbNeverLeavesTheStartMenu) {
  // Programs is empty once the climb reaches it; it and the Start Menu stay.
  state.menuFolder = "C:\\Menu\\Programs\\Tool";
  disk.dirs.erase(Lower(kMenu));
  disk.dirs.erase(Lower("C:\\Menu\\Programs\\Acme"));
  disk.dirs.erase(Lower("C:\\Menu\\Programs\\Startup"));
  disk.dirs.insert(Lower("C:\\Menu\\Programs\\Tool"));
  AddGroups({"Tool,tool.exe"});
  RemoveMenuShortcuts(uctx);
  EXPECT_THAT(disk.removed, ElementsAre("C:\\Menu\\Programs\\Tool"));
  EXPECT_TRUE(FolderExists("C:\\Menu\\Programs"));

  // A menu folder chosen outside the Start Menu goes alone, not its parents.
  disk.removed.clear();
  state.menuFolder = "E:\\Links\\Tool";
  disk.dirs.insert(Lower("E:\\Links"));
  disk.dirs.insert(Lower("E:\\Links\\Tool"));
  RemoveMenuShortcuts(uctx);
  EXPECT_THAT(disk.removed, ElementsAre("E:\\Links\\Tool"));
  EXPECT_TRUE(FolderExists("E:\\Links"));
}

TEST_F(RemovalTest, WithoutGroupsOnlyTheTitleShortcutGoesAndTheFolderStays) {
  disk.Put(std::string(kMenu) + "\\Tool.lnk", "link", 1);
  RemoveMenuShortcuts(uctx);
  EXPECT_THAT(disk.deleted, ElementsAre(std::string(kMenu) + "\\Tool.lnk"));
  EXPECT_THAT(disk.removed, IsEmpty());
  EXPECT_TRUE(FolderExists(kMenu));
}

}  // namespace
}  // namespace appsetup::testing
