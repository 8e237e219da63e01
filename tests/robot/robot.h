// A small test robot for driving built programs through their windows under Wine: start a process,
// find its windows, read controls, press buttons and answer message boxes.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "common/win/handles.h"

namespace robot {

// The folder of the running test program (where the built programs lie beside it).
std::wstring ProgramFolder();
// A fresh empty folder under the temp folder, removed with its files by the destructor.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::wstring& Path() const { return path_; }
  std::wstring operator/(const std::wstring& name) const { return path_ + L"\\" + name; }

 private:
  std::wstring path_;
};

bool WriteFile(const std::wstring& path, const std::string& content);
bool CopyInto(const std::wstring& file, const std::wstring& folder);

class Process {
 public:
  // Starts a program with its own folder as the working folder; extra environment variables are
  // "NAME=value" entries added to this process's environment.
  static Process Start(const std::wstring& program, const std::vector<std::wstring>& environment = {});
  ~Process();
  Process(Process&&) = default;

  DWORD Id() const { return id_; }
  bool Started() const { return static_cast<bool>(handle_); }
  // Waits for the end; the exit code, or STILL_ACTIVE after the timeout.
  DWORD Wait(DWORD timeoutMs);
  void Kill();

 private:
  Process() = default;
  common::win::UniqueHandle handle_;
  DWORD id_ = 0;
};

// Polls `condition` every 50 ms until it holds or the time is up; whether it held.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs);

// The process a window belongs to, and the full path and the file name of a process's program.
DWORD ProcessOf(HWND window);
std::wstring ImagePathOf(DWORD processId);
std::wstring ImageNameOf(DWORD processId);

// A visible top-level window of the process with that class (empty: any) and title (empty: any).
HWND FindWindowOf(DWORD processId, const std::wstring& className, const std::wstring& title = L"");
HWND WaitForWindowOf(DWORD processId, const std::wstring& className, const std::wstring& title, DWORD timeoutMs);

// A child window at any depth with that control ID.
HWND DescendantById(HWND window, int id);

std::wstring TextOf(HWND window);
std::vector<std::wstring> ComboItems(HWND combo);
bool IsEnabled(HWND window);
void Click(HWND button);

// A message box ("#32770") of the process: its text, and pressing one of its buttons (IDOK, IDYES...).
HWND WaitForMessageBox(DWORD processId, DWORD timeoutMs);
std::wstring MessageBoxText(HWND box);
void PressButton(HWND box, int buttonId);

}  // namespace robot
