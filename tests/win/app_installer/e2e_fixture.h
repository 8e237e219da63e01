// The fixture of the end-to-end tests: the built appsetup.exe in a fresh package folder, driven
// through its windows in the test's Wine prefix.
#pragma once

#include <windows.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/win/handles.h"
#include "resources/app_installer/appsetup_ids.h"
#include "tests/win/app_installer/wizard_robot.h"

namespace appsetup {

using common::win::ComInit;
using common::win::ComPtr;

inline const wchar_t kUninstallKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
inline const char* const kMonitorFiles[] = {"TPX800StatusMonitor.exe", "LOGO.gif", "READY.gif", "RUN.gif",
                                     "ERROR.gif", "ANY.gif", "NONE.gif", "YMCKOP.gif", "YMCKOPK.gif",
                                     "BLACK.gif", "INKUNK.gif", "QLC07RT.dll", "printers.ini"};

inline std::wstring Widen(const std::string& text) { return std::wstring(text.begin(), text.end()); }

inline std::wstring ProgramFolder() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder = path;
  return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

// A fresh folder under the temporary directory.
inline std::wstring FreshFolder(const std::wstring& name) {
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  std::wstring folder = std::wstring(temp) + L"appflow-" + std::to_wstring(GetCurrentProcessId()) +
                        L"-" + name + L"\\";
  SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);
  return folder;
}

inline std::wstring RegistryText(HKEY root, const std::wstring& key, const wchar_t* name) {
  wchar_t value[1024] = {};
  DWORD size = sizeof(value);
  if (RegGetValueW(root, key.c_str(), name, RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS) {
    return L"<missing>";
  }
  return value;
}

struct Link {
  std::wstring target, arguments, icon, directory, description;
  int iconIndex = -1;
};

inline Link ReadLink(const std::wstring& path) {
  Link link;
  ComPtr<IShellLinkW> shellLink;
  ComPtr<IPersistFile> file;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              shellLink.putVoid())) ||
      FAILED(shellLink->QueryInterface(IID_IPersistFile, file.putVoid())) ||
      FAILED(file->Load(path.c_str(), STGM_READ))) {
    link.target = L"<unreadable>";
    return link;
  }
  wchar_t text[MAX_PATH] = {};
  shellLink->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH);
  link.target = text;
  shellLink->GetArguments(text, MAX_PATH);
  link.arguments = text;
  shellLink->GetIconLocation(text, MAX_PATH, &link.iconIndex);
  link.icon = text;
  shellLink->GetWorkingDirectory(text, MAX_PATH);
  link.directory = text;
  shellLink->GetDescription(text, MAX_PATH);
  link.description = text;
  return link;
}

class InstallE2E : public ::testing::Test {
 protected:
  void SetUp() override {
    package_ = FreshFolder(L"package");
    CopyFileW((ProgramFolder() + L"appsetup.exe").c_str(), (package_ + L"appsetup.exe").c_str(), FALSE);
  }

  // Waits for the end and returns the exit code.
  DWORD WaitForExit(robot::Started& run) {
    EXPECT_EQ(WaitForSingleObject(run.process.get(), 20000), WAIT_OBJECT_0);
    DWORD code = 0;
    GetExitCodeProcess(run.process.get(), &code);
    return code;
  }

  // Answers the end message box, checking its text.
  void AnswerEndBox(DWORD pid, const std::wstring& title, const std::wstring& expected) {
    HWND box = robot::WaitForDialog(pid, title);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(robot::BoxText(box), expected);
    robot::Click(box, IDOK);
  }

  // Starts the package's installer and waits for its wizard (by caption) to show the page with
  // control `id`; sets `sheet_` and `run_`.
  HWND StartWizard(const std::wstring& caption, int id) {
    run_ = robot::Start(package_ + L"appsetup.exe", package_);
    if (!run_.process) return nullptr;
    sheet_ = robot::WaitForDialog(run_.id, caption);
    return sheet_ ? robot::WaitForPageWith(sheet_, id) : nullptr;
  }

  // Installs the package's status monitor into `destination` through the wizard, with the menu
  // and desktop shortcuts; the package holds stand-in files under the monitor's names.
  void InstallMonitor(const std::wstring& destination) {
    ASSERT_TRUE(CopyFileW((ProgramFolder() + L"appsetupE.INF").c_str(), (package_ + L"appsetupE.INF").c_str(), FALSE));
    for (const char* name : kMonitorFiles) robot::WriteText(package_ + Widen(name), std::string("dummy ") + name);
    HWND page = StartWizard(L"Installation of TPX800 Status Monitor", IDC_FOLDER);
    ASSERT_NE(page, nullptr);
    robot::SetText(GetDlgItem(page, IDC_FOLDER), destination);
    robot::Press(sheet_, PSBTN_NEXT);
    page = robot::WaitForPageWith(sheet_, IDC_DESKTOP);
    ASSERT_NE(page, nullptr);
    robot::ClickControl(page, IDC_DESKTOP);
    ASSERT_TRUE(robot::WaitUntil([&] { return SendDlgItemMessageW(page, IDC_DESKTOP, BM_GETCHECK, 0, 0) == BST_CHECKED; }));
    robot::Press(sheet_, PSBTN_NEXT);
    ASSERT_NE(robot::WaitForPageWith(sheet_, IDC_PROGRESS), nullptr);
    ASSERT_TRUE(robot::WaitUntil([&] { return robot::SheetButtonReady(sheet_, L"Finish"); }));
    robot::Press(sheet_, PSBTN_FINISH);
    AnswerEndBox(run_.id, L"TPX800 Status Monitor", L"Installation has been completed.");
    EXPECT_EQ(WaitForExit(run_), 1u);
  }

  void TearDown() override {
    if (run_.process && WaitForSingleObject(run_.process.get(), 0) == WAIT_TIMEOUT) {
      TerminateProcess(run_.process.get(), 0);
    }
  }

  std::wstring package_;
  robot::Started run_;
  HWND sheet_ = nullptr;
};

}  // namespace appsetup
