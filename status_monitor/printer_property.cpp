#include "status_monitor/printer_property.h"

#include "common/text.h"
#include "status_monitor/texts.h"

namespace monitor {

namespace {
constexpr Ctl kLaminatorFrame{"Frame3", 6};
constexpr Ctl kLaminatorVersion{"Label3", 6};
}  // namespace

void PrinterProperty::SetCaptions() {
  for (int i = 0; i < 9; ++i) view_.SetText({"Frame3", i}, text::kFrame3Captions[i]);
  for (int i = 0; i < 6; ++i) view_.SetText({"Check3", i}, text::kOptionUnits[i]);
}

void PrinterProperty::ShowProperties() {
  const PrinterInfo& info = common_.Info();
  if (!common_.Printers().Found()) {
    for (const int i : {0, 1, 2, 3, 4, 5, 7}) view_.SetText({"Label3", i}, "");
    view_.SetVisible(kLaminatorFrame, false);
    for (int i = 0; i < 6; ++i) view_.SetChecked({"Check3", i}, false);
    return;
  }
  view_.SetText({"Label3", 0}, info.vendorId);
  view_.SetText({"Label3", 1}, info.productId);
  view_.SetText({"Label3", 2}, common_.Printers().unitText);
  view_.SetText({"Label3", 3}, info.printerVersion);
  view_.SetText({"Label3", 4}, common::HexUpper(info.configVersion, 2));
  view_.SetText({"Label3", 5}, common::HexUpper(info.tableVersion, 2));
  // No laminator: its version is hidden rather than shown empty.
  if (info.optionUnits[kLaminator]) {
    view_.SetVisible(kLaminatorFrame, true);
    view_.SetText(kLaminatorVersion, info.laminatorVersion);
  } else {
    view_.SetVisible(kLaminatorFrame, false);
  }
  view_.SetText({"Label3", 7}, info.headInfo);
  for (int i = 0; i < 6; ++i) view_.SetChecked({"Check3", i}, info.optionUnits[i]);
}

}  // namespace monitor
