// The installer's ANSI path helpers in a single-byte and a double-byte code page: splitting and
// joining round trips, roots, extensions, and that no trail byte is ever taken for a separator.
// Input: byte 0 picks the code page and a length limit; the rest is two paths split at the first
// zero byte.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app_installer/ansi_path.h"
#include "fuzz_check.h"

using namespace appsetup;

namespace {

// Start of every character, found by stepping from the front.
std::vector<bool> CharStarts(const CodePage& cp, std::string_view text) {
  std::vector<bool> starts(text.size() + 1, false);
  for (size_t i = 0; i < text.size(); i = cp.Next(text, i)) starts[i] = true;
  starts[text.size()] = true;
  return starts;
}

void CheckPath(const CodePage& cp, std::string_view path, size_t limit) {
  const std::vector<bool> starts = CharStarts(cp, path);
  const bool whole = !EndsInsideCharacter(cp, path);  // else a joined separator joins that character

  // Split and put together again.
  const size_t name = FileNameStart(cp, path);
  FUZZ_CHECK(name <= path.size() && starts[name]);
  const std::string dir = DirectoryPart(cp, path);
  const std::string file = FileNamePart(cp, path);
  FUZZ_CHECK(dir + file == path);
  for (size_t i = name; i < path.size(); i = cp.Next(path, i)) FUZZ_CHECK(!IsSeparator(path[i]));

  // Separators found by FindChar are whole characters.
  for (const char c : {'\\', '/', '.', '?', ','}) {
    const size_t at = FindChar(cp, path, c);
    if (at != std::string_view::npos) FUZZ_CHECK(starts[at] && path[at] == c);
  }

  const size_t root = RootLength(cp, path);
  FUZZ_CHECK(root <= path.size() && starts[root]);
  FUZZ_CHECK(IsRootDirectory(cp, path) == (root > 0 && root == path.size()));

  const std::string joined = Join(cp, path, "");
  FUZZ_CHECK(joined.starts_with(path));
  if (whole) FUZZ_CHECK(EndsWithSeparator(cp, joined));
  FUZZ_CHECK(joined.size() <= path.size() + 1);
  const std::string bare = WithoutTrailingSeparator(cp, path);
  FUZZ_CHECK(path.starts_with(bare) && bare.size() >= root);
  FUZZ_CHECK(!EndsWithSeparator(cp, bare) || bare.size() == RootLength(cp, bare));

  const size_t dot = ExtensionDot(cp, path);
  const std::string stem = WithoutExtension(cp, path);
  if (dot == std::string_view::npos) {
    FUZZ_CHECK(stem == path);
  } else {
    FUZZ_CHECK(dot > name && dot < path.size() + 1 && path[dot] == '.' && starts[dot]);
    FUZZ_CHECK(stem == path.substr(0, dot) && FileNamePart(cp, stem).size() > 0);
  }

  const std::string slashes = ToBackslashes(cp, path);
  FUZZ_CHECK(slashes.size() == path.size());
  FUZZ_CHECK(FindChar(cp, slashes, '/') == std::string::npos);
  FUZZ_CHECK(FileNameStart(cp, slashes) == name);

  const std::string cut = Truncate(cp, path, limit);
  FUZZ_CHECK(cut.size() <= limit && path.starts_with(cut) && starts[cut.size()]);
  FUZZ_CHECK(cut.size() == path.size() || cut.size() + 2 > limit);
  FUZZ_CHECK(!EndsInsideCharacter(cp, cut) || cut.size() == path.size());

  FUZZ_CHECK(EqualsIgnoreCase(cp, path, path));
  std::string upper(path);
  for (size_t i = 0; i < upper.size(); i = cp.Next(upper, i)) {
    if (cp.Next(upper, i) == i + 1 && upper[i] >= 'a' && upper[i] <= 'z') upper[i] = static_cast<char>(upper[i] - 32);
  }
  FUZZ_CHECK(EqualsIgnoreCase(cp, path, upper));

  const std::string trimmed = Trim(path);
  FUZZ_CHECK(path.find(trimmed) != std::string_view::npos);
  FUZZ_CHECK(trimmed.empty() || (trimmed.front() != ' ' && trimmed.back() != ' '));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* input, size_t size) {
  if (size < 1) return 0;
  CodePage cp;
  if (input[0] & 1) {
    cp.SetLeadByteRange(0x81, 0x9F);
    cp.SetLeadByteRange(0xE0, 0xFC);
  }
  const size_t limit = input[0] >> 1;
  const std::string_view rest(reinterpret_cast<const char*>(input) + 1, size - 1);
  const size_t zero = rest.find('\0');
  const std::string_view left = rest.substr(0, zero);
  const std::string_view right = zero == std::string_view::npos ? std::string_view() : rest.substr(zero + 1);

  CheckPath(cp, left, limit);
  CheckPath(cp, right, limit);

  // Joining: left, one separator, right without its leading separators.
  const std::string joined = Join(cp, left, right);
  FUZZ_CHECK(joined.starts_with(left) && joined.ends_with(right.substr(right.find_first_not_of("\\/") == std::string_view::npos ? right.size() : right.find_first_not_of("\\/"))));
  if (EndsInsideCharacter(cp, left)) return 0;
  const std::string folder = Join(cp, left, "");
  const std::string_view tail = std::string_view(joined).substr(folder.size());
  FUZZ_CHECK(joined.starts_with(folder) && (tail.empty() || !IsSeparator(tail.front())));
  if (FindChar(cp, right, '\\') == std::string::npos && FindChar(cp, right, '/') == std::string::npos && !right.empty()) {
    FUZZ_CHECK(FileNamePart(cp, joined) == right);
  }
  return 0;
}
