// KVSETUPW.DLL / KVSETUPW64.DLL: DllMain and the one export, SetupWizardProc.
#include <windows.h>
#include <commctrl.h>

#include <exception>
#include <memory>

#include "common/win/handles.h"
#include "setup_wizard/setup_app.h"
#include "setup_wizard/win/module_loader.h"
#include "setup_wizard/win/profile_reader_win.h"
#include "setup_wizard/win/sheets.h"

namespace {

using namespace setup_wizard;

HINSTANCE g_module = nullptr;
CLMSetupApp g_app;

class Win32WizardHost final : public WizardHost {
 public:
  Win32WizardHost(HINSTANCE module, HWND owner) : module_(module), owner_(owner), loader_(module) {}

  bool AttachOwner() override { return owner_ != nullptr && ::IsWindow(owner_); }
  std::wstring OwnerText() override {
    std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(owner_)) + 1, L'\0');
    text.resize(static_cast<size_t>(::GetWindowTextW(owner_, text.data(), static_cast<int>(text.size()))));
    return text;
  }
  std::wstring LoadText(int id) override { return win::LoadText(module_, id); }
  void ErrorBox(const std::wstring& caption, const std::wstring& text) override {
    ::MessageBeep(0xFFFFFFFF);
    ::MessageBoxW(owner_, text.c_str(), caption.c_str(), MB_OK | MB_ICONSTOP);
  }
  ModuleLoader& Loader() override { return loader_; }
  std::unique_ptr<SetupInformation> CreateInformation() override { return win::CreateSetupInformation(module_); }
  int RunSheets(WizardRun& run) override { return win::RunSheets(module_, owner_, run); }

 private:
  HINSTANCE module_;
  HWND owner_;
  win::Win32ModuleLoader loader_;
};

// Common controls 6 for our sheets: the module's manifest is active only while the call runs.
class ModuleActivationContext {
 public:
  explicit ModuleActivationContext(HINSTANCE module) {
    wchar_t path[MAX_PATH + 1] = {};
    const DWORD n = ::GetModuleFileNameW(module, path, MAX_PATH + 1);
    if (n == 0 || n > MAX_PATH) return;
    ACTCTXW request{};
    request.cbSize = sizeof request;
    request.dwFlags = ACTCTX_FLAG_HMODULE_VALID | ACTCTX_FLAG_RESOURCE_NAME_VALID;
    request.hModule = module;
    request.lpSource = path;
    request.lpResourceName = MAKEINTRESOURCEW(2);
    context_ = ::CreateActCtxW(&request);
    if (context_ != INVALID_HANDLE_VALUE && !::ActivateActCtx(context_, &cookie_)) cookie_ = 0;
  }
  ~ModuleActivationContext() {
    if (cookie_ != 0) ::DeactivateActCtx(0, cookie_);
    if (context_ != INVALID_HANDLE_VALUE) ::ReleaseActCtx(context_);
  }
  ModuleActivationContext(const ModuleActivationContext&) = delete;
  ModuleActivationContext& operator=(const ModuleActivationContext&) = delete;

 private:
  HANDLE context_ = INVALID_HANDLE_VALUE;
  ULONG_PTR cookie_ = 0;
};

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    g_module = instance;
    ::DisableThreadLibraryCalls(instance);
  }
  return TRUE;
}

// owner: the caller's window; mode > 0 installs, else deletes; commandLine: not read.
extern "C" int32_t __stdcall SetupWizardProc(HWND owner, int32_t mode, const char* commandLine) {
  try {
    ModuleActivationContext activation(g_module);
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    Win32WizardHost host(g_module, owner);
    return g_app.SetupWizardProc(host, mode);
  } catch (const std::exception&) {
    return 0;
  }
}
