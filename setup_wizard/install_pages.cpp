#include "setup_wizard/install_pages.h"

namespace setup_wizard {

namespace abi = support_abi;

bool InstallPage::refuse(int stringId, int focusControl) {
  view_.errorBox(view_.string(stringId));
  view_.focus(focusControl);
  return false;
}

std::wstring FirstChars(const std::wstring& text, size_t count) { return text.substr(0, count); }

// --- licence ----------------------------------------------------------------------------------

void LicensePage::onCreate() {
  run_.information.readLicenseText([&](const std::wstring& text) { view_.setText(kLicenseText, text); });
  view_.setChecked(kLicenseAgree, false);
  view_.setChecked(kLicenseDisagree, true);
  offer(false, true);
}

void LicensePage::onControl(int control, ControlEvent event) {
  if (event != ControlEvent::kClicked || (control != kLicenseAgree && control != kLicenseDisagree)) return;
  const bool agree = control == kLicenseAgree;
  view_.setChecked(kLicenseAgree, agree);
  view_.setChecked(kLicenseDisagree, !agree);
  offer(agree, true);
}

// --- welcome ----------------------------------------------------------------------------------

void GuidePage::onSetActive() {
  const WelcomeTexts texts = CheckWelcome(run_.library, true);
  view_.setText(kGuideMain, FormatWithName(view_.string(texts.main), run_.information.productName()));
  view_.setText(kGuideDetail, texts.detail ? view_.string(texts.detail) : std::wstring());
  if (!texts.continueShown) view_.setText(kGuideContinue, L"");
  // Back is never offered here, also when the licence page comes first.
  view_.setButtons(WizardButtons(texts.allowNext, false, true, last_));
}

// --- printer ----------------------------------------------------------------------------------

void PrinterPage::onCreate() {
  view_.clearList(kPrinterModels);
  const int count = run_.information.driverCount();
  for (int i = 0; i < count; ++i) view_.addItem(kPrinterModels, run_.information.driverName(i));
  if (count == 0) {
    view_.errorBox(view_.string(kStringNoPrinterEntry));
    view_.pressCancel();
    return;
  }
  view_.select(kPrinterModels, 0);
  view_.setLimit(kPrinterName, run_.information.limitText());
  view_.setText(kPrinterName, view_.itemText(kPrinterModels, 0));
}

void PrinterPage::onControl(int control, ControlEvent event) {
  if (control != kPrinterModels || event != ControlEvent::kSelectionChanged) return;
  const int at = view_.selection(kPrinterModels);
  if (at >= 0) view_.setText(kPrinterName, view_.itemText(kPrinterModels, at));
}

bool PrinterPage::onNext() {
  const std::wstring name = TrimBlanks(view_.text(kPrinterName));
  if (name.empty()) return refuse(kStringNameMissing, kPrinterName);
  if (run_.library.ValidatePrinterName(name.c_str()) == 1) {
    selections_.driverPos = view_.selection(kPrinterModels);
    selections_.printerName = name;
    selections_.makeDefault = view_.checked(kPrinterMakeDefault);
    return true;
  }
  int32_t written = abi::kStatusUnset;
  run_.library.GetLastSupportStatus(&written);
  return refuse(written == abi::kStatusNameInUse ? kStringNameInUse : kStringNameInvalid, kPrinterName);
}

// --- share ------------------------------------------------------------------------------------

// A share name proposed from the printer name is at most this long.
constexpr size_t kProposedShareChars = 8;

void SharePage::onSetActive() {
  if (selections_.driverPos != seenDriver_) {
    seenDriver_ = selections_.driverPos;
    view_.setText(kShareOwner, selections_.printerName);
    view_.setText(kShareName, FirstChars(selections_.printerName, kProposedShareChars));
  }
  offer(true, true);
}

bool SharePage::onNext() {
  const std::wstring share = view_.text(kShareName);
  const std::wstring forbidden = view_.string(kStringShareForbidden);
  if (share.find_first_of(forbidden) != std::wstring::npos) return refuse(kStringShareInvalid, kShareName);
  if (run_.library.IsShareNameUsed(share.c_str(), 0) == 1) return refuse(kStringShareInUse, kShareName);
  selections_.shareName = share;
  return true;
}

// --- port -------------------------------------------------------------------------------------

void PortPage::onSetActive() {
  if (selections_.driverPos != seenDriver_) rebuild();
  offer(true, true);
}

void PortPage::rebuild() {
  SetupInformation& info = run_.information;
  view_.setChecked(kPortUseExisting, false);
  view_.setChecked(kPortCreateNew, false);
  seenDriver_ = selections_.driverPos;
  info.loadDriver(seenDriver_);

  // A monitor named twice keeps one item, which then stands for the later entry.
  view_.clearList(kMonitorList);
  for (int i = 0; i < info.portMonitorCount(seenDriver_); ++i) {
    const std::wstring name = info.portMonitorName(seenDriver_, i);
    int at = view_.findPrefix(kMonitorList, name);
    if (at < 0) at = view_.addItem(kMonitorList, name);
    view_.setItemData(kMonitorList, at, i);
  }
  if (info.portMonitorFlag() & 1) {
    for (const std::wstring& name : run_.library.PortMonitors()) {
      if (view_.findPrefix(kMonitorList, name) >= 0) continue;
      view_.setItemData(kMonitorList, view_.addItem(kMonitorList, name), -1);
    }
  }
  const bool monitors = view_.itemCount(kMonitorList) > 0;
  view_.setEnabled(kPortCreateNew, monitors);
  view_.setVisible(kMonitorList, monitors);
  if (monitors) {
    view_.select(kMonitorList, 0);
    view_.select(kPortList, -1);
  }

  view_.clearList(kPortList);
  for (const std::wstring& name : run_.library.Ports(L"")) {
    if (view_.findPrefix(kPortList, name) < 0) view_.addItem(kPortList, name);
  }
  view_.setVisible(kPortList, true);

  if (monitors) {
    view_.setChecked(kPortCreateNew, true);
  } else {
    choosePort();
  }
}

void PortPage::chooseMonitor() {
  view_.setChecked(kPortCreateNew, true);
  view_.setChecked(kPortUseExisting, false);
  view_.select(kMonitorList, 0);
  view_.select(kPortList, -1);
}

void PortPage::choosePort() {
  view_.setChecked(kPortUseExisting, true);
  view_.setChecked(kPortCreateNew, false);
  view_.select(kPortList, 0);
  view_.select(kMonitorList, -1);
}

void PortPage::onControl(int control, ControlEvent event) {
  if (event == ControlEvent::kClicked && control == kPortCreateNew) chooseMonitor();
  if (event == ControlEvent::kClicked && control == kPortUseExisting) choosePort();
  if (event != ControlEvent::kFocused) return;
  // Focus on a list chooses its kind of port but keeps the item the user is about to pick.
  const bool monitor = control == kMonitorList;
  if (!monitor && control != kPortList) return;
  view_.setChecked(kPortCreateNew, monitor);
  view_.setChecked(kPortUseExisting, !monitor);
  view_.select(monitor ? kPortList : kMonitorList, -1);
}

bool PortPage::onNext() {
  if (view_.checked(kPortCreateNew)) {
    selections_.portName.clear();
    const int at = view_.selection(kMonitorList);
    const std::wstring name = at >= 0 ? view_.itemText(kMonitorList, at) : std::wstring();
    if (name.empty()) return refuse(kStringMonitorNotSelected, kMonitorList);
    selections_.portMonitorIndex = static_cast<int>(view_.itemData(kMonitorList, at));
    selections_.portMonitorName = name;
    return true;
  }
  selections_.portMonitorIndex = -1;
  const int at = view_.selection(kPortList);
  const std::wstring name = at >= 0 ? view_.itemText(kPortList, at) : std::wstring();
  if (name.empty()) return refuse(kStringPortNotSelected, kPortList);
  selections_.portName = name;
  return true;
}

// --- review -----------------------------------------------------------------------------------

std::vector<SummaryRow> InstallSummary(WizardRun& run, const InstallSelections& s,
                                       const std::function<std::wstring(int)>& string) {
  SetupInformation& info = run.information;
  std::vector<SummaryRow> rows;
  rows.push_back({string(kStringHeadingDriver), L""});
  rows.push_back({string(kStringLabelModel), info.driverName(s.driverPos)});
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
  const int usbCount = info.usbDriverCount(s.driverPos, s.portMonitorIndex);
  for (int j = 0; j < usbCount; ++j) {
    rows.push_back({j == 0 ? string(kStringLabelDeviceDriver) : L"", info.usbDriverName(s.driverPos, s.portMonitorIndex, j)});
  }
  return rows;
}

}  // namespace setup_wizard
