// Information-file values cut inside a double-byte character.
#include <gtest/gtest.h>

#include "app_installer/entry_resolver.h"
#include "app_installer/information_file.h"
#include "fakes.h"

namespace appsetup {
namespace {

const std::string kInf = "D:\\setup\\appsetup.INF";

struct JapaneseSystem : testing::FakeSystem {
  CodePage AnsiCodePage() override { return testing::ShiftJisLike(); }
};

class CutCharacterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    registry.Set(RegistryRoot::LocalMachine, kCurrentVersionKey, "ProgramFilesDir", "C:\\Program Files");
    registry.Set(RegistryRoot::CurrentUser, kShellFoldersKey, "Programs", "C:\\U\\Programs");
    Install("Title", "Tool");
    Install("Folder", "Acme\\Tool");
    Install("1", "tool.exe");
    files.AddIni(kInf, "Group", "1", "Tool,tool.exe");
  }
  void Install(const std::string& key, const std::string& value) { files.AddIni(kInf, "Install", key, value); }
  bool Load() { return LoadInformationFile(state, "D:\\setup\\appsetup.exe", ports, messages); }

  testing::FakeFiles files;
  testing::FakeRegistry registry;
  JapaneseSystem system;
  testing::FakeBoxes boxes;
  testing::FakeStrings strings;
  Ports ports{files, registry, files, system, boxes};
  Messages messages{strings, Language::Japanese};
  InstallerState state;
};

TEST_F(CutCharacterTest, WholeDoubleByteNamesLoad) {
  Install("Folder", "Acme\\" + testing::kHyou);  // its trail byte is a '\'
  ASSERT_TRUE(Load());
  EXPECT_EQ(state.installationFolder, "C:\\Program Files\\Acme\\" + testing::kHyou + "\\");
  EXPECT_TRUE(EndsWithSeparator(state.codePage, state.installationFolder));
}

// With a folder ending in a lone lead byte, the separator after it became that character's trail
// byte: "tool.exe" landed beside the installation folder, in a file named after it.
TEST_F(CutCharacterTest, ValuesEndingInsideACharacterAreADamagedFile) {
  for (const char* key : {"Folder", "Menu", "InstallKey", "Title"}) {
    SetUp();
    Install(key, "Acme\\Tool\x87");
    boxes.shown.clear();
    EXPECT_FALSE(Load()) << key;
    ASSERT_EQ(boxes.shown.size(), 1u) << key;
    EXPECT_EQ(boxes.shown[0].text, "Damaged file, or NO Information file.") << key;
  }
}

TEST(CutCharacter, FoundOnlyAtTheEnd) {
  const CodePage cp = testing::ShiftJisLike();
  EXPECT_TRUE(EndsInsideCharacter(cp, "abc\x87"));
  EXPECT_FALSE(EndsInsideCharacter(cp, "abc\x87\x5C"));
  EXPECT_TRUE(EndsInsideCharacter(cp, "\x87\x5C\x87"));
  EXPECT_FALSE(EndsInsideCharacter(cp, ""));
  EXPECT_FALSE(EndsInsideCharacter(CodePage{}, "abc\x87"));  // single-byte code page
}

}  // namespace
}  // namespace appsetup
