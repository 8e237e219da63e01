// The deletion wizard's property pages (CUWzGuide, CUWzPrinter, CUWzCheck), its sheet (CUWzSheet)
// and the run object (CUWzMain) that follows the sheet with the progress sheet and its worker.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "setup_wizard/uninstall_pages.h"
#include "setup_wizard/win/install_wizard.h"

namespace setup_wizard::win {

template <typename Logic, int Dialog>
using CUWzPage = RulesPage<Logic, Dialog, UninstallSelections>;

using CUWzGuide = CUWzPage<UninstallGuidePage, IDD_UWZ_GUIDE>;
using CUWzPrinter = CUWzPage<UninstallPrinterPage, IDD_UWZ_PRINTER>;

// The review page draws the rows of list 2204 itself.
class CUWzCheck final : public InstallPageWindow {
 public:
  CUWzCheck(HINSTANCE module, WizardRun& run, UninstallSelections& selections, bool first, bool last);

 private:
  void OnInit() override;
  LRESULT OnSetActive() override;
  bool OnDrawItem(const DRAWITEMSTRUCT& item) override;

  UninstallSelections& selections_;
  std::vector<ReviewRow> rows_;  // the list's rows as they read
  int valueColumn_ = 0;  // the value's offset from the label, in pixels
};

// The selection wizard and the selections it collects.
class CUWzSheet {
 public:
  CUWzSheet(HINSTANCE module, HWND owner, WizardRun& run) : module_(module), owner_(owner), run_(run) {}
  // 1 when the user pressed Finish.
  int Run();
  const UninstallSelections& Selections() const { return selections_; }

 private:
  HINSTANCE module_;
  HWND owner_;
  WizardRun& run_;
  UninstallSelections selections_;
};

// One deletion: the selection wizard, then the progress sheet while the worker deletes.
class CUWzMain {
 public:
  CUWzMain(HINSTANCE module, HWND owner, WizardRun& run) : module_(module), owner_(owner), run_(run) {}
  int Run();

 private:
  HINSTANCE module_;
  HWND owner_;
  WizardRun& run_;
};

}  // namespace setup_wizard::win
