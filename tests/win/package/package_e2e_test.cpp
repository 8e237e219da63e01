// End to end: the distribution folder as it ships, used from a fresh prefix as a user would.
// setup.exe installs the printer driver (the launcher and the wizard's pages) and the status
// monitor (appsetup); the monitor, started from its start-menu shortcut, shows a virtual printer
// "Ready"; setup.exe uninstalls both again, and after a restart nothing of the package is left.
// The support library and printer library are the stand-ins the package carries.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "distribution.h"
#include "resources/app_installer/appsetup_ids.h"
#include "resources/setup_menu/setup_ids.h"
#include "status_monitor/win/main_window.h"
#include "tests/win/app_installer/e2e_fixture.h"
#include "tests/win/setup_wizard/wizard_e2e.h"

namespace {

using namespace wizard_e2e;
namespace windows = appsetup::robot;  // dialogs of any process, found by title

constexpr DWORD kWait = 30000;
constexpr wchar_t kMenuTitle[] = L"Card Printer";
constexpr wchar_t kMonitorTitle[] = L"TPX800 Status Monitor";

// The simulated system the support library stand-in starts from: a printer is plugged in. The
// 32-bit build is Windows XP, where the launcher runs the wizard in its own process; the 64-bit
// build is 64-bit Vista, where the launcher starts the 64-bit wizard host. That build runs its own
// distribution, and the package as it ships: 32-bit launchers handing over to the 64-bit wizard.
const std::string kInitialSystem =
    std::string("[System]\r\nOsCode=") + (sizeof(void*) == 8 ? "0x0B00" : "0x0600") +
    "\r\nPrinterConnected=1\r\nJournal=journal.txt\r\n"
    "[Port:LPT1:]\r\nMonitor=Local Port\r\n[Monitor:Local Port]\r\nFile=localspl.dll\r\n";
const wchar_t* const kWizardModules[] = {L"Driver\\KVSETUPW.DLL"};
const wchar_t* const kHostModules[] = {L"Driver\\KVSETUPW64.DLL", L"Driver\\KVSETUPW64.EXE", L"Driver\\LMOSSUPW64.DLL"};

using package_test::Distribution;

std::wstring KnownFolder(int csidl) {
  wchar_t path[MAX_PATH] = {};
  return SUCCEEDED(::SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path)) ? path : L"";
}

// Every file and folder below `folder` matching `pattern` (at any depth when `deep`).
void ListFiles(const std::wstring& folder, bool deep, std::set<std::wstring>& into, const wchar_t* pattern = L"*") {
  WIN32_FIND_DATAW found{};
  common::win::UniqueFind search(::FindFirstFileW((folder + L"\\" + pattern).c_str(), &found));
  if (!search) return;
  do {
    const std::wstring name = found.cFileName;
    if (name == L"." || name == L"..") continue;
    const std::wstring path = folder + L"\\" + name;
    into.insert(path);
    if (deep && (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) ListFiles(path, true, into);
  } while (::FindNextFileW(search.get(), &found));
}

// The subkey names (values too when `values`) of a key.
void ListKey(HKEY root, const std::wstring& key, bool values, std::set<std::wstring>& into) {
  HKEY opened = nullptr;
  if (::RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) return;
  wchar_t name[256];
  for (DWORD i = 0;; ++i) {
    DWORD size = 256;
    if (::RegEnumKeyExW(opened, i, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    into.insert(key + L"\\" + name);
  }
  for (DWORD i = 0; values; ++i) {
    DWORD size = 256;
    if (::RegEnumValueW(opened, i, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    into.insert(key + L" : " + name);
  }
  ::RegCloseKey(opened);
}

// The section names of the stand-in's state but [System]: what the simulated system holds.
void ListSections(const std::string& state, std::set<std::wstring>& into) {
  for (const std::string& line : Lines(state)) {
    if (line.size() > 2 && line.front() == '[' && line.back() == ']' && line != "[System]") {
      into.insert(L"simulated " + common::Utf8ToWide(line));
    }
  }
}

std::string Describe(const std::set<std::wstring>& entries) {
  std::string out;
  for (const std::wstring& entry : entries) out += "\n  " + Narrow(entry);
  return out;
}

bool Checked(HWND dialog, int id) {
  return ::SendMessageW(robot::DescendantById(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

// Sets a check box of the menu as wanted, clicking it like the mouse.
void SetCheck(HWND dialog, int id, bool wanted) {
  if (Checked(dialog, id) == wanted) return;
  robot::Click(robot::DescendantById(dialog, id));
  robot::WaitUntil([&] { return Checked(dialog, id) == wanted; }, kWait);
}

using robot::ProcessOf;

class PackageEndToEnd : public WizardEndToEnd {
 protected:
  // Not the wizard fixture's media folder: the distribution as it is, and the stand-ins' state.
  void SetUp() override {
    if (package_test::ThirtyTwoBitProgramsCannotRun()) GTEST_SKIP() << "32-bit programs cannot run here";
    std::vector<const wchar_t*> needed = {L"setup.exe", L"Driver\\Install.exe", L"Driver\\Uninstall.exe",
                                          L"Driver\\LMOSSUPW.DLL", L"Monitor\\appsetup.exe",
                                          L"Monitor\\TPX800StatusMonitor.exe", L"Monitor\\QLC07RT.dll"};
    if (sizeof(void*) == 8) {
      needed.insert(needed.end(), std::begin(kHostModules), std::end(kHostModules));
    } else {
      needed.insert(needed.end(), std::begin(kWizardModules), std::end(kWizardModules));
    }
    for (const wchar_t* file : needed) {
      ASSERT_NE(::GetFileAttributesW((Distribution() + L"\\" + file).c_str()), INVALID_FILE_ATTRIBUTES)
          << Narrow(file) << " is missing from the distribution";
    }
    ASSERT_TRUE(robot::WriteFile(folder / L"state.ini", kInitialSystem));
    ASSERT_TRUE(robot::WriteFile(folder / L"names.ini", kServiceNames));
    // Inherited by setup.exe and everything it starts.
    ::SetEnvironmentVariableW(L"LMOSSUPW_STATE", (folder / L"state.ini").c_str());
    ::SetEnvironmentVariableW(L"LMOSSUPW_LIBRARY", (Distribution() + L"\\Driver\\LMOSSUPW.DLL").c_str());
    ::SetEnvironmentVariableW(L"OPTION_SERVICE_NAMES", (folder / L"names.ini").c_str());
    stagedBefore_ = StagedInfs();
    before_ = Snapshot();
  }

  // What the package may touch: program, menu and desktop folders, the system folder, staged
  // information files, uninstall entries, restart tasks and the simulated spooler.
  std::set<std::wstring> Snapshot() {
    std::set<std::wstring> entries;
    for (int csidl : {CSIDL_PROGRAM_FILES, CSIDL_PROGRAM_FILESX86, CSIDL_PROGRAMS, CSIDL_COMMON_PROGRAMS}) {
      ListFiles(KnownFolder(csidl), true, entries);
    }
    // The desktop may be the user's home folder, where others write: only its shortcuts count.
    for (int csidl : {CSIDL_DESKTOPDIRECTORY, CSIDL_COMMON_DESKTOPDIRECTORY}) {
      ListFiles(KnownFolder(csidl), false, entries, L"*.lnk");
    }
    ListFiles(SystemDirectory(), false, entries);
    wchar_t wow64System[MAX_PATH] = {};  // where 32-bit programs' system files go on 64-bit Windows
    if (::GetSystemWow64DirectoryW(wow64System, MAX_PATH) > 0) ListFiles(wow64System, false, entries);
    ListFiles(InfFolder(), false, entries);
    for (const wchar_t* uninstall : {L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall",
                                     L"Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall"}) {
      ListKey(HKEY_LOCAL_MACHINE, uninstall, false, entries);
    }
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
      ListKey(root, L"Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce", true, entries);
    }
    ListSections(ReadAll(folder / L"state.ini"), entries);
    return entries;
  }

  // Starts the menu from the distribution and waits for its dialog.
  HWND StartMenu() {
    menu_ = std::make_unique<robot::Process>(robot::Process::Start(Distribution() + L"\\setup.exe"));
    return MenuAgain(nullptr);
  }
  // The menu's dialog once it is back (a new one, not `previous`).
  HWND MenuAgain(HWND previous) {
    HWND found = nullptr;
    robot::WaitUntil([&] {
      found = robot::FindWindowOf(menu_->Id(), L"#32770", kMenuTitle);
      return found && found != previous;
    }, 120000);
    return found != previous ? found : nullptr;
  }

  // Ticks exactly the given components of the chosen action and presses Next.
  void Run(HWND dialog, int action, int driver, bool withDriver, int monitor, bool withMonitor) {
    robot::Click(robot::DescendantById(dialog, action));
    robot::WaitUntil([&] { return Checked(dialog, action); }, kWait);
    SetCheck(dialog, driver, withDriver);
    SetCheck(dialog, monitor, withMonitor);
    robot::Click(robot::DescendantById(dialog, IDC_NEXT));
  }

  // Keeps the process of a window the menu started, to end it should the test stop half-way.
  HWND Adopt(HWND window) {
    if (window) started_.emplace_back(::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, ProcessOf(window)));
    return window;
  }
  void TearDown() override {
    for (const common::win::UniqueHandle& process : started_) {
      if (process && ::WaitForSingleObject(process.get(), 0) == WAIT_TIMEOUT) ::TerminateProcess(process.get(), 99);
    }
    menu_.reset();
    WizardEndToEnd::TearDown();
  }

  std::set<std::wstring> before_;
  std::unique_ptr<robot::Process> menu_;
  std::vector<common::win::UniqueHandle> started_;
};

TEST_F(PackageEndToEnd, InstallUseAndUninstallLeaveThePrefixAsBefore) {
  HWND menu = StartMenu();
  ASSERT_NE(menu, nullptr);
  EXPECT_TRUE(Checked(menu, IDC_INSTALL_MONITOR)) << "the monitor is not installed in a fresh prefix";

  // The printer driver: the launcher runs the wizard in its own process; every page is taken as
  // proposed after agreeing to the licence.
  Run(menu, IDC_INSTALL, IDC_INSTALL_DRIVER, true, IDC_INSTALL_MONITOR, false);
  HWND sheet = Adopt(windows::WaitForDialog(0, kTitle));
  ASSERT_NE(sheet, nullptr);
  const DWORD launcher = ProcessOf(sheet);  // the launcher, or the wizard host it started
  EXPECT_EQ(robot::ImageNameOf(launcher), sizeof(void*) == 8 ? L"KVSETUPW64.EXE" : L"Install.exe");
  HWND page = WaitForPage(sheet, 2102);
  ASSERT_NE(page, nullptr);
  EXPECT_NE(Text(page, 2102).find(L"LICENSE AGREEMENT"), std::wstring::npos) << Narrow(Text(page, 2102));
  robot::Click(::GetDlgItem(page, 2103));
  ASSERT_TRUE(robot::WaitUntil([&] { return ::IsDlgButtonChecked(page, 2103) == BST_CHECKED; }, kWait));
  Next(sheet);
  HWND progress = AcceptEverything(L"Printer installation is complete.", launcher);
  ASSERT_NE(progress, nullptr);
  ::PostMessageW(progress, PSM_PRESSBUTTON, PSBTN_FINISH, 0);
  menu = MenuAgain(menu);
  ASSERT_NE(menu, nullptr);
  const std::string installed = ReadAll(folder / L"state.ini");
  EXPECT_NE(installed.find("[Printer:ORV TPX800 U1]"), std::string::npos) << installed;
  EXPECT_FALSE(Checked(menu, IDC_INSTALL_DRIVER));

  // The status monitor: appsetup's wizard, into the proposed folder, with its shortcuts.
  Run(menu, IDC_INSTALL, IDC_INSTALL_DRIVER, false, IDC_INSTALL_MONITOR, true);
  HWND installer = Adopt(windows::WaitForDialog(0, L"Installation of TPX800 Status Monitor"));
  ASSERT_NE(installer, nullptr);
  const DWORD installerId = ProcessOf(installer);
  ASSERT_NE(windows::WaitForPageWith(installer, IDC_FOLDER), nullptr);
  windows::Press(installer, PSBTN_NEXT);
  ASSERT_NE(windows::WaitForPageWith(installer, IDC_DESKTOP), nullptr);
  windows::Press(installer, PSBTN_NEXT);
  ASSERT_NE(windows::WaitForPageWith(installer, IDC_PROGRESS), nullptr);
  ASSERT_TRUE(windows::WaitUntil([&] { return windows::SheetButtonReady(installer, L"Finish"); }));
  windows::Press(installer, PSBTN_FINISH);
  HWND done = windows::WaitForDialog(installerId, kMonitorTitle);
  ASSERT_NE(done, nullptr);
  EXPECT_EQ(windows::BoxText(done), L"Installation has been completed.");
  windows::Click(done, IDOK);
  menu = MenuAgain(menu);
  ASSERT_NE(menu, nullptr);
  EXPECT_FALSE(Checked(menu, IDC_INSTALL_MONITOR)) << "counted as installed";
  robot::Click(robot::DescendantById(menu, IDC_EXIT));
  EXPECT_EQ(menu_->Wait(kWait), 0u);

  // The monitor from its start-menu shortcut shows the package's first virtual printer ready.
  const std::wstring shortcut = KnownFolder(CSIDL_PROGRAMS) + L"\\TPX800 Status Monitor\\TPX800 Status Monitor.lnk";
  ASSERT_NE(::GetFileAttributesW(shortcut.c_str()), INVALID_FILE_ATTRIBUTES) << Narrow(shortcut);
  // Started the way the shell opens a link: its target with its arguments in its folder.
  const common::win::ComInit com;
  const appsetup::Link link = appsetup::ReadLink(shortcut);
  windows::Started monitor = windows::StartCommand(L"\"" + link.target + L"\" " + link.arguments, link.directory);
  ASSERT_TRUE(monitor.process) << Narrow(link.target);
  HWND window = Adopt(robot::WaitForWindowOf(monitor.id, monitor::win::MainWindow::kWindowClass, kMonitorTitle, kWait));
  ASSERT_NE(window, nullptr);
  HWND status = robot::DescendantById(window, monitor::win::MainWindow::ControlId({"Label0_1"}));
  EXPECT_TRUE(robot::WaitUntil([&] { return robot::TextOf(status) == L"Ready"; }, kWait)) << Narrow(robot::TextOf(status));
  ::PostMessageW(window, WM_CLOSE, 0, 0);
  ASSERT_EQ(::WaitForSingleObject(monitor.process.get(), kWait), WAIT_OBJECT_0);

  // Uninstalling: the driver through the deletion wizard, then the monitor through the command
  // appsetup registered.
  menu = StartMenu();
  ASSERT_NE(menu, nullptr);
  Run(menu, IDC_UNINSTALL, IDC_UNINSTALL_DRIVER, true, IDC_UNINSTALL_MONITOR, false);
  sheet = Adopt(windows::WaitForDialog(0, kDeleteTitle));
  ASSERT_NE(sheet, nullptr);
  for (int id : {2206, 2201}) {
    ASSERT_NE(WaitForPage(sheet, id), nullptr);
    Next(sheet);
  }
  ASSERT_NE(WaitForPage(sheet, 2204), nullptr);
  ::PostMessageW(sheet, PSM_PRESSBUTTON, PSBTN_FINISH, 0);
  progress = WaitForProgress(ProcessOf(sheet), kDeleteTitle, L"The printer has been deleted.");
  ASSERT_NE(progress, nullptr);
  ::PostMessageW(progress, PSM_PRESSBUTTON, PSBTN_FINISH, 0);
  menu = MenuAgain(menu);
  ASSERT_NE(menu, nullptr);

  // The menu finds the entry appsetup registered: both are 32-bit (the uninstall entries of 32-bit
  // programs on 64-bit Windows) or both 64-bit (the native entries).
  Run(menu, IDC_UNINSTALL, IDC_UNINSTALL_DRIVER, false, IDC_UNINSTALL_MONITOR, true);
  HWND question = Adopt(windows::WaitForDialog(0, kMonitorTitle));
  ASSERT_NE(question, nullptr);
  EXPECT_EQ(windows::BoxText(question), L"TPX800 Status Monitor will be uninstalled.");
  windows::Click(question, IDOK);
  HWND relay = Adopt(windows::WaitForDialog(0, L"Uninstallation of TPX800 Status Monitor"));
  ASSERT_NE(relay, nullptr);
  ASSERT_TRUE(windows::WaitUntil([&] { return ::IsWindowEnabled(::GetDlgItem(relay, IDOK)) != FALSE; }));
  EXPECT_EQ(windows::TextOf(::GetDlgItem(relay, IDC_UNINSTALL_STATUS)),
            L"TPX800 Status Monitor has been successfully uninstalled.");
  windows::Click(relay, IDOK);
  menu = MenuAgain(menu);
  ASSERT_NE(menu, nullptr);
  robot::Click(robot::DescendantById(menu, IDC_EXIT));
  EXPECT_EQ(menu_->Wait(kWait), 0u);
  // A new start of the menu offers the monitor for installation again.
  menu = StartMenu();
  ASSERT_NE(menu, nullptr);
  EXPECT_TRUE(Checked(menu, IDC_INSTALL_MONITOR)) << "still counted as installed";
  robot::Click(robot::DescendantById(menu, IDC_EXIT));
  EXPECT_EQ(menu_->Wait(kWait), 0u);

  // The relay copy of appsetup waits in the system folder for the next restart, which deletes it;
  // after that the prefix and the simulated system are as they were.
  const std::wstring system = SystemDirectory();
  windows::Started reboot = windows::StartCommand(L"\"" + system + L"\\wineboot.exe\" -r", system);
  ASSERT_TRUE(reboot.process);
  ASSERT_EQ(::WaitForSingleObject(reboot.process.get(), 60000), WAIT_OBJECT_0);
  const std::set<std::wstring> after = Snapshot();
  std::set<std::wstring> added, removed;
  std::set_difference(after.begin(), after.end(), before_.begin(), before_.end(), std::inserter(added, added.end()));
  std::set_difference(before_.begin(), before_.end(), after.begin(), after.end(),
                      std::inserter(removed, removed.end()));
  // appsetup removes the installation folder but not the parent it made for it (it may hold the
  // maker's other products): that empty folder is the one thing kept.
  for (int csidl : {CSIDL_PROGRAM_FILES, CSIDL_PROGRAM_FILESX86}) {
    const std::wstring maker = KnownFolder(csidl) + L"\\TPX800";
    std::set<std::wstring> inMaker;
    ListFiles(maker, true, inMaker);
    EXPECT_TRUE(inMaker.empty()) << Describe(inMaker);
    added.erase(maker);
  }
  EXPECT_TRUE(added.empty()) << "left behind:" << Describe(added);
  EXPECT_TRUE(removed.empty()) << "removed:" << Describe(removed);
  EXPECT_FALSE(DevicePluggedIn()) << "the printer's device is still registered";
  EXPECT_EQ(StagedInfs(), stagedBefore_);
}

}  // namespace
