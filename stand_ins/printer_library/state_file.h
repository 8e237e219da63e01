// The human-editable state file of the virtual printers: model, parser and in-place editing.
#pragma once

#include "stand_ins/printer_library/codes.h"

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace printer_library {

// Fault injection for one function of one printer.
struct Fault {
  int busy = 0;                 // answer busy this many times first
  std::optional<int32_t> fail;  // then answer this code instead of doing the work
  bool disconnect = false;      // answer "no printer"
};

struct PrinterConfig {
  bool connected = true;
  int32_t status = 0;  // condition code, 0 or negative
  int32_t state = 0;   // activity code

  // Log pages 0x38 and 0x3A.
  uint32_t printerPrintCounter = 0;
  uint32_t printCounter = 0;
  uint32_t headCounter = 0;
  uint8_t inkQuantity = 50;
  uint8_t cardEmpty = 0;

  // Standard inquiry and vital product data. Texts are bytes, sent zero-padded.
  std::string vendor = "ORV";
  std::string product = "TPX800";
  std::string version = "0100";
  uint8_t configVersion = 1;
  uint8_t tableVersion = 1;
  uint8_t options = 0;
  std::string laminatorVersion;
  std::string headInfo = "HEAD-0001";

  // Mode page 0x23.
  uint8_t inkType = 0;
  uint16_t inkSets = 250;
  std::string lot;

  // Mode pages 0x28, 0x2A, 0x2B, 0x3A.
  uint8_t ymcPrintLevel = 0;
  uint8_t ymcPrintMode = 0;
  uint8_t resinKPrintLevel = 0;
  uint8_t resinKPrintMode = 0;
  uint8_t opRetransferLevel = 0;
  uint8_t isoCoercivity = 0;
  uint8_t writeRetries = 0;
  uint8_t positionX = 0;
  uint8_t positionY = 0;
  uint8_t jisCoercivity = 0;

  // Whole mode pages (from the page code byte on) that the named keys cannot express.
  std::map<uint8_t, std::vector<uint8_t>> rawModePages;

  std::array<Fault, kFunctionCount> faults{};
  const Fault& FaultOf(Function f) const { return faults[static_cast<size_t>(f)]; }
};

// Keys that hold one byte of a mode page, and keys that hold a text field.
struct ByteKey {
  std::string_view key;
  uint8_t page;    // mode page code
  uint8_t offset;  // position in the mode parameter data (header included)
  uint8_t PrinterConfig::*member;
};
struct TextKey {
  std::string_view key;
  size_t width;  // bytes of the field
  std::string PrinterConfig::*member;
};
std::span<const ByteKey> ByteKeys();
std::span<const TextKey> TextKeys();

struct StateFile {
  std::array<std::optional<PrinterConfig>, kMaxPrinters> printers;
  std::vector<std::string> warnings;  // "line 12: ..." for every line that was ignored
};

// Never fails: a line that cannot be understood is ignored and reported in `warnings`.
StateFile ParseStateFile(std::string_view text);

// Value texts, shared by the parser and by what the library writes back.
std::optional<int32_t> ParseCode(std::string_view text);  // "-0x01020480", "0xFEFDFB80", "-16909440"
std::optional<int32_t> ParseStatus(std::string_view text);  // a name ("door_open") or a code
std::optional<int32_t> ParseState(std::string_view text);   // a name ("printing") or a number
std::optional<uint8_t> ParseInkType(std::string_view text);  // a name ("YMCKOP") or a number
std::string InkTypeText(uint8_t code);
std::string QuotedIfNeeded(std::string_view value);

// Text edits that keep comments and layout: the key's line is rewritten in place, or added at
// the end of the printer's section; Remove deletes every line of the key in the section.
std::string SetKey(std::string_view text, int printer, std::string_view key, std::string_view value);
std::string RemoveKey(std::string_view text, int printer, std::string_view key);

}  // namespace printer_library
