#include "common/win/handles.h"

#include <gtest/gtest.h>

namespace {

using common::win::UniqueFile;
using common::win::UniqueHandle;

TEST(UniqueHandles, CloseOnResetAndMoveOwnership) {
  UniqueHandle event(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
  ASSERT_TRUE(event);
  const HANDLE raw = event.get();
  UniqueHandle moved(std::move(event));
  EXPECT_FALSE(event);
  EXPECT_EQ(moved.get(), raw);
  moved.reset();
  SetLastError(0xdeadbeef);
  DWORD flags = 0;
  EXPECT_FALSE(::GetHandleInformation(raw, &flags));
  EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST(UniqueHandles, FileHandleTreatsInvalidHandleValueAsEmpty) {
  UniqueFile none(::CreateFileW(L"Z:\\no\\such\\folder\\file.txt", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  EXPECT_FALSE(none);
  EXPECT_EQ(none.get(), INVALID_HANDLE_VALUE);
}

}  // namespace
