#include "app_installer/messages.h"

#include <string>

namespace appsetup {

Language LanguageFromId(uint16_t languageId) {
  const unsigned primary = languageId & 0x3FFu;
  const unsigned sub = languageId >> 10;
  if (primary == 0x11) return Language::Japanese;
  // Chinese: Taiwan (1), Hong Kong (3), Macau (5) and the neutral "Traditional" (0x1F) write
  // traditional characters; the People's Republic and Singapore do not.
  if (primary == 0x04 && (sub == 0x01 || sub == 0x03 || sub == 0x05 || sub == 0x1F)) {
    return Language::TraditionalChinese;
  }
  return Language::English;
}

namespace {

// Appends at most what still fits below `limit`, never half a double-byte character.
void AppendBounded(const CodePage& cp, std::string& out, std::string_view text, size_t limit) {
  if (out.size() >= limit) return;
  out += Truncate(cp, text, limit - out.size());
}

}  // namespace

std::string FillMessage(const CodePage& cp, std::string_view pattern,
                        std::initializer_list<MessageArg> args) {
  const size_t limit = kMessageBufferChars - 1;
  std::string out;
  auto nextArg = args.begin();
  size_t i = 0;
  while (i < pattern.size() && out.size() < limit) {
    const size_t step = cp.Next(pattern, i);
    if (pattern[i] != '%' || step != i + 1) {
      AppendBounded(cp, out, pattern.substr(i, step - i), limit);
      i = step;
      continue;
    }
    size_t j = i + 1;
    while (j < pattern.size() && pattern[j] == 'l') ++j;
    const char conversion = j < pattern.size() ? pattern[j] : '\0';
    if (conversion == '%' && j == i + 1) {
      AppendBounded(cp, out, "%", limit);
      i = j + 1;
      continue;
    }
    if (conversion != 's' && conversion != 'u' && conversion != 'd') {
      AppendBounded(cp, out, "%", limit);
      i += 1;
      continue;
    }
    if (nextArg != args.end()) {
      const MessageArg& arg = *nextArg++;
      if (!arg.IsNumber()) {
        AppendBounded(cp, out, arg.Text(), limit);
      } else if (conversion == 'u') {
        // %u shows the value as the unsigned 32-bit number printf would.
        AppendBounded(cp, out, std::to_string(static_cast<uint32_t>(arg.Number())), limit);
      } else {
        AppendBounded(cp, out, std::to_string(arg.Number()), limit);
      }
    }
    i = j + 1;
  }
  return out;
}

std::string Messages::Text(int number) const {
  if (auto text = table_.Load(language_, number)) return *text;
  if (language_ != Language::English) {
    if (auto text = table_.Load(Language::English, number)) return *text;
  }
  return "?";
}

std::string Messages::Format(int number, std::initializer_list<MessageArg> args) const {
  return FillMessage(cp_, Text(number), args);
}

}  // namespace appsetup
