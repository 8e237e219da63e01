// Path and text helpers on ANSI strings. Double-byte characters are stepped over whole, so a
// trail byte that happens to equal '\' (0x5C in Shift-JIS) is never taken for a separator.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "common/code_page.h"

namespace appsetup {

using common::CodePage;

inline constexpr size_t kMaxPathChars = 259;  // path buffers hold 259 characters and a terminator

bool IsSeparator(char c);

// Finds `c` (a single-byte character) at or after `from`, never matching a trail byte.
size_t FindChar(const CodePage& cp, std::string_view text, char c, size_t from = 0);

// Index of the first character after the directory part: after the last separator, or after a
// drive designator "X:" that has none. 0 when the path is a bare name.
size_t FileNameStart(const CodePage& cp, std::string_view path);
// "C:\a\b.exe" -> "C:\a\" (separator kept); "C:b.exe" -> "C:".
std::string DirectoryPart(const CodePage& cp, std::string_view path);
std::string FileNamePart(const CodePage& cp, std::string_view path);

bool EndsWithSeparator(const CodePage& cp, std::string_view path);
// True when the text ends with a lead byte that has no trail byte: it was cut inside a character,
// and anything joined after it would become that character's second byte.
bool EndsInsideCharacter(const CodePage& cp, std::string_view text);
// left + '\' + right, without doubling a separator at the seam; Join(x, "") ensures a trailing '\'.
std::string Join(const CodePage& cp, std::string_view left, std::string_view right);
// The path without its trailing separators, unless that would leave a root ("C:\" stays).
std::string WithoutTrailingSeparator(const CodePage& cp, std::string_view path);

// `path` relative to `base` (ignoring case) when it begins with `base` and a separator; nullopt
// otherwise.
std::optional<std::string> RelativeTo(const CodePage& cp, std::string_view base, std::string_view path);

// Length of the root including its separator: "X:\" -> 3, "\a" -> 1, "\\srv\share\x" -> 12;
// "\\srv\share" with nothing after it is all root. 0 when the path has no root ("X:", "a\b").
size_t RootLength(const CodePage& cp, std::string_view path);
// A root with nothing after it: "C:\", "\", "\\srv\share\".
bool IsRootDirectory(const CodePage& cp, std::string_view path);

// Index of the extension's dot in the file-name part, npos when there is none (".x", ".", "..").
size_t ExtensionDot(const CodePage& cp, std::string_view path);
// The path without its extension (and its dot); unchanged when it has none.
std::string WithoutExtension(const CodePage& cp, std::string_view path);

// Every '/' becomes '\'.
std::string ToBackslashes(const CodePage& cp, std::string_view path);
// Blanks (space, tab) cut from both ends.
std::string Trim(std::string_view text);
// At most `maxBytes` bytes, never splitting a double-byte character.
std::string Truncate(const CodePage& cp, std::string_view text, size_t maxBytes);
// An ASCII letter in lower case; every other byte as it is.
char AsciiLower(char c);
// Comparison that ignores the case of ASCII letters outside double-byte characters.
bool EqualsIgnoreCase(const CodePage& cp, std::string_view a, std::string_view b);

}  // namespace appsetup
