#include "common/win_path.h"

#include <gtest/gtest.h>

namespace {

TEST(WinPath, SplitsAndJoinsWithOneBackslash) {
  EXPECT_EQ(common::DirectoryOf(L"C:\\Program Files\\TPX\\mon.exe"), L"C:\\Program Files\\TPX");
  EXPECT_EQ(common::FileNameOf(L"C:\\Program Files\\TPX\\mon.exe"), L"mon.exe");
  EXPECT_EQ(common::DirectoryOf(L"mon.exe"), L"");
  EXPECT_EQ(common::JoinPath(L"C:\\a", L"READY.gif"), L"C:\\a\\READY.gif");
  EXPECT_EQ(common::JoinPath(L"C:\\", L"READY.gif"), L"C:\\READY.gif");
  EXPECT_EQ(common::JoinPath(L"C:/a/", L"b"), L"C:/a/b");
}

}  // namespace
