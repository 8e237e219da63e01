#include "setup_menu/configuration.h"

#include <algorithm>

#include "common/win_path.h"

namespace setup_menu {

namespace {

constexpr wchar_t kByteOrderMark = 0xFEFF;
constexpr std::wstring_view kTitleHeaders[kLanguages] = {L"[Title-E]", L"[Title-J]", L"[Title-C]"};
constexpr int kTitleLines = 2;
constexpr int kProcessLines = kLanguages;

std::wstring_view TrimBlanks(std::wstring_view text) {
  while (!text.empty() && text.front() == L' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == L' ') text.remove_suffix(1);
  return text;
}

// The number of a "[Process-N]" line: decimal digits right after the dash, whatever follows them;
// -1 when there are none or the number is out of range.
int ProcessNumber(std::wstring_view line) {
  constexpr std::wstring_view kPrefix = L"[Process-";
  if (!line.starts_with(kPrefix)) return -1;
  int number = 0;
  bool anyDigit = false;
  for (size_t i = kPrefix.size(); i < line.size() && line[i] >= L'0' && line[i] <= L'9'; ++i) {
    if (number < kProcesses) number = number * 10 + (line[i] - L'0');  // stays small however long
    anyDigit = true;
  }
  return anyDigit && number < kProcesses ? number : -1;
}

// Calls `onLine` for each line: LF ends a line, a CR just before it is dropped, and characters
// past kMaxLineChars are left out.
template <typename OnLine>
void ForEachLine(std::wstring_view text, OnLine onLine) {
  while (!text.empty()) {
    const size_t end = text.find(L'\n');
    std::wstring_view line = text.substr(0, end);
    text.remove_prefix(end == std::wstring_view::npos ? text.size() : end + 1);
    // Dropped before the line is cut: a CR that happens to land at the cut is text of the line.
    if (line.ends_with(L'\r')) line.remove_suffix(1);
    onLine(line.substr(0, kMaxLineChars));
  }
}

}  // namespace

Configuration ParseConfiguration(std::wstring_view text) {
  // Editors save UTF-16 files with a byte-order mark; it is no part of the first line.
  if (!text.empty() && text.front() == kByteOrderMark) text.remove_prefix(1);

  Configuration configuration;
  enum class Section { None, Title, Process } section = Section::None;
  int index = 0;       // title language or process number
  int valueLines = 0;  // value lines taken so far under the current header

  ForEachLine(text, [&](std::wstring_view line) {
    if (line.empty() || line.front() == L';') return;
    if (line.front() == L'[') {
      section = Section::None;
      valueLines = 0;
      for (int language = 0; language < kLanguages; ++language) {
        if (line == kTitleHeaders[language]) {
          section = Section::Title;
          index = language;
        }
      }
      if (const int number = ProcessNumber(line); number >= 0) {
        section = Section::Process;
        index = number;
        for (std::wstring& command : configuration.commands[number]) command.clear();
      }
      return;
    }
    if (section == Section::Title && valueLines < kTitleLines) {
      Title& title = configuration.titles[index];
      (valueLines == 0 ? title.heading : title.font) = std::wstring(line);
    } else if (section == Section::Process && valueLines < kProcessLines) {
      configuration.commands[index][valueLines] = std::wstring(TrimBlanks(line));
    }
    ++valueLines;
  });
  return configuration;
}

HeadingFont ParseHeadingFont(std::wstring_view font) {
  HeadingFont result;
  const size_t comma = font.find(L',');
  std::wstring_view number = font.substr(0, comma);
  while (!number.empty() && number.front() == L' ') number.remove_prefix(1);
  bool negative = false;
  if (!number.empty() && (number.front() == L'-' || number.front() == L'+')) {
    negative = number.front() == L'-';
    number.remove_prefix(1);
  }
  constexpr int kLargest = 10000;  // far beyond any readable heading; keeps the number in range
  for (const wchar_t c : number) {
    if (c < L'0' || c > L'9') break;
    result.height = std::min(kLargest, result.height * 10 + (c - L'0'));
  }
  if (negative) result.height = -result.height;
  if (comma != std::wstring_view::npos) result.face = std::wstring(font.substr(comma + 1));
  return result;
}

std::wstring CompleteCommand(std::wstring_view command, std::wstring_view directory) {
  if (command.empty()) return {};
  std::wstring completed;
  const std::wstring absolute = L"\"" + std::wstring(directory) + L"\\";
  if (command.front() == L'\\') {
    completed = command.substr(1);  // not relative to the package
  } else if (command.front() == L'"') {
    const std::wstring_view rest = command.substr(1);
    completed = absolute + std::wstring(rest);
    if (rest.find(L'"') == std::wstring_view::npos) completed += L'"';
  } else if (const size_t blank = command.find(L' '); blank != std::wstring_view::npos) {
    completed = absolute + std::wstring(command.substr(0, blank)) + L"\" " + std::wstring(command.substr(blank + 1));
  } else {
    completed = absolute + std::wstring(command) + L"\"";
  }
  // A command cut to fit would run another program, or this one without its arguments.
  if (completed.size() > kMaxCommandChars) return {};
  return completed;
}

ProgramLocation LocateProgram(std::wstring_view commandLine, std::wstring_view currentDirectory) {
  std::wstring_view path;
  if (!commandLine.empty() && commandLine.front() == L'"') {
    const size_t close = commandLine.find(L'"', 1);
    path = commandLine.substr(1, close == std::wstring_view::npos ? std::wstring_view::npos : close - 1);
  } else {
    path = commandLine.substr(0, commandLine.find_first_of(L" \t"));
  }

  ProgramLocation location;
  const std::wstring name = common::FileNameOf(path);
  if (name.size() == path.size()) {
    location.directory = currentDirectory;
    while (!location.directory.empty() && common::IsPathSeparator(location.directory.back())) {
      location.directory.pop_back();
    }
  } else {
    location.directory = common::DirectoryOf(path);
  }
  location.baseName = name.substr(0, name.rfind(L'.'));
  location.configurationFile = common::JoinPath(location.directory, location.baseName + L".ini");
  return location;
}

}  // namespace setup_menu
