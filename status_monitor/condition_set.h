// Condition_Set: the "Printer Setting" page — print levels and modes, retransfer level, write
// retries, magnetic coercivity and print position, drawn from the snapshot and written back.
#pragma once

#include "status_monitor/common.h"
#include "status_monitor/main_form.h"
#include "status_monitor/ports.h"

namespace monitor {

// The range of each slider HScroll1(0..5) as the window is designed, and what its label shows:
// the position minus the offset.
struct SliderRange {
  int min;
  int max;
  int offset;
};
inline constexpr int kSliderCount = 6;
inline constexpr SliderRange kSliderRanges[kSliderCount] = {
    {0, 6, 3}, {0, 6, 3}, {0, 6, 3},  // YMC print level, resin K print level, OP retransfer level
    {0, 3, 0},                        // number of write retries
    {0, 14, 7}, {0, 14, 7},           // print position offset X, Y
};

class ConditionSet final : public Page {
 public:
  ConditionSet(View& view, MessageBoxes& boxes, Common& common) : view_(view), boxes_(boxes), common_(common) {}

  void Prepare() override { SetCaptions(); }
  void Refresh() override { ShowSettings(); }

  void SetCaptions();
  void ShowSettings();
  void UpdateSettings();
  // Events: a slider moved; "Update" (0) or "Refresh" (1) pressed.
  void HScroll1_Change(int index);
  void Cmd1_Click(int index);

 private:
  void ShowSlider(int index, int value);
  void ShowCoercivity();

  View& view_;
  MessageBoxes& boxes_;
  Common& common_;
};

}  // namespace monitor
