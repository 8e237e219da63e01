// The monitor wired to the fakes with its settings, media status and printer property pages.
#pragma once

#include "fakes.h"
#include "status_monitor/condition_set.h"
#include "status_monitor/media_detail.h"
#include "status_monitor/printer_property.h"

namespace monitor::testing {

struct PagesHarness : Harness {
  ConditionSet settings{view, boxes, common};
  MediaDetail media{view, common};
  PrinterProperty property{view, common};
  PagesHarness() {
    form.SetPage(1, &settings);
    form.SetPage(2, &media);
    form.SetPage(3, &property);
  }
};

}  // namespace monitor::testing
