#include "stand_ins/printer_library/state_file.h"

#include "stand_ins/printer_library/pages.h"

#include <charconv>
#include <functional>

namespace printer_library {
namespace {

struct Named {
  std::string_view name;
  int32_t value;
};

// Names a person may write instead of a code; compared after Normalised().
constexpr Named kStatusNames[] = {
    {"ready", 0},
    {"printing", -0x01020400},
    {"initializing", -0x01020401},
    {"dooropen", -0x01020480},
    {"nocleaningunit", -0x01020481},
    {"magheadcleaning", -0x01020482},
    {"selftest", -0x01020483},
    {"downloadmode", -0x01020484},
    {"offline", -0x01020485},
    {"nocard", -0x01023A00},
    {"laminatornotready", -0x01023A80},
    {"certificationfailed", -0x0102FE00},
    {"magwritefailed", -0x01030C00},
    {"magreadfailed", -0x01031100},
    {"inkfailure", -0x01033600},
    {"takeuptoolarge", -0x01033601},
    {"feedjam", -0x01033B81},
    {"cardjam", -0x01033B82},
    {"laminatorjam", -0x01033B87},
    {"initfailed", -0x01040882},
    {"inkmarknotfound", -0x01043681},
    {"hardwarefailure", -0x01044400},
    {"printertoohot", -0x0104F600},
    {"printertoocool", -0x0104F601},
    {"headtoohot", -0x0104F800},
    {"headtoocool", -0x0104F801},
    {"usbfailure", -0x01052480},
    {"initialized", -0x01062800},
    {"poweredon", -0x01062900},
    {"noribbon", -0x01420081},
    {"nofilm", -0x01420082},
    {"portfailure", -0x02000003},
};

constexpr Named kStateNames[] = {
    {"ready", 0},          {"initializing", 1},         {"cleaning", 2},
    {"offline", 3},        {"selftest", 4},             {"download", 5},
    {"headcooling", 6},    {"printing", 50},            {"cardloading", 51},
    {"cardtransporting", 52}, {"magencoding", 53},      {"contacticencoding", 55},
    {"contactlessicencoding", 56}, {"cardunloading", 58}, {"ngoutlet", 59},
    {"laminating", 60},
};

constexpr Named kInkTypeNames[] = {
    {"YMCKOP", 0}, {"YMCKOPK", 4}, {"bad_tag", 252}, {"tag_error", 253}, {"no_tag", 254}, {"tag_reader_defective", 255},
};

constexpr Named kOptionNames[] = {
    {"isomag", 0x01}, {"jismag", 0x02}, {"contacticiso", 0x04}, {"contacticjis", 0x08}, {"contactlessic", 0x10}, {"laminator", 0x20},
};

constexpr ByteKey kByteKeys[] = {
    {"YmcPrintLevel", 0x28, 38, &PrinterConfig::ymcPrintLevel},
    {"YmcPrintMode", 0x28, 39, &PrinterConfig::ymcPrintMode},
    {"ResinKPrintLevel", 0x28, 45, &PrinterConfig::resinKPrintLevel},
    {"ResinKPrintMode", 0x28, 46, &PrinterConfig::resinKPrintMode},
    {"OpRetransferLevel", 0x28, 47, &PrinterConfig::opRetransferLevel},
    {"IsoCoercivity", 0x2A, 6, &PrinterConfig::isoCoercivity},
    {"WriteRetries", 0x2A, 11, &PrinterConfig::writeRetries},
    {"PositionX", 0x2B, 7, &PrinterConfig::positionX},
    {"PositionY", 0x2B, 9, &PrinterConfig::positionY},
    {"JisCoercivity", 0x3A, 7, &PrinterConfig::jisCoercivity},
};

constexpr TextKey kTextKeys[] = {
    {"Vendor", 8, &PrinterConfig::vendor},
    {"Product", 16, &PrinterConfig::product},
    {"Version", 4, &PrinterConfig::version},
    {"LaminatorVersion", 4, &PrinterConfig::laminatorVersion},
    {"HeadInfo", 20, &PrinterConfig::headInfo},
    {"Lot", 32, &PrinterConfig::lot},
};

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view Trim(std::string_view s) {
  if (s.substr(0, 3) == "\xEF\xBB\xBF") s.remove_prefix(3);  // a byte-order mark some editors write
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

// Lower case without blanks, '_' and '-', so "Door Open", "door_open" and "DOOR-OPEN" are one name.
std::string Normalised(std::string_view s) {
  std::string out;
  for (char c : s) {
    if (c != ' ' && c != '\t' && c != '_' && c != '-') out.push_back(Lower(c));
  }
  return out;
}

// Normalised, and "ModePage.0x2B" is the same key as "ModePage.2B".
std::string CanonicalKey(std::string_view key) {
  std::string k = Normalised(key);
  if (k.rfind("modepage.0x", 0) == 0) k.erase(9, 2);
  return k;
}

std::optional<int32_t> FindName(std::span<const Named> table, std::string_view text) {
  const std::string key = Normalised(text);
  for (const auto& n : table) {
    if (Normalised(n.name) == key) return n.value;
  }
  return std::nullopt;
}

// Decimal or 0x-prefixed hexadecimal, whole text, no sign.
std::optional<uint64_t> ParseMagnitude(std::string_view s) {
  int base = 10;
  if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
    base = 16;
    s.remove_prefix(2);
  }
  if (s.empty() || s.size() > 16) return std::nullopt;
  uint64_t v = 0;
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v, base);
  if (ec != std::errc() || end != s.data() + s.size()) return std::nullopt;
  return v;
}

std::optional<uint64_t> ParseUnsigned(std::string_view s, uint64_t max) {
  const auto v = ParseMagnitude(s);
  if (!v || *v > max) return std::nullopt;
  return v;
}

std::optional<bool> ParseBool(std::string_view s) {
  const std::string n = Normalised(s);
  if (n == "1" || n == "yes" || n == "true" || n == "on") return true;
  if (n == "0" || n == "no" || n == "false" || n == "off") return false;
  return std::nullopt;
}

std::optional<uint8_t> ParseOptions(std::string_view s) {
  if (const auto v = ParseUnsigned(s, 0xFF)) return static_cast<uint8_t>(*v);
  if (Normalised(s) == "none") return uint8_t{0};
  uint8_t bits = 0;
  size_t start = 0;
  while (start <= s.size()) {
    size_t end = s.find_first_of(",+|", start);
    if (end == std::string_view::npos) end = s.size();
    const auto bit = FindName(kOptionNames, Trim(s.substr(start, end - start)));
    if (!bit) return std::nullopt;
    bits |= static_cast<uint8_t>(*bit);
    start = end + 1;
  }
  return bits;
}

std::optional<std::vector<uint8_t>> ParseHexBytes(std::string_view s) {
  std::vector<uint8_t> out;
  int high = -1;
  for (char c : s) {
    if (c == ' ' || c == '\t') continue;
    int digit = -1;
    if (c >= '0' && c <= '9') digit = c - '0';
    else if (Lower(c) >= 'a' && Lower(c) <= 'f') digit = Lower(c) - 'a' + 10;
    if (digit < 0) return std::nullopt;
    if (high < 0) {
      high = digit;
    } else {
      out.push_back(static_cast<uint8_t>(high * 16 + digit));
      high = -1;
    }
  }
  if (high >= 0) return std::nullopt;
  return out;
}

std::string_view Unquoted(std::string_view v) {
  if (v.size() >= 2 && v.front() == '"' && v.back() == '"') return v.substr(1, v.size() - 2);
  return v;
}

// Applies one key to a printer; returns the reason when the line must be ignored.
std::optional<std::string> ApplyKey(PrinterConfig& p, std::string_view rawKey, std::string_view value) {
  const std::string key = Normalised(rawKey);
  const std::string_view unquoted = Unquoted(value);
  const auto bad = [&] { return std::optional<std::string>("bad value \"" + std::string(value) + "\""); };

  for (const auto& t : kTextKeys) {
    if (key != Normalised(t.key)) continue;
    if (unquoted.size() > t.width) {
      return "text longer than " + std::to_string(t.width) + " characters";
    }
    p.*t.member = std::string(unquoted);
    return std::nullopt;
  }
  for (const auto& b : kByteKeys) {
    if (key != Normalised(b.key)) continue;
    const auto v = ParseUnsigned(value, 0xFF);
    if (!v) return bad();
    p.*b.member = static_cast<uint8_t>(*v);
    return std::nullopt;
  }

  using Setter = std::function<bool(std::string_view)>;
  const std::pair<std::string_view, Setter> plain[] = {
      {"connected", [&](std::string_view v) { auto b = ParseBool(v); if (b) p.connected = *b; return b.has_value(); }},
      {"disconnect", [&](std::string_view v) { auto b = ParseBool(v); if (b) p.connected = !*b; return b.has_value(); }},
      {"status", [&](std::string_view v) { auto c = ParseStatus(v); if (c) p.status = *c; return c.has_value(); }},
      {"state", [&](std::string_view v) { auto c = ParseState(v); if (c) p.state = *c; return c.has_value(); }},
      {"inktype", [&](std::string_view v) { auto c = ParseInkType(v); if (c) p.inkType = *c; return c.has_value(); }},
      {"options", [&](std::string_view v) { auto c = ParseOptions(v); if (c) p.options = *c; return c.has_value(); }},
      {"inksets", [&](std::string_view v) { auto c = ParseUnsigned(v, 0xFFFF); if (c) p.inkSets = static_cast<uint16_t>(*c); return c.has_value(); }},
      {"inkquantity", [&](std::string_view v) { auto c = ParseUnsigned(v, 0xFF); if (c) p.inkQuantity = static_cast<uint8_t>(*c); return c.has_value(); }},
      {"cardempty", [&](std::string_view v) { auto c = ParseUnsigned(v, 0xFF); if (c) p.cardEmpty = static_cast<uint8_t>(*c); return c.has_value(); }},
      {"configversion", [&](std::string_view v) { auto c = ParseUnsigned(v, 0xFF); if (c) p.configVersion = static_cast<uint8_t>(*c); return c.has_value(); }},
      {"tableversion", [&](std::string_view v) { auto c = ParseUnsigned(v, 0xFF); if (c) p.tableVersion = static_cast<uint8_t>(*c); return c.has_value(); }},
      {"printerprintcounter", [&](std::string_view v) { auto c = ParseUnsigned(v, 0xFFFFFFFF); if (c) p.printerPrintCounter = static_cast<uint32_t>(*c); return c.has_value(); }},
      {"printcounter", [&](std::string_view v) { auto c = ParseUnsigned(v, 0xFFFFFFFF); if (c) p.printCounter = static_cast<uint32_t>(*c); return c.has_value(); }},
      {"headcounter", [&](std::string_view v) { auto c = ParseUnsigned(v, 0xFFFFFFFF); if (c) p.headCounter = static_cast<uint32_t>(*c); return c.has_value(); }},
  };
  for (const auto& [name, set] : plain) {
    if (key == name) return set(value) ? std::nullopt : bad();
  }

  // Dotted keys: ModePage.<hex page>, Busy.<function>, Fail.<function>, Disconnect.<function>.
  const size_t dot = key.find('.');
  if (dot == std::string::npos) return "unknown key \"" + std::string(rawKey) + "\"";
  const std::string group = key.substr(0, dot);
  const std::string_view rest = rawKey.substr(rawKey.find('.') + 1);
  if (group == "modepage") {
    std::string pageText = Normalised(rest);
    if (pageText.rfind("0x", 0) != 0) pageText.insert(0, "0x");
    const auto page = ParseUnsigned(pageText, 0xFF);
    const auto bytes = ParseHexBytes(value);
    if (!page || !bytes || bytes->size() < 2 || (*bytes)[0] != *page || ModePageLength((*bytes)[0]) != (*bytes)[1] ||
        bytes->size() != size_t{(*bytes)[1]} + 2) {
      return std::optional<std::string>("bad mode page \"" + std::string(rawKey) + "\"");
    }
    p.rawModePages[static_cast<uint8_t>(*page)] = *bytes;
    return std::nullopt;
  }
  const auto function = FunctionByName(Trim(rest));
  if (!function) return "unknown function \"" + std::string(Trim(rest)) + "\"";
  Fault& fault = p.faults[static_cast<size_t>(*function)];
  if (group == "busy") {
    const auto n = ParseUnsigned(value, 1000000);
    if (!n) return bad();
    fault.busy = static_cast<int>(*n);
  } else if (group == "fail") {
    const auto code = ParseCode(value);
    if (!code) return bad();
    fault.fail = *code == 0 ? std::nullopt : code;
  } else if (group == "disconnect") {
    const auto b = ParseBool(value);
    if (!b) return bad();
    fault.disconnect = *b;
  } else {
    return "unknown key \"" + std::string(rawKey) + "\"";
  }
  return std::nullopt;
}

// "[Printer7]" -> 7; -1 for any other section; nullopt when the line is not a section header.
std::optional<int> SectionOf(std::string_view line) {
  line = Trim(line);
  if (line.size() < 2 || line.front() != '[' || line.back() != ']') return std::nullopt;
  const std::string name = Normalised(line.substr(1, line.size() - 2));
  if (name.rfind("printer", 0) != 0) return -1;
  const auto n = ParseUnsigned(std::string_view(name).substr(7), kMaxPrinters - 1);
  if (!n || name.size() == 7 || name.size() > 9) return -1;
  return static_cast<int>(*n);
}

bool IsComment(std::string_view line) {
  line = Trim(line);
  return line.empty() || line.front() == ';' || line.front() == '#';
}

// The lines of a text, each with its own line ending.
std::vector<std::string> SplitKeepingEnds(std::string_view text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    end = end == std::string_view::npos ? text.size() : end + 1;
    lines.emplace_back(text.substr(start, end - start));
    start = end;
  }
  return lines;
}

std::string_view KeyOfLine(std::string_view line) {
  if (IsComment(line) || SectionOf(line)) return {};
  const size_t eq = line.find('=');
  return eq == std::string_view::npos ? std::string_view{} : Trim(line.substr(0, eq));
}

std::string Join(const std::vector<std::string>& lines) {
  std::string out;
  for (const auto& l : lines) out += l;
  return out;
}

}  // namespace

std::span<const ByteKey> ByteKeys() { return kByteKeys; }
std::span<const TextKey> TextKeys() { return kTextKeys; }

std::optional<int32_t> ParseCode(std::string_view text) {
  text = Trim(text);
  const bool negative = !text.empty() && text.front() == '-';
  if (negative) text.remove_prefix(1);
  const auto magnitude = ParseMagnitude(Trim(text));
  if (!magnitude) return std::nullopt;
  if (negative) {
    if (*magnitude > 0x80000000ULL) return std::nullopt;
    return static_cast<int32_t>(-static_cast<int64_t>(*magnitude));
  }
  if (*magnitude > 0xFFFFFFFFULL) return std::nullopt;
  return static_cast<int32_t>(static_cast<uint32_t>(*magnitude));  // a 32-bit pattern such as 0xFEFDFB80
}

std::optional<int32_t> ParseStatus(std::string_view text) {
  if (const auto named = FindName(kStatusNames, text)) return named;
  const auto code = ParseCode(text);
  if (!code || *code > 0) return std::nullopt;  // a condition is 0 or a negative code
  return code;
}

std::optional<int32_t> ParseState(std::string_view text) {
  if (const auto named = FindName(kStateNames, text)) return named;
  const auto v = ParseUnsigned(Trim(text), 0x7FFFFFFF);
  if (!v) return std::nullopt;
  return static_cast<int32_t>(*v);
}

std::optional<uint8_t> ParseInkType(std::string_view text) {
  if (const auto named = FindName(kInkTypeNames, text)) return static_cast<uint8_t>(*named);
  const auto v = ParseUnsigned(Trim(text), 0xFF);
  if (!v) return std::nullopt;
  return static_cast<uint8_t>(*v);
}

std::string InkTypeText(uint8_t code) {
  for (const auto& n : kInkTypeNames) {
    if (n.value == code) return std::string(n.name);
  }
  return std::to_string(code);
}

std::string QuotedIfNeeded(std::string_view value) {
  const bool edges = !value.empty() && (value.front() == ' ' || value.back() == ' ' || value.front() == '\t' ||
                                        value.back() == '\t' || (value.front() == '"' && value.back() == '"'));
  std::string out;
  if (edges) out.push_back('"');
  out.append(value);
  if (edges) out.push_back('"');
  return out;
}

StateFile ParseStateFile(std::string_view text) {
  StateFile out;
  int section = -1;  // lines outside a printer section are ignored
  int lineNo = 0;
  for (const auto& raw : SplitKeepingEnds(text)) {
    ++lineNo;
    std::string_view line(raw);
    if (!line.empty() && line.back() == '\n') line.remove_suffix(1);
    if (IsComment(line)) continue;
    const auto warn = [&](const std::string& why) {
      out.warnings.push_back("line " + std::to_string(lineNo) + ": " + why);
    };
    if (const auto header = SectionOf(line)) {
      section = *header;
      if (section < 0) {
        warn("section " + std::string(Trim(line)) + " ignored (printers are [Printer0] to [Printer15])");
      } else if (!out.printers[section]) {
        out.printers[section].emplace();
      }
      continue;
    }
    if (section < 0) {
      warn("outside a [PrinterN] section");
      continue;
    }
    const size_t eq = line.find('=');
    if (eq == std::string_view::npos || Trim(line.substr(0, eq)).empty()) {
      warn("not key=value");
      continue;
    }
    if (auto why = ApplyKey(*out.printers[section], Trim(line.substr(0, eq)), Trim(line.substr(eq + 1)))) {
      warn(*why);
    }
  }
  return out;
}

std::string SetKey(std::string_view text, int printer, std::string_view key, std::string_view value) {
  auto lines = SplitKeepingEnds(text);
  const std::string eol = text.find("\r\n") != std::string_view::npos ? "\r\n" : "\n";
  const std::string wanted = CanonicalKey(key);
  int section = -1;
  std::optional<size_t> found, lastOfSection;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (const auto header = SectionOf(lines[i])) {
      section = *header;
      if (section == printer) lastOfSection = i;
      continue;
    }
    if (section != printer) continue;
    const std::string_view k = KeyOfLine(lines[i]);
    if (k.empty()) continue;
    lastOfSection = i;
    if (CanonicalKey(k) == wanted) found = i;
  }
  if (found) {
    std::string& line = lines[*found];
    const size_t eq = line.find('=');
    const bool hadEnd = !line.empty() && line.back() == '\n';
    line = line.substr(0, eq + 1) + std::string(value) + (hadEnd ? eol : "");
    return Join(lines);
  }
  const std::string added = std::string(key) + "=" + std::string(value) + eol;
  if (!lastOfSection) {
    std::string out(text);
    if (!out.empty() && out.back() != '\n') out += eol;
    return out + "[Printer" + std::to_string(printer) + "]" + eol + added;
  }
  std::string& after = lines[*lastOfSection];
  if (after.empty() || after.back() != '\n') after += eol;
  lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(*lastOfSection) + 1, added);
  return Join(lines);
}

std::string RemoveKey(std::string_view text, int printer, std::string_view key) {
  const std::string wanted = CanonicalKey(key);
  int section = -1;
  std::vector<std::string> kept;
  for (auto& line : SplitKeepingEnds(text)) {
    if (const auto header = SectionOf(line)) section = *header;
    const std::string_view k = KeyOfLine(line);
    if (section == printer && !k.empty() && CanonicalKey(k) == wanted) continue;
    kept.push_back(std::move(line));
  }
  return Join(kept);
}

}  // namespace printer_library
