#include "stand_ins/wizard_host/host_command_line.h"

#include <climits>

namespace wizard_host {

namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n'; }

std::wstring_view Trimmed(std::wstring_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

std::optional<int> Decimal(std::wstring_view text) {
  bool negative = false;
  if (!text.empty() && (text.front() == L'-' || text.front() == L'+')) {
    negative = text.front() == L'-';
    text.remove_prefix(1);
  }
  if (text.empty()) return std::nullopt;
  long long value = 0;
  for (wchar_t c : text) {
    if (c < L'0' || c > L'9') return std::nullopt;
    value = value * 10 + (c - L'0');
    if (value > INT_MAX) return std::nullopt;
  }
  return static_cast<int>(negative ? -value : value);
}

}  // namespace

std::optional<HostRequest> ParseHostCommandLine(std::wstring_view commandLine) {
  const size_t lineFeed = commandLine.find(L'\n');
  if (lineFeed == std::wstring_view::npos) return std::nullopt;
  std::wstring_view path = commandLine.substr(0, lineFeed);
  if (!path.empty() && path.back() == L'\r') path.remove_suffix(1);
  const std::optional<int> mode = Decimal(Trimmed(commandLine.substr(lineFeed + 1)));
  if (path.empty() || !mode) return std::nullopt;
  return HostRequest{std::wstring(path), *mode};
}

}  // namespace wizard_host
