#include "status_monitor/condition_set.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <string>

#include "status_monitor/message_table.h"
#include "status_monitor/texts.h"

namespace monitor {

namespace {

constexpr Ctl kCoercivityFrame{"Frame1", 8};
constexpr int kNoneOption = 0;  // Opt1_3(0): never visible, selected to mean "no coercivity"

Ctl Slider(int index) { return {"HScroll1", index}; }
Ctl ValueLabel(int index) { return {"Label1_3", index}; }

// A value outside a slider's range is shown at the nearer end.
int SliderPosition(int index, int value) {
  return std::clamp(value, kSliderRanges[index].min, kSliderRanges[index].max);
}

// The number a value label shows; nothing for an empty or foreign text.
std::optional<int> LabelNumber(const std::string& text) {
  int value = 0;
  const char* end = text.data() + text.size();
  const auto [at, error] = std::from_chars(text.data(), end, value);
  if (text.empty() || error != std::errc() || at != end) return std::nullopt;
  return value;
}

// A mode option pair: "Standard" for 0, "Fine" for any other value.
void ShowMode(View& view, std::string_view options, int16_t mode) {
  view.SetChecked({options, 0}, mode == 0);
  view.SetChecked({options, 1}, mode != 0);
}

}  // namespace

void ConditionSet::SetCaptions() {
  for (int i = 0; i < 13; ++i) {
    if (i != 9) view_.SetText({"Frame1", i}, text::kFrame1Captions[i]);
  }
  for (int i = 0; i < kSliderCount; ++i) {
    view_.SetText({"Label1_1", i}, text::kSliderMinTexts[i]);
    view_.SetText({"Label1_2", i}, text::kSliderMaxTexts[i]);
  }
  for (const std::string_view options : {"Opt1_1", "Opt1_2"}) {
    view_.SetText({options, 0}, text::kStandard);
    view_.SetText({options, 1}, text::kFine);
  }
  for (int i = 0; i < 3; ++i) view_.SetText({"Opt1_3", i}, text::kCoercivityOptions[i]);
  view_.SetVisible({"Opt1_3", kNoneOption}, false);
  for (int i = 0; i < 2; ++i) view_.SetText({"Cmd1", i}, text::kSettingButtons[i]);
}

void ConditionSet::ShowSlider(int index, int value) {
  view_.SetValue(Slider(index), SliderPosition(index, value));
  HScroll1_Change(index);  // the label shows the position, clamped or not
}

void ConditionSet::HScroll1_Change(int index) {
  if (index < 0 || index >= kSliderCount) return;
  view_.SetText(ValueLabel(index), std::to_string(view_.GetValue(Slider(index)) - kSliderRanges[index].offset));
}

void ConditionSet::ShowSettings() {
  const PrinterInfo& info = common_.Info();
  const int16_t values[kSliderCount] = {info.ymcPrintLevel, info.resinKPrintLevel, info.opRetransferLevel,
                                        info.writeRetries,  info.printOffsetX,     info.printOffsetY};
  if (!common_.Printers().Found()) {
    for (int i = 0; i < kSliderCount; ++i) {
      view_.SetValue(Slider(i), SliderPosition(i, values[i]));
      view_.SetText(ValueLabel(i), "");
    }
    for (const std::string_view options : {"Opt1_1", "Opt1_2"}) {
      view_.SetChecked({options, 0}, false);
      view_.SetChecked({options, 1}, false);
    }
    view_.SetVisible(kCoercivityFrame, false);
    return;
  }
  for (int i = 0; i < kSliderCount; ++i) ShowSlider(i, values[i]);
  ShowMode(view_, "Opt1_1", info.ymcPrintMode);
  ShowMode(view_, "Opt1_2", info.resinKPrintMode);
  ShowCoercivity();
}

void ConditionSet::ShowCoercivity() {
  const PrinterInfo& info = common_.Info();
  const bool iso = info.optionUnits[kIsoMagnetic];
  if (!iso && !info.optionUnits[kJisMagnetic]) {
    view_.SetVisible(kCoercivityFrame, false);
    return;
  }
  // With both encoders the ISO one is shown; a JIS-only printer's setting is shown read-only.
  view_.SetText(kCoercivityFrame, iso ? text::kIsoMode : text::kJisMode);
  const int16_t value = iso ? info.isoCoercivity : info.jisCoercivity;
  if (value >= 0 && value <= 2) {
    view_.SetVisible(kCoercivityFrame, value != 0);
    for (int i = 0; i < 3; ++i) view_.SetChecked({"Opt1_3", i}, i == value);
  }
  for (int i = 0; i < 3; ++i) view_.SetEnabled({"Opt1_3", i}, iso);
}

void ConditionSet::UpdateSettings() {
  int values[kSliderCount];
  for (int i = 0; i < kSliderCount; ++i) {
    const std::optional<int> shown = LabelNumber(view_.GetText(ValueLabel(i)));
    if (!shown) {
      // The page still shows no printer while one is now selected: draw what is known and send
      // nothing, so no made-up values reach the printer.
      ShowSettings();
      return;
    }
    values[i] = *shown + kSliderRanges[i].offset;
  }
  PrinterInfo& info = common_.Info();
  const auto byte = [](int value) { return static_cast<int16_t>(value); };
  info.ymcPrintLevel = byte(values[0]);
  info.resinKPrintLevel = byte(values[1]);
  info.opRetransferLevel = byte(values[2]);
  info.writeRetries = byte(values[3]);
  info.printOffsetX = byte(values[4]);
  info.printOffsetY = byte(values[5]);
  info.ymcPrintMode = view_.IsChecked({"Opt1_1", 0}) ? 0 : 1;
  info.resinKPrintMode = view_.IsChecked({"Opt1_2", 0}) ? 0 : 1;

  // Only the coercivity on show is taken from the options; the other keeps the value last read.
  int16_t* coercivity = info.optionUnits[kIsoMagnetic]   ? &info.isoCoercivity
                        : info.optionUnits[kJisMagnetic] ? &info.jisCoercivity
                                                         : nullptr;
  if (coercivity) {
    *coercivity = view_.IsChecked({"Opt1_3", 0}) ? 0 : view_.IsChecked({"Opt1_3", 1}) ? 1 : 2;
  }

  // Nothing is read back: the snapshot and the controls keep what was sent.
  if (const int32_t result = common_.WriteModePages(); result != 0) {
    boxes_.Show(MessageText(result), BoxStyle::Error);
  }
}

void ConditionSet::Cmd1_Click(int index) {
  if (!common_.Printers().Found()) {
    boxes_.Show(text::kNoPrinterFound, BoxStyle::Error);
    return;
  }
  if (index == 0) {
    if (boxes_.Show(text::kConfirmChangeSetting, BoxStyle::Question) != BoxAnswer::Ok) return;
    UpdateSettings();
  } else {
    if (boxes_.Show(text::kConfirmRefreshSetting, BoxStyle::Question) != BoxAnswer::Ok) return;
    common_.ReadStatus();
    common_.RefreshPrinterInfo();
    ShowSettings();  // this page only: the status page waits for the poll
  }
}

}  // namespace monitor
