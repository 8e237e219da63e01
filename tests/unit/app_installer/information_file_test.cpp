#include "app_installer/information_file.h"

#include <gtest/gtest.h>

#include "fakes.h"

namespace appsetup {
namespace {

constexpr auto kUser = RegistryRoot::CurrentUser;
constexpr auto kMachine = RegistryRoot::LocalMachine;
const std::string kInf = "D:\\setup\\appsetup.INF";

class InformationFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    registry.Set(kMachine, kCurrentVersionKey, "ProgramFilesDir", "C:\\Program Files");
    registry.Set(kUser, kShellFoldersKey, "Programs", "C:\\U\\Start Menu\\Programs");
    registry.Set(kUser, kShellFoldersKey, "Start Menu", "C:\\U\\Start Menu");
    registry.Set(kMachine, kShellFoldersKey, "Common Programs", "C:\\All\\Programs");
    Install("Title", "Acme Tool");
    Install("Folder", "Acme\\Tool");
  }
  void Install(const std::string& key, const std::string& value) {
    files.AddIni(kInf, "Install", key, value);
  }
  bool Load() {
    boxes.shown.clear();
    return LoadInformationFile(state, "D:\\setup\\appsetup.exe", ports, messages);
  }
  void Register(const std::string& key, const std::string& name, const std::string& value) {
    registry.Set(kMachine, std::string(kUninstallKey) + "\\" + key, name, value);
  }
  std::string OnlyMessage() { return boxes.shown.size() == 1 ? boxes.shown[0].text : "?"; }

  testing::FakeFiles files;
  testing::FakeRegistry registry;
  testing::FakeSystem system;
  testing::FakeBoxes boxes;
  testing::FakeStrings strings;
  Ports ports{files, registry, files, system, boxes};
  Messages messages{strings, Language::English};
  InstallerState state;
};

TEST(FindInformationFile, OwnNameThenLanguageThenEnglish) {
  testing::FakeFiles files;
  testing::FakeStrings strings;
  const Messages japanese(strings, Language::Japanese);
  InstallerState state;
  const char* found[] = {"D:\\setup\\appsetupE.INF", "D:\\setup\\appsetupJ.INF",
                         "D:\\setup\\appsetup.INF"};
  for (const char* expected : found) {
    files.AddFile(expected);  // each file found outranks the ones before it
    FindInformationFile(state, "D:\\setup\\appsetup.exe", files, japanese);
    EXPECT_EQ(state.infoFilePath, expected);
  }
  EXPECT_EQ(state.sourceDirectory, "D:\\setup\\");
}

TEST_F(InformationFileTest, CountsAndFlags) {
  for (auto [key, value] : {std::pair{"1", "a"}, {"2", "b"}, {"4", "d"}, {"TSR", "2"},
                            {"RemoveNone", "1"}}) {
    Install(key, value);
  }
  ASSERT_TRUE(Load());
  EXPECT_EQ(state.fileEntryCount, 2);
  EXPECT_EQ(state.groupEntryCount, 0);
  EXPECT_FALSE(state.resident);
  EXPECT_TRUE(state.keepExtraFiles);
}

TEST_F(InformationFileTest, InstallationKeyAndFolder) {
  struct Case {
    const char* folder;
    const char* key;
    const char* expectedKey;
    const char* expectedFolder;
  } cases[] = {
      {"Acme/Tool", "", "Tool", "C:\\Program Files\\Acme\\Tool\\"},
      {"Acme/Tool", "Acme/Tool", "Acme_Tool", "C:\\Program Files\\Acme\\Tool\\"},
      {"Acme\\Tool\\", "", "Tool", "C:\\Program Files\\Acme\\Tool\\"},
      {"E:\\Tool", "", "Tool", "E:\\Tool\\"},
  };
  for (const Case& c : cases) {
    Install("Folder", c.folder);
    Install("InstallKey", c.key);
    ASSERT_TRUE(Load()) << c.folder;
    EXPECT_EQ(state.installationKey, c.expectedKey) << c.folder;
    EXPECT_EQ(state.installationFolder, c.expectedFolder) << c.folder;
  }
  registry.Set(kMachine, kCurrentVersionKey, "ProgramFilesDir", "D:\\Program Files");
  Install("Folder", "\\Tools\\X");
  ASSERT_TRUE(Load());
  EXPECT_EQ(state.installationFolder, "D:\\Tools\\X\\");
}

TEST_F(InformationFileTest, MenuFolders) {
  struct Case {
    const char* menu;
    const char* group;
    const char* expected;
  } cases[] = {
      {"a!Tools", "", "C:\\U\\Start Menu\\Programs\\Accessories\\Tools"},
      {"\\Games/Acme", "", "C:\\U\\Start Menu\\Games\\Acme"},
      {"", "Tool,a.exe", "C:\\U\\Start Menu\\Programs\\Acme Tool"},
      {"", "", "C:\\U\\Start Menu\\Programs"},
  };
  for (const Case& c : cases) {
    Install("Menu", c.menu);
    files.AddIni(kInf, "Group", "1", c.group);
    ASSERT_TRUE(Load());
    EXPECT_EQ(state.menuFolder, c.expected) << c.menu;
  }
  registry.Set(kMachine, kCurrentVersionKey, "SM_AccessoriesName", "Zubeh\xF6r");
  Install("Menu", "a!Tools");
  Install("CommonMenu", "1");
  ASSERT_TRUE(Load());
  EXPECT_EQ(state.menuFolder, "C:\\All\\Programs\\Zubeh\xF6r\\Tools");
}

TEST_F(InformationFileTest, UnusableFilesGiveMessage1) {
  // Missing Title or Folder; a folder of separators only (its empty key would make the whole
  // Uninstall list this program's entry); a folder too long to hold whole.
  const std::string overlong(250, 'x');
  for (auto [key, value] : {std::pair{"Title", ""}, {"Folder", ""}, {"Folder", "/"},
                            {"Folder", overlong.c_str()}}) {
    SetUp();
    Install(key, value);
    EXPECT_FALSE(Load()) << key << "=" << value;
    EXPECT_EQ(OnlyMessage(), "Damaged file, or NO Information file.");
    EXPECT_EQ(boxes.shown.at(0).icon, MessageIcon::Error);
  }
}

TEST_F(InformationFileTest, ExistingEntryOfTheSameTitleProposesItsFolders) {
  Register("Tool", "DisplayName", "Acme Tool");
  Register("Tool", "MenuDir", "C:\\Old");
  struct Case {
    const char* command;
    const char* folder;
  } cases[] = {
      {"  \"E:\\Apps\\My Tool\\appsetup.exe\" /r", "E:\\Apps\\My Tool\\"},
      {"E:\\Apps\\Tool\\appsetup.exe /r", "E:\\Apps\\Tool\\"},
      {"appsetup.exe /r", "C:\\Program Files\\Acme\\Tool\\"},  // no folder to go by
  };
  for (const Case& c : cases) {
    Register("Tool", "UninstallString", c.command);
    ASSERT_TRUE(Load());
    EXPECT_EQ(state.installationFolder, c.folder);
    EXPECT_EQ(state.menuFolder, "C:\\Old");
  }
}

TEST_F(InformationFileTest, EntryOfAnotherTitleOrTitleUnderAnotherKeyGivesMessage2) {
  Register("Tool", "DisplayName", "Other Tool");
  EXPECT_FALSE(Load());
  EXPECT_EQ(OnlyMessage(), "The uninstall entry already used by 'Other Tool'. Please uninstall it.");

  Install("InstallKey", "Acme");
  Register("Acme_Old", "DisplayName", "acme tool");  // the comparison is exact
  EXPECT_TRUE(Load());
  Register("Acme_Old", "DisplayName", "Acme Tool");
  EXPECT_FALSE(Load());
  EXPECT_EQ(OnlyMessage(), "The uninstall entry already used by 'Acme Tool'. Please uninstall it.");
}

}  // namespace
}  // namespace appsetup
