// The 64-bit wizard host's command line: the wizard library's full path, a line feed, and the
// wizard mode in decimal (the launcher writes it as "%s\n%d").
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace wizard_host {

struct HostRequest {
  std::wstring libraryPath;
  int mode = 0;
};

// nullopt when the text is not two lines of a non-empty path and a decimal number (a carriage
// return before the line feed and blanks around the number are allowed).
std::optional<HostRequest> ParseHostCommandLine(std::wstring_view commandLine);

}  // namespace wizard_host
