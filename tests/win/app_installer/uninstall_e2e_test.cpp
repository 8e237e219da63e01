// End-to-end: the status monitor installed through the wizard, then uninstalled the way the
// system's list of programs does it: the registered command, the confirmation, the relay copy's
// window, Finish; and the relay copy's deletion carried out by a simulated restart.
#include "tests/win/app_installer/e2e_fixture.h"

namespace appsetup {
namespace {

namespace robot = appsetup::robot;
using common::win::UniqueHandle;

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::wstring Lower(std::wstring text) {
  CharLowerBuffW(text.data(), static_cast<DWORD>(text.size()));
  return text;
}

// PendingFileRenameOperations: pairs of source and target, as the system keeps them.
std::vector<std::pair<std::wstring, std::wstring>> PendingRenames() {
  const wchar_t key[] = L"System\\CurrentControlSet\\Control\\Session Manager";
  DWORD size = 0;
  std::vector<std::pair<std::wstring, std::wstring>> pairs;
  if (RegGetValueW(HKEY_LOCAL_MACHINE, key, L"PendingFileRenameOperations", RRF_RT_REG_MULTI_SZ, nullptr,
                   nullptr, &size) != ERROR_SUCCESS) {
    return pairs;
  }
  std::vector<wchar_t> data(size / sizeof(wchar_t) + 2, L'\0');
  if (RegGetValueW(HKEY_LOCAL_MACHINE, key, L"PendingFileRenameOperations", RRF_RT_REG_MULTI_SZ, nullptr,
                   data.data(), &size) != ERROR_SUCCESS) {
    return pairs;
  }
  // Each entry is two strings; an empty target means "delete". An empty source ends the list.
  for (const wchar_t* at = data.data(); *at;) {
    std::wstring source = at;
    at += source.size() + 1;
    std::wstring target = at;
    at += target.size() + 1;
    pairs.emplace_back(source, target);
  }
  return pairs;
}

bool DeletionPending(const std::wstring& fileName) {
  for (const auto& [source, target] : PendingRenames()) {
    if (target.empty() && Lower(source).ends_with(L"\\" + Lower(fileName))) return true;
  }
  return false;
}

TEST_F(InstallE2E, StatusMonitorUninstallsThroughTheRelayCopy) {
  const std::wstring key = std::wstring(kUninstallKey) + L"TPX800StatusMonitor";
  RegDeleteTreeW(HKEY_LOCAL_MACHINE, key.c_str());
  wchar_t system[MAX_PATH] = {};
  GetSystemDirectoryW(system, MAX_PATH);
  const std::wstring relay = std::wstring(system) + L"\\appsetup.exe";
  DeleteFileW(relay.c_str());

  const std::wstring parent = FreshFolder(L"uninstall");
  const std::wstring destination = parent + L"Monitor\\";
  InstallMonitor(destination);
  if (HasFatalFailure()) return;
  const std::wstring folders = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
  const std::wstring programs = RegistryText(HKEY_CURRENT_USER, folders, L"Programs");
  const std::wstring menu = programs + L"\\TPX800 Status Monitor";
  const std::wstring desktopLink = RegistryText(HKEY_CURRENT_USER, folders, L"Desktop") + L"\\TPX800 Status Monitor.lnk";
  ASSERT_TRUE(Exists(menu + L"\\Uninstall TPX800 Status Monitor.lnk"));
  ASSERT_TRUE(Exists(desktopLink));
  // A help index the application made beside itself goes without a question.
  ASSERT_TRUE(robot::WriteText(destination + L"MONITOR.GID", "index"));

  // The command the list of installed programs runs.
  const std::wstring command = RegistryText(HKEY_LOCAL_MACHINE, key, L"UninstallString");
  ASSERT_EQ(command, L"\"" + destination + L"appsetup.exe\" /r");
  run_ = robot::StartCommand(command, package_);
  ASSERT_TRUE(run_.process);
  HWND box = robot::WaitForDialog(run_.id, L"TPX800 Status Monitor");
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(robot::BoxText(box), L"TPX800 Status Monitor will be uninstalled.");
  robot::Click(box, IDOK);

  // The relay copy's window, in another process; the first stage ends once it waits for input.
  HWND window = robot::WaitForDialog(0, L"Uninstallation of TPX800 Status Monitor");
  ASSERT_NE(window, nullptr);
  DWORD relayId = 0;
  GetWindowThreadProcessId(window, &relayId);
  EXPECT_NE(relayId, run_.id);
  UniqueHandle relayProcess(OpenProcess(SYNCHRONIZE, FALSE, relayId));
  ASSERT_TRUE(relayProcess);
  EXPECT_EQ(WaitForExit(run_), 1u);
  EXPECT_TRUE(Exists(relay));

  ASSERT_TRUE(robot::WaitUntil([&] { return IsWindowEnabled(GetDlgItem(window, IDOK)) != FALSE; }));
  EXPECT_EQ(robot::TextOf(GetDlgItem(window, IDC_UNINSTALL_STATUS)),
            L"TPX800 Status Monitor has been successfully uninstalled.");
  EXPECT_EQ(robot::TextOf(GetDlgItem(window, IDOK)), L"Finish");
  robot::Click(window, IDOK);
  ASSERT_EQ(WaitForSingleObject(relayProcess.get(), 20000), WAIT_OBJECT_0);

  EXPECT_FALSE(Exists(destination));
  EXPECT_TRUE(Exists(parent));
  EXPECT_FALSE(Exists(menu));
  EXPECT_TRUE(Exists(programs));
  EXPECT_FALSE(Exists(desktopLink));
  HKEY opened = nullptr;
  EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &opened), ERROR_FILE_NOT_FOUND);
  if (opened) RegCloseKey(opened);

  // The relay copy stays until the next restart, which deletes it.
  EXPECT_TRUE(Exists(relay));
  EXPECT_TRUE(DeletionPending(L"appsetup.exe"));
  robot::Started restart = robot::StartCommand(std::wstring(system) + L"\\wineboot.exe -r", system);
  ASSERT_TRUE(restart.process);
  EXPECT_EQ(WaitForSingleObject(restart.process.get(), 60000), WAIT_OBJECT_0);
  EXPECT_FALSE(Exists(relay));
  EXPECT_FALSE(DeletionPending(L"appsetup.exe"));
}

}  // namespace
}  // namespace appsetup
