#include "launcher/win/launcher_port.h"

#include <commctrl.h>

#include <exception>

#include "common/win/ansi.h"

namespace launcher::win {

namespace {

using SetupWizardProcFn = int32_t(__stdcall*)(HWND owner, int32_t mode, const char* commandLine);
using GetOsVersionCodeFn = int32_t(__stdcall*)();

// The value of the launcher window's instance property.
const HANDLE kPropertyValue = reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(-1));

struct PropertySearch {
  const char* name;
  HWND found;
};

BOOL CALLBACK FindByProperty(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<PropertySearch*>(context);
  if (::GetPropA(window, search->name) == nullptr) return TRUE;
  search->found = window;
  return FALSE;
}

}  // namespace

Win32LauncherPort::~Win32LauncherPort() {
  if (window_) ::DestroyWindow(window_);
}

std::optional<std::string> Win32LauncherPort::OwnPath() {
  char path[kMaxPathChars + 2] = {};
  // A path that fills the buffer was cut short by the system.
  const DWORD length = ::GetModuleFileNameA(nullptr, path, static_cast<DWORD>(sizeof path));
  if (length == 0 || length > kMaxPathChars) return std::nullopt;
  return std::string(path, length);
}

common::CodePage Win32LauncherPort::SystemCodePage() { return common::win::AnsiCodePage(); }

std::optional<std::string> Win32LauncherPort::LoadText(int id) {
  char text[1024];
  const int length = ::LoadStringA(instance_, static_cast<UINT>(id), text, static_cast<int>(sizeof text));
  if (length <= 0) return std::nullopt;
  return std::string(text, static_cast<size_t>(length));
}

void Win32LauncherPort::ErrorBox(const std::string& caption, const std::string& text) {
  ::MessageBoxA(nullptr, text.c_str(), caption.c_str(), MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
}

bool Win32LauncherPort::ClaimInstance(const std::string& name) {
  ::SetLastError(ERROR_SUCCESS);
  HANDLE mutex = ::CreateMutexA(nullptr, TRUE, name.c_str());
  const DWORD error = ::GetLastError();
  mutex_.reset(mutex);
  // A mutex that cannot be made at all (a clash with another kind of object) does not stop the
  // launcher: it cannot tell that another instance runs.
  return error != ERROR_ALREADY_EXISTS;
}

void Win32LauncherPort::BringForward(const std::string& name) {
  PropertySearch search{name.c_str(), nullptr};
  ::EnumWindows(&FindByProperty, reinterpret_cast<LPARAM>(&search));
  if (!search.found) return;
  // Asynchronous, so a first instance that is busy cannot hold this one up.
  if (::IsIconic(search.found)) ::ShowWindowAsync(search.found, SW_RESTORE);
  ::SetForegroundWindow(search.found);
  HWND popup = ::GetLastActivePopup(search.found);
  if (popup && popup != search.found) ::SetForegroundWindow(popup);
}

bool Win32LauncherPort::CreateMainWindow(const std::string& title, const std::string& name) {
  WNDCLASSA windowClass{};
  windowClass.style = CS_HREDRAW | CS_VREDRAW;
  windowClass.lpfnWndProc = &WindowProc;
  windowClass.hInstance = instance_;
  windowClass.hIcon = ::LoadIconA(instance_, MAKEINTRESOURCEA(100));
  windowClass.hCursor = ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  windowClass.hbrBackground = static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
  windowClass.lpszClassName = kWindowClassName;
  if (!::RegisterClassA(&windowClass)) return false;

  const int x = ::GetSystemMetrics(SM_CXSCREEN) / 2;
  const int y = ::GetSystemMetrics(SM_CYSCREEN) / 2;
  window_ = ::CreateWindowExA(0, kWindowClassName, title.c_str(), WS_POPUP | WS_VISIBLE, x, y, 0, 0, nullptr,
                              nullptr, instance_, this);
  if (!window_) return false;
  propertyName_ = name;
  ::SetPropA(window_, propertyName_.c_str(), kPropertyValue);
  return true;
}

int Win32LauncherPort::RunMessageLoop() {
  MSG message;
  BOOL got;
  while ((got = ::GetMessageA(&message, nullptr, 0, 0)) != 0) {
    if (got == -1) return kExitFailure;
    ::TranslateMessage(&message);
    ::DispatchMessageA(&message);
  }
  return static_cast<int>(message.wParam);
}

LRESULT CALLBACK Win32LauncherPort::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
    ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    static_cast<Win32LauncherPort*>(create->lpCreateParams)->window_ = window;
  }
  auto* self = reinterpret_cast<Win32LauncherPort*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
  if (!self) return ::DefWindowProcA(window, message, wParam, lParam);
  try {
    return self->Handle(window, message, wParam, lParam);
  } catch (const std::exception&) {
    ::PostQuitMessage(kExitFailure);
    return 0;
  }
}

LRESULT Win32LauncherPort::Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: {
      INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
      ::InitCommonControlsEx(&controls);
      ::PostMessageA(window, kJobMessage, 0, 0);
      return 0;
    }
    case kJobMessage:
      if (launcher_) {
        if (const std::optional<int> code = launcher_->RunJobOnce()) ::PostQuitMessage(*code);
      }
      return 0;
    case WM_DESTROY:
      if (!propertyName_.empty()) ::RemovePropA(window, propertyName_.c_str());
      window_ = nullptr;
      ::PostQuitMessage(0);
      return 0;
    default:
      return ::DefWindowProcA(window, message, wParam, lParam);
  }
}

bool Win32LauncherPort::LoadSupportLibrary(const std::string& path) {
  // The library's own dependencies are looked for beside it.
  supportLibrary_.reset(::LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
  return static_cast<bool>(supportLibrary_);
}

std::optional<int32_t> Win32LauncherPort::OsVersionCode() {
  if (!supportLibrary_) return std::nullopt;
  const auto getCode = reinterpret_cast<GetOsVersionCodeFn>(
      reinterpret_cast<void*>(::GetProcAddress(supportLibrary_.get(), MAKEINTRESOURCEA(1))));
  if (!getCode) return std::nullopt;
  return getCode();
}

bool Win32LauncherPort::RunHost(const std::string& program, const std::string& commandLine) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_HIDE;
  PROCESS_INFORMATION info{};
  std::string writable = commandLine;  // CreateProcessA may write into its command line
  if (!::CreateProcessA(program.c_str(), writable.data(), nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS, nullptr,
                        nullptr, &startup, &info)) {
    return false;
  }
  common::win::UniqueHandle process(info.hProcess);
  common::win::UniqueHandle thread(info.hThread);
  ::WaitForInputIdle(process.get(), INFINITE);
  ::WaitForSingleObject(process.get(), INFINITE);
  DWORD exitCode = 0;
  ::GetExitCodeProcess(process.get(), &exitCode);  // read, and deliberately not acted on
  return true;
}

bool Win32LauncherPort::CallWizard(const std::string& libraryPath, int mode, const std::string& commandLine) {
  common::win::UniqueModule wizard(::LoadLibraryExA(libraryPath.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
  if (!wizard) return false;
  const auto setupWizardProc = reinterpret_cast<SetupWizardProcFn>(
      reinterpret_cast<void*>(::GetProcAddress(wizard.get(), "SetupWizardProc")));
  if (!setupWizardProc) return false;
  setupWizardProc(window_, mode, commandLine.c_str());
  return true;
}

}  // namespace launcher::win
