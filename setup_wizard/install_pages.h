// The rules of the installation wizard's pages: what each page shows, which buttons it offers,
// what it checks on Next and which selections it stores for the installation sequence. The
// pages' windows come in through the PageView port.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "resources/setup_wizard/resource.h"
#include "setup_wizard/setup_app.h"

namespace setup_wizard {

// Dialog and control numbers of the installation pages (numbered in the resource header).
enum InstallControl : int {
  kDialogLicense = IDD_IWZ_LICENSE,
  kDialogGuide = IDD_IWZ_GUIDE,
  kDialogPrinter = IDD_IWZ_PRINTER,
  kDialogPort = IDD_IWZ_PORT,
  kDialogCheck = IDD_IWZ_CHECK,
  kDialogShare = IDD_IWZ_SHARE,
  kLicenseInstruction = IDC_IWZ_LICENSE_INSTRUCTION,
  kLicenseText = IDC_IWZ_LICENSE_TEXT,
  kLicenseAgree = IDC_IWZ_LICENSE_AGREE,
  kLicenseDisagree = IDC_IWZ_LICENSE_DISAGREE,
  kGuideContinue = IDC_IWZ_CONTINUE,
  kGuideMain = IDC_IWZ_GUIDE_MAIN,
  kGuideDetail = IDC_IWZ_GUIDE_DETAIL,
  kPageInstruction = IDC_IWZ_PAGE_INSTRUCTION,
  kPrinterModels = IDC_IWZ_MODELS,
  kPrinterName = IDC_IWZ_PRINTER_NAME,
  kPortInstruction = IDC_IWZ_PORT_INSTRUCTION,
  kPortUseExisting = IDC_IWZ_USE_EXISTING,
  kPortList = IDC_IWZ_PORTS,
  kPortCreateNew = IDC_IWZ_CREATE_NEW,
  kMonitorList = IDC_IWZ_MONITORS,
  kCheckInstruction = IDC_IWZ_CHECK_INSTRUCTION,
  kCheckSummary = IDC_IWZ_SUMMARY,
  kShareOwner = IDC_IWZ_SHARE_OWNER,
  kShareName = IDC_IWZ_SHARE_NAME,
  kPrinterMakeDefault = IDC_IWZ_MAKE_DEFAULT,
};

// What the installation wizard collects for the sequence (CIWzSheet's selections).
struct InstallSelections {
  std::wstring printerName;
  std::wstring shareName;        // empty: not shared
  std::wstring portMonitorName;  // the monitor of a new port
  std::wstring portName;         // an existing port; empty: create a new one
  int driverPos = -1;            // position in the information file's driver list
  int portMonitorIndex = -1;     // the chosen monitor among the driver's; -1 for others and existing ports
  bool makeDefault = false;
};

// What happened to a control, as the page's window reports it.
enum class ControlEvent { kClicked, kSelectionChanged, kFocused };

// Port: the controls of one page and the sheet around it.
class PageView {
 public:
  virtual ~PageView() = default;
  virtual std::wstring String(int id) = 0;  // the wizard's string table
  virtual void SetText(int control, const std::wstring& text) = 0;
  virtual std::wstring Text(int control) = 0;
  virtual void SetChecked(int control, bool checked) = 0;
  virtual bool Checked(int control) = 0;
  virtual void SetVisible(int control, bool visible) = 0;
  virtual void SetEnabled(int control, bool enabled) = 0;
  virtual void SetLimit(int control, int chars) = 0;  // 0: the system's maximum
  virtual void Focus(int control) = 0;
  // List boxes; a sorted list places new items itself, so `addItem` returns where the item went.
  virtual void ClearList(int control) = 0;
  virtual int AddItem(int control, const std::wstring& text) = 0;
  // The first item beginning with `text` (case-insensitive), or -1.
  virtual int FindPrefix(int control, const std::wstring& text) = 0;
  virtual void SetItemData(int control, int index, intptr_t data) = 0;
  virtual intptr_t ItemData(int control, int index) = 0;
  virtual std::wstring ItemText(int control, int index) = 0;
  virtual int ItemCount(int control) = 0;
  virtual void Select(int control, int index) = 0;  // -1 clears the selection
  virtual int Selection(int control) = 0;           // -1 when none
  // Beeps, then shows `text` with the stop icon in the foreground, captioned with the sheet title.
  virtual void ErrorBox(const std::wstring& text) = 0;
  virtual void SetButtons(unsigned buttons) = 0;
  virtual void PressCancel() = 0;
};

// What a page window hands on to the page's rules.
class PageRules {
 public:
  virtual ~PageRules() = default;
  virtual void OnCreate() {}
  virtual void OnSetActive() = 0;
  // Next, or Finish on the last page; false keeps the sheet on this page.
  virtual bool OnNext() { return true; }
  virtual void OnControl(int control, ControlEvent event) {}
};

// One page's rules. `first`/`last`: where the page sits in the sheet, for the button rule.
class InstallPage : public PageRules {
 public:
  InstallPage(PageView& view, WizardRun& run, InstallSelections& selections, bool first = false, bool last = false)
      : view_(view), run_(run), selections_(selections), first_(first), last_(last) {}
  InstallPage(const InstallPage&) = delete;
  InstallPage& operator=(const InstallPage&) = delete;

 protected:
  void Offer(bool next, bool back) { view_.SetButtons(WizardButtons(next, back, first_, last_)); }
  // The check failed: say why and put the focus where the fix goes.
  bool Refuse(int stringId, int focusControl);

  PageView& view_;
  WizardRun& run_;
  InstallSelections& selections_;
  bool first_;
  bool last_;
};

class LicensePage final : public InstallPage {
 public:
  using InstallPage::InstallPage;
  void OnCreate() override;
  void OnSetActive() override { Offer(view_.Checked(kLicenseAgree), true); }
  void OnControl(int control, ControlEvent event) override;
};

class GuidePage final : public InstallPage {
 public:
  using InstallPage::InstallPage;
  void OnSetActive() override;
};

class PrinterPage final : public InstallPage {
 public:
  using InstallPage::InstallPage;
  void OnCreate() override;
  void OnSetActive() override { Offer(true, true); }
  bool OnNext() override;
  void OnControl(int control, ControlEvent event) override;
};

class SharePage final : public InstallPage {
 public:
  using InstallPage::InstallPage;
  void OnSetActive() override;
  bool OnNext() override;

 private:
  int seenDriver_ = -1;
};

class PortPage final : public InstallPage {
 public:
  using InstallPage::InstallPage;
  void OnSetActive() override;
  bool OnNext() override;
  void OnControl(int control, ControlEvent event) override;

 private:
  void Rebuild();
  void ChooseMonitor();
  void ChoosePort();
  int seenDriver_ = -1;
};

class CheckPage final : public InstallPage {
 public:
  using InstallPage::InstallPage;
  void OnSetActive() override { Offer(true, true); }
};

// One row of the review summary: a label (empty for none) and a value.
struct SummaryRow {
  std::wstring label;
  std::wstring value;
};
// The review page's two-column summary, top to bottom.
std::vector<SummaryRow> InstallSummary(WizardRun& run, const InstallSelections& selections,
                                       const std::function<std::wstring(int)>& string);

// The first `count` characters of `text` (all of it when shorter).
std::wstring FirstChars(const std::wstring& text, size_t count);

}  // namespace setup_wizard
