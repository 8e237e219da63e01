// Other: the "Others" page — the print counter with its clear, the test print, the firmware
// download with its file selector, the program lines — and the instruction log write that the
// instruction log window starts.
#pragma once

#include <string>

#include "status_monitor/common.h"
#include "status_monitor/file_selector.h"
#include "status_monitor/main_form.h"
#include "status_monitor/ports.h"
#include "status_monitor/texts.h"

namespace monitor {

// What the page needs of the window beyond the view: the mouse pointer.
class PageInput {
 public:
  virtual ~PageInput() = default;
  virtual void SetHourglass(bool on) = 0;
};

class Other final : public Page {
 public:
  Other(View& view, PageInput& input, MessageBoxes& boxes, EventLoop& events, Common& common, Files& files,
        SelectorView& selector)
      : view_(view), input_(input), boxes_(boxes), events_(events), common_(common), files_(files),
        selector_(selector, files, boxes, text::kFirmwarePattern, DriveFailure::Silent) {}

  // Page fill (once at load) and page refresh.
  void Prepare() override;
  void Refresh() override;

  // 0 clear the print counter, 1 test print, 2 firmware download.
  void Cmd4_Click(int index);

  // Writes the printer's instruction log to `path` (blanks already removed); false while the
  // user declined a question, so the instruction log window stays open.
  bool WriteInstructionLog(const std::wstring& path);

  FileSelector& Selector() { return selector_; }

 private:
  void ClearCounter();
  void TestPrint();
  void DownloadFirmware();

  View& view_;
  PageInput& input_;
  MessageBoxes& boxes_;
  EventLoop& events_;
  Common& common_;
  Files& files_;
  FileSelector selector_;
};

}  // namespace monitor
