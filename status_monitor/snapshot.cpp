#include "status_monitor/snapshot.h"

#include <algorithm>

namespace monitor {

namespace {

int32_t BigEndian32(const DataBuffer& data, size_t at) {
  return static_cast<int32_t>((static_cast<uint32_t>(data[at]) << 24) | (static_cast<uint32_t>(data[at + 1]) << 16) |
                              (static_cast<uint32_t>(data[at + 2]) << 8) | data[at + 3]);
}

// A text field: its bytes up to the first zero or the field's end; assign() reuses the string's
// storage, so an unchanged field costs no allocation.
void TakeText(std::string& field, const DataBuffer& data, size_t from, size_t width) {
  const auto begin = data.begin() + static_cast<std::ptrdiff_t>(from);
  const auto end = std::find(begin, begin + static_cast<std::ptrdiff_t>(width), uint8_t{0});
  field.assign(reinterpret_cast<const char*>(&*begin), static_cast<size_t>(end - begin));
}

constexpr size_t kModeHeader = 4;

// Page length byte and total bytes sent for each page that can be sent.
struct SendLayout {
  int32_t pageCode;
  uint8_t pageLength;
};
constexpr SendLayout kSendLayouts[] = {
    {kModeInkRibbon, 0x26}, {kModePrintSettings, 0x30}, {kModeMagnetic, 0x08},
    {kModePrintPosition, 0x06}, {kModeJisEncoder, 0x08},
};

}  // namespace

bool FillLogCounters(PrinterInfo& info, const DataBuffer& data) {
  if (data[0] != kLogCounters) return false;
  info.printerPrintCounter = BigEndian32(data, 8);
  info.printCounter = BigEndian32(data, 16);
  info.thermalHeadCounter = BigEndian32(data, 24);
  return true;
}

bool FillLogSupplies(PrinterInfo& info, const DataBuffer& data) {
  if (data[0] != kLogSupplies) return false;
  info.inkQuantity = data[8];
  info.cardEmpty = data[13];
  return true;
}

void FillStandardInquiry(PrinterInfo& info, const DataBuffer& data) {
  TakeText(info.vendorId, data, 8, 8);
  TakeText(info.productId, data, 16, 16);
  TakeText(info.printerVersion, data, 32, 4);
  info.configVersion = data[36];
  info.tableVersion = data[37];
  for (size_t bit = 0; bit < info.optionUnits.size(); ++bit) info.optionUnits[bit] = (data[38] >> bit) & 1;
  TakeText(info.laminatorVersion, data, 39, 4);
}

void FillHeadInfo(PrinterInfo& info, const DataBuffer& data) { TakeText(info.headInfo, data, 8, 20); }

bool FillModePage(PrinterInfo& info, int32_t pageCode, const DataBuffer& data) {
  if (data[4] != pageCode) return false;
  switch (pageCode) {
    case kModeInkRibbon:
      info.inkType = data[6];
      info.inkSets = data[8] * 256 + data[9];
      TakeText(info.lotNumber, data, 12, 32);
      return true;
    case kModePrintSettings:
      info.ymcPrintLevel = data[38];
      info.ymcPrintMode = data[39];
      info.resinKPrintLevel = data[45];
      info.resinKPrintMode = data[46];
      info.opRetransferLevel = data[47];
      return true;
    case kModeMagnetic:
      info.isoCoercivity = data[6];
      info.writeRetries = data[11];
      return true;
    case kModePrintPosition:
      info.printOffsetX = data[7];
      info.printOffsetY = data[9];
      return true;
    case kModeJisEncoder:
      info.jisCoercivity = data[7];
      return true;
    default:
      return false;
  }
}

size_t BuildModePage(const PrinterInfo& info, int32_t pageCode, DataBuffer& data) {
  const auto layout = std::find_if(std::begin(kSendLayouts), std::end(kSendLayouts),
                                   [&](const SendLayout& l) { return l.pageCode == pageCode; });
  if (layout == std::end(kSendLayouts)) return 0;

  data.fill(0);
  data[2] = 0x10;
  data[4] = static_cast<uint8_t>(pageCode);
  data[5] = layout->pageLength;
  const auto byte = [](int value) { return static_cast<uint8_t>(value); };
  switch (pageCode) {
    case kModeInkRibbon: {
      data[6] = byte(info.inkType);
      data[8] = byte(info.inkSets / 256);
      data[9] = byte(info.inkSets % 256);
      const size_t length = std::min<size_t>(info.lotNumber.size(), 32);
      std::copy_n(info.lotNumber.begin(), length, data.begin() + 12);
      break;
    }
    case kModePrintSettings:
      data[38] = byte(info.ymcPrintLevel);
      data[39] = byte(info.ymcPrintMode);
      data[45] = byte(info.resinKPrintLevel);
      data[46] = byte(info.resinKPrintMode);
      data[47] = byte(info.opRetransferLevel);
      break;
    case kModeMagnetic:
      data[6] = byte(info.isoCoercivity);
      data[11] = byte(info.writeRetries);
      break;
    case kModePrintPosition:
      data[7] = byte(info.printOffsetX);
      data[9] = byte(info.printOffsetY);
      break;
    case kModeJisEncoder:
      data[7] = byte(info.jisCoercivity);
      break;
  }
  return kModeHeader + 2 + layout->pageLength;
}

}  // namespace monitor
