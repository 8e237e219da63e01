// Byte layouts of the pages the virtual printers answer and accept (256-byte data buffer).
#pragma once

#include "stand_ins/printer_library/state_file.h"

#include <cstdint>
#include <optional>
#include <span>

namespace printer_library {

using Buffer = std::span<uint8_t, kBufferSize>;

// Each Build* clears the whole buffer first; false means the page is not one this printer has.
bool BuildLogPage(const PrinterConfig& p, int page, Buffer out);
void BuildStandardInquiry(const PrinterConfig& p, Buffer out);
bool BuildVpdPage(const PrinterConfig& p, int page, Buffer out);
bool BuildModeData(const PrinterConfig& p, int page, Buffer out);  // 4-byte header, then the page

// Page length byte of a mode page this printer has (0x23 -> 0x26, ...).
std::optional<uint8_t> ModePageLength(int page);

// Takes a mode page as sent (page code byte first) into the named fields. Returns false when the
// page carries bytes the named fields cannot hold, so the whole page has to be kept as it is.
bool TakeModePage(PrinterConfig& p, std::span<const uint8_t> page);

}  // namespace printer_library
