// The installer's message table: texts by number in the running language, English as fallback.
#pragma once

#include <concepts>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "app_installer/ansi_path.h"
#include "app_installer/ports.h"

namespace appsetup {

// Message numbers of the string table.
namespace msg {
inline constexpr int kNoInformationFile = 1;       // "Damaged file, or NO Information file."
inline constexpr int kEntryInUse = 2;              // %s: registered display name
inline constexpr int kFolderIsFile = 5;            // %s: path
inline constexpr int kFolderFailed = 6;            // %s: path
inline constexpr int kDestinationPrompt = 7;       // %s: title
inline constexpr int kInstallCaption = 8;          // %s: title
inline constexpr int kUseUninstallShortcut = 9;    // %s: shortcut name
inline constexpr int kRootDirectory = 11;
inline constexpr int kNeedDriveAndPath = 12;
inline constexpr int kLowDiskSpace = 14;           // %u: megabytes
inline constexpr int kFileInUse = 18;              // %s: destination
inline constexpr int kOverwriteQuestion = 19;      // %s %s %s
inline constexpr int kCopyFailed = 21;             // %s: source
inline constexpr int kInstallSucceeded = 22;
inline constexpr int kRemoveFileFailed = 24;       // %s: path
inline constexpr int kRemoveExtraFile = 25;        // %s: path
inline constexpr int kRemoveFolderFailed = 26;     // %s: folder
inline constexpr int kBadRegEntry = 27;
inline constexpr int kMainFileLocked = 28;         // %s: path, %s: title
inline constexpr int kUninstallCaption = 29;       // %s: title
inline constexpr int kUninstalled = 30;            // %s: title
inline constexpr int kFilesRemain = 31;            // %s: folder
inline constexpr int kUninstallConfirm = 32;       // %s: title
inline constexpr int kCloseResidentApps = 33;
inline constexpr int kRelayFailed = 34;
inline constexpr int kInstallCompleted = 35;
inline constexpr int kInstallInterrupted = 36;
inline constexpr int kInformationFileSuffix = 37;  // "E.INF", "J.INF", "ZT.INF"
inline constexpr int kWindowsTooOld = 38;
}  // namespace msg

// Japanese and Traditional Chinese (Taiwan, Hong Kong, Macau) user interfaces get their own
// texts; every other language gets English.
Language LanguageFromId(uint16_t languageId);

// One value for a placeholder: text for %s, a number for %u and %d.
class MessageArg {
 public:
  MessageArg(std::string_view text) : text_(text) {}
  MessageArg(const char* text) : text_(text) {}
  MessageArg(const std::string& text) : text_(text) {}
  template <std::integral T>
  MessageArg(T number) : isNumber_(true), number_(static_cast<long long>(number)) {}

  bool IsNumber() const { return isNumber_; }
  std::string_view Text() const { return text_; }
  long long Number() const { return number_; }

 private:
  bool isNumber_ = false;
  std::string_view text_;
  long long number_ = 0;
};

// Filled messages fit a buffer of this many characters, terminator included.
inline constexpr size_t kMessageBufferChars = 1024;

// printf-style filling of %s, %u, %d (with optional 'l' modifiers) and %%, never longer than
// kMessageBufferChars - 1 bytes and never splitting a double-byte character. A placeholder without
// a value fills in nothing; other % sequences stay as written.
std::string FillMessage(const CodePage& cp, std::string_view pattern,
                        std::initializer_list<MessageArg> args);

class Messages {
 public:
  Messages(StringTablePort& table, Language language, CodePage cp = {})
      : table_(table), language_(language), cp_(cp) {}

  Language RunningLanguage() const { return language_; }
  // The text in the running language, else in English, else "?".
  std::string Text(int number) const;
  std::string Format(int number, std::initializer_list<MessageArg> args) const;

 private:
  StringTablePort& table_;
  Language language_;
  CodePage cp_;
};

}  // namespace appsetup
