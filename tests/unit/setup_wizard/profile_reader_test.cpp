#include <gtest/gtest.h>

#include "sample_files.h"
#include "setup_wizard/profile_reader.h"

using setup_wizard::IniTextProfile;
using setup_wizard::ProfileReader;

// The Windows tests hold every probe of the sample against the real API; these are the corners.
TEST(IniTextProfile, ReadsLikeTheProfileFunctions) {
  const IniTextProfile p(setup_wizard::samples::kProfileEdges);
  EXPECT_EQ(p.ReadString(L" spaced ", L" KEY ONE ", L""), L"value one");
  EXPECT_EQ(p.ReadString(L"Spaced", L"Half", L""), L"\"half");  // quotes go only in pairs
  EXPECT_EQ(p.ReadString(L"Spaced", L"Dup", L""), L"first");
  EXPECT_EQ(p.ReadString(L"Spaced", L"Late", L"dflt  "), L"dflt");  // only the first [Spaced] counts
  EXPECT_EQ(p.ReadInt(L"Spaced", L"Int3", 9), 31);
  EXPECT_EQ(p.ReadInt(L"Spaced", L"Int6", 9), 9);
  // Comments and lines without '=' are no keys; the nameless key ends the list.
  const std::vector<std::wstring> spaced = p.ReadKeyNames(L"SPACED");
  ASSERT_EQ(spaced.size(), 17u);
  EXPECT_EQ(spaced.back(), L"Int7");
  EXPECT_TRUE(p.ReadKeyNames(L" Spaced ").empty());
}

TEST(ProfileReader, SplitsFields) {
  EXPECT_EQ(ProfileReader::Field(L"  \"ORV TPX800 U1\"  ,Sec", 1), L"ORV TPX800 U1");
  EXPECT_EQ(ProfileReader::Field(L"'ORV TPX800 U2',Sec", 0), L"ORV TPX800 U2");
  EXPECT_EQ(ProfileReader::Field(L"a, Sec ,c", 2), L"Sec");
  EXPECT_EQ(ProfileReader::Field(L"\" in \"", 1), L" in ");
  EXPECT_EQ(ProfileReader::FieldCount(L""), 0);
  EXPECT_EQ(ProfileReader::FieldCount(L"a,,b,"), 4);
  // An over-long field is refused, not cut into another name.
  EXPECT_EQ(ProfileReader::Field(std::wstring(255, L'f') + L",x", 1).size(), 255u);
  EXPECT_EQ(ProfileReader::Field(std::wstring(256, L'f') + L",x", 1), L"");
  EXPECT_EQ(ProfileReader::NumericField(L" 7x"), 7);
  EXPECT_GT(ProfileReader::NumericField(L"99999999999999999999999"), 255);
}

TEST(ProfileReader, ValuesOf4095CharactersAndLongNamesReadEmpty) {
  const std::wstring longKey(128, L'k'), longSection(128, L's');
  const ProfileReader r(std::make_unique<IniTextProfile>(
      L"[S]\nA=" + std::wstring(4094, L'a') + L"\nB=" + std::wstring(4095, L'b') + L"\n" + longKey + L"=x\n[" +
      longSection + L"]\nK=x\n"));
  EXPECT_EQ(r.Value(L"S", L"A").size(), 4094u);
  EXPECT_EQ(r.Value(L"S", L"B"), L"");
  EXPECT_EQ(r.Value(L"S", longKey), L"");
  EXPECT_EQ(r.Value(longSection, L"K"), L"");
}
