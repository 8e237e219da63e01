// The setup menu's commands as they are run: the program's folder found from a command line, a
// written command completed under it. Input: UTF-16 bytes, the menu's own command line up to the
// first LF, the written command after it.
#include <cstdint>
#include <string>
#include <string_view>

#include "common/text.h"
#include "fuzz_check.h"
#include "setup_menu/configuration.h"

using namespace setup_menu;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* input, size_t size) {
  const std::wstring text = common::Utf16LeToWide(std::string_view(reinterpret_cast<const char*>(input), size));
  const size_t lf = text.find(L'\n');
  const std::wstring_view commandLine = std::wstring_view(text).substr(0, lf);
  const std::wstring_view command =
      lf == std::wstring::npos ? std::wstring_view() : std::wstring_view(text).substr(lf + 1);

  // Where the menu is: the configuration file lies in its folder, named after the program.
  const ProgramLocation location = LocateProgram(commandLine, L"C:\\cwd\\");
  FUZZ_CHECK(location.baseName.find_first_of(L"\\/") == std::wstring::npos);
  FUZZ_CHECK(location.configurationFile.ends_with(location.baseName + L".ini"));
  FUZZ_CHECK(location.configurationFile.starts_with(location.directory));
  FUZZ_CHECK(commandLine.find(location.baseName) != std::wstring_view::npos);
  const std::wstring& directory = location.directory;

  const std::wstring completed = CompleteCommand(command, directory);
  FUZZ_CHECK(completed.size() <= kMaxCommandChars);
  if (command.empty()) {
    FUZZ_CHECK(completed.empty());
    return 0;
  }

  // What each form of a written command becomes in full.
  const std::wstring absolute = L"\"" + directory + L"\\";
  std::wstring whole;
  if (command.front() == L'\\') {
    whole = command.substr(1);
  } else if (command.front() == L'"') {
    whole = absolute + std::wstring(command.substr(1));
    if (command.find(L'"', 1) == std::wstring_view::npos) whole += L'"';
  } else if (const size_t blank = command.find(L' '); blank != std::wstring_view::npos) {
    whole = absolute + std::wstring(command.substr(0, blank)) + L"\" " + std::wstring(command.substr(blank + 1));
  } else {
    whole = absolute + std::wstring(command) + L"\"";
  }
  // A command that does not fit is refused whole: cut, it would run another program or lose
  // its arguments.
  FUZZ_CHECK(completed == (whole.size() <= kMaxCommandChars ? whole : std::wstring()));
  if (completed.empty() || command.front() == L'\\') return 0;

  // A relative program is run from the menu's folder, in quotes, whatever its arguments.
  FUZZ_CHECK(completed.starts_with(absolute));
  const size_t close = completed.find(L'"', absolute.size());
  if (directory.find(L'"') == std::wstring::npos) FUZZ_CHECK(close != std::wstring::npos);
  return 0;
}
