#include "status_monitor/status_display.h"

#include <cmath>

#include "common/text.h"
#include "common/win_path.h"
#include "status_monitor/message_table.h"
#include "status_monitor/texts.h"

namespace monitor {

namespace {

constexpr Ctl kStatusText{"Label0_1"};
constexpr Ctl kStatusAnimation{"WebBrowser1"};
constexpr Ctl kLogoPicture{"Pic0", 0};
constexpr Ctl kCardPicture{"Pic0", 1};
constexpr Ctl kInkBar{"Pic0", 2};
constexpr Ctl kRibbonPicture{"Pic0", 3};
constexpr Ctl kInkPercent{"Label0_2", 0};
constexpr Ctl kInkSetsValue{"Label0_3", 1};
constexpr Ctl kLotValue{"Label0_4", 1};
constexpr Ctl kPrinterPrintCounter{"Label0_5"};
constexpr Ctl kPrintCounter{"Label0_6"};
constexpr Ctl kVersion{"Label0_7"};

constexpr Color kBlue = Rgb(0, 0, 255);
constexpr Color kRed = Rgb(255, 0, 0);
constexpr Color kInkBarColor = Rgb(128, 128, 255);

constexpr const wchar_t* kPictureFiles[] = {L"LOGO.gif", L"READY.gif", L"RUN.gif", L"ERROR.gif", L"ANY.gif",
                                            L"NONE.gif", L"YMCKOP.gif", L"YMCKOPK.gif", L"BLACK.gif", L"INKUNK.gif"};

// A number as shown in a label: one leading blank when it is not negative.
std::string LabelNumber(long long value) {
  return value >= 0 ? " " + std::to_string(value) : std::to_string(value);
}

}  // namespace

std::string StatusDisplay::ErrorText(int32_t statusCode) {
  // "0000" + hexadecimal of the negated code, of which the last eight characters are kept.
  std::string digits = "0000" + common::HexUpper(0u - static_cast<uint32_t>(statusCode), 1);
  if (digits.size() > 8) digits.erase(0, digits.size() - 8);
  std::string text = "Error(";
  text += digits;
  text += " : ";
  text += MessageText(statusCode);
  text += ")";
  return text;
}

void StatusDisplay::Prepare() {
  for (int i = 0; i < 9; ++i) view_.SetText({"Frame0", i}, text::kFrame0Captions[i]);
  view_.SetText({"Label0_3", 0}, text::kNumberOfInkSets);
  view_.SetText({"Label0_4", 0}, text::kLotNumber);
  view_.SetText({"Label0_8"}, text::kUnitNo);
  view_.SetText({"Label0_9"}, text::kInstructionLog);
  view_.SetText({"Cmd0", 0}, text::kLogButton);
  view_.SetText({"Cmd0", 1}, text::kUpdateButton);
  for (const Ctl label : {kStatusText, kInkPercent, kInkSetsValue, kLotValue, kPrinterPrintCounter, kPrintCounter, kVersion}) {
    view_.SetText(label, "");
  }
  for (int i = 0; i < 4; ++i) view_.SetVisible({"Pic0", i}, false);
  view_.SetVisible(kStatusAnimation, false);

  for (int i = 0; i < kPictureCount; ++i) picturePaths_[i] = common::JoinPath(common_.Printers().appPath, kPictureFiles[i]);
  shownAnimation_ = nullptr;
}

void StatusDisplay::ShowAnimation(Picture picture) {
  view_.SetVisible(kStatusAnimation, true);
  // Only a different picture restarts the animation.
  if (shownAnimation_ == &PicturePath(picture)) return;
  shownAnimation_ = &PicturePath(picture);
  view_.SetPicture(kStatusAnimation, *shownAnimation_);
}

void StatusDisplay::ShowStatusPage() {
  const PrinterList& printers = common_.Printers();
  const PrinterInfo& info = common_.Info();

  view_.SetVisible(kLogoPicture, true);
  view_.SetPicture(kLogoPicture, PicturePath(kLogo));

  const int kind = info.statusCode < 0 ? MessageKind(info.statusCode) : kInfo;
  Picture animation;
  if (kind < kPrinterAlarm) {
    if (printers.Found() && kind != kNotAccepted && info.stateCode == 0) {
      view_.SetForeColor(kStatusText, kBlue);
      view_.SetText(kStatusText, text::kReady);
      animation = kReady;
    } else if (printers.Found()) {
      view_.SetForeColor(kStatusText, kRed);
      view_.SetText(kStatusText, text::StateText(info.stateCode));
      animation = kRun;
    } else {
      view_.SetForeColor(kStatusText, kRed);
      view_.SetText(kStatusText, text::kNoPrinterIsFound);
      animation = kError;
    }
    view_.SetTop(kStatusText, 600);
    view_.SetHeight(kStatusText, 360);
    view_.SetFontSize(kStatusText, 14);
  } else {
    view_.SetForeColor(kStatusText, kRed);
    view_.SetText(kStatusText, ErrorText(info.statusCode));
    animation = kError;
    view_.SetTop(kStatusText, 180);
    view_.SetHeight(kStatusText, 1140);
    view_.SetFontSize(kStatusText, 11);
  }
  ShowAnimation(animation);

  view_.SetVisible(kRibbonPicture, true);
  view_.ClearDrawing(kRibbonPicture);
  if (printers.Found()) {
    Picture ribbon = kInkUnknown;
    if (info.inkType == kInkYmckop) ribbon = kYmckop;
    else if (info.inkType == kInkYmckopk) ribbon = kYmckopk;
    else if (info.inkType == kInkNoTag) ribbon = kBlack;
    view_.SetPicture(kRibbonPicture, PicturePath(ribbon));
    view_.SetText(kLotValue, info.lotNumber);
    view_.SetText(kVersion, info.printerVersion);
  } else {
    view_.SetPicture(kRibbonPicture, {});
    view_.SetText(kLotValue, "");
    view_.SetText(kVersion, "");
  }
  ShowSupplies();
}

void StatusDisplay::ShowSupplies() {
  const PrinterInfo& info = common_.Info();
  static const std::wstring kNoPicture;

  view_.SetVisible(kCardPicture, true);
  view_.ClearDrawing(kCardPicture);
  view_.SetVisible(kInkBar, true);
  view_.ClearDrawing(kInkBar);
  if (!common_.Printers().Found()) {
    view_.SetPicture(kCardPicture, kNoPicture);
    view_.SetPicture(kInkBar, kNoPicture);
    for (const Ctl label : {kInkPercent, kInkSetsValue, kPrinterPrintCounter, kPrintCounter}) view_.SetText(label, "");
    return;
  }

  view_.SetPicture(kCardPicture, PicturePath(info.cardEmpty != 0 ? kNone : kAny));

  const int quantity = info.inkQuantity;
  if (quantity > 50) {  // not a meaningful quantity: no bar, no percentage
    view_.SetPicture(kInkBar, kNoPicture);
    view_.SetText(kInkPercent, "");
  } else {
    const SizeTwips size = view_.GetSize(kInkBar);
    const int right = static_cast<int>(std::lround((size.width - 60) * static_cast<double>(quantity) / 50.0));
    view_.FillBox(kInkBar, right, size.height - 75, kInkBarColor);
    view_.SetText(kInkPercent, std::to_string(quantity * 100 / 50));
  }
  view_.SetText(kInkSetsValue, LabelNumber(info.inkSets));
  view_.SetText(kPrinterPrintCounter, LabelNumber(info.printerPrintCounter));
  view_.SetText(kPrintCounter, LabelNumber(info.printCounter));
}

}  // namespace monitor
