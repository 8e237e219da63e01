// The printer information snapshot: everything last read from the selected printer, and the byte
// layouts of the pages it is read from and sent back in.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace monitor {

inline constexpr int kDataBufferSize = 256;
using DataBuffer = std::array<uint8_t, kDataBufferSize>;

// Page codes.
inline constexpr int32_t kLogCounters = 0x38;
inline constexpr int32_t kLogSupplies = 0x3A;
inline constexpr int32_t kModeInkRibbon = 0x23;
inline constexpr int32_t kModePrintSettings = 0x28;
inline constexpr int32_t kModeMagnetic = 0x2A;
inline constexpr int32_t kModePrintPosition = 0x2B;
inline constexpr int32_t kModeJisEncoder = 0x3A;
inline constexpr int32_t kVpdHeadInfo = 1;
// The mode pages, in the order they are read and sent back.
inline constexpr int32_t kModePages[] = {kModeInkRibbon, kModePrintSettings, kModeMagnetic, kModePrintPosition,
                                        kModeJisEncoder};

// Ink type codes of the ribbon tag.
inline constexpr int kInkYmckop = 0;
inline constexpr int kInkYmckopk = 4;
inline constexpr int kInkBadTagData = 252;
inline constexpr int kInkTagCommunication = 253;
inline constexpr int kInkNoTag = 254;
inline constexpr int kInkTagReaderDefective = 255;

enum OptionUnit { kIsoMagnetic, kJisMagnetic, kContactIcIso, kContactIcJis, kNonContactIc, kLaminator };

struct PrinterInfo {
  // Status words, set by the status read.
  int32_t statusCode = 0;
  int32_t stateCode = 0;

  // Log page 0x38.
  int32_t printerPrintCounter = 0;
  int32_t printCounter = 0;
  int32_t thermalHeadCounter = 0;
  // Log page 0x3A.
  uint8_t inkQuantity = 0;  // 0..50 meaningful
  uint8_t cardEmpty = 0;    // non-zero: no cards
  // Standard inquiry (texts in the ANSI code page, nothing trimmed).
  std::string vendorId;
  std::string productId;
  std::string printerVersion;
  uint8_t configVersion = 0;
  uint8_t tableVersion = 0;
  std::array<bool, 6> optionUnits{};
  std::string laminatorVersion;
  // Vital product data page 1.
  std::string headInfo;
  // Mode page 0x23.
  int16_t inkType = 0;
  int32_t inkSets = 0;
  std::string lotNumber;
  // Settings: mode pages 0x28, 0x2A, 0x2B, 0x3A.
  int16_t ymcPrintLevel = 0;
  int16_t ymcPrintMode = 0;
  int16_t resinKPrintLevel = 0;
  int16_t resinKPrintMode = 0;
  int16_t opRetransferLevel = 0;
  int16_t isoCoercivity = 0;
  int16_t writeRetries = 0;
  int16_t printOffsetX = 0;
  int16_t printOffsetY = 0;
  int16_t jisCoercivity = 0;
};

// Fill operations: copy the fields of one page from the data buffer after a successful read.
// Each returns false and leaves the snapshot alone when the page code byte does not match.
bool FillLogCounters(PrinterInfo& info, const DataBuffer& data);
bool FillLogSupplies(PrinterInfo& info, const DataBuffer& data);
void FillStandardInquiry(PrinterInfo& info, const DataBuffer& data);
void FillHeadInfo(PrinterInfo& info, const DataBuffer& data);
bool FillModePage(PrinterInfo& info, int32_t pageCode, const DataBuffer& data);

// Writes the mode parameter header and one page, as sent with mode select, into the buffer
// (every other byte zero). Returns the number of bytes that make up the page data, or 0 for a
// page code that cannot be sent.
size_t BuildModePage(const PrinterInfo& info, int32_t pageCode, DataBuffer& data);

}  // namespace monitor
