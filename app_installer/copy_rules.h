// Copying one file entry: the overwrite rule by last-write time and the error messages.
#pragma once

#include <string>

#include "app_installer/install_ports.h"

namespace appsetup {

enum class EntryResult { Copied, KeptNewer, Skipped };

// Copies `source` to `destination`, making missing folders first. An existing destination is
// replaced when `force` is set or it is not newer than the source; a newer one is kept. Failures
// are reported in a box owned by `owner` and skip the entry.
EntryResult CopyEntry(const InstallContext& ctx, WindowRef owner, const std::string& source,
                      const std::string& destination, bool force);

}  // namespace appsetup
