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
      if (line.size() > 2) result.relay_path = std::string(line.substr(2));
      break;
    default:
      break;
  }
  return result;
}

std::string_view ArgumentsOf(std::string_view command_line) {
  size_t i = 0;
  if (!command_line.empty() && command_line.front() == '"') {
    i = command_line.find('"', 1);
    i = (i == std::string_view::npos) ? command_line.size() : i + 1;
  } else {
    while (i < command_line.size() && !IsBlank(command_line[i])) ++i;
  }
  return SkipBlanks(command_line.substr(i));
}

}  // namespace appsetup
