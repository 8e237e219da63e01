// A page of the tab control SSTab1 beside the status page.
#pragma once

namespace monitor {

// Pages 1 to 4 of SSTab1: prepared once at load, refreshed when another page is left.
class Page {
 public:
  virtual ~Page() = default;
  virtual void Prepare() = 0;
  virtual void Refresh() = 0;
};

}  // namespace monitor
