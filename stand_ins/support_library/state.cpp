#include "stand_ins/support_library/state.h"

#include <array>
#include <cwctype>
#include <utility>

#include "common/text.h"

namespace support_stand_in {

namespace {

constexpr std::array<std::pair<uint16_t, std::wstring_view>, 49> kExports = {{
    {1, L"GetOsVersionCode"},        {2, L"GetLastSupportStatus"},    {3, L"CheckSetupPreconditions"},
    {4, L"RestartSystem"},           {5, L"GetSupportVersion"},       {11, L"InstallPrinterDriver"},
    {12, L"DeletePrinterDriver"},    {13, L"IsPrinterDriverInstalled"}, {14, L"EnumPrinterDrivers"},
    {21, L"EnumPrintersOfDriver"},   {22, L"ValidatePrinterName"},    {23, L"AddPrinter"},
    {24, L"AddPrinterWithProcessor"}, {25, L"DeletePrinter"},         {26, L"SetDefaultPrinter"},
    {27, L"IsPrinterInstalled"},     {31, L"EnumPorts"},              {32, L"DeletePort"},
    {33, L"AddPortOfMonitor"},       {34, L"IsPortInstalled"},        {41, L"EnumPortMonitors"},
    {42, L"GetMonitorOfPort"},       {43, L"IsPortMonitorInstalled"}, {44, L"InstallPortMonitor"},
    {45, L"DeletePortMonitor"},      {51, L"IsUsbDriverInstalled"},   {52, L"InstallUsbDriver"},
    {53, L"InstallUsbDriverAlternate"}, {54, L"DeleteUsbDriver"},     {61, L"EnumPrintProcessors"},
    {62, L"IsPrintProcessorInstalled"}, {63, L"IsDataTypeSupported"}, {64, L"GetPrinterProcessor"},
    {65, L"InstallPrintProcessor"},  {66, L"DeletePrintProcessor"},   {67, L"EnumDataTypes"},
    {68, L"GetPrinterPort"},         {71, L"IsShareNameUsed"},        {72, L"AfterServiceInstall"},
    {73, L"GetPrinterJobCount"},     {74, L"EnumShares"},             {75, L"InstallService"},
    {76, L"DeleteService"},          {77, L"QueryService"},           {78, L"StopService"},
    {79, L"StartService"},           {81, L"QueryMonitorFile"},       {82, L"IsMonitorInUse"},
    {83, L"ReplacePortMonitor"},
}};

std::wstring_view Trim(std::wstring_view s) {
  while (!s.empty() && std::iswspace(s.front())) s.remove_prefix(1);
  while (!s.empty() && std::iswspace(s.back())) s.remove_suffix(1);
  return s;
}

std::vector<std::wstring> SplitList(std::wstring_view s) {
  std::vector<std::wstring> out;
  while (!s.empty()) {
    const size_t comma = s.find(L',');
    const std::wstring_view item = Trim(s.substr(0, comma));
    if (!item.empty()) out.emplace_back(item);
    if (comma == std::wstring_view::npos) break;
    s.remove_prefix(comma + 1);
  }
  return out;
}

std::wstring JoinList(const std::vector<std::wstring>& items) {
  std::wstring out;
  for (const std::wstring& item : items) {
    if (!out.empty()) out += L',';
    out += item;
  }
  return out;
}

std::wstring Hex(uint32_t value) { return L"0x" + common::Utf8ToWide(common::HexUpper(value, 4)); }
std::wstring Dec(long long value) { return common::Utf8ToWide(common::Decimal(value)); }

bool Flag(std::wstring_view v) { return v == L"1" || SameName(v, L"yes") || SameName(v, L"true"); }

// "3008" or "3008*2": a status, optionally for a number of calls.
std::optional<Failure> ParseFailure(std::wstring_view v) {
  Failure f;
  const size_t star = v.find(L'*');
  const auto status = ParseNumber(Trim(v.substr(0, star)));
  if (!status) return std::nullopt;
  f.status = static_cast<int32_t>(*status);
  if (star != std::wstring_view::npos) {
    const auto count = ParseNumber(Trim(v.substr(star + 1)));
    if (!count || *count < 0) return std::nullopt;
    f.remaining = static_cast<int32_t>(*count);
  }
  return f;
}

void Line(std::wstring& out, std::wstring_view key, std::wstring_view value) {
  out.append(key).append(L"=").append(value).append(L"\n");
}

}  // namespace

bool SameName(std::wstring_view a, std::wstring_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::towlower(a[i]) != std::towlower(b[i])) return false;
  }
  return true;
}

std::optional<long long> ParseNumber(std::wstring_view text) {
  text = Trim(text);
  bool negative = false;
  if (!text.empty() && text.front() == L'-') {
    negative = true;
    text.remove_prefix(1);
  }
  int base = 10;
  if (text.size() > 2 && text[0] == L'0' && (text[1] == L'x' || text[1] == L'X')) {
    base = 16;
    text.remove_prefix(2);
  }
  if (text.empty() || text.size() > 12) return std::nullopt;
  long long value = 0;
  for (wchar_t c : text) {
    int digit;
    if (c >= L'0' && c <= L'9') digit = c - L'0';
    else if (base == 16 && c >= L'a' && c <= L'f') digit = c - L'a' + 10;
    else if (base == 16 && c >= L'A' && c <= L'F') digit = c - L'A' + 10;
    else return std::nullopt;
    value = value * base + digit;
  }
  return negative ? -value : value;
}

std::wstring_view ExportName(uint16_t ordinal) {
  for (const auto& [number, name] : kExports) {
    if (number == ordinal) return name;
  }
  return {};
}

std::optional<uint16_t> OrdinalOf(std::wstring_view nameOrNumber) {
  nameOrNumber = Trim(nameOrNumber);
  if (const auto n = ParseNumber(nameOrNumber)) {
    if (*n > 0 && *n < 0x10000 && !ExportName(static_cast<uint16_t>(*n)).empty()) return static_cast<uint16_t>(*n);
    return std::nullopt;
  }
  for (const auto& [number, name] : kExports) {
    if (SameName(name, nameOrNumber)) return number;
  }
  return std::nullopt;
}

ParseResult ParseState(std::wstring_view text) {
  ParseResult result;
  State& s = result.state;
  std::wstring kind, name;
  int lineNo = 0;
  auto problem = [&](std::wstring_view what) {
    result.problems.push_back(L"line " + Dec(lineNo) + L": " + std::wstring(what));
  };
  if (text.size() >= 1 && text.front() == 0xFEFF) text.remove_prefix(1);
  while (!text.empty()) {
    ++lineNo;
    const size_t eol = text.find(L'\n');
    const std::wstring_view line = Trim(text.substr(0, eol));
    text.remove_prefix(eol == std::wstring_view::npos ? text.size() : eol + 1);
    if (line.empty() || line.front() == L';' || line.front() == L'#') continue;
    if (line.front() == L'[') {
      if (line.back() != L']') { problem(L"unclosed section"); kind.clear(); continue; }
      const std::wstring_view inner = line.substr(1, line.size() - 2);
      const size_t colon = inner.find(L':');
      kind = std::wstring(Trim(inner.substr(0, colon)));
      name = colon == std::wstring_view::npos ? std::wstring() : std::wstring(Trim(inner.substr(colon + 1)));
      // Creating the object here keeps an object whose section has no keys.
      if (SameName(kind, L"Printer")) FindOrAdd(s.printers, name);
      else if (SameName(kind, L"Port")) FindOrAdd(s.ports, name);
      else if (SameName(kind, L"Monitor")) FindOrAdd(s.monitors, name);
      else if (SameName(kind, L"Driver")) FindOrAdd(s.drivers, name);
      else if (SameName(kind, L"UsbDriver")) FindOrAdd(s.usbDrivers, name);
      else if (SameName(kind, L"Processor")) FindOrAdd(s.processors, name);
      else if (SameName(kind, L"Service")) FindOrAdd(s.services, name);
      continue;
    }
    const size_t eq = line.find(L'=');
    if (eq == std::wstring_view::npos) { problem(L"no '=' in the line"); continue; }
    const std::wstring_view key = Trim(line.substr(0, eq));
    const std::wstring_view value = Trim(line.substr(eq + 1));
    const auto number = ParseNumber(value);
    if (SameName(kind, L"System")) {
      if (SameName(key, L"OsCode") && number) s.osCode = static_cast<uint32_t>(*number);
      else if (SameName(key, L"Preconditions")) s.preconditions = Flag(value);
      else if (SameName(key, L"PreconditionStatus") && number) s.preconditionStatus = static_cast<int32_t>(*number);
      else if (SameName(key, L"UsbDeviceStatus") && number) s.usbDeviceStatus = static_cast<int32_t>(*number);
      else if (SameName(key, L"SpoolerRunning")) s.spoolerRunning = Flag(value);
      else if (SameName(key, L"PrinterConnected")) s.printerConnected = Flag(value);
      else if (SameName(key, L"Restarts") && number) s.restarts = static_cast<uint32_t>(*number);
      else if (SameName(key, L"SystemDirectory")) s.systemDirectory = value;
      else if (SameName(key, L"Journal")) s.journal = value;
      else if (SameName(key, L"Shares")) s.shares = SplitList(value);
      else problem(L"unknown or bad value of " + std::wstring(key));
    } else if (SameName(kind, L"Fail") || SameName(kind, L"Status")) {
      const auto ordinal = OrdinalOf(key);
      if (!ordinal) { problem(L"no such export: " + std::wstring(key)); continue; }
      if (SameName(kind, L"Status")) {
        if (number) s.statuses[*ordinal] = static_cast<int32_t>(*number);
        else problem(L"bad status " + std::wstring(value));
      } else if (const auto f = ParseFailure(value)) {
        s.failures[*ordinal] = *f;
      } else {
        problem(L"bad failure " + std::wstring(value));
      }
    } else if (SameName(kind, L"Printer")) {
      Printer& p = FindOrAdd(s.printers, name);
      if (SameName(key, L"Driver")) p.driver = value;
      else if (SameName(key, L"Port")) p.port = value;
      else if (SameName(key, L"Share")) p.share = value;
      else if (SameName(key, L"Processor")) p.processor = value;
      else if (SameName(key, L"DataType")) p.dataType = value;
      else if (SameName(key, L"Attributes") && number) p.attributes = static_cast<uint32_t>(*number);
      else if (SameName(key, L"Jobs") && number) p.jobs = static_cast<uint32_t>(*number);
      else if (SameName(key, L"Default")) p.isDefault = Flag(value);
    } else if (SameName(kind, L"Port")) {
      if (SameName(key, L"Monitor")) FindOrAdd(s.ports, name).monitor = value;
    } else if (SameName(kind, L"Monitor")) {
      Monitor& m = FindOrAdd(s.monitors, name);
      if (SameName(key, L"File")) m.file = value;
      else if (SameName(key, L"Path")) m.path = value;
      else if (SameName(key, L"NewPort")) m.newPort = value;
      else if (SameName(key, L"Language")) m.language = Flag(value);
      else if (SameName(key, L"Locked")) m.locked = Flag(value);
    } else if (SameName(kind, L"Driver")) {
      Driver& d = FindOrAdd(s.drivers, name);
      if (SameName(key, L"File")) d.file = value;
      else if (SameName(key, L"LanguageMonitor")) d.languageMonitor = value;
      else if (SameName(key, L"HardwareId")) d.hardwareId = value;
      else if (SameName(key, L"OtherOs")) {
        d.otherOs.clear();
        for (const std::wstring& code : SplitList(value)) {
          if (const auto n = ParseNumber(code)) d.otherOs.push_back(static_cast<uint32_t>(*n));
        }
      }
    } else if (SameName(kind, L"UsbDriver")) {
      UsbDriver& u = FindOrAdd(s.usbDrivers, name);
      if (SameName(key, L"File")) u.file = value;
      else if (SameName(key, L"HardwareIds")) u.hardwareIds = value;
      else if (SameName(key, L"Alternate")) u.alternate = Flag(value);
      else if (SameName(key, L"OemInf")) u.oemInf = value;
    } else if (SameName(kind, L"Processor")) {
      Processor& p = FindOrAdd(s.processors, name);
      if (SameName(key, L"File")) p.file = value;
      else if (SameName(key, L"DataTypes")) p.dataTypes = SplitList(value);
    } else if (SameName(kind, L"Service")) {
      Service& v = FindOrAdd(s.services, name);
      if (SameName(key, L"Program")) v.program = value;
      else if (SameName(key, L"Running")) v.running = Flag(value);
    } else {
      problem(L"key outside a known section");
    }
  }
  return result;
}

std::wstring FormatState(const State& s) {
  std::wstring out = L"; Simulated spooler and driver store of the setup support library stand-in.\n"
                     L"; Edit freely; the keys are described in the stand-in's README.\n\n[System]\n";
  Line(out, L"OsCode", Hex(s.osCode));
  Line(out, L"Preconditions", s.preconditions ? L"1" : L"0");
  Line(out, L"PreconditionStatus", Dec(s.preconditionStatus));
  Line(out, L"UsbDeviceStatus", Dec(s.usbDeviceStatus));
  Line(out, L"SpoolerRunning", s.spoolerRunning ? L"1" : L"0");
  if (s.printerConnected) Line(out, L"PrinterConnected", L"1");
  Line(out, L"Restarts", Dec(s.restarts));
  Line(out, L"SystemDirectory", s.systemDirectory);
  if (!s.journal.empty()) Line(out, L"Journal", s.journal);
  if (!s.shares.empty()) Line(out, L"Shares", JoinList(s.shares));
  if (!s.failures.empty()) {
    out += L"\n[Fail]\n";
    for (const auto& [ordinal, f] : s.failures) {
      Line(out, ExportName(ordinal), Dec(f.status) + (f.remaining >= 0 ? L"*" + Dec(f.remaining) : L""));
    }
  }
  if (!s.statuses.empty()) {
    out += L"\n[Status]\n";
    for (const auto& [ordinal, status] : s.statuses) Line(out, ExportName(ordinal), Dec(status));
  }
  for (const Printer& p : s.printers) {
    out += L"\n[Printer:" + p.name + L"]\n";
    Line(out, L"Driver", p.driver);
    Line(out, L"Port", p.port);
    if (!p.share.empty()) Line(out, L"Share", p.share);
    if (!p.processor.empty()) Line(out, L"Processor", p.processor);
    if (!p.dataType.empty()) Line(out, L"DataType", p.dataType);
    Line(out, L"Attributes", Hex(p.attributes));
    Line(out, L"Jobs", Dec(p.jobs));
    if (p.isDefault) Line(out, L"Default", L"1");
  }
  for (const Port& p : s.ports) {
    out += L"\n[Port:" + p.name + L"]\n";
    Line(out, L"Monitor", p.monitor);
  }
  for (const Monitor& m : s.monitors) {
    out += L"\n[Monitor:" + m.name + L"]\n";
    Line(out, L"File", m.file);
    if (!m.path.empty()) Line(out, L"Path", m.path);
    if (!m.newPort.empty()) Line(out, L"NewPort", m.newPort);
    if (m.language) Line(out, L"Language", L"1");
    if (m.locked) Line(out, L"Locked", L"1");
  }
  for (const Driver& d : s.drivers) {
    out += L"\n[Driver:" + d.name + L"]\n";
    Line(out, L"File", d.file);
    if (!d.languageMonitor.empty()) Line(out, L"LanguageMonitor", d.languageMonitor);
    if (!d.hardwareId.empty()) Line(out, L"HardwareId", d.hardwareId);
    if (!d.otherOs.empty()) {
      std::vector<std::wstring> codes;
      for (uint32_t code : d.otherOs) codes.push_back(Hex(code));
      Line(out, L"OtherOs", JoinList(codes));
    }
  }
  for (const UsbDriver& u : s.usbDrivers) {
    out += L"\n[UsbDriver:" + u.name + L"]\n";
    Line(out, L"File", u.file);
    Line(out, L"HardwareIds", u.hardwareIds);
    if (u.alternate) Line(out, L"Alternate", L"1");
    if (!u.oemInf.empty()) Line(out, L"OemInf", u.oemInf);
  }
  for (const Processor& p : s.processors) {
    out += L"\n[Processor:" + p.name + L"]\n";
    Line(out, L"File", p.file);
    Line(out, L"DataTypes", JoinList(p.dataTypes));
  }
  for (const Service& v : s.services) {
    out += L"\n[Service:" + v.name + L"]\n";
    if (!v.program.empty()) Line(out, L"Program", v.program);
    Line(out, L"Running", v.running ? L"1" : L"0");
  }
  return out;
}

}  // namespace support_stand_in
