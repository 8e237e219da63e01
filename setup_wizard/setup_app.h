// The wizard entry: binds the support library, loads the information file, and runs the
// installation or deletion sheets; the Win32 side comes in through the WizardHost port.
#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <string_view>

#include "setup_wizard/setup_information.h"
#include "setup_wizard/support_library.h"

namespace setup_wizard {

// Numbers of the wizard's string table (the texts themselves live in the resource script).
enum WizardString : int {
  kStringInfoFileName = 11,
  kStringLabelModel = 101,
  kStringLabelPrinterName = 102,
  kStringLabelShareName = 103,
  kStringLabelMakeDefault = 104,
  kStringLabelPortName = 105,
  kStringLabelPortMonitor = 106,
  kStringLabelDeviceDriver = 107,
  kStringHeadingDriver = 108,
  kStringHeadingExistingPort = 109,
  kStringHeadingNewPort = 110,
  kStringInstallTitle = 201,
  kStringDeleteTitle = 202,
  kStringLibraryProblem = 203,
  kStringInfoProblem = 204,
  kStringSpoolerInactive = 205,
  kStringNoPrinterEntry = 206,
  kStringShareForbidden = 301,
  kStringInstallWelcome = 302,
  kStringInstallConnectLater = 303,
  kStringPreparing = 304,
  kStringDriverProgress = 305,
  kStringPrinterProgress = 307,
  kStringMonitorProgress = 308,
  kStringPortProgress = 309,
  kStringUsbProgress = 310,
  kStringServiceProgress = 311,
  kStringConnectPrinter = 312,
  kStringInstallComplete = 313,
  kStringInstallCanceled = 314,
  kStringCancelInstall = 316,
  kStringRestartForMonitor = 317,
  kStringOldMonitor = 318,
  kStringOldMonitorContinue = 320,
  kStringOldMonitorAbort = 321,
  kStringInstallNoRights = 322,
  kStringNameMissing = 323,
  kStringNameInUse = 324,
  kStringNameInvalid = 325,
  kStringPortNotSelected = 326,
  kStringMonitorNotSelected = 327,
  kStringShareInUse = 328,
  kStringShareInvalid = 329,
  kStringDriverFailed = 330,
  kStringMonitorFailed = 332,
  kStringPortFailed = 333,
  kStringUsbFailed = 334,
  kStringServiceFailed = 335,
  kStringDeleteWelcome = 401,
  kStringDeleteNoRights = 419,
  kStringCancelDelete = 414,
};

// What one SetupWizardProc call shares with its pages and its worker.
struct WizardRun {
  SupportLibrary& library;
  SetupInformation& information;
  bool install;
  std::wstring title;  // string 201 or 202 with the product name
};

// The run of the current call, for pages and the worker; null outside a call.
WizardRun* ActiveRun();

// Port: what the entry needs from Windows.
class WizardHost {
 public:
  virtual ~WizardHost() = default;
  // Takes the caller's window as the owner of everything shown; false when it is no window.
  virtual bool AttachOwner() = 0;
  virtual std::wstring OwnerText() = 0;
  virtual std::wstring LoadText(int id) = 0;
  // Beeps, then shows `text` with the stop icon.
  virtual void ErrorBox(const std::wstring& caption, const std::wstring& text) = 0;
  virtual ModuleLoader& Loader() = 0;
  virtual std::unique_ptr<SetupInformation> CreateInformation() = 0;
  // The selection wizard and, when it ends with Finish, the progress sheet: 1 when both ran to
  // their end, 0 when the user cancelled.
  virtual int RunSheets(WizardRun& run) = 0;
};

// The module's application object. It keeps the mode and result of the last call and nothing else.
class CLMSetupApp {
 public:
  int SetupWizardProc(WizardHost& host, int mode);
  int LastMode() const { return lastMode_; }
  int LastResult() const { return lastResult_; }

 private:
  int Run(WizardHost& host, int mode);
  int lastMode_ = 0;
  int lastResult_ = 0;
};

// White space cut at both ends.
std::wstring TrimBlanks(std::wstring_view text);
// `pattern` with its first "%s" replaced by `value`; other text, '%' included, stays as it is.
std::wstring FormatWithName(std::wstring_view pattern, std::wstring_view value);

// The welcome page for a precondition result (`status` matters only on refusal): string numbers
// for the main static (2106/2206) and, in installation, the second one (2107; 0 empties it),
// whether "Click Next to continue." stays (2105/2207), and whether Next is offered.
struct WelcomeTexts {
  int main = 0;
  int detail = 0;
  bool continueShown = true;
  bool allowNext = false;
};
WelcomeTexts DecideWelcome(bool install, int preconditionsResult, int status);
// Asks the library whether set-up may run now and decides the welcome page from the answer.
WelcomeTexts CheckWelcome(SupportLibrary& library, bool install);

// The wizard buttons a page offers when it becomes active: Finish on the last page, else Next
// when `next`; Back when `back` and the page is not the first.
enum WizardButton : unsigned { kButtonBack = 1, kButtonNext = 2, kButtonFinish = 4 };
unsigned WizardButtons(bool next, bool back, bool firstPage, bool lastPage);

}  // namespace setup_wizard
