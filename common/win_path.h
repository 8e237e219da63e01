// Windows path helpers on UTF-16 text (the wizard, the setup menu, the status monitor).
// The ANSI deliverables step over multi-byte characters and keep their own helpers beside them.
#pragma once

#include <string>
#include <string_view>

namespace common {

inline constexpr size_t kMaxPathChars = 259;  // MAX_PATH less the terminator

bool IsPathSeparator(wchar_t c);

// The folder part of a path, without a trailing separator ("C:\a\b.exe" -> "C:\a").
std::wstring DirectoryOf(std::wstring_view path);

// The file-name part of a path ("C:\a\b.exe" -> "b.exe").
std::wstring FileNameOf(std::wstring_view path);

// dir + exactly one backslash + name; a trailing separator of dir is not doubled.
std::wstring JoinPath(std::wstring_view dir, std::wstring_view name);

}  // namespace common
