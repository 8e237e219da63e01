// End to end: SetupWizardProc of the built wizard DLL, driven through its windows like a user.
#include <windows.h>
#include <prsht.h>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <thread>
#include <vector>

#include "common/win/handles.h"
#include "robot.h"
#include "setup_wizard/support_abi.h"
#include "stack_probe.h"

namespace {

using SetupWizardProcFn = int32_t(__stdcall*)(HWND, int32_t, const char*);

SetupWizardProcFn EntryOf(HMODULE module) {
  return module ? reinterpret_cast<SetupWizardProcFn>(
                      reinterpret_cast<void*>(::GetProcAddress(module, "SetupWizardProc")))
                : nullptr;
}

constexpr wchar_t kOwnerTitle[] = L"Wizard Test Owner";
const std::wstring kWizardDll = sizeof(void*) == 8 ? L"KVSETUPW64.DLL" : L"KVSETUPW.DLL";
constexpr char kGoodInfo[] = "[Information]\r\nVersion=1.20\r\nProducts=TPX800\r\n";

std::wstring ClassOf(HWND window) {
  wchar_t name[64] = {};
  ::GetClassNameW(window, name, 64);
  return name;
}

BOOL CALLBACK CollectOwnWindow(HWND window, LPARAM lParam) {
  DWORD pid = 0;
  ::GetWindowThreadProcessId(window, &pid);
  if (pid == ::GetCurrentProcessId() && ::IsWindowVisible(window)) {
    reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(window);
  }
  return TRUE;
}

// The visible top-level windows of this process.
std::vector<HWND> OwnWindows() {
  std::vector<HWND> windows;
  ::EnumWindows(&CollectOwnWindow, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

// The windows for failure messages; `close` also dismisses them.
std::string Windows(bool close = false) {
  std::string out;
  for (HWND window : OwnWindows()) {
    for (wchar_t c : L"[" + ClassOf(window) + L"] " + robot::TextOf(window) + L"; ") {
      out += c < 128 ? static_cast<char>(c) : '?';
    }
    if (close) {
      ::PostMessageW(window, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
      ::PostMessageW(window, WM_COMMAND, IDOK, 0);
    }
  }
  return out;
}

HWND WaitForTitle(const std::wstring& title) {
  return robot::WaitForWindowOf(::GetCurrentProcessId(), L"", title, 20000);
}

std::wstring DialogText(HWND dialog, int id) { return robot::TextOf(::GetDlgItem(dialog, id)); }

// Runs SetupWizardProc on its own thread with an owner window made there, as a launcher does.
class WizardCall {
 public:
  WizardCall(const std::wstring& dll, int mode) {
    // A launcher's own window thread is set up before it starts the wizard. Under Wine, a thread's
    // first window call sets up the display under a one-time lock and then waits for the loader
    // lock, while loading the wizard DLL holds the loader lock as comctl32 registers its classes and
    // waits for that one-time lock: the two threads would wait on each other.
    ::DestroyWindow(::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr));
    thread_ = std::thread([this, dll, mode] {
      common::win::UniqueModule module(::LoadLibraryW(dll.c_str()));
      const SetupWizardProcFn proc = EntryOf(module.get());
      if (!proc) {
        result_ = -100;
        return;
      }
      HWND owner = ::CreateWindowExW(0, L"STATIC", kOwnerTitle, WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr,
                                     nullptr);
      result_ = proc(owner, mode, "");
      ::DestroyWindow(owner);
    });
  }
  // A test that failed half-way leaves windows up: dismiss them so the call can end.
  ~WizardCall() {
    while (thread_.joinable() && result_ == -1) {
      Windows(true);
      ::Sleep(200);
    }
    if (thread_.joinable()) thread_.join();
  }
  int Result() {
    thread_.join();
    return result_;
  }

 private:
  std::thread thread_;
  std::atomic<int> result_{-1};
};

class WizardEntry : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(robot::CopyInto(robot::ProgramFolder() + L"\\" + kWizardDll, folder.Path()));
    ::SetEnvironmentVariableW(L"LMOSSUPW_STATE", (folder / L"state.ini").c_str());
  }
  void TearDown() override { ::SetEnvironmentVariableW(L"LMOSSUPW_STATE", nullptr); }
  std::wstring Wizard() const { return folder / kWizardDll; }
  void CopyLibrary(const std::wstring& built = support_abi::kLibraryFileName) {
    ASSERT_TRUE(::CopyFileW((robot::ProgramFolder() + L"\\" + built).c_str(), (folder / support_abi::kLibraryFileName).c_str(),
                            FALSE));
  }

  // The error box of a failed start: its caption is the owner's text; returns its text after OK.
  std::wstring AnswerErrorBox() {
    HWND box = robot::WaitForWindowOf(::GetCurrentProcessId(), L"#32770", kOwnerTitle, 20000);
    if (!box) {
      ADD_FAILURE() << "no message box: " << Windows();
      return {};
    }
    const std::wstring text = robot::MessageBoxText(box);
    robot::PressButton(box, IDOK);
    return text;
  }

  robot::TempFolder folder;
};

TEST_F(WizardEntry, InstallSheetIsTitledWelcomesAndCancelGivesZero) {
  CopyLibrary();
  robot::WriteFile(folder / L"KVSetup.ini", kGoodInfo);
  WizardCall call(Wizard(), 1);
  HWND sheet = WaitForTitle(L"Installation of TPX800 printer");
  ASSERT_NE(sheet, nullptr) << Windows();
  HWND page = reinterpret_cast<HWND>(::SendMessageW(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
  ASSERT_NE(page, nullptr);
  EXPECT_EQ(::GetDlgCtrlID(::GetDlgItem(page, 2106)), 2106);
  const std::wstring welcome = DialogText(page, 2106);
  EXPECT_EQ(welcome.rfind(L"Welcome to TPX800 printer installation.\n\nPlease exit", 0), 0u) << welcome;
  EXPECT_EQ(DialogText(page, 2105), L"Click Next to continue.");
  ::PostMessageW(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
  EXPECT_EQ(call.Result(), 0);
}

TEST_F(WizardEntry, DeleteSheetRefusesWithoutRightsAndCancelGivesZero) {
  CopyLibrary();
  robot::WriteFile(folder / L"KVSetup.ini", kGoodInfo);
  robot::WriteFile(folder / L"state.ini", "[System]\r\nPreconditions=0\r\nPreconditionStatus=5\r\n");
  WizardCall call(Wizard(), 0);
  HWND sheet = WaitForTitle(L"Delete the TPX800 printer");
  ASSERT_NE(sheet, nullptr) << Windows();
  HWND page = reinterpret_cast<HWND>(::SendMessageW(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
  EXPECT_EQ(DialogText(page, 2206).rfind(L"You must have administrator privileges to delete", 0), 0u);
  EXPECT_EQ(DialogText(page, 2207), L"");
  ::PostMessageW(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
  EXPECT_EQ(call.Result(), 0);
}

TEST_F(WizardEntry, LibraryLackingAnOrdinalShowsString203) {
  CopyLibrary(L"LMOSSUPW_LACKING.DLL");
  robot::WriteFile(folder / L"KVSetup.ini", kGoodInfo);
  WizardCall call(Wizard(), 1);
  EXPECT_EQ(AnswerErrorBox(),
            L"\"LMOSSUP.DLL\" has encountered a problem. The wizard needs to close. We are sorry for the inconvenience.");
  EXPECT_EQ(call.Result(), 0);
}

TEST_F(WizardEntry, NoLibraryAtAllShowsString203) {
  robot::WriteFile(folder / L"KVSetup.ini", kGoodInfo);
  WizardCall call(Wizard(), 0);
  EXPECT_EQ(AnswerErrorBox().rfind(L"\"LMOSSUP.DLL\" has encountered a problem.", 0), 0u);
  EXPECT_EQ(call.Result(), 0);
}

TEST_F(WizardEntry, BrokenInformationFileShowsString204) {
  CopyLibrary();
  robot::WriteFile(folder / L"KVSetup.ini", "[Information]\r\nVersion=2.0\r\nProducts=TPX800\r\n");
  WizardCall call(Wizard(), 1);
  EXPECT_EQ(AnswerErrorBox(),
            L"The information file has encountered a problem. The wizard needs to close. We are sorry for the "
            L"inconvenience.");
  EXPECT_EQ(call.Result(), 0);
  EXPECT_EQ(::GetModuleHandleW((folder / support_abi::kLibraryFileName).c_str()), nullptr);  // released again
}

TEST_F(WizardEntry, OwnerThatIsNoWindowGivesZeroSilently) {
  common::win::UniqueModule module(::LoadLibraryW(Wizard().c_str()));
  ASSERT_TRUE(module);
  const SetupWizardProcFn proc = EntryOf(module.get());
  ASSERT_NE(proc, nullptr);
  EXPECT_EQ(proc(reinterpret_cast<HWND>(static_cast<INT_PTR>(0x1234)), 1, ""), 0);
  EXPECT_EQ(proc(nullptr, 0, nullptr), 0);
}

#if defined(__i386__)
int __cdecl CdeclWithThreeArguments(HWND, int32_t, const char*) { return 0; }

// A launcher declares the export __stdcall: it must get its stack back balanced.
TEST_F(WizardEntry, ExportPopsItsOwnArguments) {
  common::win::UniqueModule module(::LoadLibraryW(Wizard().c_str()));
  ASSERT_TRUE(module);
  const SetupWizardProcFn proc = EntryOf(module.get());
  ASSERT_NE(proc, nullptr);
  // The probe tells the conventions apart; the owner is no window, so the call returns at once.
  EXPECT_EQ(robot::StackBytesLeftAfterCall(reinterpret_cast<const void*>(&CdeclWithThreeArguments), {0x1234, 1, 0}), 12);
  EXPECT_EQ(robot::StackBytesLeftAfterCall(reinterpret_cast<const void*>(proc), {0x1234, 1, 0}), 0);
}
#endif

}  // namespace
