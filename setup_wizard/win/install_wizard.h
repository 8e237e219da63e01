// The installation wizard's property pages (CIWzLicense ... CIWzCheck), its sheet (CIWzSheet) and
// the run object (CIWzMain) that follows the sheet with the progress sheet and its worker.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "setup_wizard/install_pages.h"
#include "setup_wizard/win/sheets.h"

namespace setup_wizard::win {

// A page whose rules live in portable PageRules; the page window is those rules' PageView.
class InstallPageWindow : public PropertyPage, public PageView {
 public:
  InstallPageWindow(HINSTANCE module, WizardRun& run, int dialogId) : PropertyPage(module, run, dialogId) {}

  // PageView.
  std::wstring String(int id) override { return LoadText(module_, id); }
  void SetText(int control, const std::wstring& value) override;
  std::wstring Text(int control) override;
  void SetChecked(int control, bool checked) override;
  bool Checked(int control) override;
  void SetVisible(int control, bool visible) override;
  void SetEnabled(int control, bool enabled) override;
  void SetLimit(int control, int chars) override;
  void Focus(int control) override;
  void ClearList(int control) override;
  int AddItem(int control, const std::wstring& value) override;
  int FindPrefix(int control, const std::wstring& value) override;
  void SetItemData(int control, int index, intptr_t data) override;
  intptr_t ItemData(int control, int index) override;
  std::wstring ItemText(int control, int index) override;
  int ItemCount(int control) override;
  void Select(int control, int index) override;
  int Selection(int control) override;
  void ErrorBox(const std::wstring& message) override;
  void SetButtons(unsigned buttons) override { PropertyPage::SetButtons(buttons); }
  void PressCancel() override;

 protected:
  void OnInit() override { logic_->OnCreate(); }
  LRESULT OnSetActive() override;
  bool OnNotify(UINT code, LRESULT& result) override;
  void OnCommand(int control, int code) override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  LRESULT SendItem(int control, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

  std::unique_ptr<PageRules> logic_;

 private:
  // While the sheet brings the page up it moves the focus to the first control; a radio button or
  // list that gets the focus that way was not chosen by the user.
  bool activating_ = false;
};

// A page on dialog `Dialog` whose rules are `Logic`, over its sheet's `Selections`.
template <typename Logic, int Dialog, typename Selections>
class RulesPage final : public InstallPageWindow {
 public:
  RulesPage(HINSTANCE module, WizardRun& run, Selections& selections, bool first, bool last)
      : InstallPageWindow(module, run, Dialog) {
    logic_ = std::make_unique<Logic>(*this, run, selections, first, last);
  }
};

template <typename Logic, int Dialog>
using CIWzPage = RulesPage<Logic, Dialog, InstallSelections>;

using CIWzLicense = CIWzPage<LicensePage, IDD_IWZ_LICENSE>;
using CIWzGuide = CIWzPage<GuidePage, IDD_IWZ_GUIDE>;
using CIWzPrinter = CIWzPage<PrinterPage, IDD_IWZ_PRINTER>;
using CIWzShare = CIWzPage<SharePage, IDD_IWZ_SHARE>;
using CIWzPort = CIWzPage<PortPage, IDD_IWZ_PORT>;

// The review page draws its summary into button 2117.
class CIWzCheck final : public InstallPageWindow {
 public:
  CIWzCheck(HINSTANCE module, WizardRun& run, InstallSelections& selections, bool first, bool last);

 private:
  LRESULT OnSetActive() override;
  bool OnDrawItem(const DRAWITEMSTRUCT& item) override;
  InstallSelections& selections_;
  std::vector<SummaryRow> rows_;
};

// The selection wizard and the selections it collects.
class CIWzSheet {
 public:
  CIWzSheet(HINSTANCE module, HWND owner, WizardRun& run) : module_(module), owner_(owner), run_(run) {}
  // 1 when the user pressed Finish.
  int Run();
  const InstallSelections& Selections() const { return selections_; }

 private:
  HINSTANCE module_;
  HWND owner_;
  WizardRun& run_;
  InstallSelections selections_;
};

// One installation: the selection wizard, then the progress sheet while the worker installs.
class CIWzMain {
 public:
  CIWzMain(HINSTANCE module, HWND owner, WizardRun& run) : module_(module), owner_(owner), run_(run) {}
  int Run();

 private:
  HINSTANCE module_;
  HWND owner_;
  WizardRun& run_;
};

}  // namespace setup_wizard::win
