#include "stand_ins/printer_library/pages.h"

#include <algorithm>
#include <array>

namespace printer_library {
namespace {

constexpr uint8_t kPrinterDevice = 0x02;  // peripheral device type of a printer
constexpr uint8_t kModeDeviceSpecific = 0x10;

struct ModePageShape {
  int page;
  uint8_t length;
};
constexpr ModePageShape kModePages[] = {{0x23, 0x26}, {0x28, 0x30}, {0x2A, 0x08}, {0x2B, 0x06}, {0x3A, 0x08}};

// Positions of the page 0x23 fields in the mode parameter data.
constexpr size_t kInkTypeAt = 6, kInkSetsAt = 8, kLotAt = 12, kLotWidth = 32;

void PutBig(Buffer out, size_t at, uint32_t value, size_t bytes) {
  for (size_t i = 0; i < bytes; ++i) out[at + i] = static_cast<uint8_t>(value >> (8 * (bytes - 1 - i)));
}

void PutText(Buffer out, size_t at, size_t width, const std::string& text) {
  std::copy_n(text.begin(), std::min(width, text.size()), out.begin() + static_cast<std::ptrdiff_t>(at));
}

// A log parameter: 2-byte code, control byte, length, then the value.
void PutLogParameter(Buffer out, size_t at, uint16_t code, uint32_t value, uint8_t bytes) {
  PutBig(out, at, code, 2);
  out[at + 3] = bytes;
  PutBig(out, at + 4, value, bytes);
}

bool Printable(const std::string& text) {
  return std::all_of(text.begin(), text.end(), [](char c) {
    const auto b = static_cast<unsigned char>(c);
    return b >= 0x20 && b != 0x7F;
  });
}

std::string TextAt(std::span<const uint8_t> data, size_t at, size_t width) {
  std::string out;
  for (size_t i = at; i < at + width && i < data.size() && data[i] != 0; ++i) out.push_back(static_cast<char>(data[i]));
  return out;
}

}  // namespace

bool BuildLogPage(const PrinterConfig& p, int page, Buffer out) {
  std::fill(out.begin(), out.end(), uint8_t{0});
  if (page == 0x38) {
    out[0] = 0x38;
    PutBig(out, 2, 24, 2);
    PutLogParameter(out, 4, 0, p.printerPrintCounter, 4);
    PutLogParameter(out, 12, 1, p.printCounter, 4);
    PutLogParameter(out, 20, 2, p.headCounter, 4);
    return true;
  }
  if (page == 0x3A) {
    out[0] = 0x3A;
    PutBig(out, 2, 10, 2);
    PutLogParameter(out, 4, 0, p.inkQuantity, 1);
    PutLogParameter(out, 9, 1, p.cardEmpty, 1);
    return true;
  }
  return false;
}

void BuildStandardInquiry(const PrinterConfig& p, Buffer out) {
  std::fill(out.begin(), out.end(), uint8_t{0});
  out[0] = kPrinterDevice;
  out[2] = 0x02;
  out[3] = 0x02;
  out[4] = 43 - 5;  // additional length: bytes 5..42
  PutText(out, 8, 8, p.vendor);
  PutText(out, 16, 16, p.product);
  PutText(out, 32, 4, p.version);
  out[36] = p.configVersion;
  out[37] = p.tableVersion;
  out[38] = p.options;
  PutText(out, 39, 4, p.laminatorVersion);
}

bool BuildVpdPage(const PrinterConfig& p, int page, Buffer out) {
  std::fill(out.begin(), out.end(), uint8_t{0});
  out[0] = kPrinterDevice;
  if (page == 0) {  // the supported pages
    out[3] = 2;
    out[5] = 1;
    return true;
  }
  if (page == 1) {
    out[1] = 1;
    out[3] = 24;
    PutText(out, 8, 20, p.headInfo);
    return true;
  }
  return false;
}

std::optional<uint8_t> ModePageLength(int page) {
  for (const auto& m : kModePages) {
    if (m.page == page) return m.length;
  }
  return std::nullopt;
}

bool BuildModeData(const PrinterConfig& p, int page, Buffer out) {
  const auto length = ModePageLength(page);
  std::fill(out.begin(), out.end(), uint8_t{0});
  if (!length) return false;
  out[0] = static_cast<uint8_t>(3 + 2 + *length);
  out[2] = kModeDeviceSpecific;
  // A page kept whole wins over the named keys.
  if (const auto raw = p.rawModePages.find(static_cast<uint8_t>(page)); raw != p.rawModePages.end()) {
    std::copy_n(raw->second.begin(), std::min(raw->second.size(), out.size() - 4), out.begin() + 4);
    return true;
  }
  out[4] = static_cast<uint8_t>(page);
  out[5] = *length;
  if (page == 0x23) {
    out[kInkTypeAt] = p.inkType;
    PutBig(out, kInkSetsAt, p.inkSets, 2);
    PutText(out, kLotAt, kLotWidth, p.lot);
  }
  for (const auto& b : ByteKeys()) {
    if (b.page == page) out[b.offset] = p.*b.member;
  }
  return true;
}

bool TakeModePage(PrinterConfig& p, std::span<const uint8_t> page) {
  if (page.empty()) return false;
  const int code = page[0];
  std::array<uint8_t, kBufferSize> data{};
  std::copy_n(page.begin(), std::min(page.size(), data.size() - 4), data.begin() + 4);
  if (code == 0x23) {
    p.inkType = data[kInkTypeAt];
    p.inkSets = static_cast<uint16_t>(data[kInkSetsAt] << 8 | data[kInkSetsAt + 1]);
    p.lot = TextAt(data, kLotAt, kLotWidth);
  }
  for (const auto& b : ByteKeys()) {
    if (b.page == code) p.*b.member = data[b.offset];
  }
  p.rawModePages.erase(static_cast<uint8_t>(code));
  // Whatever the named fields do not reproduce has to be kept as the whole page.
  std::array<uint8_t, kBufferSize> rebuilt{};
  if (!BuildModeData(p, code, rebuilt) || !std::equal(page.begin(), page.end(), rebuilt.begin() + 4) ||
      page.size() != size_t{rebuilt[5]} + 2 || (code == 0x23 && !Printable(p.lot))) {
    p.rawModePages[static_cast<uint8_t>(code)].assign(page.begin(), page.end());
    return false;
  }
  return true;
}

}  // namespace printer_library
