// End to end: Install.exe and Uninstall.exe started like a user would, in a folder with the wizard,
// the support library stand-in (its OS code chosen per test) and the wizard host stand-in.
#include <windows.h>
#include <prsht.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "robot.h"
#include "setup_wizard/support_abi.h"

namespace {

// Both wizard names hold the wizard built for this test's architecture, so each path can run here.
const std::wstring kBuiltWizard = sizeof(void*) == 8 ? L"KVSETUPW64.DLL" : L"KVSETUPW.DLL";
constexpr DWORD kFailed = static_cast<DWORD>(-1);
constexpr DWORD kTimeout = 20000;
constexpr wchar_t kInstallTitle[] = L"Installation of TPX800 printer";
constexpr wchar_t kDeleteTitle[] = L"Delete the TPX800 printer";

struct TitleSearch {
  const std::wstring* title;
  HWND found;
};

BOOL CALLBACK MatchTitle(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<TitleSearch*>(context);
  if (!::IsWindowVisible(window) || robot::TextOf(window) != *search->title) return TRUE;
  search->found = window;
  return FALSE;
}

// A visible top-level window of any process with that title.
HWND WaitForTitle(const std::wstring& title) {
  TitleSearch search{&title, nullptr};
  robot::WaitUntil([&] { return ::EnumWindows(&MatchTitle, reinterpret_cast<LPARAM>(&search)), search.found; },
                   kTimeout);
  return search.found;
}

using robot::ImageNameOf;
using robot::ProcessOf;

void Cancel(HWND sheet) { ::PostMessageW(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0); }

class Launchers : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::wstring built = robot::ProgramFolder() + L"\\";
    for (const wchar_t* file : {L"Install.exe", L"Uninstall.exe", L"LMOSSUPW.DLL", support_abi::kLibraryFileName, L"KVSETUPW64.EXE"}) {
      ASSERT_TRUE(robot::CopyInto(built + file, folder.Path())) << file;
    }
    for (const wchar_t* name : {L"KVSETUPW.DLL", L"KVSETUPW64.DLL"}) {
      ASSERT_TRUE(::CopyFileW((built + kBuiltWizard).c_str(), (folder / name).c_str(), FALSE));
    }
    ASSERT_TRUE(robot::WriteFile(folder / L"KVSetup.ini", "[Information]\r\nVersion=1.20\r\nProducts=TPX800\r\n"));
  }

  void SetOsCode(const std::string& code) {
    ASSERT_TRUE(robot::WriteFile(folder / L"state.ini", "[System]\r\nOsCode=" + code + "\r\n"));
  }

  robot::Process Start(const std::wstring& program) {
    return robot::Process::Start(folder / program, {L"LMOSSUPW_STATE=" + (folder / L"state.ini")});
  }

  // The launcher's own window: class LumoSetupClass, titled "SETUP Wizard".
  HWND LauncherWindow(const robot::Process& launcher) {
    return robot::WaitForWindowOf(launcher.Id(), L"LumoSetupClass", L"SETUP Wizard", kTimeout);
  }

  // The launcher's error box: its text, after pressing OK.
  std::wstring AnswerErrorBox(const robot::Process& launcher) {
    HWND box = robot::WaitForWindowOf(launcher.Id(), L"#32770", L"SETUP Wizard", kTimeout);
    if (!box) return L"(no message box)";
    const std::wstring text = robot::MessageBoxText(box);
    robot::PressButton(box, IDOK);
    return text;
  }

  void Remove(const wchar_t* file) { ASSERT_TRUE(::DeleteFileW((folder / file).c_str())); }

  robot::TempFolder folder;
};

TEST_F(Launchers, InstallOn32BitWindowsRunsTheWizardInItsOwnProcessUnderItsWindow) {
  SetOsCode("0x0600");
  robot::Process install = Start(L"Install.exe");
  ASSERT_TRUE(install.Started());
  HWND window = LauncherWindow(install);
  ASSERT_NE(window, nullptr);

  // A 0 x 0 window at the screen's centre, marked with the instance name.
  RECT rect{};
  ::GetWindowRect(window, &rect);
  EXPECT_EQ(rect.left, ::GetSystemMetrics(SM_CXSCREEN) / 2);
  EXPECT_EQ(rect.top, ::GetSystemMetrics(SM_CYSCREEN) / 2);
  EXPECT_EQ(rect.right - rect.left, 0);
  EXPECT_EQ(rect.bottom - rect.top, 0);
  std::wstring instanceName = folder / L"Install.exe";
  for (wchar_t& c : instanceName) c = c == L'\\' ? L'_' : c;
  EXPECT_EQ(::GetPropW(window, instanceName.c_str()), reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(-1)));

  HWND sheet = WaitForTitle(kInstallTitle);
  ASSERT_NE(sheet, nullptr);
  EXPECT_EQ(ProcessOf(sheet), install.Id());
  EXPECT_EQ(::GetWindow(sheet, GW_OWNER), window);
  // Centred on the screen, not hanging from the 0 x 0 owner to the lower right.
  RECT sheetRect{}, work{};
  ::GetWindowRect(sheet, &sheetRect);
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  EXPECT_LE(std::abs((sheetRect.left + sheetRect.right) / 2 - (work.left + work.right) / 2), 2);
  EXPECT_LE(std::abs((sheetRect.top + sheetRect.bottom) / 2 - (work.top + work.bottom) / 2), 2);
  Cancel(sheet);
  EXPECT_EQ(install.Wait(kTimeout), 0u);
}

TEST_F(Launchers, UninstallOn32BitVistaRunsTheDeleteWizardInProcess) {
  SetOsCode("0x0A00");
  robot::Process uninstall = Start(L"Uninstall.exe");
  HWND sheet = WaitForTitle(kDeleteTitle);
  ASSERT_NE(sheet, nullptr);
  EXPECT_EQ(ProcessOf(sheet), uninstall.Id());
  Cancel(sheet);
  EXPECT_EQ(uninstall.Wait(kTimeout), 0u);
}

TEST_F(Launchers, On64BitWindowsTheHostRunsTheWizardInTheLaunchersMode) {
  struct Case {
    const char* osCode;
    const wchar_t* program;
    const wchar_t* title;
  };
  for (const Case& c : {Case{"0x0B00", L"Install.exe", kInstallTitle}, Case{"0x0800", L"Uninstall.exe", kDeleteTitle},
                        Case{"0x0901", L"Install.exe", kInstallTitle}}) {
    SCOPED_TRACE(c.osCode);
    SetOsCode(c.osCode);
    robot::Process launcher = Start(c.program);
    HWND sheet = WaitForTitle(c.title);
    ASSERT_NE(sheet, nullptr);
    EXPECT_NE(ProcessOf(sheet), launcher.Id());
    EXPECT_EQ(ImageNameOf(ProcessOf(sheet)), L"KVSETUPW64.EXE");
    // The launcher waits for the host to end.
    EXPECT_EQ(launcher.Wait(500), static_cast<DWORD>(STILL_ACTIVE));
    Cancel(sheet);
    EXPECT_EQ(launcher.Wait(kTimeout), 0u);
    EXPECT_FALSE(::IsWindow(sheet));
  }
}

TEST_F(Launchers, SecondStartBringsTheFirstForwardAndEndsWithMinusOne) {
  SetOsCode("0x0600");
  robot::Process first = Start(L"Install.exe");
  HWND window = LauncherWindow(first);
  HWND sheet = WaitForTitle(kInstallTitle);
  ASSERT_NE(window, nullptr);
  ASSERT_NE(sheet, nullptr);

  // Someone else has the foreground and the first launcher is minimised.
  HWND other = ::CreateWindowExW(0, L"STATIC", L"Other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr,
                                 nullptr, nullptr);
  ::SetForegroundWindow(other);
  ::ShowWindow(window, SW_MINIMIZE);
  ASSERT_TRUE(robot::WaitUntil([&] { return ::IsIconic(window) != FALSE; }, kTimeout));

  robot::Process second = Start(L"Install.exe");
  EXPECT_EQ(second.Wait(kTimeout), kFailed);
  EXPECT_TRUE(robot::WaitUntil([&] { return !::IsIconic(window); }, kTimeout));
  EXPECT_TRUE(robot::WaitUntil([&] { return ::GetForegroundWindow() == sheet; }, kTimeout))
      << "foreground: " << ::GetForegroundWindow();
  ::DestroyWindow(other);

  // The first one runs on undisturbed.
  EXPECT_EQ(first.Wait(0), static_cast<DWORD>(STILL_ACTIVE));
  Cancel(sheet);
  EXPECT_EQ(first.Wait(kTimeout), 0u);
}

TEST_F(Launchers, UnsupportedSystemsAreRefusedWithoutAWizard) {
  for (const char* code : {"0x04FF", "0x0C00"}) {
    SCOPED_TRACE(code);
    SetOsCode(code);
    robot::Process install = Start(L"Install.exe");
    EXPECT_EQ(AnswerErrorBox(install), L"Unsupported Operating System.");
    EXPECT_EQ(install.Wait(kTimeout), kFailed);
  }
}

TEST_F(Launchers, MissingModulesAreReportedAsLoadingFailures) {
  SetOsCode("0x0600");
  Remove(L"KVSETUPW.DLL");
  robot::Process install = Start(L"Install.exe");
  EXPECT_EQ(AnswerErrorBox(install), L"Loading of a module is failure.");
  EXPECT_EQ(install.Wait(kTimeout), kFailed);

  SetOsCode("0x0B00");
  Remove(L"KVSETUPW64.EXE");
  robot::Process uninstall = Start(L"Uninstall.exe");
  EXPECT_EQ(AnswerErrorBox(uninstall), L"Loading of a module is failure.");
  EXPECT_EQ(uninstall.Wait(kTimeout), kFailed);

  Remove(L"LMOSSUPW.DLL");
  robot::Process again = Start(L"Install.exe");
  EXPECT_EQ(AnswerErrorBox(again), L"Loading of a module is failure.");
  EXPECT_EQ(again.Wait(kTimeout), kFailed);
}

}  // namespace
