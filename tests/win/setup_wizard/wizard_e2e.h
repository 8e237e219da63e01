// What the wizard's end-to-end tests share: the media folder with the stand-ins and the package's
// information file, SetupWizardProc on its own thread as a launcher calls it, and the robot's
// steps through the sheets by control IDs.
#pragma once

#include <windows.h>
#include <prsht.h>
#include <setupapi.h>

#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "common/text.h"
#include "common/win/handles.h"
#include "robot.h"
#include "setup_wizard/support_abi.h"

namespace wizard_e2e {


using SetupWizardProcFn = int32_t(__stdcall*)(HWND, int32_t, const char*);

inline const std::wstring kWizardDll = sizeof(void*) == 8 ? L"KVSETUPW64.DLL" : L"KVSETUPW.DLL";
inline constexpr wchar_t kTitle[] = L"Installation of ORV TPX800 printer";
inline constexpr wchar_t kDeleteTitle[] = L"Delete the ORV TPX800 printer";
inline constexpr DWORD kTimeoutMs = 20000;

// The media's files the information file names for XP (x86 folders); the service programs are
// copies of the option-service stand-in, the rest placeholders.
inline const wchar_t* const kServicePrograms[] = {L"driver\\x86\\TPX8OPT.EXE", L"driver\\x86\\TPX8LMS.EXE",
                                           L"monitor\\x86\\TPX8PMS.EXE"};
inline const wchar_t* const kPlaceholders[] = {L"usb\\x86\\TPX8USB.INF", L"driver\\x86\\TPX8OPTR.DLL", L"driver\\x86\\TPX8LMSR.DLL",
                                        L"driver\\x86\\TPX8LM.DLL",   L"monitor\\x86\\TPX8PMSR.DLL",
                                        L"monitor\\x86\\TPX8PM.DLL"};
inline const wchar_t* const kInstalledFiles[] = {L"TPX8OPT.EXE", L"TPX8LMS.EXE", L"TPX8PMS.EXE",
                                          L"TPX8OPTR.DLL", L"TPX8LMSR.DLL", L"TPX8PMSR.DLL"};

// The service names the option-service stand-in registers under (OPTION_SERVICE_NAMES).
inline constexpr char kServiceNames[] =
    "[Services]\r\nTPX8OPT.EXE=TPX800 Option Service\r\nTPX8LMS.EXE=TPX800 Monitor Service\r\n"
    "TPX8PMS.EXE=TPX800 Port Service\r\n";

// The device the support-library stand-in registers when the printer is "plugged in".
inline constexpr wchar_t kStandInDevice[] = L"USB\\VID_1A2B&PID_0800\\STANDIN";

inline bool DevicePluggedIn() {
  const HDEVINFO set = ::SetupDiCreateDeviceInfoList(nullptr, nullptr);
  SP_DEVINFO_DATA device{};
  device.cbSize = sizeof device;
  const bool found = ::SetupDiOpenDeviceInfoW(set, kStandInDevice, nullptr, 0, &device);
  ::SetupDiDestroyDeviceInfoList(set);
  return found;
}

inline std::wstring SystemDirectory() {
  wchar_t path[MAX_PATH] = {};
  ::GetSystemDirectoryW(path, MAX_PATH);
  return path;
}

inline std::string ReadAll(const std::wstring& path) {
  std::ifstream in(common::WideToUtf8(path), std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

inline std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::stringstream s(text);
  for (std::string line; std::getline(s, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

inline std::string Narrow(const std::wstring& text) { return common::WideToUtf8(text); }

inline HWND CurrentPage(HWND sheet) { return reinterpret_cast<HWND>(::SendMessageW(sheet, PSM_GETCURRENTPAGEHWND, 0, 0)); }

// Waits until the sheet shows the page holding control `id`.
inline HWND WaitForPage(HWND sheet, int id) {
  HWND page = nullptr;
  robot::WaitUntil([&] {
    page = CurrentPage(sheet);
    return page && ::GetDlgItem(page, id) && ::IsWindowVisible(page);
  }, kTimeoutMs);
  return page && ::GetDlgItem(page, id) ? page : nullptr;
}

inline std::wstring Text(HWND page, int id) { return robot::TextOf(::GetDlgItem(page, id)); }

inline BOOL CALLBACK CollectBox(HWND window, LPARAM lParam) {
  DWORD pid = 0;
  ::GetWindowThreadProcessId(window, &pid);
  if (pid == ::GetCurrentProcessId() && ::IsWindowVisible(window) && ::GetDlgItem(window, 0xFFFF)) {
    *reinterpret_cast<HWND*>(lParam) = window;
    return FALSE;
  }
  return TRUE;
}

// A message box of this process (a dialog with the message text's static), answered with `button`.
inline std::wstring AnswerBox(int button) {
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

inline void Next(HWND sheet) { ::PostMessageW(sheet, PSM_PRESSBUTTON, PSBTN_NEXT, 0); }

inline void SetText(HWND page, int id, const wchar_t* text) {
  ::SendMessageW(::GetDlgItem(page, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

// Next with `bad` in the edit is refused with `message` (OK answers it); then Next with `good`.
inline void EnterRefusedThenAccepted(HWND sheet, HWND page, int id, const wchar_t* bad, const std::wstring& message,
                              const wchar_t* good) {
  SetText(page, id, bad);
  Next(sheet);
  EXPECT_EQ(AnswerBox(IDOK), std::wstring(kTitle) + L": " + message);
  SetText(page, id, good);
  Next(sheet);
}

class WizardEndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::wstring bin = robot::ProgramFolder();
    // The launchers' support library, and the one of the wizard's bitness (the same name in 32-bit).
    for (const wchar_t* f : {kWizardDll.c_str(), L"LMOSSUPW.DLL", support_abi::kLibraryFileName, L"KVSetup.ini", L"License.txt"}) {
      ASSERT_TRUE(robot::CopyInto(bin + L"\\" + f, folder.Path())) << Narrow(f);
    }
    for (const wchar_t* sub : {L"driver", L"driver\\x86", L"monitor", L"monitor\\x86", L"usb", L"usb\\x86"}) {
      ::CreateDirectoryW((folder / sub).c_str(), nullptr);
    }
    for (const wchar_t* f : kServicePrograms) {
      ASSERT_TRUE(::CopyFileW((bin + L"\\option_service.exe").c_str(), (folder / f).c_str(), FALSE)) << Narrow(f);
    }
    for (const wchar_t* f : kPlaceholders) ASSERT_TRUE(robot::WriteFile(folder / f, "placeholder\r\n"));
    robot::WriteFile(folder / L"names.ini", kServiceNames);
    robot::WriteFile(folder / L"state.ini",
                     "[System]\r\nOsCode=0x0600\r\nUsbDeviceStatus=9\r\nJournal=journal.txt\r\n"
                     "[Port:LPT1:]\r\nMonitor=Local Port\r\n[Monitor:Local Port]\r\nFile=localspl.dll\r\n");
    ::SetEnvironmentVariableW(L"LMOSSUPW_STATE", (folder / L"state.ini").c_str());
    ::SetEnvironmentVariableW(L"LMOSSUPW_LIBRARY", (folder / L"LMOSSUPW.DLL").c_str());
    ::SetEnvironmentVariableW(L"OPTION_SERVICE_NAMES", (folder / L"names.ini").c_str());
    stagedBefore_ = StagedInfs();
  }

  static std::wstring InfFolder() {
    wchar_t windows[MAX_PATH] = {};
    ::GetWindowsDirectoryW(windows, MAX_PATH);
    return std::wstring(windows) + L"\\Inf";
  }
  // The names of the oem*.inf files in the system's Inf folder.
  static std::set<std::wstring> StagedInfs() {
    std::set<std::wstring> names;
    WIN32_FIND_DATAW found{};
    common::win::UniqueFind search(::FindFirstFileW((InfFolder() + L"\\oem*.inf").c_str(), &found));
    if (search) {
      do names.insert(found.cFileName);
      while (::FindNextFileW(search.get(), &found));
    }
    return names;
  }
  void TearDown() override {
    for (const wchar_t* v : {L"LMOSSUPW_STATE", L"LMOSSUPW_LIBRARY", L"OPTION_SERVICE_NAMES"}) {
      ::SetEnvironmentVariableW(v, nullptr);
    }
    // Information files an installation staged and no deletion took back.
    for (const std::wstring& name : StagedInfs()) {
      if (!stagedBefore_.count(name)) ::DeleteFileW((InfFolder() + L"\\" + name).c_str());
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
    if (::SetupDiOpenDeviceInfoW(set, kStandInDevice, nullptr, 0, &device)) {
      ::SetupDiRemoveDevice(set, &device);
    }
    ::SetupDiDestroyDeviceInfoList(set);
  }

  robot::TempFolder folder;
  std::set<std::wstring> stagedBefore_;
};

// SetupWizardProc on its own thread with an owner window made there, as a launcher calls it.
class WizardThread {
 public:
  // `mode` 1 installs, 0 deletes; `title` is the sheets' title, for cleaning up after a failure.
  explicit WizardThread(const std::wstring& dll, int mode = 1, const wchar_t* title = kTitle) : title_(title) {
    // The calling thread's first window call comes before the wizard thread loads the DLL (Wine's
    // loader lock and display set-up would otherwise wait on each other).
    ::DestroyWindow(::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr));
    thread_ = std::thread([this, dll, mode] {
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
      result_ = proc(owner, mode, "");
      ::DestroyWindow(owner);
    });
  }
  ~WizardThread() {
    // A test that failed half-way leaves sheets up: cancel them (confirming) until the call ends.
    while (thread_.joinable() && result_ == -1) {
      HWND sheet = robot::FindWindowOf(::GetCurrentProcessId(), L"#32770", title_);
      if (sheet) ::PostMessageW(sheet, PSM_PRESSBUTTON, PSBTN_FINISH, 0);
      if (sheet) ::PostMessageW(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
      HWND box = nullptr;
      ::EnumWindows(&CollectBox, reinterpret_cast<LPARAM>(&box));
      if (box) robot::PressButton(box, IDYES), robot::PressButton(box, IDOK);
      ::Sleep(200);
    }
    if (thread_.joinable()) thread_.join();
  }
  int Result() {
    thread_.join();
    return result_;
  }
  // When SetupWizardProc was called (0 before).
  DWORD Called() const { return called_; }

 private:
  const wchar_t* title_;
  std::thread thread_;
  std::atomic<DWORD> called_{0};
  std::atomic<int> result_{-1};
};

// The progress sheet of `title` in `processId` once its text begins with `waitFor`, or null after
// a minute.
inline HWND WaitForProgress(DWORD processId, const wchar_t* title, const std::wstring& waitFor) {
  HWND progress = nullptr;
  robot::WaitUntil([&] {
    HWND s = robot::FindWindowOf(processId, L"#32770", title);
    HWND p = s ? CurrentPage(s) : nullptr;
    if (p && ::GetDlgItem(p, 2002)) progress = s;
    return progress && Text(CurrentPage(progress), 2002).rfind(waitFor, 0) == 0;
  }, 60000);
  return progress && Text(CurrentPage(progress), 2002).rfind(waitFor, 0) == 0 ? progress : nullptr;
}

// Takes the proposed values on every page (no licence file, or the licence already agreed) and
// returns the progress sheet once its text begins with `waitFor`. The sheets are those of
// `processId`: this process, or a launcher the test started.
inline HWND AcceptEverything(const std::wstring& waitFor, DWORD processId = ::GetCurrentProcessId()) {
  HWND sheet = robot::WaitForWindowOf(processId, L"#32770", kTitle, kTimeoutMs);
  if (!sheet) return nullptr;
  for (int id : {2106, 2109, 2119, 2115}) {
    if (!WaitForPage(sheet, id)) return nullptr;
    Next(sheet);
  }
  if (!WaitForPage(sheet, 2117)) return nullptr;
  ::PostMessageW(sheet, PSM_PRESSBUTTON, PSBTN_FINISH, 0);
  return WaitForProgress(processId, kTitle, waitFor);
}

}  // namespace wizard_e2e
