#include "setup_wizard/uninstall_pages.h"

namespace setup_wizard {

std::vector<int> InstalledModels(SupportLibrary& library, const SetupInformation& info) {
  std::vector<int> models;
  for (int i = 0; i < info.driverCount(); ++i) {
    if (library.IsPrinterDriverInstalled(info.driverName(i).c_str(), 0) == 1) models.push_back(i);
  }
  return models;
}

// --- welcome ----------------------------------------------------------------------------------

void UninstallGuidePage::onSetActive() {
  const WelcomeTexts texts = CheckWelcome(run_.library, false);
  view_.setText(kUninstallGuideMain, FormatWithName(view_.string(texts.main), run_.information.productName()));
  if (!texts.continueShown) view_.setText(kUninstallGuideContinue, L"");
  view_.setButtons(WizardButtons(texts.allowNext, false, true, last_));
}

// --- printer ----------------------------------------------------------------------------------

void UninstallPrinterPage::onCreate() {
  SetupInformation& info = run_.information;
  if (info.driverCount() == 0) {
    view_.errorBox(view_.string(kStringNoPrinterEntry));
    view_.pressCancel();
    return;
  }
  const int selected = view_.selection(kUninstallModels);
  const std::wstring previous = selected >= 0 ? view_.itemText(kUninstallModels, selected) : std::wstring();
  view_.clearList(kUninstallModels);
  const std::vector<int> models = InstalledModels(run_.library, info);
  for (int pos : models) {
    const int at = view_.addItem(kUninstallModels, info.driverName(pos));
    view_.setItemData(kUninstallModels, at, pos);
  }
  selections_.installedModelCount = static_cast<int>(models.size());
  int reselect = previous.empty() ? 0 : view_.findPrefix(kUninstallModels, previous);
  if (models.empty()) reselect = -1;
  view_.select(kUninstallModels, reselect);
  showPrinters();
}

void UninstallPrinterPage::onControl(int control, ControlEvent event) {
  if (control == kUninstallModels && event == ControlEvent::kSelectionChanged) showPrinters();
}

void UninstallPrinterPage::showPrinters() {
  const int at = view_.selection(kUninstallModels);
  std::wstring text;
  if (at >= 0) {
    const int pos = static_cast<int>(view_.itemData(kUninstallModels, at));
    for (const std::wstring& printer : run_.library.PrintersOfDriver(run_.information.driverName(pos))) {
      if (!text.empty()) text += L"\r\n";
      text += printer;
    }
  }
  view_.setText(kUninstallPrinters, text);
}

bool UninstallPrinterPage::onNext() {
  const int at = view_.selection(kUninstallModels);
  if (at < 0) {
    view_.errorBox(view_.string(kStringModelNotSelected));
    return false;
  }
  selections_.modelPos = static_cast<int>(view_.itemData(kUninstallModels, at));
  return true;
}

// --- review -----------------------------------------------------------------------------------

std::vector<uint32_t> ReviewItems(SupportLibrary& library, SetupInformation& info, int modelPos) {
  std::vector<uint32_t> items = {ReviewItem(kStringHeadingDriver, 0), ReviewItem(kStringLabelModel, modelPos)};
  const std::wstring driver = info.driverName(modelPos);
  const size_t printers = library.PrintersOfDriver(driver).size();
  for (size_t j = 0; j < printers; ++j) items.push_back(ReviewItem(kStringLabelPrinterName, static_cast<int>(j)));
  const int monitors = info.portMonitorCount(modelPos);
  if (monitors > 0) {
    items.push_back(0);
    items.push_back(ReviewItem(kStringHeadingPortMonitor, 0));
    for (int j = 0; j < monitors; ++j) {
      items.push_back(ReviewItem(kStringLabelPortMonitor, j));
      const size_t ports = library.Ports(info.portMonitorName(modelPos, j)).size();
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
  const std::vector<std::wstring> printers = library.PrintersOfDriver(info.driverName(modelPos));
  std::vector<std::wstring> ports;  // of the monitor of the last monitor row
  std::vector<ReviewRow> rows;
  for (uint32_t item : items) {
    const int id = ReviewString(item);
    const int index = ReviewIndex(item);
    ReviewRow row{id, {}};
    switch (id) {
      case kStringLabelModel:
        row.value = info.driverName(index);
        break;
      case kStringLabelPrinterName:
        row.value = nth(printers, index);
        if (index != 0) row.label = 0;
        break;
      case kStringLabelPortMonitor:
        row.value = info.portMonitorName(modelPos, index);
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

void UninstallCheckPage::onSetActive() {
  view_.clearList(kUninstallReview);
  for (uint32_t item : ReviewItems(run_.library, run_.information, selections_.modelPos)) {
    const int at = view_.addItem(kUninstallReview, L"");
    view_.setItemData(kUninstallReview, at, static_cast<intptr_t>(item));
  }
  offer(true, true);
}

bool UninstallCheckPage::onNext() {
  for (const std::wstring& printer : run_.library.PrintersOfDriver(run_.information.driverName(selections_.modelPos))) {
    uint32_t jobs = 0;
    if (run_.library.GetPrinterJobCount(printer.c_str(), &jobs) == 1 && jobs > 0) {
      view_.errorBox(view_.string(kStringPrinterBusy));
      return false;
    }
  }
  return true;
}

}  // namespace setup_wizard
