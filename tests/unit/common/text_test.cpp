#include "common/text.h"

#include <gtest/gtest.h>

namespace {

TEST(Utf8Wide, RoundTripsBmpAndSupplementaryCharacters) {
  const std::string utf8 = "A\xC3\xA9\xE6\x97\xA5\xF0\x9F\x98\x80";  // A, e-acute, a CJK character, an emoji
  const std::wstring wide = common::Utf8ToWide(utf8);
  ASSERT_EQ(wide.size(), 5u);  // the emoji is a surrogate pair
  EXPECT_EQ(static_cast<char16_t>(wide[2]), u'\u65E5');
  EXPECT_EQ(common::WideToUtf8(wide), utf8);
}

TEST(Utf8Wide, InvalidBytesBecomeReplacementCharacters) {
  EXPECT_EQ(common::Utf8ToWide("a\xFF" "b"), std::wstring(L"a\xFFFD" L"b"));
  EXPECT_EQ(common::Utf8ToWide("\xE6\x97"), std::wstring(L"\xFFFD"));  // cut short
  const wchar_t lone[] = {static_cast<wchar_t>(0xD800), L'x', 0};
  EXPECT_EQ(common::WideToUtf8(lone), "\xEF\xBF\xBDx");
}

TEST(Utf16Le, DecodesTwoBytesAUnitAndDropsAnOddLastByte) {
  const std::string bytes("\xFF\xFE" "A\0" "\xE5\x65" "\x0A", 7);
  const std::wstring wide = common::Utf16LeToWide(bytes);
  ASSERT_EQ(wide.size(), 3u);
  EXPECT_EQ(static_cast<char16_t>(wide[0]), u'\uFEFF');
  EXPECT_EQ(wide[1], L'A');
  EXPECT_EQ(static_cast<char16_t>(wide[2]), u'\u65E5');
  EXPECT_EQ(common::WideToUtf16Le(wide), bytes.substr(0, 6));
}

TEST(HexUpper, PadsToWidthAndNeverCuts) {
  EXPECT_EQ(common::HexUpper(0x1020480, 8), "01020480");
  EXPECT_EQ(common::HexUpper(0, 4), "0000");
  EXPECT_EQ(common::HexUpper(0xFDFF0005u, 2), "FDFF0005");
}

}  // namespace
