// Printer pages into the snapshot: every fill operation over one 256-byte answer, and every mode
// page built back from what was read. Input: the printer's answer (cut or zero-padded to 256
// bytes); its bytes 0..3 beyond that also give the fields a build starts from.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <tuple>

#include "fuzz_check.h"
#include "status_monitor/snapshot.h"

using namespace monitor;

namespace {

auto Fields(const PrinterInfo& i) {
  return std::tie(i.statusCode, i.stateCode, i.printerPrintCounter, i.printCounter, i.thermalHeadCounter,
                  i.inkQuantity, i.cardEmpty, i.vendorId, i.productId, i.printerVersion, i.configVersion,
                  i.tableVersion, i.optionUnits, i.laminatorVersion, i.headInfo, i.inkType, i.inkSets, i.lotNumber,
                  i.ymcPrintLevel, i.ymcPrintMode, i.resinKPrintLevel, i.resinKPrintMode, i.opRetransferLevel,
                  i.isoCoercivity, i.writeRetries, i.printOffsetX, i.printOffsetY, i.jisCoercivity);
}

// Fields of one sendable mode page only.
std::tuple<int, int, int, int, int, std::string> PageFields(const PrinterInfo& i, int32_t page) {
  switch (page) {
    case kModeInkRibbon: return {i.inkType, i.inkSets, 0, 0, 0, i.lotNumber};
    case kModePrintSettings:
      return {i.ymcPrintLevel, i.ymcPrintMode, i.resinKPrintLevel, i.resinKPrintMode, i.opRetransferLevel, {}};
    case kModeMagnetic: return {i.isoCoercivity, i.writeRetries, 0, 0, 0, {}};
    case kModePrintPosition: return {i.printOffsetX, i.printOffsetY, 0, 0, 0, {}};
    default: return {i.jisCoercivity, 0, 0, 0, 0, {}};
  }
}

// A text field as the layout defines it, decoded here independently of the product code.
std::string Text(const DataBuffer& data, size_t from, size_t width) {
  std::string out;
  for (size_t i = from; i < from + width && data[i] != 0; ++i) out.push_back(static_cast<char>(data[i]));
  return out;
}

void CheckText(const std::string& field, const DataBuffer& data, size_t from, size_t width) {
  FUZZ_CHECK(field.size() <= width);
  FUZZ_CHECK(field.find('\0') == std::string::npos);
  FUZZ_CHECK(field == Text(data, from, width));
}

// A fill whose page code does not match must leave the snapshot exactly as it was.
template <typename Fill>
void CheckFill(const PrinterInfo& before, bool matches, Fill&& fill) {
  PrinterInfo after = before;
  const bool taken = fill(after);
  FUZZ_CHECK(taken == matches);
  if (!taken) FUZZ_CHECK(Fields(after) == Fields(before));
}

// Builds `page` from `info` into a buffer of exactly 256 bytes on the heap (so a write past it
// is caught), checks the frame, and reads it back: fields that were read from a printer return
// unchanged.
void CheckBuild(const PrinterInfo& info, int32_t page, bool readFromPrinter) {
  auto sent = std::make_unique<DataBuffer>();
  std::memset(sent->data(), 0xA5, sent->size());
  const size_t length = BuildModePage(info, page, *sent);
  FUZZ_CHECK(length > 6 && length <= kDataBufferSize);
  FUZZ_CHECK((*sent)[0] == 0 && (*sent)[1] == 0 && (*sent)[2] == 0x10 && (*sent)[3] == 0);
  FUZZ_CHECK((*sent)[4] == page && static_cast<size_t>((*sent)[5]) + 6 == length);
  FUZZ_CHECK(std::all_of(sent->begin() + static_cast<std::ptrdiff_t>(length), sent->end(),
                         [](uint8_t b) { return b == 0; }));

  PrinterInfo back;
  FUZZ_CHECK(FillModePage(back, page, *sent));
  if (readFromPrinter) FUZZ_CHECK(PageFields(back, page) == PageFields(info, page));
}


}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* input, size_t size) {
  auto owned = std::make_unique<DataBuffer>();
  DataBuffer& data = *owned;
  data.fill(0);
  std::memcpy(data.data(), input, std::min(size, data.size()));

  PrinterInfo start;
  start.printCounter = 77;
  start.vendorId = "kept";
  start.lotNumber = "LOT";
  start.ymcPrintLevel = 3;
  start.jisCoercivity = 9;

  CheckFill(start, data[0] == kLogCounters, [&](PrinterInfo& i) { return FillLogCounters(i, data); });
  CheckFill(start, data[0] == kLogSupplies, [&](PrinterInfo& i) { return FillLogSupplies(i, data); });
  for (const int32_t page : kModePages) {
    CheckFill(start, data[4] == page, [&](PrinterInfo& i) { return FillModePage(i, page, data); });
  }
  // Pages the monitor never reads are refused whatever their bytes say.
  CheckFill(start, false, [&](PrinterInfo& i) { return FillModePage(i, data[4] == 0x99 ? 0x98 : 0x99, data); });

  PrinterInfo info = start;
  FillLogCounters(info, data);
  FillLogSupplies(info, data);
  FillStandardInquiry(info, data);
  FillHeadInfo(info, data);
  CheckText(info.vendorId, data, 8, 8);
  CheckText(info.productId, data, 16, 16);
  CheckText(info.printerVersion, data, 32, 4);
  CheckText(info.laminatorVersion, data, 39, 4);
  CheckText(info.headInfo, data, 8, 20);
  for (size_t bit = 0; bit < 6; ++bit) FUZZ_CHECK(info.optionUnits[bit] == (((data[38] >> bit) & 1) != 0));

  for (const int32_t page : kModePages) {
    PrinterInfo read = start;
    if (FillModePage(read, page, data) && page == kModeInkRibbon) {
      CheckText(read.lotNumber, data, 12, 32);
      FUZZ_CHECK(read.inkSets >= 0 && read.inkSets <= 0xFFFF);
    }
    CheckBuild(read, page, true);
  }

  // Fields the settings page or a bad answer could leave anywhere: a build never leaves the buffer.
  if (size > kDataBufferSize + 4) {
    PrinterInfo odd = info;
    int32_t wide;
    std::memcpy(&wide, input + kDataBufferSize, 4);
    odd.inkSets = wide;
    odd.inkType = static_cast<int16_t>(wide >> 8);
    odd.ymcPrintLevel = static_cast<int16_t>(wide);
    odd.printOffsetX = static_cast<int16_t>(wide >> 16);
    odd.lotNumber.assign(reinterpret_cast<const char*>(input) + kDataBufferSize + 4, size - kDataBufferSize - 4);
    for (const int32_t page : kModePages) CheckBuild(odd, page, false);
  }
  // A page that cannot be sent builds nothing and leaves the buffer alone.
  if (std::find(std::begin(kModePages), std::end(kModePages), data[1]) == std::end(kModePages)) {
    DataBuffer untouched = data;
    FUZZ_CHECK(BuildModePage(info, data[1], untouched) == 0 && untouched == data);
  }
  return 0;
}
