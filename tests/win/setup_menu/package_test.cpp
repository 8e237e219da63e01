// The distribution's own setup.exe and setup.ini: the status monitor entry starts the package's
// appsetup from the Monitor folder, and the menu comes back when it ends.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "resources/setup_menu/setup_ids.h"
#include "robot.h"
#include "tests/win/package/distribution.h"

namespace {

constexpr DWORD kWait = 20000;

using package_test::Distribution;

struct ProgramSearch {
  const std::wstring* tail;
  HWND found;
};

BOOL CALLBACK MatchProgram(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<ProgramSearch*>(context);
  if (!::IsWindowVisible(window)) return TRUE;
  DWORD owner = 0;
  ::GetWindowThreadProcessId(window, &owner);
  const std::wstring image = robot::ImagePathOf(owner);
  const std::wstring& tail = *search->tail;
  if (image.size() < tail.size() || ::lstrcmpiW(image.c_str() + image.size() - tail.size(), tail.c_str()) != 0) {
    return TRUE;
  }
  search->found = window;
  return FALSE;
}

// A visible top-level window of a program whose path ends with `tail`.
HWND WindowOfProgram(const std::wstring& tail) {
  ProgramSearch search{&tail, nullptr};
  ::EnumWindows(MatchProgram, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

bool Checked(HWND dialog, int id) {
  return ::SendMessageW(robot::DescendantById(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

TEST(PackageMenu, TheStatusMonitorEntryStartsThePackagesInstaller) {
  if (::GetFileAttributesW((Distribution() + L"\\Monitor\\appsetup.exe").c_str()) == INVALID_FILE_ATTRIBUTES) {
    GTEST_SKIP() << "appsetup is not part of this build";
  }
  robot::Process menu = robot::Process::Start(Distribution() + L"\\setup.exe");
  HWND dialog = robot::WaitForWindowOf(menu.Id(), L"#32770", L"Card Printer", kWait);
  ASSERT_NE(dialog, nullptr);
  const LANGID language = ::GetSystemDefaultLangID();
  if (language != 1041 && language != 2052) {
    EXPECT_EQ(robot::TextOf(robot::DescendantById(dialog, IDC_HEADING)), L"ORV TPX800 Card Printer Software");
  }
  EXPECT_TRUE(Checked(dialog, IDC_INSTALL_MONITOR)) << "not installed in a fresh prefix";

  robot::Click(robot::DescendantById(dialog, IDC_INSTALL_DRIVER));
  ASSERT_TRUE(robot::WaitUntil([&] { return !Checked(dialog, IDC_INSTALL_DRIVER); }, kWait));
  robot::Click(robot::DescendantById(dialog, IDC_NEXT));

  HWND installer = nullptr;
  ASSERT_TRUE(robot::WaitUntil([&] { return (installer = WindowOfProgram(L"\\Monitor\\appsetup.exe")) != nullptr; },
                               kWait));
  EXPECT_EQ(robot::FindWindowOf(menu.Id(), L"#32770", L"Card Printer"), nullptr) << "no menu while it runs";
  DWORD installerId = 0;
  ::GetWindowThreadProcessId(installer, &installerId);
  common::win::UniqueHandle process(::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, installerId));
  ASSERT_TRUE(process);
  ::TerminateProcess(process.get(), 3);

  HWND again = robot::WaitForWindowOf(menu.Id(), L"#32770", L"Card Printer", kWait);
  ASSERT_NE(again, nullptr);
  EXPECT_FALSE(Checked(again, IDC_INSTALL_MONITOR)) << "counted as installed whatever the installer's end";
  robot::Click(robot::DescendantById(again, IDC_EXIT));
  EXPECT_EQ(menu.Wait(kWait), 0u);
}

}  // namespace
