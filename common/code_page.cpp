#include "common/code_page.h"

namespace common {

void CodePage::SetLeadByteRange(unsigned char first, unsigned char last) {
  for (unsigned c = first; c <= last; ++c) lead_.set(c);
}

size_t CodePage::Next(std::string_view text, size_t at) const {
  if (at < text.size() && IsLeadByte(text[at]) && at + 1 < text.size()) return at + 2;
  return at + 1;
}

}  // namespace common
