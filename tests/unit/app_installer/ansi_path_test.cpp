#include "app_installer/ansi_path.h"

#include <gtest/gtest.h>

#include "fakes.h"

namespace appsetup {
namespace {

using testing::kHyou;

TEST(AnsiPath, TrailByteBackslashIsNoSeparator) {
  const CodePage sjis = testing::ShiftJisLike();
  const std::string path = "C:\\" + kHyou + "\\a" + kHyou;  // C:\表\a表
  EXPECT_EQ(DirectoryPart(sjis, path), "C:\\" + kHyou + "\\");
  EXPECT_EQ(FileNamePart(sjis, path), "a" + kHyou);
  EXPECT_EQ(Join(sjis, "C:\\" + kHyou, "x"), "C:\\" + kHyou + "\\x");
  EXPECT_EQ(RootLength(sjis, "\\\\s" + kHyou + "\\share\\x"), 12u);
  EXPECT_EQ(Truncate(sjis, "ab" + kHyou, 3), "ab");
  EXPECT_FALSE(EqualsIgnoreCase(sjis, "\x82" "A", "\x82" "a"));  // 'A' here is a trail byte
  // A single-byte code page sees the same bytes as a separator.
  EXPECT_TRUE(EndsWithSeparator(CodePage{}, path));
}

TEST(AnsiPath, RootsJoinsAndExtensions) {
  const CodePage cp;
  struct Case {
    const char* path;
    size_t root;
    bool rootDirectory;
  } cases[] = {
      {"C:\\", 3, true},    {"c:/x", 3, false},  {"C:", 0, false},        {"C:x", 0, false},
      {"\\", 1, true},      {"\\x", 1, false},   {"\\\\srv\\share", 11, true},
      {"\\\\srv\\share\\x", 12, false},          {"\\\\srv\\", 0, false}, {"x\\y", 0, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(RootLength(cp, c.path), c.root) << c.path;
    EXPECT_EQ(IsRootDirectory(cp, c.path), c.rootDirectory) << c.path;
  }
  EXPECT_EQ(DirectoryPart(cp, "C:b.exe"), "C:");
  EXPECT_EQ(Join(cp, "C:\\a/", "\\b"), "C:\\a/b");
  EXPECT_EQ(WithoutExtension(cp, "C:\\a.b\\tool"), "C:\\a.b\\tool");
  for (const char* none : {"C:\\a\\.profile", ".", "C:\\a\\.."}) {
    EXPECT_EQ(ExtensionDot(cp, none), std::string::npos) << none;
  }
}

}  // namespace
}  // namespace appsetup
