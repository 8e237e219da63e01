// The monitor's message table: result code -> operator text and severity kind.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace monitor {

// Kinds, by rising severity.
inline constexpr int16_t kInfo = 0;
inline constexpr int16_t kCommandNotice = 1;
inline constexpr int16_t kNotAccepted = 2;  // initializing, self test, download or offline mode
inline constexpr int16_t kPrinterAlarm = 3;  // the operator must act; a hidden window comes back
inline constexpr int16_t kHostFailure = 4;   // as 3, and the operator may end the program

struct MessageRow {
  int32_t code;
  int16_t kind;
  std::string_view text;
};

inline constexpr int kMessageRowCount = 70;

// The rows in their fixed order; the last one (code 0, empty text) ends the table.
const MessageRow (&MessageRows())[kMessageRowCount];

// Kind of a result code: 0 for codes that are not negative and for codes without a row.
int16_t MessageKind(int32_t code);

// Operator text of a result code: row 0 for codes that are not negative, empty without a row.
std::string_view MessageText(int32_t code);

// The text a failure shows to the operator: the table text, or the code in hexadecimal when the
// table has no row for it, so a box is never empty.
std::string FailureText(int32_t code);

// The box text of a failed operation: what failed, a carriage return, "Details:" and the failure text.
std::string FailureMessage(std::string_view what, int32_t code);

}  // namespace monitor
