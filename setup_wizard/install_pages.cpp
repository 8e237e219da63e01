#include "setup_wizard/install_pages.h"

namespace setup_wizard {

namespace abi = support_abi;

bool InstallPage::Refuse(int stringId, int focusControl) {
  view_.ErrorBox(view_.String(stringId));
  view_.Focus(focusControl);
  return false;
}

std::wstring FirstChars(const std::wstring& text, size_t count) { return text.substr(0, count); }

// --- licence ----------------------------------------------------------------------------------

void LicensePage::OnCreate() {
  run_.information.ReadLicenseText([&](const std::wstring& text) { view_.SetText(kLicenseText, text); });
  view_.SetChecked(kLicenseAgree, false);
  view_.SetChecked(kLicenseDisagree, true);
  Offer(false, true);
}

void LicensePage::OnControl(int control, ControlEvent event) {
  if (event != ControlEvent::kClicked || (control != kLicenseAgree && control != kLicenseDisagree)) return;
  const bool agree = control == kLicenseAgree;
  view_.SetChecked(kLicenseAgree, agree);
  view_.SetChecked(kLicenseDisagree, !agree);
  Offer(agree, true);
}

// --- welcome ----------------------------------------------------------------------------------

void GuidePage::OnSetActive() {
  const WelcomeTexts texts = CheckWelcome(run_.library, true);
  view_.SetText(kGuideMain, FormatWithName(view_.String(texts.main), run_.information.ProductName()));
  view_.SetText(kGuideDetail, texts.detail ? view_.String(texts.detail) : std::wstring());
  if (!texts.continueShown) view_.SetText(kGuideContinue, L"");
  // Back is never offered here, also when the licence page comes first.
  view_.SetButtons(WizardButtons(texts.allowNext, false, true, last_));
}

// --- printer ----------------------------------------------------------------------------------

void PrinterPage::OnCreate() {
  view_.ClearList(kPrinterModels);
  const int count = run_.information.DriverCount();
  for (int i = 0; i < count; ++i) view_.AddItem(kPrinterModels, run_.information.DriverName(i));
  if (count == 0) {
    view_.ErrorBox(view_.String(kStringNoPrinterEntry));
    view_.PressCancel();
    return;
  }
  view_.Select(kPrinterModels, 0);
  view_.SetLimit(kPrinterName, run_.information.LimitText());
  view_.SetText(kPrinterName, view_.ItemText(kPrinterModels, 0));
}

void PrinterPage::OnControl(int control, ControlEvent event) {
  if (control != kPrinterModels || event != ControlEvent::kSelectionChanged) return;
  const int at = view_.Selection(kPrinterModels);
  if (at >= 0) view_.SetText(kPrinterName, view_.ItemText(kPrinterModels, at));
}

bool PrinterPage::OnNext() {
  const std::wstring name = TrimBlanks(view_.Text(kPrinterName));
  if (name.empty()) return Refuse(kStringNameMissing, kPrinterName);
  if (run_.library.ValidatePrinterName(name.c_str()) == 1) {
    selections_.driverPos = view_.Selection(kPrinterModels);
    selections_.printerName = name;
    selections_.makeDefault = view_.Checked(kPrinterMakeDefault);
    return true;
  }
  int32_t written = abi::kStatusUnset;
  run_.library.GetLastSupportStatus(&written);
  return Refuse(written == abi::kStatusNameInUse ? kStringNameInUse : kStringNameInvalid, kPrinterName);
}

// --- share ------------------------------------------------------------------------------------

// A share name proposed from the printer name is at most this long.
constexpr size_t kProposedShareChars = 8;

void SharePage::OnSetActive() {
  if (selections_.driverPos != seenDriver_) {
    seenDriver_ = selections_.driverPos;
    view_.SetText(kShareOwner, selections_.printerName);
    view_.SetText(kShareName, FirstChars(selections_.printerName, kProposedShareChars));
  }
  Offer(true, true);
}

bool SharePage::OnNext() {
  const std::wstring share = view_.Text(kShareName);
  const std::wstring forbidden = view_.String(kStringShareForbidden);
  if (share.find_first_of(forbidden) != std::wstring::npos) return Refuse(kStringShareInvalid, kShareName);
  if (run_.library.IsShareNameUsed(share.c_str(), 0) == 1) return Refuse(kStringShareInUse, kShareName);
  selections_.shareName = share;
  return true;
}

// --- port -------------------------------------------------------------------------------------

void PortPage::OnSetActive() {
  if (selections_.driverPos != seenDriver_) Rebuild();
  Offer(true, true);
}

void PortPage::Rebuild() {
  SetupInformation& info = run_.information;
  view_.SetChecked(kPortUseExisting, false);
  view_.SetChecked(kPortCreateNew, false);
  seenDriver_ = selections_.driverPos;
  info.LoadDriver(seenDriver_);

  // A monitor named twice keeps one item, which then stands for the later entry.
  view_.ClearList(kMonitorList);
  for (int i = 0; i < info.PortMonitorCount(seenDriver_); ++i) {
    const std::wstring name = info.PortMonitorName(seenDriver_, i);
    int at = view_.FindPrefix(kMonitorList, name);
    if (at < 0) at = view_.AddItem(kMonitorList, name);
    view_.SetItemData(kMonitorList, at, i);
  }
  if (info.PortMonitorFlag() & 1) {
    for (const std::wstring& name : run_.library.PortMonitors()) {
      if (view_.FindPrefix(kMonitorList, name) >= 0) continue;
      view_.SetItemData(kMonitorList, view_.AddItem(kMonitorList, name), -1);
    }
  }
  const bool monitors = view_.ItemCount(kMonitorList) > 0;
  view_.SetEnabled(kPortCreateNew, monitors);
  view_.SetVisible(kMonitorList, monitors);
  if (monitors) {
    view_.Select(kMonitorList, 0);
    view_.Select(kPortList, -1);
  }

  view_.ClearList(kPortList);
  for (const std::wstring& name : run_.library.Ports(L"")) {
    if (view_.FindPrefix(kPortList, name) < 0) view_.AddItem(kPortList, name);
  }
  view_.SetVisible(kPortList, true);

  if (monitors) {
    view_.SetChecked(kPortCreateNew, true);
  } else {
    ChoosePort();
  }
}

void PortPage::ChooseMonitor() {
  view_.SetChecked(kPortCreateNew, true);
  view_.SetChecked(kPortUseExisting, false);
  view_.Select(kMonitorList, 0);
  view_.Select(kPortList, -1);
}

void PortPage::ChoosePort() {
  view_.SetChecked(kPortUseExisting, true);
  view_.SetChecked(kPortCreateNew, false);
  view_.Select(kPortList, 0);
  view_.Select(kMonitorList, -1);
}

void PortPage::OnControl(int control, ControlEvent event) {
  if (event == ControlEvent::kClicked && control == kPortCreateNew) ChooseMonitor();
  if (event == ControlEvent::kClicked && control == kPortUseExisting) ChoosePort();
  if (event != ControlEvent::kFocused) return;
  // Focus on a list chooses its kind of port but keeps the item the user is about to pick.
  const bool monitor = control == kMonitorList;
  if (!monitor && control != kPortList) return;
  view_.SetChecked(kPortCreateNew, monitor);
  view_.SetChecked(kPortUseExisting, !monitor);
  view_.Select(monitor ? kPortList : kMonitorList, -1);
}

bool PortPage::OnNext() {
  if (view_.Checked(kPortCreateNew)) {
    selections_.portName.clear();
    const int at = view_.Selection(kMonitorList);
    const std::wstring name = at >= 0 ? view_.ItemText(kMonitorList, at) : std::wstring();
    if (name.empty()) return Refuse(kStringMonitorNotSelected, kMonitorList);
    selections_.portMonitorIndex = static_cast<int>(view_.ItemData(kMonitorList, at));
    selections_.portMonitorName = name;
    return true;
  }
  selections_.portMonitorIndex = -1;
  const int at = view_.Selection(kPortList);
  const std::wstring name = at >= 0 ? view_.ItemText(kPortList, at) : std::wstring();
  if (name.empty()) return Refuse(kStringPortNotSelected, kPortList);
  selections_.portName = name;
  return true;
}

// --- review -----------------------------------------------------------------------------------

std::vector<SummaryRow> InstallSummary(WizardRun& run, const InstallSelections& s,
                                       const std::function<std::wstring(int)>& string) {
  SetupInformation& info = run.information;
  std::vector<SummaryRow> rows;
  rows.push_back({string(kStringHeadingDriver), L""});
  rows.push_back({string(kStringLabelModel), info.DriverName(s.driverPos)});
  rows.push_back({string(kStringLabelPrinterName), s.printerName});
  if (!s.shareName.empty()) rows.push_back({string(kStringLabelShareName), s.shareName});
  if (s.makeDefault) rows.push_back({string(kStringLabelMakeDefault), L""});
  rows.push_back({L"", L""});
  if (!s.portName.empty()) {
    rows.push_back({string(kStringHeadingExistingPort), L""});
    rows.push_back({string(kStringLabelPortName), s.portName});
    rows.push_back({string(kStringLabelPortMonitor), run.library.MonitorOfPort(s.portName)});
  } else {
    rows.push_back({string(kStringHeadingNewPort), L""});
    rows.push_back({string(kStringLabelPortMonitor), s.portMonitorName});
  }
  const int usbCount = info.UsbDriverCount(s.driverPos, s.portMonitorIndex);
  for (int j = 0; j < usbCount; ++j) {
    rows.push_back({j == 0 ? string(kStringLabelDeviceDriver) : L"", info.UsbDriverName(s.driverPos, s.portMonitorIndex, j)});
  }
  return rows;
}

}  // namespace setup_wizard
