// Text conversions shared by every deliverable.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace common {

// UTF-8 <-> UTF-16. Invalid sequences become U+FFFD; nothing is dropped silently.
std::wstring Utf8ToWide(std::string_view utf8);
std::string WideToUtf8(std::wstring_view wide);

// UTF-16 little-endian bytes <-> UTF-16 code units, two bytes to a unit; an odd last byte is
// dropped. Nothing else is checked: the text is taken as stored.
std::wstring Utf16LeToWide(std::string_view bytes);
std::string WideToUtf16Le(std::wstring_view wide);

// Upper-case hexadecimal digits of value, zero-padded on the left to at least `width` digits.
std::string HexUpper(uint32_t value, int width);

// Decimal text of a value.
std::string Decimal(long long value);

}  // namespace common
