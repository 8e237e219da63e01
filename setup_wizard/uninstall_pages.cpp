#include "setup_wizard/uninstall_pages.h"

namespace setup_wizard {

std::vector<int> InstalledModels(SupportLibrary& library, const SetupInformation& info) {
  std::vector<int> models;
  for (int i = 0; i < info.DriverCount(); ++i) {
    if (library.IsPrinterDriverInstalled(info.DriverName(i).c_str(), 0) == 1) models.push_back(i);
  }
  return models;
}

// --- welcome ----------------------------------------------------------------------------------

void UninstallGuidePage::OnSetActive() {
  const WelcomeTexts texts = CheckWelcome(run_.library, false);
  view_.SetText(kUninstallGuideMain, FormatWithName(view_.String(texts.main), run_.information.ProductName()));
  if (!texts.continueShown) view_.SetText(kUninstallGuideContinue, L"");
  view_.SetButtons(WizardButtons(texts.allowNext, false, true, last_));
}

// --- printer ----------------------------------------------------------------------------------

void UninstallPrinterPage::OnCreate() {
  SetupInformation& info = run_.information;
  if (info.DriverCount() == 0) {
    view_.ErrorBox(view_.String(kStringNoPrinterEntry));
    view_.PressCancel();
    return;
  }
  const int selected = view_.Selection(kUninstallModels);
  const std::wstring previous = selected >= 0 ? view_.ItemText(kUninstallModels, selected) : std::wstring();
  view_.ClearList(kUninstallModels);
  const std::vector<int> models = InstalledModels(run_.library, info);
  for (int pos : models) {
    const int at = view_.AddItem(kUninstallModels, info.DriverName(pos));
    view_.SetItemData(kUninstallModels, at, pos);
  }
  selections_.installedModelCount = static_cast<int>(models.size());
  int reselect = previous.empty() ? 0 : view_.FindPrefix(kUninstallModels, previous);
  if (models.empty()) reselect = -1;
  view_.Select(kUninstallModels, reselect);
  ShowPrinters();
}

void UninstallPrinterPage::OnControl(int control, ControlEvent event) {
  if (control == kUninstallModels && event == ControlEvent::kSelectionChanged) ShowPrinters();
}

void UninstallPrinterPage::ShowPrinters() {
  const int at = view_.Selection(kUninstallModels);
  std::wstring text;
  if (at >= 0) {
    const int pos = static_cast<int>(view_.ItemData(kUninstallModels, at));
    for (const std::wstring& printer : run_.library.PrintersOfDriver(run_.information.DriverName(pos))) {
      if (!text.empty()) text += L"\r\n";
      text += printer;
    }
  }
  view_.SetText(kUninstallPrinters, text);
}

bool UninstallPrinterPage::OnNext() {
  const int at = view_.Selection(kUninstallModels);
  if (at < 0) {
    view_.ErrorBox(view_.String(kStringModelNotSelected));
    return false;
  }
  selections_.modelPos = static_cast<int>(view_.ItemData(kUninstallModels, at));
  return true;
}

// --- review -----------------------------------------------------------------------------------

std::vector<uint32_t> ReviewItems(SupportLibrary& library, SetupInformation& info, int modelPos) {
  std::vector<uint32_t> items = {ReviewItem(kStringHeadingDriver, 0), ReviewItem(kStringLabelModel, modelPos)};
  const std::wstring driver = info.DriverName(modelPos);
  const size_t printers = library.PrintersOfDriver(driver).size();
  for (size_t j = 0; j < printers; ++j) items.push_back(ReviewItem(kStringLabelPrinterName, static_cast<int>(j)));
  const int monitors = info.PortMonitorCount(modelPos);
  if (monitors > 0) {
    items.push_back(0);
    items.push_back(ReviewItem(kStringHeadingPortMonitor, 0));
    for (int j = 0; j < monitors; ++j) {
      items.push_back(ReviewItem(kStringLabelPortMonitor, j));
      const size_t ports = library.Ports(info.PortMonitorName(modelPos, j)).size();
      for (size_t k = 0; k < ports; ++k) items.push_back(ReviewItem(kStringLabelPortName, static_cast<int>(k)));
    }
  }
  items.push_back(0);
  return items;
}

std::vector<ReviewRow> ReviewRowsOf(SupportLibrary& library, SetupInformation& info, int modelPos,
                                    const std::vector<uint32_t>& items) {
  const auto nth = [](const std::vector<std::wstring>& names, int i) {
    return i >= 0 && static_cast<size_t>(i) < names.size() ? names[static_cast<size_t>(i)] : std::wstring();
  };
  const std::vector<std::wstring> printers = library.PrintersOfDriver(info.DriverName(modelPos));
  std::vector<std::wstring> ports;  // of the monitor of the last monitor row
  std::vector<ReviewRow> rows;
  for (uint32_t item : items) {
    const int id = ReviewString(item);
    const int index = ReviewIndex(item);
    ReviewRow row{id, {}};
    switch (id) {
      case kStringLabelModel:
        row.value = info.DriverName(index);
        break;
      case kStringLabelPrinterName:
        row.value = nth(printers, index);
        if (index != 0) row.label = 0;
        break;
      case kStringLabelPortMonitor:
        row.value = info.PortMonitorName(modelPos, index);
        ports = library.Ports(row.value);
        break;
      case kStringLabelPortName:
        row.value = nth(ports, index);
        if (index != 0) row.label = 0;
        break;
      default:  // headings and empty rows carry no value
        break;
    }
    rows.push_back(std::move(row));
  }
  return rows;
}

void UninstallCheckPage::OnSetActive() {
  view_.ClearList(kUninstallReview);
  for (uint32_t item : ReviewItems(run_.library, run_.information, selections_.modelPos)) {
    const int at = view_.AddItem(kUninstallReview, L"");
    view_.SetItemData(kUninstallReview, at, static_cast<intptr_t>(item));
  }
  Offer(true, true);
}

bool UninstallCheckPage::OnNext() {
  for (const std::wstring& printer : run_.library.PrintersOfDriver(run_.information.DriverName(selections_.modelPos))) {
    uint32_t jobs = 0;
    if (run_.library.GetPrinterJobCount(printer.c_str(), &jobs) == 1 && jobs > 0) {
      view_.ErrorBox(view_.String(kStringPrinterBusy));
      return false;
    }
  }
  return true;
}

}  // namespace setup_wizard
