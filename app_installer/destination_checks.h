// The destination page's checks: the folder text, folder creation and free space.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "app_installer/install_ports.h"

namespace appsetup {

inline constexpr uint32_t kLowSpaceMegabytes = 10;

// Free megabytes from a byte count; more than 32 bits' worth reads 4294967295, no answer reads 0.
uint32_t FreeMegabytes(std::optional<uint64_t> bytes);

// Makes every missing level of `path` up to its last separator (one level for paths not of the
// form "X:\..."), reporting message 5 or 6 in a box owned by `owner`.
bool CreateFolderLevels(const InstallContext& ctx, WindowRef owner, std::string_view path);

enum class DestinationOutcome { Refused, OptionsPage, CopyingPage };

// "Next" on the destination page: takes the edit text as the installation folder and runs the
// root, creation and free-space checks, each refusal reported to the user.
DestinationOutcome AcceptDestination(const InstallContext& ctx, WindowRef owner,
                                     std::string_view editText);

}  // namespace appsetup
