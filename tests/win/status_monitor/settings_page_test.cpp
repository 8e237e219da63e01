// The built monitor's "Printer Setting" page against the printer stand-in: a changed level and
// offset are written to the virtual printer, come back with Refresh and after a restart.
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "robot.h"
#include "status_monitor/common.h"
#include "status_monitor/win/kvcmd_library.h"
#include "status_monitor/win/main_window.h"

namespace monitor::win {
namespace {

constexpr char kOnePrinter[] =
    "[Printer0]\nConnected=1\nStatus=ready\nState=ready\nOptions=iso_mag\nIsoCoercivity=1\n"
    "YmcPrintLevel=3\nPositionX=7\n";

HWND Control(HWND window, Ctl control) { return robot::DescendantById(window, MainWindow::ControlId(control)); }

// Selects a page of the tab control with mouse clicks along its tab row (a notification sent from
// another process would not reach the window), until a control of that page shows.
bool SelectPage(HWND window, HWND pageControl) {
  HWND tab = Control(window, {"SSTab1"});
  for (int x = 4; x < 600 && !::IsWindowVisible(pageControl); x += 12) {
    ::PostMessageW(tab, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, 10));
    ::PostMessageW(tab, WM_LBUTTONUP, 0, MAKELPARAM(x, 10));
    robot::WaitUntil([&] { return ::IsWindowVisible(pageControl) != FALSE; }, 300);
  }
  return ::IsWindowVisible(pageControl) != FALSE;
}

// What a slider sends its window when the user clicks one of its arrows.
void ClickArrow(HWND slider, int request, int times) {
  for (int i = 0; i < times; ++i) {
    ::PostMessageW(::GetParent(slider), WM_HSCROLL, MAKEWPARAM(request, 0), reinterpret_cast<LPARAM>(slider));
  }
}

bool Answer(DWORD processId, const std::wstring& question) {
  HWND box = robot::WaitForMessageBox(processId, 10000);
  if (!box) return false;
  const bool asked = robot::MessageBoxText(box) == question;
  robot::PressButton(box, IDOK);
  return asked;
}

struct NoEvents : EventLoop {
  void StartTimer(TimerId, int) override {}
  void StopTimer(TimerId) override {}
  bool WaitForNextEvent() override { return false; }
  void ProcessPendingEvents() override {}
};

class SettingsPage : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(robot::WriteFile(state_, kOnePrinter)); }

  robot::Process Start() {
    return robot::Process::Start(robot::ProgramFolder() + L"\\TPX800StatusMonitor.exe", {L"QLC07RT_STATE=" + state_});
  }
  // The settings page of a started monitor, its level slider at the shown value.
  HWND OpenSettings(const robot::Process& monitor, const std::wstring& level) {
    HWND window = robot::WaitForWindowOf(monitor.Id(), MainWindow::kWindowClass, L"TPX800 Status Monitor", 20000);
    if (!window) return nullptr;
    if (!SelectPage(window, Control(window, {"HScroll1", 0}))) return nullptr;
    HWND label = Control(window, {"Label1_3", 0});
    return robot::WaitUntil([&] { return robot::TextOf(label) == level; }, 5000) ? window : nullptr;
  }

  robot::TempFolder folder_;
  std::wstring state_ = folder_ / L"printers.ini";
};

TEST_F(SettingsPage, UpdateWritesTheVirtualPrinterAndRefreshShowsItAgain) {
  auto monitor = Start();
  ASSERT_TRUE(monitor.Started());
  HWND window = OpenSettings(monitor, L"0");
  ASSERT_NE(window, nullptr);
  HWND level = Control(window, {"Label1_3", 0});
  HWND offsetX = Control(window, {"Label1_3", 4});
  EXPECT_EQ(robot::TextOf(offsetX), L"0");
  EXPECT_TRUE(::IsWindowVisible(Control(window, {"Frame1", 8})));
  EXPECT_FALSE(::IsWindowVisible(Control(window, {"Opt1_3", 0}))) << "the \"None\" option never shows";

  ClickArrow(Control(window, {"HScroll1", 0}), SB_LINERIGHT, 2);
  ClickArrow(Control(window, {"HScroll1", 4}), SB_LINELEFT, 3);
  EXPECT_TRUE(robot::WaitUntil([&] { return robot::TextOf(level) == L"2" && robot::TextOf(offsetX) == L"-3"; }, 5000));
  robot::Click(Control(window, {"Cmd1", 0}));
  ASSERT_TRUE(Answer(monitor.Id(), L"Would you like to change Printer Setting?"));

  // The virtual printer now answers with the new bytes.
  std::string text;
  ASSERT_TRUE(robot::WaitUntil(
      [&] {
        std::ifstream file{std::filesystem::path(state_)};
        std::stringstream content;
        content << file.rdbuf();
        text = content.str();
        return text.find("YmcPrintLevel=5") != std::string::npos && text.find("PositionX=4") != std::string::npos;
      },
      10000))
      << text;
  {
    ::SetEnvironmentVariableW(L"QLC07RT_STATE", state_.c_str());
    KvcmdLibrary library;
    NoEvents events;
    Common common(library, events);
    ASSERT_EQ(common.ScanPrinters(), 0);
    std::array<uint8_t, 256> page{};
    ASSERT_EQ(library.ModeSense(common.Printers().selected, 0x28, page.data()).code, 0);
    EXPECT_EQ(page[4], 0x28);
    EXPECT_EQ(page[38], 5);
    ASSERT_EQ(library.ModeSense(common.Printers().selected, 0x2B, page.data()).code, 0);
    EXPECT_EQ(page[7], 4);
    ASSERT_EQ(library.ModeSense(common.Printers().selected, 0x2A, page.data()).code, 0);
    EXPECT_EQ(page[6], 1) << "the ISO coercivity went back as shown";
    ::SetEnvironmentVariableW(L"QLC07RT_STATE", nullptr);
  }

  // An unsent change is replaced by what the printer holds when Refresh reads it again.
  ClickArrow(Control(window, {"HScroll1", 0}), SB_LINERIGHT, 1);
  EXPECT_TRUE(robot::WaitUntil([&] { return robot::TextOf(level) == L"3"; }, 5000));
  robot::Click(Control(window, {"Cmd1", 1}));
  ASSERT_TRUE(Answer(monitor.Id(), L"Would you like to refresh Printer Setting?"));
  EXPECT_TRUE(robot::WaitUntil([&] { return robot::TextOf(level) == L"2"; }, 5000)) << robot::TextOf(level);
  EXPECT_EQ(robot::TextOf(offsetX), L"-3");

  ::PostMessageW(window, WM_CLOSE, 0, 0);
  ASSERT_EQ(monitor.Wait(10000), 0u);

  // A new monitor shows the stored settings.
  auto again = Start();
  HWND restarted = OpenSettings(again, L"2");
  ASSERT_NE(restarted, nullptr);
  EXPECT_EQ(robot::TextOf(Control(restarted, {"Label1_3", 4})), L"-3");
  ::PostMessageW(restarted, WM_CLOSE, 0, 0);
  EXPECT_EQ(again.Wait(10000), 0u);
}

TEST_F(SettingsPage, IndicatorsOfTheOtherPagesCannotBeChangedByAClick) {
  auto monitor = Start();
  HWND window = robot::WaitForWindowOf(monitor.Id(), MainWindow::kWindowClass, L"TPX800 Status Monitor", 20000);
  ASSERT_NE(window, nullptr);
  HWND check = Control(window, {"Check3", 1});  // no JIS encoder on this printer
  ASSERT_TRUE(SelectPage(window, check));
  HWND iso = Control(window, {"Check3", 0});
  EXPECT_TRUE(robot::WaitUntil([&] { return ::SendMessageW(iso, BM_GETCHECK, 0, 0) == BST_CHECKED; }, 5000));
  EXPECT_EQ(robot::TextOf(Control(window, {"Label3", 2})), L"1");
  ::PostMessageW(check, BM_CLICK, 0, 0);
  ::Sleep(500);
  EXPECT_EQ(::SendMessageW(check, BM_GETCHECK, 0, 0), BST_UNCHECKED);

  HWND ribbonK = Control(window, {"Opt2", 1});
  ASSERT_TRUE(SelectPage(window, ribbonK));
  HWND ribbon = Control(window, {"Opt2", 0});
  EXPECT_TRUE(robot::WaitUntil([&] { return ::SendMessageW(ribbon, BM_GETCHECK, 0, 0) == BST_CHECKED; }, 5000));
  ::PostMessageW(ribbonK, BM_CLICK, 0, 0);
  ::Sleep(500);
  EXPECT_EQ(::SendMessageW(ribbonK, BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_EQ(::SendMessageW(ribbon, BM_GETCHECK, 0, 0), BST_CHECKED);
  ::PostMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(monitor.Wait(10000), 0u);
}

}  // namespace
}  // namespace monitor::win
