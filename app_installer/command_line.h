// What the installer was asked to do, read from the text after its program name.
#pragma once

#include <string>
#include <string_view>

namespace appsetup {

enum class RunMode { kInstall, kUninstall, kRelay };

struct Invocation {
  RunMode mode = RunMode::kInstall;
  std::string relayPath;  // relay mode only: the installed installer's full path
};

// "" or anything unrecognised installs; "/r", "r", "R" uninstall; "x <path>" is the relay copy.
Invocation ParseArguments(std::string_view arguments);

// The text after the program name of a whole command line (quoted or not), leading blanks skipped.
std::string_view ArgumentsOf(std::string_view commandLine);

}  // namespace appsetup
