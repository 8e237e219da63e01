#include "status_monitor/texts.h"

#include "status_monitor/snapshot.h"

namespace monitor::text {

std::string_view StateText(int32_t stateCode) {
  switch (stateCode) {
    case 1: return "Initializing";
    case 2: return "Cleaning";
    case 3: return "Offline Mode";
    case 4: return "Self Test Mode";
    case 5: return "Download Mode";
    case 6: return "Thermal Head Cooling";
    case 50: return "Printing";
    case 51: return "Card Loading";
    case 52: return "Card Transporting";
    case 53: return "MAG Encoding";
    case 54: return "Printing";
    case 55: return "Contact IC Encoding";
    case 56: return "Non-Contact IC Encoding";
    case 57: return "Printing";
    case 58: return "Card Unloading";
    case 59: return "Unloading to NG Card Outlet";
    case 60: return "Laminating";
    default: return kPrinterBusy;  // state 0 reaches here only under a "not accepted" status
  }
}

std::string_view TagMessage(int inkType) {
  switch (inkType) {
    case kInkYmckop:
    case kInkYmckopk: return "Good: Ink ribbon is recognized correctly.";
    case kInkBadTagData: return "Tag Data Defect(252): Recorded data of tag is incorrect. Try again after replacing the ink ribbon.";
    case kInkTagCommunication: return "Tag Defect(253): Unable to communicate correctly with tag. Try again after replacing the ink ribbon.";
    case kInkNoTag: return "No Tag(254): Unable to read tag. The ink ribbon is regarded as K ink.";
    case kInkTagReaderDefective: return "R/W Defect(255): Printer's tag reader is defective. Repair of printer is required.";
    default: return {};
  }
}

}  // namespace monitor::text
