#include "app_installer/ansi_path.h"

namespace appsetup {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

size_t FindChar(const CodePage& cp, std::string_view text, char c, size_t from) {
  for (size_t i = from; i < text.size(); i = cp.Next(text, i)) {
    if (text[i] == c) return i;
  }
  return std::string_view::npos;
}

static bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

static bool HasDrive(std::string_view path) {
  return path.size() >= 2 && IsAsciiLetter(path[0]) && path[1] == ':';
}

size_t FileNameStart(const CodePage& cp, std::string_view path) {
  size_t start = HasDrive(path) ? 2 : 0;
  for (size_t i = start; i < path.size(); i = cp.Next(path, i)) {
    if (IsSeparator(path[i])) start = i + 1;
  }
  return start;
}

std::string DirectoryPart(const CodePage& cp, std::string_view path) {
  return std::string(path.substr(0, FileNameStart(cp, path)));
}

std::string FileNamePart(const CodePage& cp, std::string_view path) {
  return std::string(path.substr(FileNameStart(cp, path)));
}

// Index of the last character (not byte) of the text, npos when empty.
static size_t LastCharStart(const CodePage& cp, std::string_view text) {
  size_t last = std::string_view::npos;
  for (size_t i = 0; i < text.size(); i = cp.Next(text, i)) last = i;
  return last;
}

bool EndsWithSeparator(const CodePage& cp, std::string_view path) {
  const size_t last = LastCharStart(cp, path);
  return last != std::string_view::npos && IsSeparator(path[last]);
}

bool EndsInsideCharacter(const CodePage& cp, std::string_view text) {
  const size_t last = LastCharStart(cp, text);
  return last != std::string_view::npos && last + 1 == text.size() && cp.IsLeadByte(text[last]);
}

std::string Join(const CodePage& cp, std::string_view left, std::string_view right) {
  std::string out(left);
  if (!EndsWithSeparator(cp, left)) out.push_back('\\');
  // A leading separator on the right would double the one at the seam.
  while (!right.empty() && IsSeparator(right.front())) right.remove_prefix(1);
  out.append(right);
  return out;
}

std::string WithoutTrailingSeparator(const CodePage& cp, std::string_view path) {
  const size_t root = RootLength(cp, path);
  std::string out(path);
  while (out.size() > root && EndsWithSeparator(cp, out)) out.pop_back();
  return out;
}

size_t RootLength(const CodePage& cp, std::string_view path) {
  if (HasDrive(path)) return path.size() >= 3 && IsSeparator(path[2]) ? 3 : 0;
  if (path.empty() || !IsSeparator(path[0])) return 0;
  if (path.size() < 2 || !IsSeparator(path[1])) return 1;
  // "\\server\share": the root ends at the separator after the share name.
  const size_t server = 2;
  size_t i = server;
  while (i < path.size() && !IsSeparator(path[i])) i = cp.Next(path, i);
  if (i == server || i >= path.size()) return 0;
  const size_t share = i + 1;
  i = share;
  while (i < path.size() && !IsSeparator(path[i])) i = cp.Next(path, i);
  if (i == share) return 0;
  return i < path.size() ? i + 1 : path.size();
}

bool IsRootDirectory(const CodePage& cp, std::string_view path) {
  const size_t root = RootLength(cp, path);
  return root > 0 && root == path.size();
}

size_t ExtensionDot(const CodePage& cp, std::string_view path) {
  const size_t name = FileNameStart(cp, path);
  size_t dot = std::string_view::npos;
  for (size_t i = name; i < path.size(); i = cp.Next(path, i)) {
    if (path[i] == '.') dot = i;
  }
  // A dot that starts the name (".x", ".") is no extension, nor is "..".
  if (dot == name || path.substr(name) == "..") return std::string_view::npos;
  return dot;
}

std::string WithoutExtension(const CodePage& cp, std::string_view path) {
  const size_t dot = ExtensionDot(cp, path);
  return std::string(dot == std::string_view::npos ? path : path.substr(0, dot));
}

std::string ToBackslashes(const CodePage& cp, std::string_view path) {
  // '/' (0x2F) is never a trail byte, but stepping keeps the rule uniform.
  std::string out(path);
  for (size_t i = 0; i < out.size(); i = cp.Next(out, i)) {
    if (out[i] == '/') out[i] = '\\';
  }
  return out;
}

static bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string Trim(std::string_view text) {
  // Trail bytes of double-byte code pages are never below 0x40, so blanks are whole characters.
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return std::string(text);
}

std::string Truncate(const CodePage& cp, std::string_view text, size_t maxBytes) {
  size_t end = 0;
  for (size_t i = 0; i < text.size();) {
    const size_t next = cp.Next(text, i);
    if (next > maxBytes) break;
    end = next;
    i = next;
  }
  return std::string(text.substr(0, end));
}

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualsIgnoreCase(const CodePage& cp, std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size();) {
    const size_t next = cp.Next(a, i);
    if (next - i == 2) {
      if (a.substr(i, 2) != b.substr(i, 2)) return false;
    } else if (AsciiLower(a[i]) != AsciiLower(b[i])) {
      return false;
    }
    i = next;
  }
  return true;
}

std::optional<std::string> RelativeTo(const CodePage& cp, std::string_view base, std::string_view path) {
  const std::string prefix = Join(cp, base, "");
  if (path.size() < prefix.size() || !EqualsIgnoreCase(cp, path.substr(0, prefix.size()), prefix)) {
    return std::nullopt;
  }
  return WithoutTrailingSeparator(cp, path.substr(prefix.size()));
}

}  // namespace appsetup
