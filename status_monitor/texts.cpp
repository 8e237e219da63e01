#include "status_monitor/texts.h"

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

}  // namespace monitor::text
