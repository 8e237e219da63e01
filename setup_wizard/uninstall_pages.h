// The rules of the deletion wizard's pages: which installed models are offered, what the review
// list holds and how its rows read, and when Finish is refused. The pages' windows come in through
// the PageView port of the installation pages.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "resources/setup_wizard/resource.h"
#include "setup_wizard/install_pages.h"

namespace setup_wizard {

// Dialog and control numbers of the deletion pages (numbered in the resource header).
enum UninstallControl : int {
  kDialogUninstallPrinter = IDD_UWZ_PRINTER,
  kDialogUninstallCheck = IDD_UWZ_CHECK,
  kDialogUninstallGuide = IDD_UWZ_GUIDE,
  kUninstallModels = IDC_UWZ_MODELS,
  kUninstallPrinterInstruction = IDC_UWZ_PRINTER_INSTRUCTION,
  kUninstallCheckInstruction = IDC_UWZ_CHECK_INSTRUCTION,
  kUninstallReview = IDC_UWZ_REVIEW,
  kUninstallPrinters = IDC_UWZ_PRINTERS,
  kUninstallGuideMain = IDC_UWZ_GUIDE_MAIN,
  kUninstallGuideContinue = IDC_UWZ_CONTINUE,
};

enum UninstallString : int {
  kStringHeadingPortMonitor = 111,
  kStringDeletePreparing = 403,
  kStringDeleteUsb = 404,
  kStringDeleteMonitor = 405,
  kStringPortInUse = 406,
  kStringDeleteDriver = 407,
  kStringDeleteComplete = 408,
  kStringDeleteCanceled = 409,
  kStringDeleteServices = 410,
  kStringDriverInUse = 411,
  kStringMonitorNotDeleted = 413,
  kStringRestartWindows = 415,
  kStringContinueLater = 416,
  kStringDeletePort = 417,
  kStringKeepMonitor = 418,
  kStringModelNotSelected = 420,
  kStringServiceNotDeleted = 424,
  kStringPrinterBusy = 425,
  kStringRestartSpooler = 427,
};

// What the deletion wizard collects for the sequence (CUWzSheet's selections).
struct UninstallSelections {
  int modelPos = -1;            // position in the information file's driver list
  int installedModelCount = 0;  // models listed on the printer page
};

// Models of the information file whose driver the library reports installed, in file order.
std::vector<int> InstalledModels(SupportLibrary& library, const SetupInformation& info);

// One page's rules. `first`/`last`: where the page sits in the sheet, for the button rule.
class UninstallPage : public PageRules {
 public:
  UninstallPage(PageView& view, WizardRun& run, UninstallSelections& selections, bool first = false, bool last = false)
      : view_(view), run_(run), selections_(selections), first_(first), last_(last) {}
  UninstallPage(const UninstallPage&) = delete;
  UninstallPage& operator=(const UninstallPage&) = delete;

 protected:
  void Offer(bool next, bool back) { view_.SetButtons(WizardButtons(next, back, first_, last_)); }

  PageView& view_;
  WizardRun& run_;
  UninstallSelections& selections_;
  bool first_;
  bool last_;
};

class UninstallGuidePage final : public UninstallPage {
 public:
  using UninstallPage::UninstallPage;
  void OnSetActive() override;
};

class UninstallPrinterPage final : public UninstallPage {
 public:
  using UninstallPage::UninstallPage;
  void OnCreate() override;
  void OnSetActive() override { Offer(view_.ItemCount(kUninstallModels) > 0, true); }
  bool OnNext() override;
  void OnControl(int control, ControlEvent event) override;

 private:
  void ShowPrinters();
};

// A row of the review list: high 16 bits a string id, low 16 bits an index; 0 is an empty row.
constexpr uint32_t ReviewItem(int stringId, int index) {
  return (static_cast<uint32_t>(stringId) << 16) | static_cast<uint32_t>(index & 0xFFFF);
}
constexpr int ReviewString(uint32_t item) { return static_cast<int>(item >> 16); }
constexpr int ReviewIndex(uint32_t item) { return static_cast<int>(item & 0xFFFF); }

// The review list's items for the selected model, top to bottom.
std::vector<uint32_t> ReviewItems(SupportLibrary& library, SetupInformation& info, int modelPos);

// How review rows read, top to bottom: a label (string id, 0 for none) and a value. A monitor row
// sets the monitor whose ports the port rows below it name; the printer and port labels stand on
// the first row of each only.
struct ReviewRow {
  int label = 0;
  std::wstring value;
};
std::vector<ReviewRow> ReviewRowsOf(SupportLibrary& library, SetupInformation& info, int modelPos,
                                    const std::vector<uint32_t>& items);
// The labels whose widest sets where the values begin.
inline constexpr int kReviewValueColumnLabels[] = {kStringLabelModel, kStringLabelPrinterName, kStringLabelPortName,
                                                   kStringLabelPortMonitor, kStringLabelDeviceDriver};

class UninstallCheckPage final : public UninstallPage {
 public:
  using UninstallPage::UninstallPage;
  void OnSetActive() override;
  // Finish: refused while any printer of the model has queued jobs.
  bool OnNext() override;
};

}  // namespace setup_wizard
