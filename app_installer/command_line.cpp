#include "app_installer/command_line.h"

namespace appsetup {

namespace {
bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view SkipBlanks(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  return text.substr(i);
}
}  // namespace

Invocation ParseArguments(std::string_view arguments) {
  std::string_view line = SkipBlanks(arguments);
  if (!line.empty() && line.front() == '/') line.remove_prefix(1);
  Invocation result;
  if (line.empty()) return result;
  switch (line.front()) {
    case 'R':
    case 'r':
      result.mode = RunMode::kUninstall;
      break;
    case 'x':
      // "x " and then the path, blanks inside it included.
      result.mode = RunMode::kRelay;
      if (line.size() > 2) result.relayPath = std::string(line.substr(2));
      break;
    default:
      break;
  }
  return result;
}

std::string_view ArgumentsOf(std::string_view commandLine) {
  size_t i = 0;
  if (!commandLine.empty() && commandLine.front() == '"') {
    i = commandLine.find('"', 1);
    i = (i == std::string_view::npos) ? commandLine.size() : i + 1;
  } else {
    while (i < commandLine.size() && !IsBlank(commandLine[i])) ++i;
  }
  return SkipBlanks(commandLine.substr(i));
}

}  // namespace appsetup
