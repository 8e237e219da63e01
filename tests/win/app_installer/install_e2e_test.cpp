#include "common/text.h"
#include "tests/win/app_installer/e2e_fixture.h"

namespace appsetup {
namespace {

namespace robot = appsetup::robot;

bool KeyExists(const std::wstring& key, REGSAM view) {
  HKEY handle = nullptr;
  const LSTATUS status = RegOpenKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ | view, &handle);
  const common::win::UniqueHkey opened(handle);
  return status == ERROR_SUCCESS;
}

TEST_F(InstallE2E, StatusMonitorInstallsThroughTheWizard) {
  const std::wstring key = std::wstring(kUninstallKey) + L"TPX800StatusMonitor";
  RegDeleteTreeW(HKEY_LOCAL_MACHINE, key.c_str());
  ASSERT_TRUE(CopyFileW((ProgramFolder() + L"appsetupE.INF").c_str(), (package_ + L"appsetupE.INF").c_str(), FALSE));
  for (const char* name : kMonitorFiles) robot::WriteText(package_ + Widen(name), std::string("dummy ") + name);
  // Read-only and hidden in the package; normal once installed.
  SetFileAttributesW((package_ + L"READY.gif").c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
  const std::wstring destination = FreshFolder(L"dest") + L"Monitor\\";

  HWND page = StartWizard(L"Installation of TPX800 Status Monitor", IDC_FOLDER);
  ASSERT_NE(page, nullptr);
  HWND sheet = sheet_;
  robot::Started& run = run_;
  EXPECT_EQ(robot::TextOf(GetDlgItem(page, IDC_PROMPT)), L"Assign a destination folder for TPX800 Status Monitor :");
  EXPECT_FALSE(IsWindowVisible(GetDlgItem(page, IDC_ABOUT)));
  robot::SetText(GetDlgItem(page, IDC_FOLDER), destination);
  robot::Press(sheet, PSBTN_NEXT);

  page = robot::WaitForPageWith(sheet, IDC_DESKTOP);
  ASSERT_NE(page, nullptr);
  EXPECT_EQ(SendDlgItemMessageW(page, IDC_START_MENU, BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(robot::TextOf(GetDlgItem(page, IDC_MENU_LIST)), L"Programs\\TPX800 Status Monitor");
  robot::ClickControl(page, IDC_DESKTOP);
  robot::WaitUntil([&] { return SendDlgItemMessageW(page, IDC_DESKTOP, BM_GETCHECK, 0, 0) == BST_CHECKED; });
  robot::Press(sheet, PSBTN_NEXT);

  page = robot::WaitForPageWith(sheet, IDC_PROGRESS);
  ASSERT_NE(page, nullptr);
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(sheet, IDCANCEL)));
  ASSERT_TRUE(robot::WaitUntil([&] { return robot::SheetButtonReady(sheet, L"Finish"); }));
  EXPECT_EQ(robot::TextOf(GetDlgItem(page, IDC_STATUS)), L"Installation succeeded.  Press <Finish> for completion.");
  EXPECT_EQ(robot::TextOf(GetDlgItem(page, IDC_COPY_NOTE)),
            L"Use <Uninstall TPX800 Status Monitor> in the menu for the uninstallation.");
  EXPECT_FALSE(IsWindowVisible(GetDlgItem(page, IDC_PROGRESS)));
  robot::Press(sheet, PSBTN_FINISH);
  AnswerEndBox(run.id, L"TPX800 Status Monitor", L"Installation has been completed.");
  EXPECT_EQ(WaitForExit(run), 1u);

  for (const char* name : kMonitorFiles) {
    const DWORD attributes = GetFileAttributesW((destination + Widen(name)).c_str());
    ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES) << name;
    EXPECT_EQ(attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN), 0u) << name;
  }
  EXPECT_NE(GetFileAttributesW((destination + L"appsetup.exe").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_NE(GetFileAttributesW((destination + L"appsetup.INF").c_str()), INVALID_FILE_ATTRIBUTES);

  const std::wstring folders = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
  const std::wstring menu = RegistryText(HKEY_CURRENT_USER, folders, L"Programs") + L"\\TPX800 Status Monitor";
  const std::wstring desktop = RegistryText(HKEY_CURRENT_USER, folders, L"Desktop");
  ComInit com;
  const Link monitor = ReadLink(menu + L"\\TPX800 Status Monitor.lnk");
  EXPECT_EQ(monitor.target, destination + L"TPX800StatusMonitor.exe");
  EXPECT_EQ(monitor.arguments, L"");
  EXPECT_EQ(monitor.icon, destination + L"TPX800StatusMonitor.exe");
  EXPECT_EQ(monitor.iconIndex, 0);
  EXPECT_EQ(monitor.description, L"TPX800 Status Monitor");
  EXPECT_EQ(monitor.directory, destination);
  const Link remove = ReadLink(menu + L"\\Uninstall TPX800 Status Monitor.lnk");
  EXPECT_EQ(remove.target, destination + L"appsetup.exe");
  EXPECT_EQ(remove.arguments, L"/r");
  const Link onDesktop = ReadLink(desktop + L"\\TPX800 Status Monitor.lnk");
  EXPECT_EQ(onDesktop.target, destination + L"TPX800StatusMonitor.exe");
  EXPECT_EQ(onDesktop.directory, destination);

  EXPECT_EQ(RegistryText(HKEY_LOCAL_MACHINE, key, L"DisplayName"), L"TPX800 Status Monitor");
  EXPECT_EQ(RegistryText(HKEY_LOCAL_MACHINE, key, L"MenuDir"), menu);
  EXPECT_EQ(RegistryText(HKEY_LOCAL_MACHINE, key, L"UninstallString"),
            L"\"" + destination + L"appsetup.exe\" /r");
  // The entry lies in the registry view of the installer's own bitness: a 32-bit installer's
  // under Wow6432Node of a 64-bit system, where the system's uninstall list shows it.
  const REGSAM ownView = sizeof(void*) == 4 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;
  const REGSAM otherView = sizeof(void*) == 4 ? KEY_WOW64_64KEY : KEY_WOW64_32KEY;
  EXPECT_TRUE(KeyExists(key, ownView));
  EXPECT_FALSE(KeyExists(key, otherView));
  // Leave the prefix as it was for the tests that follow.
  RegDeleteTreeW(HKEY_LOCAL_MACHINE, key.c_str());
  DeleteFileW((desktop + L"\\TPX800 Status Monitor.lnk").c_str());
  DeleteFileW((menu + L"\\TPX800 Status Monitor.lnk").c_str());
  DeleteFileW((menu + L"\\Uninstall TPX800 Status Monitor.lnk").c_str());
  RemoveDirectoryW(menu.c_str());
}

TEST_F(InstallE2E, AboutBoxShowsTheVersionResourceAndCancelInterrupts) {
  robot::WriteText(package_ + L"appsetupE.INF", "[Install]\r\nTitle=Robot E\r\nFolder=Robot\r\n");
  HWND page = StartWizard(L"Installation of Robot E", IDC_ABOUT);
  ASSERT_NE(page, nullptr);
  HWND sheet = sheet_;
  robot::Started& run = run_;
  robot::Click(page, IDC_ABOUT);  // hidden in the English layout, but wired
  HWND about = robot::WaitForDialog(run.id, L"Version Infomation");
  ASSERT_NE(about, nullptr);
  EXPECT_EQ(robot::TextOf(GetDlgItem(about, IDC_PRODUCT)), L"Emplacer\n\n1.0 1 (Build: 1.0.0.1)");
  EXPECT_EQ(robot::TextOf(GetDlgItem(about, IDC_LEGAL)), L"Copyright (C) 2026 Emplacer");
  robot::Click(about, IDOK);
  ASSERT_TRUE(robot::WaitUntil([&] { return !IsWindow(about); }));
  robot::Press(sheet, PSBTN_CANCEL);
  AnswerEndBox(run.id, L"Robot E", L"Installation was interrupted.");
  EXPECT_EQ(WaitForExit(run), 1u);
}

// Wine takes a process's language from the Unix environment it starts in, so ctest runs this case
// a second time with LANG=ja_JP.UTF-8; appsetup inherits that language.
TEST_F(InstallE2E, JapaneseUserGetsTheJapaneseInformationFile) {
  if (PRIMARYLANGID(GetThreadUILanguage()) != LANG_JAPANESE) GTEST_SKIP() << "needs a Japanese user language";
  robot::WriteText(package_ + L"appsetupE.INF", "[Install]\r\nTitle=Robot E\r\nFolder=Robot\r\n");
  robot::WriteText(package_ + L"appsetupJ.INF", "[Install]\r\nTitle=Robot J\r\nFolder=Robot\r\n");
  // Message 8 in Japanese with the Japanese file's title.
  HWND page = StartWizard(L"Robot J\x306E\x30A4\x30F3\x30B9\x30C8\x30FC\x30EB", IDC_BROWSE);
  if (page == nullptr) {
    HWND other = robot::FindDialog(run_.id);
    FAIL() << "wizard not found; a window titled \""
           << common::WideToUtf8(other ? robot::TextOf(other) : L"") << "\" is shown";
  }
  HWND sheet = sheet_;
  robot::Started& run = run_;
  EXPECT_EQ(robot::TextOf(GetDlgItem(page, IDC_BROWSE)), L"\x53C2\x7167(&B)...");
  robot::Press(sheet, PSBTN_CANCEL);
  // "Installation was interrupted." in Japanese.
  AnswerEndBox(run.id, L"Robot J", L"\x30A4\x30F3\x30B9\x30C8\x30FC\x30EB\x306F\x4E2D\x65AD\x3055\x308C\x307E\x3057\x305F\x3002");
  EXPECT_EQ(WaitForExit(run), 1u);
}

}  // namespace
}  // namespace appsetup
