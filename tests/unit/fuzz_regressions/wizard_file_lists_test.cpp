// Key lists read from ini text whose key names hold NUL characters.
#include <gtest/gtest.h>

#include <string>

#include "setup_wizard/profile_reader.h"
#include "setup_wizard/setup_information.h"

namespace setup_wizard {
namespace {

using namespace std::string_literals;

// The system lists key names NUL-separated and ended by an empty name; the in-memory reader gave
// a name with a NUL inside as one name, which the wizard then passed on as two files, or cut.
TEST(KeyNamesWithNul, ArriveAsTheSystemListsThem) {
  const IniTextProfile split(L"[Files]\na.dll\0b.dll=\nc.dll=\n"s);
  EXPECT_EQ(split.ReadKeyNames(L"Files"), (std::vector<std::wstring>{L"a.dll", L"b.dll", L"c.dll"}));

  const IniTextProfile ended(L"[Files]\na.dll\0\0b.dll=\nc.dll=\n"s);
  EXPECT_EQ(ended.ReadKeyNames(L"Files"), std::vector<std::wstring>{L"a.dll"});

  // Whatever the names, the list handed to the support library gives them back.
  for (const IniTextProfile* profile : {&split, &ended}) {
    const std::vector<std::wstring> names = profile->ReadKeyNames(L"Files");
    std::wstring joined = JoinFileList(names);
    std::vector<std::wstring> back;
    for (size_t at = 0; joined[at] != L'\0'; at = joined.find(L'\0', at) + 1) back.emplace_back(joined.c_str() + at);
    EXPECT_EQ(back, names);
  }
}

}  // namespace
}  // namespace setup_wizard
