// The setup menu's configuration file: the UTF-16 bytes read into titles and commands, checked
// against a plain reading of the file's rules, then written back out and read again. Input: the
// file's bytes.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "common/text.h"
#include "fuzz_check.h"
#include "setup_menu/configuration.h"

using namespace setup_menu;

namespace {

constexpr std::wstring_view kTitleHeaders[kLanguages] = {L"[Title-E]", L"[Title-J]", L"[Title-C]"};

bool Representable(std::wstring_view valueLine) {
  return !valueLine.empty() && valueLine.front() != L';' && valueLine.front() != L'[';
}

// The process a header names: digits right after "[Process-", read as a number, 0 to 15.
int ExpectedProcess(std::wstring_view header) {
  constexpr std::wstring_view kPrefix = L"[Process-";
  if (!header.starts_with(kPrefix)) return -1;
  header.remove_prefix(kPrefix.size());
  const size_t digits = std::min(header.find_first_not_of(L"0123456789"), header.size());
  if (digits == 0) return -1;
  std::wstring_view number = header.substr(0, digits);
  while (number.size() > 1 && number.front() == L'0') number.remove_prefix(1);
  if (number.size() > 2) return -1;
  const int value = number.size() == 1 ? number[0] - L'0' : (number[0] - L'0') * 10 + (number[1] - L'0');
  return value < kProcesses ? value : -1;
}

std::wstring_view Trimmed(std::wstring_view text) {
  const size_t first = text.find_first_not_of(L' ');
  if (first == std::wstring_view::npos) return {};
  return text.substr(first, text.find_last_not_of(L' ') - first + 1);
}

// The file read line by line as its rules say, written independently of the parser.
Configuration Expected(std::wstring_view text) {
  if (text.starts_with(L'\xFEFF')) text.remove_prefix(1);
  Configuration expected;
  int title = -1, process = -1, taken = 0;
  while (!text.empty()) {
    const size_t end = text.find(L'\n');
    std::wstring_view line = text.substr(0, end);
    text.remove_prefix(end == std::wstring_view::npos ? text.size() : end + 1);
    if (line.ends_with(L'\r')) line.remove_suffix(1);
    line = line.substr(0, kMaxLineChars);
    if (line.empty() || line.front() == L';') continue;
    if (line.front() == L'[') {
      title = process = -1;
      taken = 0;
      for (int language = 0; language < kLanguages; ++language) {
        if (line == kTitleHeaders[language]) title = language;
      }
      process = ExpectedProcess(line);
      if (process >= 0) expected.commands[process] = {};
      continue;
    }
    if (title >= 0 && taken == 0) expected.titles[title].heading = line;
    if (title >= 0 && taken == 1) expected.titles[title].font = line;
    if (process >= 0 && taken < kLanguages) expected.commands[process][taken] = Trimmed(line);
    ++taken;
  }
  return expected;
}

bool Same(const Configuration& a, const Configuration& b) {
  for (int language = 0; language < kLanguages; ++language) {
    if (a.titles[language].heading != b.titles[language].heading || a.titles[language].font != b.titles[language].font) {
      return false;
    }
  }
  return a.commands == b.commands;
}

// The configuration written as a file again; what no line can hold (an empty or comment-like
// heading, say) is left out of `written`, which holds what the file says.
std::wstring Write(const Configuration& c, Configuration& written) {
  std::wstring file = L"; written back\r\n";
  for (int language = 0; language < kLanguages; ++language) {
    const Title& title = c.titles[language];
    if (!Representable(title.heading)) continue;
    file += std::wstring(kTitleHeaders[language]) + L"\r\n" + title.heading + L"\r\n";
    written.titles[language].heading = title.heading;
    if (Representable(title.font)) {
      file += title.font + L"\r\n";
      written.titles[language].font = title.font;
    }
  }
  // Processes last to first, so a later section never meets an earlier one's leftovers.
  for (int process = kProcesses - 1; process >= 0; --process) {
    file += L"[Process-" + std::to_wstring(process) + L"]\r\n";
    for (int language = 0; language < kLanguages; ++language) {
      const std::wstring& command = c.commands[process][language];
      // A leading blank keeps a command that starts like a comment or header a command.
      const std::wstring line = Representable(command) ? command : L" " + command;
      if (line.size() > kMaxLineChars) {
        file += L" \r\n";
        continue;
      }
      file += line + L"\r\n";
      written.commands[process][language] = command;
    }
  }
  return file;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* input, size_t size) {
  const std::wstring text = common::Utf16LeToWide(std::string_view(reinterpret_cast<const char*>(input), size));
  const Configuration c = ParseConfiguration(text);

  for (const Title& title : c.titles) {
    FUZZ_CHECK(title.heading.size() <= kMaxLineChars && title.font.size() <= kMaxLineChars);
    FUZZ_CHECK(title.heading.find(L'\n') == std::wstring::npos && title.font.find(L'\n') == std::wstring::npos);
    // An empty heading has no font line either: both are value lines of the same section.
    if (title.heading.empty()) FUZZ_CHECK(title.font.empty());
    const HeadingFont font = ParseHeadingFont(title.font);
    FUZZ_CHECK(font.height >= -10000 && font.height <= 10000);
    FUZZ_CHECK(title.font.ends_with(font.face));
  }
  for (const auto& commands : c.commands) {
    for (const std::wstring& command : commands) {
      FUZZ_CHECK(command.size() <= kMaxLineChars && command.find(L'\n') == std::wstring::npos);
      FUZZ_CHECK(command == Trimmed(command));
    }
  }
  FUZZ_CHECK(Same(c, Expected(text)));

  Configuration written;
  const std::wstring file = Write(c, written);
  FUZZ_CHECK(Same(ParseConfiguration(file), written));
  return 0;
}
