// The monitor wired to the fakes with its settings, media status and printer property pages.
#pragma once

#include "fakes.h"
#include "status_monitor/condition_set.h"
#include "status_monitor/media_detail.h"
#include "status_monitor/printer_property.h"

namespace monitor::testing {

// One ready printer with that unit, the window loaded.
struct PagesHarness : Harness {
  ConditionSet settings{view, boxes, common};
  MediaDetail media{view, common};
  PrinterProperty property{view, common};
  explicit PagesHarness(int32_t unit) {
    form.SetPage(1, &settings);
    form.SetPage(2, &media);
    form.SetPage(3, &property);
    library.printers.push_back(ReadyPrinter(unit));
    form.Load(L"C:\\Mon");
  }
  FakePrinter& Device() { return library.printers[0]; }
  // The operator comes to the pages from the status page: every page but that one is redrawn.
  void Show() { form.SSTab1_Click(0); }
  ControlState& C(std::string_view name, int index) { return view[{name, index}]; }
  bool Checked(std::string_view name, int index) { return C(name, index).checked; }
};

}  // namespace monitor::testing
