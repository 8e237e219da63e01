#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "common/text.h"
#include "resources/setup_menu/setup_ids.h"
#include "robot.h"

namespace {

constexpr wchar_t kEntry[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\TestMenuMonitor";
constexpr DWORD kWait = 20000;

void RemoveEntry() { ::RegDeleteKeyW(HKEY_LOCAL_MACHINE, kEntry); }

// A configuration whose commands run the recorder with a word naming the process.
std::string TestConfiguration() {
  std::wstring text = L"\xFEFF; test configuration\r\n[Title-E]\r\nMenu under test\r\n-18,Arial\r\n";
  for (int n = 1; n <= 12; ++n) {
    const std::wstring word = (n % 2 ? L"driver-install-" : L"driver-uninstall-") + std::to_wstring(n);
    text += L"[Process-" + std::to_wstring(n) + L"]\r\n";
    for (int language = 0; language < 3; ++language) text += L"setup_menu_recorder.exe " + word + L"\r\n";
  }
  text += L"[Process-13]\r\nsetup_menu_recorder.exe monitor-install\r\n\r\n";
  text += L"[Process-14]\r\nTestMenuMonitor\r\n";
  text += L"[Process-15]\r\n  setup_menu_recorder.exe clean-up  \r\n";
  return common::WideToUtf16Le(text);
}

std::vector<std::string> RecordedLines(const std::wstring& file) {
  std::ifstream in(common::WideToUtf8(file), std::ios::binary);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// Whether the menu, of this test's bitness, runs as a 32-bit process on 64-bit Windows, where it
// takes the slot's driver commands (offset 8).
bool RunsAs32BitOn64BitWindows() {
  BOOL wow64 = FALSE;
  return ::IsWow64Process(::GetCurrentProcess(), &wow64) && wow64;
}

bool Checked(HWND dialog, int id) {
  return ::SendMessageW(robot::DescendantById(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}
bool Enabled(HWND dialog, int id) { return robot::IsEnabled(robot::DescendantById(dialog, id)); }

class SetupMenu : public ::testing::Test {
 protected:
  void SetUp() override {
    RemoveEntry();
    ASSERT_TRUE(robot::CopyInto(robot::ProgramFolder() + L"\\setup.exe", folder_.Path()));
  }
  void TearDown() override { RemoveEntry(); }

  // Waits for the menu dialog that is not `previous` (a closed one).
  HWND NextDialog(const robot::Process& menu, HWND previous = nullptr) {
    HWND found = nullptr;
    robot::WaitUntil(
        [&] {
          found = robot::FindWindowOf(menu.Id(), L"#32770", L"Card Printer");
          return found && found != previous;
        },
        kWait);
    return found != previous ? found : nullptr;
  }

  robot::TempFolder folder_;
};

TEST_F(SetupMenu, RunsTheTickedComponentsInOrderAndComesBack) {
  ASSERT_TRUE(robot::CopyInto(robot::ProgramFolder() + L"\\setup_menu_recorder.exe", folder_.Path()));
  ASSERT_TRUE(robot::WriteFile(folder_ / L"setup.ini", TestConfiguration()));
  const std::wstring record = folder_ / L"record.txt";

  robot::Process menu = robot::Process::Start(folder_ / L"setup.exe");
  ASSERT_TRUE(menu.Started());
  HWND dialog = NextDialog(menu);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(robot::TextOf(robot::DescendantById(dialog, IDC_HEADING)), L"Menu under test");
  EXPECT_TRUE(Checked(dialog, IDC_INSTALL));
  EXPECT_TRUE(Checked(dialog, IDC_INSTALL_DRIVER));
  EXPECT_TRUE(Checked(dialog, IDC_INSTALL_MONITOR));
  EXPECT_FALSE(Enabled(dialog, IDC_UNINSTALL_DRIVER));
  EXPECT_FALSE(::IsWindowVisible(robot::DescendantById(dialog, IDC_LANGUAGE)));

  // A 32-bit menu on 64-bit Windows takes the slot's commands, the status monitor first; otherwise
  // (Vista and later, as Wine reports itself) the USB driver comes first.
  const bool slot = RunsAs32BitOn64BitWindows();
  const std::vector<std::string> installed = slot ? std::vector<std::string>{"monitor-install", "driver-install-11"}
                                                  : std::vector<std::string>{"driver-install-5", "monitor-install"};
  robot::Click(robot::DescendantById(dialog, IDC_NEXT));
  HWND second = NextDialog(menu, dialog);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(RecordedLines(record), installed);
  EXPECT_FALSE(Checked(second, IDC_INSTALL_DRIVER)) << "driver done";
  EXPECT_FALSE(Checked(second, IDC_INSTALL_MONITOR)) << "monitor installed";
  EXPECT_TRUE(Enabled(second, IDC_INSTALL_MONITOR));

  robot::Click(robot::DescendantById(second, IDC_UNINSTALL));
  ASSERT_TRUE(robot::WaitUntil([&] { return Checked(second, IDC_UNINSTALL); }, kWait));
  EXPECT_TRUE(Checked(second, IDC_UNINSTALL_DRIVER));
  EXPECT_TRUE(Checked(second, IDC_UNINSTALL_MONITOR));
  EXPECT_FALSE(Checked(second, IDC_CLEAN_UP));
  EXPECT_TRUE(Enabled(second, IDC_CLEAN_UP));
  EXPECT_FALSE(Enabled(second, IDC_INSTALL_DRIVER));
  robot::Click(robot::DescendantById(second, IDC_CLEAN_UP));
  ASSERT_TRUE(robot::WaitUntil([&] { return Checked(second, IDC_CLEAN_UP); }, kWait));
  robot::Click(robot::DescendantById(second, IDC_NEXT));

  // The uninstall command is the one the "installer" registered while the menu ran.
  HWND third = NextDialog(menu, second);
  ASSERT_NE(third, nullptr);
  std::vector<std::string> all = installed;
  for (const char* line : {slot ? "driver-uninstall-12" : "driver-uninstall-6", "monitor-uninstall", "clean-up"}) {
    all.push_back(line);
  }
  EXPECT_EQ(RecordedLines(record), all);
  robot::Click(robot::DescendantById(third, IDC_EXIT));
  EXPECT_EQ(menu.Wait(kWait), 0u);
}

TEST_F(SetupMenu, TheOpenDocumentFolderButtonRunsItsCommand) {
  ASSERT_TRUE(robot::CopyInto(robot::ProgramFolder() + L"\\setup_menu_recorder.exe", folder_.Path()));
  ASSERT_TRUE(robot::WriteFile(
      folder_ / L"setup.ini",
      common::WideToUtf16Le(L"[Title-E]\nDocuments\n\n[Process-0]\n\"setup_menu_recorder.exe\" documents\n")));
  robot::Process menu = robot::Process::Start(folder_ / L"setup.exe");
  HWND dialog = NextDialog(menu);
  ASSERT_NE(dialog, nullptr);
  robot::Click(robot::DescendantById(dialog, IDC_DOCUMENTS));
  HWND again = NextDialog(menu, dialog);
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(RecordedLines(folder_ / L"record.txt"), std::vector<std::string>{"documents"});
  ::PostMessageW(again, WM_CLOSE, 0, 0);  // closing the window is Exit
  EXPECT_EQ(menu.Wait(kWait), 0u);
}

TEST_F(SetupMenu, AMissingConfigurationFileIsReportedAndEndsTheProgram) {
  robot::Process menu = robot::Process::Start(folder_ / L"setup.exe");
  HWND box = robot::WaitForMessageBox(menu.Id(), kWait);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(robot::TextOf(box), L"setup");
  EXPECT_EQ(robot::MessageBoxText(box), L"Cannot open an initialization file.");
  robot::PressButton(box, IDOK);
  EXPECT_EQ(menu.Wait(kWait), 1u);
}

}  // namespace
