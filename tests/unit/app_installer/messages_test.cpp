#include "app_installer/messages.h"

#include <gtest/gtest.h>

#include "fakes.h"

namespace appsetup {
namespace {

TEST(Messages, RunningLanguageWithEnglishFallback) {
  EXPECT_EQ(LanguageFromId(0x0411), Language::Japanese);
  EXPECT_EQ(LanguageFromId(0x0C04), Language::TraditionalChinese);  // Hong Kong
  EXPECT_EQ(LanguageFromId(0x0804), Language::English);             // simplified script

  testing::FakeStrings table;
  EXPECT_EQ(Messages(table, Language::TraditionalChinese).Text(37), "ZT.INF");
  EXPECT_EQ(Messages(table, Language::Japanese).Text(1), "Damaged file, or NO Information file.");
  EXPECT_EQ(Messages(table, Language::English).Text(3), "?");
}

TEST(Messages, FillingStaysInsideTheBuffer) {
  const CodePage cp;
  EXPECT_EQ(FillMessage(cp, "%s has %u MB, %d%%", {"C:", 4294967295u, -3}),
            "C: has 4294967295 MB, -3%");
  EXPECT_EQ(FillMessage(cp, "%s and %s, 100% %x", {"one"}), "one and , 100% %x");
  EXPECT_EQ(FillMessage(cp, "copy %s", {std::string(2000, 'p')}).size(), kMessageBufferChars - 1);

  // The cut falls before a double-byte character that would straddle the limit.
  std::string wide;
  for (int i = 0; i < 600; ++i) wide += testing::kHyou;
  const std::string cut = FillMessage(testing::ShiftJisLike(), "%s", {wide});
  EXPECT_EQ(cut, wide.substr(0, kMessageBufferChars - 2));
}

}  // namespace
}  // namespace appsetup
