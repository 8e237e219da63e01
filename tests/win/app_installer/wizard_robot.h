// Drives appsetup.exe from another process the way a user would: finds its windows, types into
// them, presses buttons and answers message boxes.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "common/win/handles.h"

namespace appsetup::robot {

inline bool WaitUntil(const std::function<bool()>& done, int timeoutMs = 20000) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

inline std::wstring TextOf(HWND window) {
  wchar_t text[1024] = {};
  SendMessageW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text));
  return text;
}

inline std::wstring ClassOf(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return name;
}

struct DialogSearch {
  DWORD pid;
  const std::wstring* title;
  HWND found;
};

inline BOOL CALLBACK MatchDialog(HWND window, LPARAM data) {
  auto* s = reinterpret_cast<DialogSearch*>(data);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if ((s->pid != 0 && pid != s->pid) || !IsWindowVisible(window) || ClassOf(window) != L"#32770") {
    return TRUE;
  }
  if (!s->title->empty() && TextOf(window) != *s->title) return TRUE;
  s->found = window;
  return FALSE;
}

// A visible dialog window of the process (0: of any process), optionally with this exact title.
inline HWND FindDialog(DWORD processId, const std::wstring& title = L"") {
  DialogSearch search{processId, &title, nullptr};
  EnumWindows(&MatchDialog, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

inline HWND WaitForDialog(DWORD processId, const std::wstring& title = L"") {
  HWND found = nullptr;
  WaitUntil([&] { return (found = FindDialog(processId, title)) != nullptr; });
  return found;
}

inline HWND CurrentPage(HWND sheet) {
  return reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
}

// Waits until the sheet shows the page holding control `id`; that page, or null.
inline HWND WaitForPageWith(HWND sheet, int id) {
  HWND page = nullptr;
  WaitUntil([&] {
    page = CurrentPage(sheet);
    return page != nullptr && GetDlgItem(page, id) != nullptr;
  });
  return page && GetDlgItem(page, id) ? page : nullptr;
}

inline void SetText(HWND window, const std::wstring& text) {
  SendMessageW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

inline void Press(HWND sheet, int button) { PostMessageW(sheet, PSM_PRESSBUTTON, button, 0); }

// A visible, enabled button of the sheet itself with this text ("Finish").
inline bool SheetButtonReady(HWND sheet, const std::wstring& text) {
  for (HWND child = GetWindow(sheet, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (ClassOf(child) == L"Button" && IsWindowVisible(child) && IsWindowEnabled(child) &&
        TextOf(child) == text) {
      return true;
    }
  }
  return false;
}

// The message text of a message box: its longest static text.
inline std::wstring BoxText(HWND box) {
  std::wstring longest;
  for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (ClassOf(child) != L"Static") continue;
    std::wstring text = TextOf(child);
    if (text.size() > longest.size()) longest = text;
  }
  return longest;
}

// A click on a button or check box, as the mouse would make it.
inline void ClickControl(HWND dialog, int id) { PostMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

inline void Click(HWND dialog, int id) {
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

// Writes a whole file; false when it cannot.
inline bool WriteText(const std::wstring& path, const std::string& text) {
  common::win::UniqueFile file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                           FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  return file && WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
         written == text.size();
}

struct Started {
  common::win::UniqueHandle process;
  DWORD id = 0;
};

// Starts a whole command line (program as the command line names it); `environment` (UTF-16
// block) may be null for the caller's.
inline Started StartCommand(std::wstring line, const std::wstring& directory,
                            const wchar_t* environment = nullptr) {
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  Started started;
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_UNICODE_ENVIRONMENT,
                      const_cast<wchar_t*>(environment), directory.c_str(), &startup, &info)) {
    return started;
  }
  CloseHandle(info.hThread);
  started.process.reset(info.hProcess);
  started.id = info.dwProcessId;
  return started;
}

// Starts a program without arguments.
inline Started Start(const std::wstring& program, const std::wstring& directory,
                     const wchar_t* environment = nullptr) {
  return StartCommand(L"\"" + program + L"\"", directory, environment);
}

}  // namespace appsetup::robot
