#include "status_monitor/message_table.h"

#include "common/text.h"
#include "status_monitor/texts.h"

namespace monitor {

namespace {

// Printer conditions are -(0x01000000 + sense key << 16 + ASC << 8 + ASCQ); port manager failures
// -(0x02000000 + n); library failures -(0x09000000 + n).
constexpr MessageRow kRows[kMessageRowCount] = {
    {-0x01020400, 0, "Printer is on Printing. Command could not be accepted."},
    {-0x01020401, 2, "Printer is on Initializing. Command could not be accepted."},
    {-0x01020480, 3, "Printer Door is opened. Please close the door."},
    {-0x01020481, 3, "Cleaning Unit is not set. Please set the cleaning unit."},
    {-0x01020482, 3, "Printer is on MAG Head Cleaning. Command could not be accepted."},
    {-0x01020483, 2, "Printer is in Self Test Mode. Command could not be accepted."},
    {-0x01020484, 2, "Printer is in Download Mode. Command could not be accepted."},
    {-0x01020485, 2, "Printer is in Offline Mode. Command could not be accepted."},
    {-0x01023A00, 3, "There is no card. Please supply cards."},
    {-0x01023A80, 3, "Laminator is not ready. Card is printed but it is not laminated.  Please solve the problem of the laminator. Lamination will begin automatically if it is solved."},
    {-0x0102FE00, 3, "Certification failed."},
    {-0x01030C00, 3, "It fails to write data to Magnetic stripe. Please confirm the card at the NG Card Outlet."},
    {-0x01031100, 3, "It fails to read data from Magnetic stripe. Please confirm the card at the NG Card Outlet."},
    {-0x01033600, 3, "Ink failure happens. Please open the Printer Door and make sure the ink is set correctly."},
    {-0x01033B81, 3, "Feed JAM happens. Please unset the Card Cassette and rmove the card."},
    {-0x01033B82, 3, "Card JAM happens in the printer. Please open the Printer Door and remove the card in the printer."},
    {-0x01033B83, 3, "Card JAM happens in the printer. Please open the Printer Door and remove the card in the printer."},
    {-0x01033B84, 3, "Card JAM happens in the printer. Please open the Printer Door and remove the card in the printer."},
    {-0x01033B85, 3, "Card JAM happens in the printer. Please open the Printer Door and remove the card in the printer."},
    {-0x01033B86, 3, "Laminator is not ready. Please initialize the printer after the problem of the laminator is solved."},
    {-0x01033B87, 3, "Card JAM happens in the Laminator. Please open the Front Door and remove the card, and make sure no card is in the printer."},
    {-0x01033B88, 3, "Card JAM happens in the Laminator. Please open the Front Door and remove the card, and make sure no card is in the printer."},
    {-0x01040882, 3, "Printer initialization fails. Please confirm the Laminator is ready and it is connected to the printer correctly."},
    {-0x01043681, 3, "Ink mark is not found. Please open the Printer Door and make sure the ink is set correctly."},
    {-0x01044001, 3, "It fails to access to Printer EEPROM. Please turn off and on the power of the printer, and initialize the printer."},
    {-0x01044002, 3, "It fails to access to Print Head EEPROM. Please turn off and on the power of the printer, and initialize the printer."},
    {-0x01044400, 3, "Hardware failure happens. Please turn off and on the power of the printer, and initialize the printer."},
    {-0x01044480, 3, "Unexpected error happens in the mechanical procedure. Please turn off and on the power of the printer, and initialize the printer."},
    {-0x0104AB00, 3, "Magnetic encoder Mechanism failure happens. Please turn off and on the power of the printer, and initialize the printer."},
    {-0x0104C000, 3, "Turn Over Mechanism failure happens. Please turn off and on the power of the printer, and initialize the printer."},
    {-0x0104C100, 3, "Thermal Head Mechanism failure happens. Please turn off and on the power of the printer, and initialize the printer."},
    {-0x0104F600, 3, "The temperature in the printer is too hot. Please turn off the power of the printer till it becomes cool enough."},
    {-0x0104F601, 3, "The temperature in the printer is too cool. Please turn off the power of the printer till it becomes warm enough."},
    {-0x0104F800, 3, "The temperature of the thermal head is too hot. Please turn off the power of the printer till it becomes cool enough."},
    {-0x0104F801, 3, "The temperature around the thermal head is too cool. Please turn off the power of the printer till it becomes warm enough."},
    {-0x01051A00, 1, "Command is defective. Parameter length is invalid."},
    {-0x01052000, 1, "Command is defective. Operation code in CDB is invalid."},
    {-0x01052080, 1, "Command is defective. IC encode unit is not implemented."},
    {-0x01052081, 1, "Command is defective. Magnetic encode unit is not implemented."},
    {-0x01052400, 1, "Command is defective. CDB is invalid."},
    {-0x01052480, 3, "USB Failure happens."},
    {-0x01052500, 1, "Command is defective. LUN is invalid."},
    {-0x01052601, 1, "Command is defective. Parameter is invalid."},
    {-0x01052602, 1, "Command is defective. Parameter is invalid."},
    {-0x01052680, 1, "Magnetic encoding data is defective. Please confirm the content of magnetic data."},
    {-0x01052681, 1, "Download data is invalid. Please confirm whether the file is correct."},
    {-0x01052C00, 1, "Command sequence error happens."},
    {-0x01062800, 1, "KV-450 has been initialized."},
    {-0x01062900, 1, "KV-450 has been powered."},
    {-0x01420081, 3, "There is no ink ribon. Please open the Printer Door and replace the ink ribon with a new."},
    {-0x01420082, 3, "There is no laminator film. Card is printed but it is not laminated. Please open the Front Door and replace the film with a new, and the lamination will begin automatically."},
    {-0x02000001, 4, "Error happens in KV Port Manager. Memory is not enough."},
    {-0x02000002, 4, "Error happens in KV Port Manager. Command was rejected by the port driverr."},
    {-0x02000003, 4, "Error happens in KV Port Manager. Command ends abnormally."},
    {-0x02000004, 3, "No Printer is found. Please confirm the printer is connected correctly, or it is powered."},
    {-0x02000005, 4, "Error happens in KV Port Manager. Printer port is not found."},
    {-0x02000006, 4, "Error happens in KV Port Manager. Port driver does not run."},
    {-0x02010000, 3, "Error happens in KV Port Manager. SRB status is invalid."},
    {-0x02020000, 3, "Error happens in KV Port Manager. HA status is invalid."},
    {-0x02030000, 4, "Error happens in KV Port Manager. Target status is invalid."},
    {-0x09000001, 4, "Error happens in DLL. Invalid parameter was passed to the DLL."},
    {-0x09000002, 3, "No Printer is found. Please confirm the printer is connected correctly, or it is powered."},
    {-0x09000003, 4, "Error happens in DLL. Memory is not enough."},
    {-0x09000004, 4, "Error happens in DLL. It fails to read a file."},
    {-0x09000005, 4, "Error happens in DLL. The contents of DC is invalid and it failes to get image from DC."},
    {-0x01044481, 3, "Unexpected error happens in the system control procedure. Please turn off and on the power of the printer, and initialize the printer."},
    {-0x01044482, 3, "Unexpected error happens in the pixel procedure. Please turn off and on the power of the printer, and initialize the printer."},
    {-0x01044483, 3, "Unexpected error happens in the host interface procedure. Please turn off and on the power of the printer, and initialize the printer."},
    {-0x01033601, 3, "The diameter of the ink at the take-up side is too large. Please open the printer door and make the diameter less."},
    {0, 0, ""},
};

const MessageRow* FindRow(int32_t code) {
  for (const MessageRow& row : kRows) {
    if (row.code == code) return &row;
  }
  // No exact row: the high half names the family (port manager statuses carry a value below it).
  const auto highHalf = static_cast<int32_t>(static_cast<uint32_t>(code) & 0xFFFF0000u);
  for (const MessageRow& row : kRows) {
    if (row.code == highHalf) return &row;
  }
  return nullptr;
}

}  // namespace

const MessageRow (&MessageRows())[kMessageRowCount] { return kRows; }

int16_t MessageKind(int32_t code) {
  if (code >= 0) return kInfo;
  const MessageRow* row = FindRow(code);
  return row ? row->kind : kInfo;
}

std::string_view MessageText(int32_t code) {
  if (code >= 0) return kRows[0].text;
  const MessageRow* row = FindRow(code);
  return row ? row->text : std::string_view{};
}

std::string FailureText(int32_t code) {
  const std::string_view text = MessageText(code);
  if (!text.empty()) return std::string(text);
  return "Error code " + common::HexUpper(static_cast<uint32_t>(code), 8);
}

std::string FailureMessage(std::string_view what, int32_t code) {
  std::string message(what);
  message += '\r';
  message += text::kDetails;
  message += FailureText(code);
  return message;
}

}  // namespace monitor
