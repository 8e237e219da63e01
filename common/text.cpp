#include "common/text.h"

namespace common {

std::wstring Utf8ToWide(std::string_view in) {
  std::wstring out;
  out.reserve(in.size());
  size_t i = 0;
  while (i < in.size()) {
    const auto lead = static_cast<unsigned char>(in[i]);
    char32_t cp = 0xFFFD;
    size_t extra = 0;
    if (lead < 0x80) { cp = lead; }
    else if ((lead & 0xE0) == 0xC0) { cp = lead & 0x1F; extra = 1; }
    else if ((lead & 0xF0) == 0xE0) { cp = lead & 0x0F; extra = 2; }
    else if ((lead & 0xF8) == 0xF0) { cp = lead & 0x07; extra = 3; }
    else { extra = 0; }
    ++i;
    bool valid = (lead < 0x80) || extra > 0;
    for (size_t k = 0; k < extra; ++k, ++i) {
      if (i >= in.size() || (static_cast<unsigned char>(in[i]) & 0xC0) != 0x80) { valid = false; break; }
      cp = (cp << 6) | (static_cast<unsigned char>(in[i]) & 0x3F);
    }
    if (!valid || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = 0xFFFD;
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out.push_back(static_cast<wchar_t>(0xD800 + (cp >> 10)));
      out.push_back(static_cast<wchar_t>(0xDC00 + (cp & 0x3FF)));
    } else {
      out.push_back(static_cast<wchar_t>(cp));
    }
  }
  return out;
}

std::string WideToUtf8(std::wstring_view in) {
  std::string out;
  out.reserve(in.size());
  for (size_t i = 0; i < in.size(); ++i) {
    char32_t cp = static_cast<char16_t>(in[i]);
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < in.size() &&
        static_cast<char16_t>(in[i + 1]) >= 0xDC00 && static_cast<char16_t>(in[i + 1]) <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (static_cast<char16_t>(in[i + 1]) - 0xDC00);
      ++i;
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      cp = 0xFFFD;
    }
    if (cp < 0x80) {
      out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
  }
  return out;
}

std::wstring Utf16LeToWide(std::string_view bytes) {
  std::wstring out;
  out.reserve(bytes.size() / 2);
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    out.push_back(static_cast<wchar_t>(static_cast<unsigned char>(bytes[i]) |
                                       (static_cast<unsigned char>(bytes[i + 1]) << 8)));
  }
  return out;
}

std::string WideToUtf16Le(std::wstring_view wide) {
  std::string out;
  out.reserve(wide.size() * 2);
  for (const wchar_t c : wide) {
    const auto unit = static_cast<char16_t>(c);
    out.push_back(static_cast<char>(unit & 0xFF));
    out.push_back(static_cast<char>(unit >> 8));
  }
  return out;
}

std::string HexUpper(uint32_t value, int width) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  char buffer[8];
  int n = 0;
  do {
    buffer[n++] = kDigits[value & 0xF];
    value >>= 4;
  } while (value != 0);
  std::string out;
  for (int pad = n; pad < width; ++pad) out.push_back('0');
  while (n > 0) out.push_back(buffer[--n]);
  return out;
}

std::string Decimal(long long value) { return std::to_string(value); }

}  // namespace common
