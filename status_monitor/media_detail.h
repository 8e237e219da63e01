// Media_Detail: the "Media Status" page — ribbon type and tag result, ink sets, lot, counters, ink
// and card supply, drawn from the snapshot. Nothing on it talks to the printer.
#pragma once

#include "status_monitor/common.h"
#include "status_monitor/main_form.h"
#include "status_monitor/ports.h"

namespace monitor {

class MediaDetail final : public Page {
 public:
  MediaDetail(View& view, Common& common) : view_(view), common_(common) {}

  void Prepare() override { SetCaptions(); }
  void Refresh() override { ShowMediaStatus(); }

  void SetCaptions();
  void ShowMediaStatus();
  // The ribbon options only mirror the printer: a click is undone by a redraw.
  void Opt2_Click(int index) { ShowMediaStatus(); }

 private:
  View& view_;
  Common& common_;
};

}  // namespace monitor
