#include "setup_wizard/profile_reader.h"

#include <algorithm>
#include <cstdint>

#include "common/text.h"

namespace setup_wizard {

static wchar_t FoldCase(wchar_t c) {
  if ((c >= L'A' && c <= L'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) return static_cast<wchar_t>(c + 32);
  return c;
}

int CompareNoCase(std::wstring_view a, std::wstring_view b) {
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    const wchar_t x = FoldCase(a[i]);
    const wchar_t y = FoldCase(b[i]);
    if (x != y) return x < y ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

namespace {

// The profile parser's notion of a blank: control characters 9..13, ^Z (DOS end of file,
// found on old CD-ROMs) and the space.
bool IsProfileBlank(wchar_t c) { return (c >= 0x09 && c <= 0x0d) || c == 0x1a || c == 0x20; }

std::wstring_view TrimBlanks(std::wstring_view s) {
  while (!s.empty() && IsProfileBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsProfileBlank(s.back())) s.remove_suffix(1);
  return s;
}

// One pair of matching enclosing quotes or apostrophes is dropped from a value.
std::wstring StripQuotes(std::wstring_view value) {
  if (value.size() >= 2 && (value.front() == L'\'' || value.front() == L'"') && value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  return std::wstring(value);
}

// Integer text as the profile functions convert it: leading control characters and blanks,
// a sign, then decimal digits or a 0x / 0o / 0b prefix; the result wraps at 32 bits.
int ProfileInteger(std::wstring_view s) {
  size_t i = 0;
  while (i < s.size() && s[i] <= L' ') ++i;
  bool minus = false;
  if (i < s.size() && (s[i] == L'+' || s[i] == L'-')) minus = s[i++] == L'-';
  uint32_t base = 10;
  if (i + 1 < s.size() && s[i] == L'0') {
    if (s[i + 1] == L'b') base = 2;
    else if (s[i + 1] == L'o') base = 8;
    else if (s[i + 1] == L'x') base = 16;
    if (base != 10) i += 2;
  }
  uint32_t total = 0;
  for (; i < s.size(); ++i) {
    const wchar_t c = s[i];
    uint32_t digit = 99;
    if (c >= L'0' && c <= L'9') digit = c - L'0';
    else if (c >= L'A' && c <= L'Z') digit = c - L'A' + 10;
    else if (c >= L'a' && c <= L'z') digit = c - L'a' + 10;
    if (digit >= base) break;
    total = total * base + digit;
  }
  return static_cast<int>(minus ? 0u - total : total);
}

}  // namespace

IniTextProfile::IniTextProfile(std::wstring_view text) {
  sections_.push_back({});  // keys before the first header
  const Key* previous = nullptr;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = pos;
    while (end < text.size() && text[end] != L'\n' && text[end] != L'\r') ++end;
    std::wstring_view line = TrimBlanks(text.substr(pos, end - pos));
    pos = end;
    while (pos < text.size() && (text[pos] == L'\n' || text[pos] == L'\r')) ++pos;
    if (line.empty()) continue;

    if (line.front() == L'[') {
      const size_t close = line.rfind(L']');
      if (close != std::wstring_view::npos && close > 0) {
        sections_.push_back({std::wstring(TrimBlanks(line.substr(1, close - 1))), {}});
        previous = nullptr;
        continue;
      }
      // A header without ']' is read as an ordinary line.
    }

    Key key;
    const size_t equals = line.find(L'=');
    if (equals != std::wstring_view::npos) {
      key.name = std::wstring(TrimBlanks(line.substr(0, equals)));
      key.value = std::wstring(TrimBlanks(line.substr(equals + 1)));
      key.hasValue = true;
    } else {
      key.name = std::wstring(line);
    }
    // Successive lines with an empty name are kept only once.
    if (!key.name.empty() || previous == nullptr || !previous->name.empty()) {
      sections_.back().keys.push_back(std::move(key));
      previous = &sections_.back().keys.back();
    }
  }
}

namespace {

bool IsUtf8Marked(std::string_view bytes) { return bytes.starts_with("\xEF\xBB\xBF"); }
bool IsUtf16Marked(std::string_view bytes) { return bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF"); }

}  // namespace

bool IniTextProfile::HasByteOrderMark(std::string_view bytes) { return IsUtf8Marked(bytes) || IsUtf16Marked(bytes); }

std::wstring IniTextProfile::DecodeBytes(std::string_view bytes) {
  auto byte = [&](size_t i) { return static_cast<unsigned char>(bytes[i]); };
  if (IsUtf8Marked(bytes)) return common::Utf8ToWide(bytes.substr(3));
  if (IsUtf16Marked(bytes)) {
    const bool little = byte(0) == 0xFF;
    std::wstring out;
    for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
      const unsigned unit = little ? byte(i) | (byte(i + 1) << 8) : (byte(i) << 8) | byte(i + 1);
      out.push_back(static_cast<wchar_t>(unit));
    }
    return out;
  }
  std::wstring out;
  out.reserve(bytes.size());
  for (size_t i = 0; i < bytes.size(); ++i) out.push_back(static_cast<wchar_t>(byte(i)));
  return out;
}

const IniTextProfile::Key* IniTextProfile::Find(std::wstring_view section, std::wstring_view key) const {
  section = TrimBlanks(section);
  key = TrimBlanks(key);
  // Only the first section of a name is searched, also when the name repeats.
  for (const Section& s : sections_) {
    if (CompareNoCase(s.name, section) != 0) continue;
    for (const Key& k : s.keys) {
      if (CompareNoCase(k.name, key) == 0) return &k;
    }
    return nullptr;
  }
  return nullptr;
}

std::wstring IniTextProfile::ReadString(std::wstring_view section, std::wstring_view key,
                                        std::wstring_view def) const {
  const Key* found = Find(section, key);
  if (found && found->hasValue) return StripQuotes(found->value);
  // The default loses its trailing spaces (all but its first character).
  while (def.size() > 1 && def.back() == L' ') def.remove_suffix(1);
  return StripQuotes(def);
}

int IniTextProfile::ReadInt(std::wstring_view section, std::wstring_view key, int def) const {
  std::wstring text = ReadString(section, key, L"");
  if (text.size() > 29) text.resize(29);  // the conversion sees 29 characters at most
  if (text.empty()) return def;
  return ProfileInteger(text);
}

std::vector<std::wstring> IniTextProfile::ReadKeyNames(std::wstring_view section) const {
  std::vector<std::wstring> names;
  for (const Section& s : sections_) {
    if (CompareNoCase(s.name, section) != 0) continue;
    for (const Key& k : s.keys) {
      if (k.name.empty() && !k.hasValue) continue;
      if (!k.name.empty() && k.name.front() == L';') continue;  // comment
      if (!k.hasValue) continue;                                 // line without '='
      // The system hands the names over NUL-separated: a name holding a NUL arrives in pieces,
      // and an empty name or piece ends the list.
      for (size_t at = 0;;) {
        const size_t nul = k.name.find(L'\0', at);
        std::wstring piece = k.name.substr(at, nul == std::wstring::npos ? std::wstring::npos : nul - at);
        if (piece.empty()) return names;
        names.push_back(std::move(piece));
        if (nul == std::wstring::npos) break;
        at = nul + 1;
      }
    }
    break;
  }
  return names;
}

// --- ProfileReader ------------------------------------------------------------------------

namespace {

bool UsableName(std::wstring_view name) { return !name.empty() && name.size() <= ProfileReader::kNameChars; }

bool IsFieldBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

}  // namespace

ProfileReader::ProfileReader(std::unique_ptr<ProfileSource> source) : source_(std::move(source)) {}

std::wstring ProfileReader::Value(std::wstring_view section, std::wstring_view key) const {
  if (!source_ || !UsableName(section) || !UsableName(key)) return {};
  std::wstring v = source_->ReadString(section, key, L"");
  if (v.size() >= kValueChars - 1) return {};  // it would not fit the value buffer whole
  return v;
}

std::wstring ProfileReader::ValueField(std::wstring_view section, std::wstring_view key, int n) const {
  return Field(Value(section, key), n);
}

std::wstring ProfileReader::NumberedKey(std::wstring_view base, int n) {
  return std::wstring(base) + std::to_wstring(n);
}

int ProfileReader::IntValue(std::wstring_view section, std::wstring_view key, int def) const {
  if (!source_ || !UsableName(section) || !UsableName(key)) return def;
  return source_->ReadInt(section, key, def);
}

std::vector<std::wstring> ProfileReader::KeyNames(std::wstring_view section) const {
  if (!source_ || !UsableName(section)) return {};
  return source_->ReadKeyNames(section);
}

int ProfileReader::FieldCount(std::wstring_view value) {
  if (value.empty()) return 0;
  return static_cast<int>(std::count(value.begin(), value.end(), L',')) + 1;
}

std::wstring_view ProfileReader::FieldView(std::wstring_view value, int n) {
  if (n < 1) n = 1;
  size_t start = 0;
  for (int skipped = 1; skipped < n; ++skipped) {
    const size_t comma = value.find(L',', start);
    if (comma == std::wstring_view::npos) return {};
    start = comma + 1;
  }
  const size_t comma = value.find(L',', start);
  std::wstring_view f = value.substr(start, comma == std::wstring_view::npos ? std::wstring_view::npos : comma - start);
  while (!f.empty() && IsFieldBlank(f.front())) f.remove_prefix(1);
  if (!f.empty() && (f.front() == L'\'' || f.front() == L'"')) f.remove_prefix(1);
  while (!f.empty() && IsFieldBlank(f.back())) f.remove_suffix(1);
  if (!f.empty() && (f.back() == L'\'' || f.back() == L'"')) f.remove_suffix(1);
  return f;
}

std::wstring ProfileReader::Field(std::wstring_view value, int n) {
  const std::wstring_view f = FieldView(value, n);
  return f.size() > kFieldChars ? std::wstring() : std::wstring(f);
}

bool ProfileReader::FieldFits(std::wstring_view value, int n) { return FieldView(value, n).size() <= kFieldChars; }

long long ProfileReader::NumericField(std::wstring_view field) {
  size_t i = 0;
  while (i < field.size() && IsFieldBlank(field[i])) ++i;
  bool minus = false;
  if (i < field.size() && (field[i] == L'+' || field[i] == L'-')) minus = field[i++] == L'-';
  long long total = 0;
  for (; i < field.size() && field[i] >= L'0' && field[i] <= L'9'; ++i) {
    if (total < 1'000'000'000'000LL) total = total * 10 + (field[i] - L'0');  // saturates, never wraps
  }
  return minus ? -total : total;
}

}  // namespace setup_wizard
