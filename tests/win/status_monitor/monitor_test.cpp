// The built monitor, started like a user would, beside the printer stand-in.
#include <gtest/gtest.h>

#include "robot.h"
#include "status_monitor/win/main_window.h"

namespace monitor::win {
namespace {

constexpr char kThreePrinters[] =
    "[Printer0]\nConnected=1\nStatus=ready\nState=ready\nInkType=YMCKOP\nInkQuantity=40\n"
    "[Printer1]\nConnected=1\nStatus=printing\nState=printing\n"
    "[Printer2]\nConnected=1\nStatus=ready\nState=ready\n";

HWND Control(HWND window, Ctl control) { return robot::DescendantById(window, MainWindow::ControlId(control)); }

TEST(Monitor, ListsThreeVirtualPrintersAndFollowsTheStateFile) {
  robot::TempFolder folder;
  const std::wstring state = folder / L"printers.ini";
  ASSERT_TRUE(robot::WriteFile(state, kThreePrinters));
  auto monitor = robot::Process::Start(robot::ProgramFolder() + L"\\TPX800StatusMonitor.exe", {L"QLC07RT_STATE=" + state});
  ASSERT_TRUE(monitor.Started());

  HWND window = robot::WaitForWindowOf(monitor.Id(), MainWindow::kWindowClass, L"TPX800 Status Monitor", 20000);
  ASSERT_NE(window, nullptr);
  HWND combo = Control(window, {"Combo0"});
  EXPECT_TRUE(robot::IsEnabled(combo));
  EXPECT_EQ(robot::ComboItems(combo), (std::vector<std::wstring>{L"1", L"2", L"3"}));
  HWND status = Control(window, {"Label0_1"});
  EXPECT_TRUE(robot::WaitUntil([&] { return robot::TextOf(status) == L"Ready"; }, 5000)) << robot::TextOf(status);
  EXPECT_EQ(robot::TextOf(Control(window, {"Label0_2", 0})), L"80");

  // Open the door of printer 1 while the monitor runs: the next poll shows it.
  std::string doorOpen = kThreePrinters;
  doorOpen.replace(doorOpen.find("Status=ready"), 12, "Status=door_open");
  ::Sleep(1100);  // a new modification time for the file
  ASSERT_TRUE(robot::WriteFile(state, doorOpen));
  EXPECT_TRUE(robot::WaitUntil(
      [&] { return robot::TextOf(status) == L"Error(01020480 : Printer Door is opened. Please close the door.)"; }, 8000))
      << robot::TextOf(status);

  ::PostMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(monitor.Wait(10000), 0u) << "closing the window ends the program without a question";
}

TEST(Monitor, WithoutTheLibraryShowsItsMessageAndEnds) {
  robot::TempFolder folder;  // the monitor alone, without QLC07RT.dll beside it
  ASSERT_TRUE(robot::CopyInto(robot::ProgramFolder() + L"\\TPX800StatusMonitor.exe", folder.Path()));
  auto monitor = robot::Process::Start(folder / L"TPX800StatusMonitor.exe");
  ASSERT_TRUE(monitor.Started());
  HWND box = robot::WaitForMessageBox(monitor.Id(), 20000);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(robot::TextOf(box), L"TPX800 Status Monitor");
  EXPECT_EQ(robot::MessageBoxText(box), L"KV Port Manager is not found. Status Monitor ends.");
  robot::PressButton(box, IDOK);
  EXPECT_EQ(monitor.Wait(10000), 0u);
}

}  // namespace
}  // namespace monitor::win
