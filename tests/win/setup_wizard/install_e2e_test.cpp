// End to end: a whole printer installation through SetupWizardProc of the built wizard DLL, its
// real property sheets driven by control IDs, against the support-library and option-service
// stand-ins; the stand-in's journal and state show what was installed, in which order.
#include <windows.h>
#include <prsht.h>
#include <setupapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "common/text.h"
#include "common/win/handles.h"
#include "robot.h"

namespace {

using SetupWizardProcFn = int32_t(__stdcall*)(HWND, int32_t, const char*);

const std::wstring kWizardDll = sizeof(void*) == 8 ? L"KVSETUPW64.DLL" : L"KVSETUPW.DLL";
constexpr wchar_t kTitle[] = L"Installation of ORV TPX800 printer";
constexpr DWORD kTimeoutMs = 20000;

// The media's files the information file names for XP (x86 folders); the service programs are
// copies of the option-service stand-in, the rest placeholders.
const wchar_t* const kServicePrograms[] = {L"driver\\x86\\TPX8OPT.EXE", L"driver\\x86\\TPX8LMS.EXE",
                                           L"monitor\\x86\\TPX8PMS.EXE"};
const wchar_t* const kPlaceholders[] = {L"driver\\x86\\TPX8OPTR.DLL", L"driver\\x86\\TPX8LMSR.DLL",
                                        L"driver\\x86\\TPX8LM.DLL",   L"monitor\\x86\\TPX8PMSR.DLL",
                                        L"monitor\\x86\\TPX8PM.DLL"};
const wchar_t* const kInstalledFiles[] = {L"TPX8OPT.EXE", L"TPX8LMS.EXE", L"TPX8PMS.EXE",
                                          L"TPX8OPTR.DLL", L"TPX8LMSR.DLL", L"TPX8PMSR.DLL"};

std::wstring SystemDirectory() {
  wchar_t path[MAX_PATH] = {};
  ::GetSystemDirectoryW(path, MAX_PATH);
  return path;
}

std::string ReadAll(const std::wstring& path) {
  std::ifstream in(common::WideToUtf8(path), std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::stringstream s(text);
  for (std::string line; std::getline(s, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

std::string Narrow(const std::wstring& text) { return common::WideToUtf8(text); }

HWND CurrentPage(HWND sheet) { return reinterpret_cast<HWND>(::SendMessageW(sheet, PSM_GETCURRENTPAGEHWND, 0, 0)); }

// Waits until the sheet shows the page holding control `id`.
HWND WaitForPage(HWND sheet, int id) {
  HWND page = nullptr;
  robot::WaitUntil([&] {
    page = CurrentPage(sheet);
    return page && ::GetDlgItem(page, id) && ::IsWindowVisible(page);
  }, kTimeoutMs);
  return page && ::GetDlgItem(page, id) ? page : nullptr;
}

std::wstring Text(HWND page, int id) { return robot::TextOf(::GetDlgItem(page, id)); }

BOOL CALLBACK CollectBox(HWND window, LPARAM lParam) {
  DWORD pid = 0;
  ::GetWindowThreadProcessId(window, &pid);
  if (pid == ::GetCurrentProcessId() && ::IsWindowVisible(window) && ::GetDlgItem(window, 0xFFFF)) {
    *reinterpret_cast<HWND*>(lParam) = window;
    return FALSE;
  }
  return TRUE;
}

// A message box of this process (a dialog with the message text's static), answered with `button`.
std::wstring AnswerBox(int button) {
  HWND box = nullptr;
  robot::WaitUntil([&] {
    ::EnumWindows(&CollectBox, reinterpret_cast<LPARAM>(&box));
    return box != nullptr;
  }, kTimeoutMs);
  if (!box) return L"<no message box>";
  const std::wstring caption = robot::TextOf(box);
  const std::wstring text = robot::MessageBoxText(box);
  robot::PressButton(box, button);
  robot::WaitUntil([&] { return !::IsWindow(box); }, kTimeoutMs);
  return caption + L": " + text;
}

void Next(HWND sheet) { ::PostMessageW(sheet, PSM_PRESSBUTTON, PSBTN_NEXT, 0); }

void SetText(HWND page, int id, const wchar_t* text) {
  ::SendMessageW(::GetDlgItem(page, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

// Next with `bad` in the edit is refused with `message` (OK answers it); then Next with `good`.
void EnterRefusedThenAccepted(HWND sheet, HWND page, int id, const wchar_t* bad, const std::wstring& message,
                              const wchar_t* good) {
  SetText(page, id, bad);
  Next(sheet);
  EXPECT_EQ(AnswerBox(IDOK), std::wstring(kTitle) + L": " + message);
  SetText(page, id, good);
  Next(sheet);
}

class InstallEndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::wstring bin = robot::ProgramFolder();
    for (const wchar_t* f : {kWizardDll.c_str(), L"LMOSSUPW.DLL", L"KVSetup.ini", L"License.txt"}) {
      ASSERT_TRUE(robot::CopyInto(bin + L"\\" + f, folder.path())) << Narrow(f);
    }
    for (const wchar_t* sub : {L"driver", L"driver\\x86", L"monitor", L"monitor\\x86"}) {
      ::CreateDirectoryW((folder / sub).c_str(), nullptr);
    }
    for (const wchar_t* f : kServicePrograms) {
      ASSERT_TRUE(::CopyFileW((bin + L"\\option_service.exe").c_str(), (folder / f).c_str(), FALSE)) << Narrow(f);
    }
    for (const wchar_t* f : kPlaceholders) ASSERT_TRUE(robot::WriteFile(folder / f, "placeholder\r\n"));
    robot::WriteFile(folder / L"names.ini",
                     "[Services]\r\nTPX8OPT.EXE=TPX800 Option Service\r\nTPX8LMS.EXE=TPX800 Monitor Service\r\n"
                     "TPX8PMS.EXE=TPX800 Port Service\r\n");
    robot::WriteFile(folder / L"state.ini",
                     "[System]\r\nOsCode=0x0600\r\nUsbDeviceStatus=9\r\nJournal=journal.txt\r\n"
                     "[Port:LPT1:]\r\nMonitor=Local Port\r\n[Monitor:Local Port]\r\nFile=localspl.dll\r\n");
    ::SetEnvironmentVariableW(L"LMOSSUPW_STATE", (folder / L"state.ini").c_str());
    ::SetEnvironmentVariableW(L"LMOSSUPW_LIBRARY", (folder / L"LMOSSUPW.DLL").c_str());
    ::SetEnvironmentVariableW(L"OPTION_SERVICE_NAMES", (folder / L"names.ini").c_str());
  }
  void TearDown() override {
    for (const wchar_t* v : {L"LMOSSUPW_STATE", L"LMOSSUPW_LIBRARY", L"OPTION_SERVICE_NAMES"}) {
      ::SetEnvironmentVariableW(v, nullptr);
    }
    for (const wchar_t* f : kInstalledFiles) ::DeleteFileW((SystemDirectory() + L"\\" + f).c_str());
    UnplugPrinter();
  }

  // Removes the device the stand-in registers when the printer is "plugged in", so later tests
  // wait for a printer again.
  static void UnplugPrinter() {
    const HDEVINFO set = ::SetupDiCreateDeviceInfoList(nullptr, nullptr);
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    if (::SetupDiOpenDeviceInfoW(set, L"USB\\VID_1A2B&PID_0800\\STANDIN", nullptr, 0, &device)) {
      ::SetupDiRemoveDevice(set, &device);
    }
    ::SetupDiDestroyDeviceInfoList(set);
  }

  robot::TempFolder folder;
};

// SetupWizardProc on its own thread with an owner window made there, as a launcher calls it.
class WizardThread {
 public:
  explicit WizardThread(const std::wstring& dll) {
    // The calling thread's first window call comes before the wizard thread loads the DLL (Wine's
    // loader lock and display set-up would otherwise wait on each other).
    ::DestroyWindow(::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr));
    thread_ = std::thread([this, dll] {
      common::win::UniqueModule module(::LoadLibraryW(dll.c_str()));
      const auto proc = module ? reinterpret_cast<SetupWizardProcFn>(
                                     reinterpret_cast<void*>(::GetProcAddress(module.get(), "SetupWizardProc")))
                               : nullptr;
      if (!proc) {
        result_ = -100;
        return;
      }
      HWND owner = ::CreateWindowExW(0, L"STATIC", L"Install", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
      called_ = ::GetTickCount();
      result_ = proc(owner, 1, "");
      ::DestroyWindow(owner);
    });
  }
  ~WizardThread() {
    // A test that failed half-way leaves sheets up: cancel them (confirming) until the call ends.
    while (thread_.joinable() && result_ == -1) {
      HWND sheet = robot::FindWindowOf(::GetCurrentProcessId(), L"#32770", kTitle);
      if (sheet) ::PostMessageW(sheet, PSM_PRESSBUTTON, PSBTN_FINISH, 0);
      if (sheet) ::PostMessageW(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
      HWND box = nullptr;
      ::EnumWindows(&CollectBox, reinterpret_cast<LPARAM>(&box));
      if (box) robot::PressButton(box, IDYES), robot::PressButton(box, IDOK);
      ::Sleep(200);
    }
    if (thread_.joinable()) thread_.join();
  }
  int result() {
    thread_.join();
    return result_;
  }
  // When SetupWizardProc was called (0 before).
  DWORD called() const { return called_; }

 private:
  std::thread thread_;
  std::atomic<DWORD> called_{0};
  std::atomic<int> result_{-1};
};

TEST_F(InstallEndToEnd, InstallsAPrinterThroughEveryPage) {
  WizardThread wizard(folder / kWizardDll);
  HWND sheet = robot::WaitForWindowOf(::GetCurrentProcessId(), L"#32770", kTitle, kTimeoutMs);
  ASSERT_NE(sheet, nullptr);

  // Licence: Next only after "I agree".
  HWND page = WaitForPage(sheet, 2102);
  ASSERT_NE(page, nullptr);
  EXPECT_NE(Text(page, 2102).find(L"LICENSE AGREEMENT"), std::wstring::npos) << Narrow(Text(page, 2102));
  EXPECT_EQ(::IsDlgButtonChecked(page, 2104), BST_CHECKED);
  robot::Click(::GetDlgItem(page, 2103));
  robot::WaitUntil([&] { return ::IsDlgButtonChecked(page, 2103) == BST_CHECKED; }, kTimeoutMs);
  Next(sheet);

  // Welcome.
  page = WaitForPage(sheet, 2106);
  ASSERT_NE(page, nullptr);
  EXPECT_EQ(Text(page, 2106).rfind(L"Welcome to ORV TPX800 printer installation.", 0), 0u);
  Next(sheet);

  // Printer: a blank name is refused, then a real one is taken trimmed.
  page = WaitForPage(sheet, 2109);
  ASSERT_NE(page, nullptr);
  EXPECT_EQ(::SendDlgItemMessageW(page, 2109, LB_GETCOUNT, 0, 0), 4);
  EXPECT_EQ(Text(page, 2110), L"ORV TPX800 U1");
  EnterRefusedThenAccepted(sheet, page, 2110, L"   ", L"The printer name is not entered.", L"  Front desk ");

  // Share: proposed from the name; a slash is refused.
  page = WaitForPage(sheet, 2119);
  ASSERT_NE(page, nullptr);
  EXPECT_EQ(Text(page, 2118), L"Front desk");
  EXPECT_EQ(Text(page, 2119), L"Front de");
  EnterRefusedThenAccepted(sheet, page, 2119, L"FRONT/1", L"The share name includes a character which is not allowed.",
                           L"FRONT");

  // Port: a new port of the package's monitor is proposed; the system's ports are listed.
  page = WaitForPage(sheet, 2115);
  ASSERT_NE(page, nullptr);
  EXPECT_EQ(::IsDlgButtonChecked(page, 2114), BST_CHECKED);
  EXPECT_EQ(::SendDlgItemMessageW(page, 2115, LB_GETCURSEL, 0, 0), 0);
  EXPECT_EQ(::SendDlgItemMessageW(page, 2113, LB_GETCOUNT, 0, 0), 1);
  Next(sheet);

  // Review, then Finish.
  page = WaitForPage(sheet, 2117);
  ASSERT_NE(page, nullptr);
  ::PostMessageW(sheet, PSM_PRESSBUTTON, PSBTN_FINISH, 0);

  // Progress: runs to its end text; Finish closes it.
  HWND progress = nullptr;
  ASSERT_TRUE(robot::WaitUntil([&] {
    HWND s = robot::FindWindowOf(::GetCurrentProcessId(), L"#32770", kTitle);
    HWND p = s ? CurrentPage(s) : nullptr;
    if (p && ::GetDlgItem(p, 2002)) progress = s;
    return progress != nullptr && Text(CurrentPage(progress), 2002).rfind(L"Printer installation is", 0) == 0;
  }, 60000)) << (progress ? Narrow(Text(CurrentPage(progress), 2002)) : "no progress sheet");
  EXPECT_EQ(Text(CurrentPage(progress), 2002),
            L"Printer installation is complete.\n\nClick Finish to close the installation program.");
  ::PostMessageW(progress, PSM_PRESSBUTTON, PSBTN_FINISH, 0);
  EXPECT_EQ(wizard.result(), 1);

  // The journal: services (from their own processes), then the wizard's calls in order.
  std::vector<std::string> calls;
  for (const std::string& line : Lines(ReadAll(folder / L"journal.txt"))) {
    const std::string name = line.substr(0, line.find('('));
    for (const char* wanted : {"InstallService", "AfterServiceInstall", "InstallUsbDriver", "InstallUsbDriverAlternate",
                               "InstallPortMonitor", "AddPortOfMonitor", "InstallPrinterDriver",
                               "InstallPrintProcessor", "AddPrinterWithProcessor"}) {
      if (name == wanted) calls.push_back(line);
    }
  }
  const std::vector<std::string> expectedStarts = {
      "InstallService(\"TPX800 Option Service\"",  "AfterServiceInstall(",
      "InstallService(\"TPX800 Monitor Service\"", "InstallService(\"TPX800 Port Service\"",
      "InstallUsbDriver(\"ORV TPX800 USB Printer\"", "InstallUsbDriverAlternate(\"ORV TPX800 USB Printer\"",
      "InstallPortMonitor(\"TPX800 Port Monitor\"", "AddPortOfMonitor(",
      "InstallPrinterDriver(\"ORV TPX800 U1\"",     "InstallPrintProcessor(\"TPX800 Print Processor\"",
      "AddPrinterWithProcessor(\"Front desk\", \"ORV TPX800 U1\", \"TPX800 Port Monitor Port\", \"FRONT\", "
      "\"TPX800 Print Processor\", \"RAW\""};
  ASSERT_EQ(calls.size(), expectedStarts.size()) << ReadAll(folder / L"journal.txt");
  for (size_t i = 0; i < calls.size(); ++i) {
    EXPECT_EQ(calls[i].rfind(expectedStarts[i], 0), 0u) << calls[i];
    EXPECT_EQ(calls[i].substr(calls[i].size() - 4), " = 1") << calls[i];
  }

  // The state: the printer on its new port, the services registered, their files in place.
  const std::string state = ReadAll(folder / L"state.ini");
  EXPECT_NE(state.find("[Printer:Front desk]"), std::string::npos) << state;
  EXPECT_NE(state.find("Share=FRONT"), std::string::npos) << state;
  EXPECT_NE(state.find("[Service:TPX800 Port Service]"), std::string::npos) << state;
  for (const wchar_t* f : kInstalledFiles) {
    EXPECT_NE(::GetFileAttributesW((SystemDirectory() + L"\\" + f).c_str()), INVALID_FILE_ATTRIBUTES) << Narrow(f);
  }
}

// Takes the proposed values on every page (no licence file) and returns the progress sheet once
// its text begins with `waitFor`.
HWND AcceptEverything(const std::wstring& waitFor) {
  HWND sheet = robot::WaitForWindowOf(::GetCurrentProcessId(), L"#32770", kTitle, kTimeoutMs);
  if (!sheet) return nullptr;
  for (int id : {2106, 2109, 2119, 2115}) {
    if (!WaitForPage(sheet, id)) return nullptr;
    Next(sheet);
  }
  if (!WaitForPage(sheet, 2117)) return nullptr;
  ::PostMessageW(sheet, PSM_PRESSBUTTON, PSBTN_FINISH, 0);
  HWND progress = nullptr;
  robot::WaitUntil([&] {
    HWND s = robot::FindWindowOf(::GetCurrentProcessId(), L"#32770", kTitle);
    HWND p = s ? CurrentPage(s) : nullptr;
    if (p && ::GetDlgItem(p, 2002)) progress = s;
    return progress && Text(CurrentPage(progress), 2002).rfind(waitFor, 0) == 0;
  }, 60000);
  return progress && Text(CurrentPage(progress), 2002).rfind(waitFor, 0) == 0 ? progress : nullptr;
}

TEST_F(InstallEndToEnd, FirstPageIsUpWithinASecondOfTheCall) {
  ::DeleteFileW((folder / L"License.txt").c_str());
  DWORD best = INFINITE;
  // Best of two: the first call in a fresh Wine prefix also pays for Wine's own start-up.
  for (int attempt = 0; attempt < 2; ++attempt) {
    WizardThread wizard(folder / kWizardDll);
    HWND sheet = robot::WaitForWindowOf(::GetCurrentProcessId(), L"#32770", kTitle, kTimeoutMs);
    ASSERT_NE(sheet, nullptr);
    ASSERT_NE(WaitForPage(sheet, 2106), nullptr);
    const DWORD shown = ::GetTickCount();
    best = std::min(best, shown - wizard.called());
    ::PostMessageW(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
    EXPECT_EQ(wizard.result(), 0);
  }
  std::printf("first page on screen %lu ms after the call\n", static_cast<unsigned long>(best));
  EXPECT_LT(best, 1000u);
}

TEST_F(InstallEndToEnd, PluggedInPrinterIsFoundThroughTheSetupApi) {
  robot::WriteFile(folder / L"state.ini",
                   "[System]\r\nOsCode=0x0600\r\nPrinterConnected=1\r\nJournal=journal.txt\r\n");
  ::DeleteFileW((folder / L"License.txt").c_str());
  WizardThread wizard(folder / kWizardDll);
  HWND progress = AcceptEverything(L"Printer installation is complete.");
  ASSERT_NE(progress, nullptr);
  ::PostMessageW(progress, PSM_PRESSBUTTON, PSBTN_FINISH, 0);
  EXPECT_EQ(wizard.result(), 1);
  const std::string journal = ReadAll(folder / L"journal.txt");
  EXPECT_NE(journal.find("InstallUsbDriver(\"ORV TPX800 USB Printer\""), std::string::npos) << journal;
  EXPECT_EQ(journal.find("InstallUsbDriverAlternate"), std::string::npos) << journal;
  EXPECT_NE(ReadAll(folder / L"state.ini").find("[Printer:ORV TPX800 U1]"), std::string::npos);
}

// The sheet's Next button (enabled only while the worker waits for an answer).
constexpr int kNextButton = 0x3024;

TEST_F(InstallEndToEnd, OldMonitorInUseIsAskedAboutAndTheRestartQuestionFollows) {
  // An installed monitor file without a version, in use: the media's versioned one is newer and
  // cannot replace it now, so the user is asked; its installation then needs a restart.
  ASSERT_TRUE(::CopyFileW((robot::ProgramFolder() + L"\\option_service.exe").c_str(),
                          (folder / L"monitor\\x86\\TPX8PM.DLL").c_str(), FALSE));
  robot::WriteFile(folder / L"old.dll", "an old monitor\r\n");
  robot::WriteFile(folder / L"state.ini", "[System]\r\nOsCode=0x0600\r\nJournal=journal.txt\r\n"
                                          "[Monitor:TPX800 Port Monitor]\r\nFile=TPX8PM.DLL\r\nLocked=1\r\nPath=" +
                                              Narrow(folder / L"old.dll") + "\r\n");
  ::DeleteFileW((folder / L"License.txt").c_str());
  WizardThread wizard(folder / kWizardDll);
  HWND progress = AcceptEverything(L"The old port monitor is detected.");
  ASSERT_NE(progress, nullptr);
  HWND page = CurrentPage(progress);
  EXPECT_TRUE(::IsWindowVisible(::GetDlgItem(page, 2003)));
  EXPECT_EQ(::IsDlgButtonChecked(page, 2003), BST_CHECKED);
  EXPECT_EQ(Text(page, 2003), L"Abort the installation.");
  EXPECT_EQ(Text(page, 2004), L"Continue. (Update the monitor after restart of Windows.)");
  robot::Click(::GetDlgItem(page, 2004));
  ASSERT_TRUE(robot::WaitUntil([&] { return ::IsDlgButtonChecked(page, 2004) == BST_CHECKED; }, kTimeoutMs));
  ASSERT_TRUE(robot::WaitUntil([&] { return robot::IsEnabled(::GetDlgItem(progress, kNextButton)); }, kTimeoutMs));
  Next(progress);

  ASSERT_TRUE(robot::WaitUntil([&] {
    return Text(page, 2002) == L"Restart Windows to use the updated port monitor, or use another port." &&
           robot::IsEnabled(::GetDlgItem(progress, kNextButton));
  }, kTimeoutMs)) << Narrow(Text(page, 2002));
  EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(page, 2003)));
  EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(page, 2004)));
  Next(progress);
  ASSERT_TRUE(robot::WaitUntil([&] { return Text(page, 2002).rfind(L"Printer installation is complete.", 0) == 0; },
                               kTimeoutMs)) << Narrow(Text(page, 2002));
  ::PostMessageW(progress, PSM_PRESSBUTTON, PSBTN_FINISH, 0);
  EXPECT_EQ(wizard.result(), 1);
  const std::string journal = ReadAll(folder / L"journal.txt");
  EXPECT_EQ(journal.find("ReplacePortMonitor"), std::string::npos) << journal;
  EXPECT_NE(journal.find("InstallPortMonitor(\"TPX800 Port Monitor\""), std::string::npos) << journal;
}

TEST_F(InstallEndToEnd, CancelDuringTheDeviceWaitEndsCanceled) {
  // No printer and no alternate path: the wizard waits for the printer until the user cancels.
  robot::WriteFile(folder / L"state.ini", "[System]\r\nOsCode=0x0600\r\nUsbDeviceStatus=0\r\nJournal=journal.txt\r\n");
  ::DeleteFileW((folder / L"License.txt").c_str());
  WizardThread wizard(folder / kWizardDll);
  HWND progress = AcceptEverything(L"Connect the USB cable");
  ASSERT_NE(progress, nullptr);
  // Cancel, answered No: still waiting. Cancel, answered Yes: canceled.
  ::PostMessageW(progress, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
  EXPECT_EQ(AnswerBox(IDNO), std::wstring(kTitle) + L": Do you want to cancel the installation?");
  ::Sleep(1500);
  EXPECT_EQ(Text(CurrentPage(progress), 2002).rfind(L"Connect the USB cable", 0), 0u);
  ::PostMessageW(progress, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
  EXPECT_EQ(AnswerBox(IDYES), std::wstring(kTitle) + L": Do you want to cancel the installation?");
  ASSERT_TRUE(robot::WaitUntil([&] { return Text(CurrentPage(progress), 2002) == L"Printer installation was canceled."; },
                               kTimeoutMs));
  ::PostMessageW(progress, PSM_PRESSBUTTON, PSBTN_FINISH, 0);
  EXPECT_EQ(wizard.result(), 1);
  EXPECT_EQ(ReadAll(folder / L"journal.txt").find("InstallPortMonitor"), std::string::npos);
}

}  // namespace
