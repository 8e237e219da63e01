// Printer_Property: the "Printer Property" page — identity, versions, option units and head
// information, drawn from the snapshot. Nothing on it talks to the printer.
#pragma once

#include "status_monitor/common.h"
#include "status_monitor/main_form.h"
#include "status_monitor/ports.h"

namespace monitor {

class PrinterProperty final : public Page {
 public:
  PrinterProperty(View& view, Common& common) : view_(view), common_(common) {}

  void Prepare() override { SetCaptions(); }
  void Refresh() override { ShowProperties(); }

  void SetCaptions();
  void ShowProperties();
  // The option-unit boxes only mirror the printer: a click is undone by a redraw.
  void Check3_Click(int index) { ShowProperties(); }

 private:
  View& view_;
  Common& common_;
};

}  // namespace monitor
