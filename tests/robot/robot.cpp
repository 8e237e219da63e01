#include "robot.h"

#include <commctrl.h>

namespace robot {

std::wstring ProgramFolder() {
  wchar_t path[MAX_PATH * 4];
  const DWORD length = ::GetModuleFileNameW(nullptr, path, static_cast<DWORD>(std::size(path)));
  std::wstring folder(path, length);
  return folder.substr(0, folder.find_last_of(L"\\/"));
}

TempFolder::TempFolder() {
  wchar_t base[MAX_PATH];
  ::GetTempPathW(MAX_PATH, base);
  for (unsigned n = ::GetTickCount() ^ ::GetCurrentProcessId();; ++n) {
    path_ = std::wstring(base) + L"robot" + std::to_wstring(n);
    if (::CreateDirectoryW(path_.c_str(), nullptr)) break;
  }
}

TempFolder::~TempFolder() {
  WIN32_FIND_DATAW found;
  common::win::UniqueFind find(::FindFirstFileW((path_ + L"\\*").c_str(), &found));
  if (find) {
    do {
      if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) ::DeleteFileW((path_ + L"\\" + found.cFileName).c_str());
    } while (::FindNextFileW(find.get(), &found));
  }
  find.reset();
  ::RemoveDirectoryW(path_.c_str());
}

bool WriteFile(const std::wstring& path, const std::string& content) {
  common::win::UniqueFile file(::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                             FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  DWORD written = 0;
  return ::WriteFile(file.get(), content.data(), static_cast<DWORD>(content.size()), &written, nullptr) &&
         written == content.size();
}

bool CopyInto(const std::wstring& file, const std::wstring& folder) {
  const std::wstring name = file.substr(file.find_last_of(L"\\/") + 1);
  return ::CopyFileW(file.c_str(), (folder + L"\\" + name).c_str(), FALSE) != FALSE;
}

Process Process::Start(const std::wstring& program, const std::vector<std::wstring>& environment) {
  for (const std::wstring& entry : environment) {
    const size_t equals = entry.find(L'=');
    ::SetEnvironmentVariableW(entry.substr(0, equals).c_str(), entry.substr(equals + 1).c_str());
  }
  STARTUPINFOW startup{sizeof(startup)};
  PROCESS_INFORMATION info{};
  std::wstring commandLine = L"\"" + program + L"\"";
  const std::wstring folder = program.substr(0, program.find_last_of(L"\\/"));
  Process process;
  if (::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                       &startup, &info)) {
    ::CloseHandle(info.hThread);
    process.handle_.reset(info.hProcess);
    process.id_ = info.dwProcessId;
  }
  for (const std::wstring& entry : environment) {
    ::SetEnvironmentVariableW(entry.substr(0, entry.find(L'=')).c_str(), nullptr);
  }
  return process;
}

Process::~Process() { Kill(); }

DWORD Process::Wait(DWORD timeoutMs) {
  if (!handle_) return 0;
  ::WaitForSingleObject(handle_.get(), timeoutMs);
  DWORD code = STILL_ACTIVE;
  ::GetExitCodeProcess(handle_.get(), &code);
  return code;
}

void Process::Kill() {
  if (handle_ && Wait(0) == STILL_ACTIVE) {
    ::TerminateProcess(handle_.get(), 99);
    ::WaitForSingleObject(handle_.get(), 5000);
  }
}

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
  const DWORD start = ::GetTickCount();
  for (;;) {
    if (condition()) return true;
    if (::GetTickCount() - start > timeoutMs) return false;
    ::Sleep(50);
  }
}

namespace {
struct Search {
  DWORD processId;
  const std::wstring* className;
  const std::wstring* title;
  HWND found;
};

BOOL CALLBACK Match(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<Search*>(context);
  DWORD owner = 0;
  ::GetWindowThreadProcessId(window, &owner);
  if (owner != search->processId || !::IsWindowVisible(window)) return TRUE;
  wchar_t className[256];
  ::GetClassNameW(window, className, 256);
  if (!search->className->empty() && *search->className != className) return TRUE;
  if (!search->title->empty() && TextOf(window) != *search->title) return TRUE;
  search->found = window;
  return FALSE;
}
}  // namespace

DWORD ProcessOf(HWND window) {
  DWORD id = 0;
  ::GetWindowThreadProcessId(window, &id);
  return id;
}

std::wstring ImagePathOf(DWORD processId) {
  common::win::UniqueHandle process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
  wchar_t path[MAX_PATH * 2] = L"";
  DWORD size = MAX_PATH * 2;
  if (!process || !::QueryFullProcessImageNameW(process.get(), 0, path, &size)) return {};
  return std::wstring(path, size);
}

std::wstring ImageNameOf(DWORD processId) {
  const std::wstring path = ImagePathOf(processId);
  return path.substr(path.find_last_of(L"\\/") + 1);
}

HWND FindWindowOf(DWORD processId, const std::wstring& className, const std::wstring& title) {
  Search search{processId, &className, &title, nullptr};
  ::EnumWindows(Match, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND WaitForWindowOf(DWORD processId, const std::wstring& className, const std::wstring& title, DWORD timeoutMs) {
  HWND found = nullptr;
  WaitUntil([&] { return (found = FindWindowOf(processId, className, title)) != nullptr; }, timeoutMs);
  return found;
}

namespace {
struct WantedChild {
  int id;
  HWND found;
};

BOOL CALLBACK MatchId(HWND child, LPARAM context) {
  auto* wanted = reinterpret_cast<WantedChild*>(context);
  if (::GetDlgCtrlID(child) != wanted->id) return TRUE;
  wanted->found = child;
  return FALSE;
}
}  // namespace

HWND DescendantById(HWND window, int id) {
  WantedChild wanted{id, nullptr};
  ::EnumChildWindows(window, MatchId, reinterpret_cast<LPARAM>(&wanted));  // visits every depth
  return wanted.found;
}

std::wstring TextOf(HWND window) {
  wchar_t text[2048] = L"";
  DWORD_PTR length = 0;
  ::SendMessageTimeoutW(window, WM_GETTEXT, std::size(text), reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000,
                        &length);
  return std::wstring(text, length);
}

std::vector<std::wstring> ComboItems(HWND combo) {
  std::vector<std::wstring> items;
  const LRESULT count = ::SendMessageW(combo, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    wchar_t text[256] = L"";
    ::SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
    items.emplace_back(text);
  }
  return items;
}

bool IsEnabled(HWND window) { return ::IsWindowEnabled(window) != FALSE; }

void Click(HWND button) { ::PostMessageW(button, BM_CLICK, 0, 0); }

HWND WaitForMessageBox(DWORD processId, DWORD timeoutMs) {
  return WaitForWindowOf(processId, L"#32770", L"", timeoutMs);
}

std::wstring MessageBoxText(HWND box) {
  HWND text = ::GetDlgItem(box, 0xFFFF);  // the message text's static control
  return text ? TextOf(text) : std::wstring();
}

void PressButton(HWND box, int buttonId) { ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED), 0); }

}  // namespace robot
