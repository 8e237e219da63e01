#include "app_installer/entry_resolver.h"

#include <gtest/gtest.h>

#include "fakes.h"

namespace appsetup {
namespace {

class EntryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    state.programName = "appsetup.exe";
    state.infoFilePath = "D:\\setup\\appsetupE.INF";
    state.infoFileName = "appsetupE.INF";
    state.installationFolder = "C:\\Apps\\Tool\\";
    for (const char* dir : {"C:\\Apps\\Tool\\data", "C:\\U\\Desktop\\work", "C:\\U\\Docs\\Tool",
                            "C:\\WINDOWS\\Temp", "E:\\Work"}) {
      files.AddDirectory(dir);
    }
    registry.Set(RegistryRoot::CurrentUser, kShellFoldersKey, "Desktop", "C:\\U\\Desktop");
    registry.Set(RegistryRoot::CurrentUser, kShellFoldersKey, "Personal", "C:\\U\\Docs");
  }
  void File(int n, const std::string& value) {
    files.AddIni(state.infoFilePath, "Install", std::to_string(n), value);
    state.fileEntryCount = std::max(state.fileEntryCount, n);
  }
  Shortcut Group(const std::string& value) {
    files.AddIni(state.infoFilePath, "Group", "1", value);
    state.groupEntryCount = 1;
    return ResolveShortcut(state, 1, ports);
  }

  testing::FakeFiles files;
  testing::FakeRegistry registry;
  testing::FakeSystem system;
  testing::FakeBoxes boxes;
  Ports ports{files, registry, files, system, boxes};
  InstallerState state;
};

TEST_F(EntryTest, FileEntries) {
  File(1, "tool.exe");
  File(2, "x.dll, s!x.dll");
  File(3, "y.dll,W!sub\\y.dll");
  File(4, "help\\a.hlp ,  doc\\a.hlp");
  File(5, "z.dll,x!z.dll");
  File(6, "a.dll," + std::string(250, 'd'));
  struct Case {
    int n;
    const char* source;
    const char* destination;
    bool outsideSystem;
  } cases[] = {
      {-1, "appsetup.exe", "C:\\Apps\\Tool\\appsetup.exe", true},
      {0, "appsetupE.INF", "C:\\Apps\\Tool\\appsetup.INF", true},
      {1, "tool.exe", "C:\\Apps\\Tool\\tool.exe", true},
      {2, "x.dll", "C:\\WINDOWS\\system32\\x.dll", false},
      {3, "y.dll", "C:\\WINDOWS\\sub\\y.dll", true},
      {4, "help\\a.hlp", "C:\\Apps\\Tool\\doc\\a.hlp", true},
      {5, "z.dll", "C:\\Apps\\Tool\\x!z.dll", true},
  };
  for (const Case& c : cases) {
    const FileEntry entry = ResolveFileEntry(state, c.n, files, system);
    ASSERT_EQ(entry.status, EntryStatus::Resolved) << c.n;
    EXPECT_EQ(state.sourceBuffer, c.source);
    EXPECT_EQ(state.destinationBuffer, c.destination);
    EXPECT_EQ(entry.outsideSystemDirectory, c.outsideSystem) << c.n;
  }
  // Too long to hold whole: refused, and the buffers keep the last good entry.
  EXPECT_EQ(ResolveFileEntry(state, 6, files, system).status, EntryStatus::TooLong);
  EXPECT_EQ(state.sourceBuffer, "z.dll");
  EXPECT_EQ(ResolveFileEntry(state, 7, files, system).status, EntryStatus::Missing);
}

TEST_F(EntryTest, GroupEntryTargetArgumentsAndIcons) {
  const Shortcut s = Group("Tool,bin\\tool.exe ?0 ?2=res\\icons.dll ?7=D:\\i.ico , -a  -b ");
  ASSERT_EQ(s.status, EntryStatus::Resolved);
  EXPECT_EQ(s.name, "Tool");
  EXPECT_EQ(s.target, "C:\\Apps\\Tool\\bin\\tool.exe");
  EXPECT_EQ(s.arguments, "-a  -b");
  ASSERT_EQ(s.icons.size(), 3u);
  EXPECT_EQ(s.icons[0].file, s.target);
  EXPECT_EQ(s.icons[1].file + "," + std::to_string(s.icons[1].index),
            "C:\\Apps\\Tool\\res\\icons.dll,2");
  EXPECT_EQ(s.icons[2].file, "D:\\i.ico");
  EXPECT_EQ(s.workingDirectory, "C:\\Apps\\Tool\\");

  // The installation folder may hold a comma of its own.
  state.installationFolder = "C:\\Apps\\A,B\\";
  EXPECT_EQ(Group("Tool,tool.exe,/x").target, "C:\\Apps\\A,B\\tool.exe");
  EXPECT_EQ(Group("no comma").status, EntryStatus::Missing);
  EXPECT_EQ(Group(" ,tool.exe").status, EntryStatus::Missing);
}

TEST_F(EntryTest, WorkingDirectoryForms) {
  struct Case {
    const char* option;
    const char* expected;
  } cases[] = {
      {"?E:\\Work\\", "E:\\Work"},
      {"?d!work", "C:\\U\\Desktop\\work"},
      {"?m!Tool", "C:\\U\\Docs\\Tool"},
      {"?w!Temp", "C:\\WINDOWS\\Temp"},
      {"?q!data", "C:\\Apps\\Tool\\data"},
      {"? data ", "C:\\Apps\\Tool\\data"},
      {"?D!work", "C:\\Apps\\Tool\\"},       // upper case is no prefix; no such folder
      {"?w!Temp?E:\\Work", "E:\\Work"},      // the last one counts
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Group(std::string("Tool,tool.exe") + c.option).workingDirectory, c.expected)
        << c.option;
  }
  // Shortcuts for all users do not point into one user's folders.
  state.allUsers = true;
  files.AddDirectory("C:\\Apps\\Tool\\work");
  EXPECT_EQ(Group("Tool,tool.exe?d!work").workingDirectory, "C:\\Apps\\Tool\\work");
  EXPECT_EQ(Group("Tool,tool.exe?w!Temp").workingDirectory, "C:\\WINDOWS\\Temp");
}

TEST_F(EntryTest, UninstallShortcutIsRemembered) {
  Group("Remove,appsetup.exe,/R");
  EXPECT_EQ(state.uninstallShortcutName, "");
  Group("Remove,APPSETUP.EXE ,/r");
  EXPECT_EQ(state.uninstallShortcutName, "Remove");
}

TEST(RegistryEntry, KnownRootsOnly) {
  auto entry = ParseRegistryEntry("HKEY_CURRENT_USER\\Software\\Acme");
  ASSERT_TRUE(entry);
  EXPECT_EQ(entry->root, RegistryRoot::CurrentUser);
  EXPECT_EQ(entry->subkey, "Software\\Acme");
  // Unknown or miswritten roots, and a root alone, must never reach key deletion.
  for (const char* bad : {"HKEY_USERS\\x", "hkey_current_user\\x", "HKEY_LOCAL_MACHINE",
                          "HKEY_LOCAL_MACHINE\\", "HKEY_CURRENT_USER_X\\Software"}) {
    EXPECT_FALSE(ParseRegistryEntry(bad)) << bad;
  }
}

}  // namespace
}  // namespace appsetup
