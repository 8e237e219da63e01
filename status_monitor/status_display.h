// Status_Display: the "Printer Status" page — status text, animated status picture, card and ink
// supply, ribbon, counters and version.
#pragma once

#include <string>

#include "status_monitor/common.h"
#include "status_monitor/ports.h"

namespace monitor {

class StatusDisplay {
 public:
  StatusDisplay(View& view, Common& common) : view_(view), common_(common) {}

  // Once at load: captions, empty texts, hidden pictures; the picture paths are fixed from here on.
  void Prepare();
  // The full display of the page.
  void ShowStatusPage();
  // The light redraw of the supply part (the last step of the full display).
  void ShowSupplies();

  // The status text as it would be shown for the current status words (exposed for the tests).
  static std::string ErrorText(int32_t statusCode);

 private:
  enum Picture { kLogo, kReady, kRun, kError, kAny, kNone, kYmckop, kYmckopk, kBlack, kInkUnknown, kPictureCount };
  const std::wstring& PicturePath(Picture picture) const { return picturePaths_[picture]; }
  void ShowAnimation(Picture picture);

  View& view_;
  Common& common_;
  std::wstring picturePaths_[kPictureCount];
  const std::wstring* shownAnimation_ = nullptr;  // the status picture now playing
};

}  // namespace monitor
