#include "status_monitor/media_detail.h"

#include <string>

#include "status_monitor/texts.h"

namespace monitor {

namespace {

constexpr Ctl kTagMessage{"Label2", 8};
constexpr Ctl kInkPercent{"Label2", 5};
constexpr Ctl kCardQuantity{"Label2", 6};
constexpr int kUnknownRibbon = 2;

// Counters are shown as the unsigned 32-bit numbers the printer keeps.
std::string Counter(int32_t value) { return std::to_string(static_cast<uint32_t>(value)); }

}  // namespace

void MediaDetail::SetCaptions() {
  for (int i = 0; i < 8; ++i) view_.SetText({"Frame2", i}, text::kFrame2Captions[i]);
  for (int i = 0; i < 3; ++i) view_.SetText({"Opt2", i}, text::kRibbonOptions[i]);
  view_.SetText({"Label2", 7}, text::kPercent);
}

void MediaDetail::ShowMediaStatus() {
  const PrinterInfo& info = common_.Info();
  if (!common_.Printers().Found()) {
    for (int i = 0; i < 3; ++i) view_.SetChecked({"Opt2", i}, false);
    view_.SetText({"Opt2", kUnknownRibbon}, text::kRibbonOptions[kUnknownRibbon]);
    for (int i = 0; i <= 6; ++i) view_.SetText({"Label2", i}, "");
    view_.SetText(kTagMessage, "");
    return;
  }
  const int ribbon = info.inkType == kInkYmckop ? 0 : info.inkType == kInkYmckopk ? 1 : kUnknownRibbon;
  for (int i = 0; i < 3; ++i) view_.SetChecked({"Opt2", i}, i == ribbon);
  view_.SetText(kTagMessage, text::TagMessage(info.inkType));

  view_.SetText({"Label2", 0}, std::to_string(info.inkSets));
  view_.SetText({"Label2", 1}, info.lotNumber);
  view_.SetText({"Label2", 2}, Counter(info.printerPrintCounter));
  view_.SetText({"Label2", 3}, Counter(info.printCounter));
  view_.SetText({"Label2", 4}, Counter(info.thermalHeadCounter));
  const int quantity = info.inkQuantity;  // 0..50 is meaningful; the "%" label stays either way
  view_.SetText(kInkPercent, quantity <= 50 ? std::to_string(quantity * 100 / 50) : std::string());
  view_.SetText(kCardQuantity, info.cardEmpty != 0 ? text::kCardsNone : text::kCardsAny);
}

}  // namespace monitor
