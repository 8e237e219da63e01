// Every fixed English text the monitor shows, in one place (the message table has the rest).
#pragma once

#include <cstdint>
#include <string_view>

namespace monitor::text {

inline constexpr std::string_view kTitle = "TPX800 Status Monitor";
inline constexpr std::string_view kMinimize = "Minimize";
inline constexpr std::string_view kPageCaptions[5] = {
    "Printer Status", "Printer Setting", "Media Status", "Printer Property", "Others"};

inline constexpr std::string_view kLibraryMissing = "KV Port Manager is not found. Status Monitor ends.";
inline constexpr std::string_view kNoPrinterFound = "No Printer is found.";
inline constexpr std::string_view kPrinterOnPrinting = "Printer is on printing. Command could not be accepted.";
inline constexpr std::string_view kUnrecoverable = "Unrecoverable error happens.";
inline constexpr std::string_view kEndMonitorQuestion = "Would you like to end Status Monitor?";

inline constexpr std::string_view kConfirmRefreshPrinters = "Would you like to refresh the status of Onlien Printers?";
inline constexpr std::string_view kConfirmChangeSetting = "Would you like to change Printer Setting?";
inline constexpr std::string_view kConfirmRefreshSetting = "Would you like to refresh Printer Setting?";
inline constexpr std::string_view kConfirmClearCounter = "Would you like to clear Print Counter?";
inline constexpr std::string_view kConfirmTestPrint = "Would you like to start Test Print?";
inline constexpr std::string_view kConfirmUpdateFirmware = "Would you like to update Printer Firmware?";

// "Others" page, the instruction log window and the file check.
inline constexpr std::string_view kFrame4Captions[3] = {"Print Counter", "Test Print", "Firmware DownLoad"};
inline constexpr std::string_view kCmd4Captions[3] = {"Clear", "Print", "Start"};
inline constexpr std::string_view kOpt4Captions[2] = {"Single Side", "Both Sides"};
inline constexpr std::string_view kProgramLines[3] = {"TPX800 Status Monitor(E)", "Version 6.2.14.0",
                                                      "All rights reserved."};
inline constexpr std::string_view kDetails = "Details:";
inline constexpr std::string_view kClearCounterFailed = "It fails to clear Print Counter.";
inline constexpr std::string_view kTestPrintFailed = "It fails to start Test Print.";
inline constexpr std::string_view kFirmwareFailed = "It fails to update Printer Firmware.";
inline constexpr std::string_view kFirmwareUpdated = "Firmware was updated correctly.";
inline constexpr std::string_view kFirmwareRestart = "Please turn off and on the printer power to run new firmware.";
inline constexpr std::string_view kLogFileExists = "File exists already. Would you like to overwrite?";
inline constexpr std::string_view kConfirmWriteLog = "Would you like to write Instruction Log to the file?";
inline constexpr std::string_view kWriteLogFailed = "It fails to write Instruction Log to the file.";
inline constexpr std::string_view kFileNameInvalid = "File name is invalid.";
inline constexpr std::string_view kFileNotSpecified = "File is not specified.";
inline constexpr std::string_view kFileNotFound = "File is not found.";
inline constexpr std::string_view kDriveNotReady = "Drive is not ready.";
inline constexpr std::string_view kSubFormCaption = "Instruction Log";
inline constexpr std::string_view kFileSelection = "File Selection";
inline constexpr std::string_view kCmd5Captions[2] = {"Write", "Cancel"};
inline constexpr std::string_view kFirmwarePattern = "*.PRF;*.HDF;*.CFG;*.TBL;*.MGF;*.ICF";
inline constexpr std::string_view kLogPattern = "*.txt";

// Status page.
inline constexpr std::string_view kFrame0Captions[9] = {
    "Printer Status", "Media Status", "Card Quantity", "Ink Quantity", "Ink",
    "Printer Print Counter", "Print Counter", "Version", "Printer Selection"};
inline constexpr std::string_view kNumberOfInkSets = "Number of Ink Sets";
inline constexpr std::string_view kLotNumber = "Lot Number";
inline constexpr std::string_view kUnitNo = "Unit No.";
inline constexpr std::string_view kInstructionLog = "Instruction Log";
inline constexpr std::string_view kLogButton = "Log..";
inline constexpr std::string_view kUpdateButton = "Update";
inline constexpr std::string_view kReady = "Ready";
inline constexpr std::string_view kNoPrinterIsFound = "No printer is found";
inline constexpr std::string_view kPrinterBusy = "Printer is busy. Command was rejected.";

// "Printer Setting" page: Frame1(0..12) (9 has no caption), the slider end texts, the options.
inline constexpr std::string_view kFrame1Captions[13] = {
    "Printer Setting", "YMC Print Level", "YMC Print Mode", "Resin K Print Level", "Resin K Print Mode",
    "OP Retransfer Level", "MAG", "Number of Write Retry", "ISO Mode", "", "Print Position Adj.", "Offset X",
    "Offset Y"};
inline constexpr std::string_view kSliderMinTexts[6] = {"Light", "Light", "Light", "0", "Up", "Left"};
inline constexpr std::string_view kSliderMaxTexts[6] = {"Dark", "Dark", "Dark", "3", "Down", "Right"};
inline constexpr std::string_view kStandard = "Standard";
inline constexpr std::string_view kFine = "Fine";
inline constexpr std::string_view kCoercivityOptions[3] = {"None", "Lo-Co", "Hi-Co"};
inline constexpr std::string_view kIsoMode = "ISO Mode";
inline constexpr std::string_view kJisMode = "JIS Mode";
inline constexpr std::string_view kSettingButtons[2] = {"Update", "Refresh"};

// "Media Status" page.
inline constexpr std::string_view kFrame2Captions[8] = {
    "Ink Status", "Number of Ink Sets", "Ink Lot Number", "Printer Print Counter", "Print Counter",
    "Thermal Head Counter", "Ink Quantity", "Card Quantity"};
inline constexpr std::string_view kRibbonOptions[3] = {"YMC-K-OP", "YMC-K-OP-K", "Unknown"};
inline constexpr std::string_view kPercent = "%";
inline constexpr std::string_view kCardsAny = "Any";
inline constexpr std::string_view kCardsNone = "None";
// The tag message of a ribbon's ink type code (empty for an unrecognised ribbon).
std::string_view TagMessage(int inkType);

// "Printer Property" page.
inline constexpr std::string_view kFrame3Captions[9] = {
    "Vendor ID", "Product ID", "Unit No.", "Printer Version", "Config Version", "Table Version",
    "Laminator Version", "Optional Unit", "Head Information"};
inline constexpr std::string_view kOptionUnits[6] = {
    "ISO MAG Encoder", "JIS MAG Encoder", "Contact IC Encoder(ISO)", "Contact IC Encoder(JIS)",
    "Non-Contact IC Encoder", "Laminator"};

// Icon menu.
inline constexpr std::string_view kMenuOpen = "Open(&O)";
inline constexpr std::string_view kMenuVersion = "Version(&A)";

// Text of a printer state code; state 0 is "Ready" only when the status is not a "not accepted" kind.
std::string_view StateText(int32_t stateCode);

}  // namespace monitor::text
