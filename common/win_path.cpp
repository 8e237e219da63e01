#include "common/win_path.h"

namespace common {

bool IsPathSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

static size_t LastSeparator(std::wstring_view path) {
  for (size_t i = path.size(); i > 0; --i) {
    if (IsPathSeparator(path[i - 1])) return i - 1;
  }
  return std::wstring_view::npos;
}

std::wstring DirectoryOf(std::wstring_view path) {
  const size_t at = LastSeparator(path);
  if (at == std::wstring_view::npos) return {};
  return std::wstring(path.substr(0, at));
}

std::wstring FileNameOf(std::wstring_view path) {
  const size_t at = LastSeparator(path);
  if (at == std::wstring_view::npos) return std::wstring(path);
  return std::wstring(path.substr(at + 1));
}

std::wstring JoinPath(std::wstring_view dir, std::wstring_view name) {
  std::wstring out(dir);
  if (!out.empty() && !IsPathSeparator(out.back())) out.push_back(L'\\');
  out.append(name);
  return out;
}

}  // namespace common
