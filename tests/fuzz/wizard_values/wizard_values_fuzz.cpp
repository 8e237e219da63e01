// The wizard's value syntax: fields of a comma-separated value, their limits, numeric fields, and
// the round trip from clean fields to a value and back. Input: one value, as file bytes.
#include <algorithm>
#include <cstdint>
#include <cwchar>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_check.h"
#include "setup_wizard/profile_reader.h"

using setup_wizard::IniTextProfile;
using setup_wizard::ProfileReader;

namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }
bool IsQuote(wchar_t c) { return c == L'\'' || c == L'"'; }

// A field that the syntax gives back unchanged: no comma, and no blank or quote at either end.
std::wstring Clean(std::wstring_view text) {
  std::wstring out;
  for (wchar_t c : text) {
    if (c != L',') out.push_back(c);
  }
  if (out.size() > ProfileReader::kFieldChars) out.resize(ProfileReader::kFieldChars);
  while (!out.empty() && (IsBlank(out.front()) || IsQuote(out.front()))) out.erase(0, 1);
  while (!out.empty() && (IsBlank(out.back()) || IsQuote(out.back()))) out.pop_back();
  return out;
}

// Field(value, n) skips n - 1 commas on every call, so reading every field that way costs the
// square of the field count. The first fields and the last ones are read so; the others as the
// first field of the text after their comma, which the direct reads show to be the same thing.
constexpr int kDirectFields = 16;

std::wstring FieldAt(std::wstring_view value, int n, int count, size_t start) {
  if (n > kDirectFields && n < count) return ProfileReader::Field(value.substr(start), 1);
  const std::wstring field = ProfileReader::Field(value, n);
  if (start <= value.size()) FUZZ_CHECK(field == ProfileReader::Field(value.substr(start), 1));
  return field;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* input, size_t size) {
  const std::wstring value =
      IniTextProfile::DecodeBytes(std::string_view(reinterpret_cast<const char*>(input), size));

  const int count = ProfileReader::FieldCount(value);
  FUZZ_CHECK((count == 0) == value.empty());
  FUZZ_CHECK(ProfileReader::Field(value, 0) == ProfileReader::Field(value, 1));

  std::vector<std::wstring> cleanFields;
  size_t start = 0;
  for (int n = 1; n <= count + 1; ++n) {
    const bool direct = n <= kDirectFields || n >= count;
    const std::wstring field = FieldAt(value, n, count, start);
    FUZZ_CHECK(field.size() <= ProfileReader::kFieldChars);
    FUZZ_CHECK(field.find(L',') == std::wstring::npos);
    const bool fits = direct ? ProfileReader::FieldFits(value, n)
                             : ProfileReader::FieldFits(std::wstring_view(value).substr(start), 1);
    if (!fits) FUZZ_CHECK(field.empty());  // refused, never cut
    if (n > count) {
      FUZZ_CHECK(field.empty());
      break;
    }
    // The raw field, to check trimming against.
    size_t comma = value.find(L',', start);
    if (comma == std::wstring::npos) comma = value.size();
    const std::wstring_view raw = std::wstring_view(value).substr(start, comma - start);
    start = comma + 1;
    if (!field.empty()) {
      FUZZ_CHECK(raw.find(field) != std::wstring_view::npos);
      FUZZ_CHECK(!IsBlank(field.back()) || IsQuote(raw.substr(raw.find_last_not_of(L" \t")).front()));
    }
    cleanFields.push_back(Clean(raw));

    // Leading digits, with blanks and a sign before them, read as their decimal value.
    const long long number = ProfileReader::NumericField(field);
    size_t i = field.find_first_not_of(L" \t");
    if (i == std::wstring::npos) {
      FUZZ_CHECK(number == 0);
    } else {
      const bool minus = field[i] == L'-';
      if (field[i] == L'+' || field[i] == L'-') ++i;
      const size_t digits = field.find_first_not_of(L"0123456789", i);
      std::wstring run = field.substr(i, (digits == std::wstring::npos ? field.size() : digits) - i);
      run.erase(0, std::min(run.find_first_not_of(L'0'), run.size()));  // leading zeros add nothing
      if (run.size() <= 12) {
        const long long expected = run.empty() ? 0 : std::wcstoll(run.c_str(), nullptr, 10);
        FUZZ_CHECK(number == (minus ? -expected : expected));
      } else {
        FUZZ_CHECK(number >= 1'000'000'000'000LL || number <= -1'000'000'000'000LL);
      }
    }
  }

  // Clean fields joined with commas, each one dressed in blanks and quotes, come back unchanged.
  std::wstring joined;
  for (size_t i = 0; i < cleanFields.size(); ++i) {
    if (i) joined += L',';
    joined += (i % 2 ? L"  \"" : L"\t'") + cleanFields[i] + (i % 2 ? L"\" " : L"'");
  }
  FUZZ_CHECK(ProfileReader::FieldCount(joined) == static_cast<int>(cleanFields.size()) || joined.empty());
  for (size_t i = 0, at = 0; i < cleanFields.size(); ++i) {
    FUZZ_CHECK(FieldAt(joined, static_cast<int>(i) + 1, static_cast<int>(cleanFields.size()), at) == cleanFields[i]);
    at = std::min(joined.find(L',', at), joined.size()) + 1;
  }
  return 0;
}
