// The ANSI code page as path and text code needs it: which bytes begin a two-byte character, so a
// walk over a string steps over double-byte characters whole and never takes a trail byte that
// happens to equal '\' (0x5C in Shift-JIS) for a separator.
#pragma once

#include <bitset>
#include <cstddef>
#include <string_view>

namespace common {

// Default: a single-byte code page.
class CodePage {
 public:
  CodePage() = default;
  void SetLeadByteRange(unsigned char first, unsigned char last);
  bool IsLeadByte(char c) const { return lead_[static_cast<unsigned char>(c)]; }

  // Index of the character after the one starting at `at` (a lone lead byte at the end counts as one).
  size_t Next(std::string_view text, size_t at) const;

 private:
  std::bitset<256> lead_;
};

}  // namespace common
