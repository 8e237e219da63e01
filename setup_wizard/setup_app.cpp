#include "setup_wizard/setup_app.h"

#include <cwctype>

namespace setup_wizard {

namespace {

std::atomic<WizardRun*> g_activeRun{nullptr};

// Publishes the run to pages and worker for the length of the sheets.
class ActiveRunScope {
 public:
  explicit ActiveRunScope(WizardRun& run) { g_activeRun.store(&run); }
  ~ActiveRunScope() { g_activeRun.store(nullptr); }
  ActiveRunScope(const ActiveRunScope&) = delete;
  ActiveRunScope& operator=(const ActiveRunScope&) = delete;
};

}  // namespace

WizardRun* ActiveRun() { return g_activeRun.load(); }

std::wstring TrimBlanks(std::wstring_view text) {
  while (!text.empty() && std::iswspace(text.front())) text.remove_prefix(1);
  while (!text.empty() && std::iswspace(text.back())) text.remove_suffix(1);
  return std::wstring(text);
}

std::wstring FormatWithName(std::wstring_view pattern, std::wstring_view value) {
  std::wstring out(pattern);
  const size_t at = out.find(L"%s");
  if (at != std::wstring::npos) out.replace(at, 2, value);
  return out;
}

WelcomeTexts DecideWelcome(bool install, int preconditionsResult, int status) {
  WelcomeTexts t;
  if (preconditionsResult == 1) {
    t.main = install ? kStringInstallWelcome : kStringDeleteWelcome;
    t.detail = install ? kStringInstallConnectLater : 0;
    t.allowNext = true;
    return t;
  }
  if (status == support_abi::kStatusNoRights) t.main = install ? kStringInstallNoRights : kStringDeleteNoRights;
  else t.main = kStringSpoolerInactive;
  t.continueShown = false;
  return t;
}

WelcomeTexts CheckWelcome(SupportLibrary& library, bool install) {
  const int ok = library.CheckSetupPreconditions();
  int32_t written = support_abi::kStatusUnset;
  const int status = ok == 1 ? 0 : library.GetLastSupportStatus(&written);
  return DecideWelcome(install, ok, status);
}

unsigned WizardButtons(bool next, bool back, bool firstPage, bool lastPage) {
  unsigned buttons = 0;
  if (lastPage) buttons |= kButtonFinish;
  else if (next) buttons |= kButtonNext;
  if (back && !firstPage) buttons |= kButtonBack;
  return buttons;
}

int CLMSetupApp::SetupWizardProc(WizardHost& host, int mode) {
  lastMode_ = mode;
  lastResult_ = Run(host, mode);
  return lastResult_;
}

int CLMSetupApp::Run(WizardHost& host, int mode) {
  if (!host.AttachOwner()) return 0;
  const std::wstring caption = host.OwnerText();

  // Both objects live for this call only; leaving the scope unloads the library on every path.
  SupportLibrary library(host.Loader());
  if (library.Bind() != 1) {
    host.ErrorBox(caption, host.LoadText(kStringLibraryProblem));
    return 0;
  }
  const std::wstring fileName = TrimBlanks(host.LoadText(kStringInfoFileName));
  std::unique_ptr<SetupInformation> information = host.CreateInformation();
  if (!information || information->Load(library.GetOsVersionCode(), fileName) != 1) {
    host.ErrorBox(caption, host.LoadText(kStringInfoProblem));
    return 0;
  }

  const bool install = mode > 0;
  WizardRun run{library, *information, install,
                FormatWithName(host.LoadText(install ? kStringInstallTitle : kStringDeleteTitle),
                               information->ProductName())};
  ActiveRunScope scope(run);
  return host.RunSheets(run) == 1 ? 1 : 0;
}

}  // namespace setup_wizard
