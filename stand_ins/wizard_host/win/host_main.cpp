// KVSETUPW64.EXE stand-in: reads its two-line command line (wizard library path, mode), loads
// that library and runs its SetupWizardProc with a hidden window of its own as the owner. The
// exit code is the wizard's result, or -1 when the host could not run it.
#include <windows.h>

#include <exception>
#include <string>

#include "common/win/handles.h"
#include "stand_ins/wizard_host/host_command_line.h"

namespace {

using SetupWizardProcFn = int32_t(__stdcall*)(HWND owner, int32_t mode, const char* commandLine);

constexpr int kHostFailure = -1;

// The host's texts. The owner's title is also the caption of the wizard's own error boxes.
constexpr wchar_t kOwnerTitle[] = L"SETUP Wizard";
constexpr wchar_t kCaption[] = L"Wizard host";
constexpr wchar_t kBadCommandLine[] =
    L"The wizard host needs a command line of two lines: the wizard library's full path and the mode.";
constexpr wchar_t kNoWindow[] = L"The wizard host could not create its window.";
constexpr wchar_t kLibraryNotLoaded[] = L"The wizard library could not be loaded:\n";
constexpr wchar_t kNoEntry[] = L"The wizard library has no SetupWizardProc:\n";

int Fail(const std::wstring& text) {
  ::MessageBoxW(nullptr, text.c_str(), kCaption, MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
  return kHostFailure;
}

int Run() {
  const std::optional<wizard_host::HostRequest> request = wizard_host::ParseHostCommandLine(::GetCommandLineW());
  if (!request) return Fail(kBadCommandLine);

  // The owner window comes first: under Wine, a thread's first window call must not wait behind
  // a library load that registers window classes.
  HWND owner = ::CreateWindowExW(0, L"STATIC", kOwnerTitle, WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                 ::GetModuleHandleW(nullptr), nullptr);
  if (!owner) return Fail(kNoWindow);
  struct DestroyOnExit {
    HWND window;
    ~DestroyOnExit() { ::DestroyWindow(window); }
  } destroy{owner};

  common::win::UniqueModule wizard(
      ::LoadLibraryExW(request->libraryPath.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
  if (!wizard) return Fail(kLibraryNotLoaded + request->libraryPath);
  const auto setupWizardProc = reinterpret_cast<SetupWizardProcFn>(
      reinterpret_cast<void*>(::GetProcAddress(wizard.get(), "SetupWizardProc")));
  if (!setupWizardProc) return Fail(kNoEntry + request->libraryPath);
  return setupWizardProc(owner, request->mode, "");
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
  try {
    return Run();
  } catch (const std::exception&) {
    return kHostFailure;
  }
}
