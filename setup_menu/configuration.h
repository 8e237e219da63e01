// The menu's configuration file: where it lies, how it is read, and how its commands become the
// command lines that are run.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace setup_menu {

inline constexpr int kLanguages = 3;      // English, Japanese, Chinese, in that order
inline constexpr int kProcesses = 16;     // [Process-0] to [Process-15]
inline constexpr int kUninstallEntries = 14;  // the process whose lines name uninstall entries
inline constexpr size_t kMaxLineChars = 255;
inline constexpr size_t kMaxCommandChars = 260;

struct Title {
  std::wstring heading;  // shown at the top of the dialog; empty: the language is not offered
  std::wstring font;     // "height,face name" as written
};

// Every command is kept per process number and language (English, Japanese, Chinese).
using Commands = std::array<std::array<std::wstring, kLanguages>, kProcesses>;

struct Configuration {
  std::array<Title, kLanguages> titles;
  Commands commands;  // as written, trimmed of blanks
};

// The whole file as UTF-16 text (see common::Utf16LeToWide). A byte-order mark at the start is
// skipped; lines longer than kMaxLineChars are cut there.
Configuration ParseConfiguration(std::wstring_view text);

// The heading font of a title's second line.
struct HeadingFont {
  int height = 0;     // 0: keep the dialog's own font
  std::wstring face;
};
HeadingFont ParseHeadingFont(std::wstring_view font);

// A command as it is run: relative program paths made absolute under `directory` (the program
// directory without trailing backslash) and quoted. Empty (not run) when the result would be
// longer than kMaxCommandChars.
std::wstring CompleteCommand(std::wstring_view command, std::wstring_view directory);

// Where the program and its configuration file are, from the process command line.
struct ProgramLocation {
  std::wstring directory;  // without trailing backslash
  std::wstring baseName;   // the file name without the text from its last dot
  std::wstring configurationFile;
};
// `currentDirectory` is used when the program path names no folder.
ProgramLocation LocateProgram(std::wstring_view commandLine, std::wstring_view currentDirectory);

}  // namespace setup_menu
