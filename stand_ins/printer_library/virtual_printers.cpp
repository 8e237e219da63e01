#include "stand_ins/printer_library/virtual_printers.h"

#include "common/text.h"
#include "common/win_path.h"
#include "stand_ins/printer_library/pages.h"

#include <algorithm>
#include <cstdio>

namespace printer_library {
namespace {

constexpr size_t kInstructionLogSize = 200;   // the oldest instructions are dropped beyond this
constexpr size_t kMaxPathUnits = 32767;       // longest path Windows takes
constexpr int32_t kNoCard = -0x01023A00;
constexpr int32_t kSidesSingle = 0, kSidesBoth = 16;

std::string Hex2(int value) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%02X", static_cast<unsigned>(value) & 0xFFu);
  return text;
}

// A zero-terminated UTF-16LE byte string; nullopt when it does not end within the longest path.
std::optional<std::wstring> PathFromBytes(const uint8_t* bytes) {
  std::wstring path;
  for (size_t i = 0; i <= kMaxPathUnits; ++i) {
    const wchar_t unit = static_cast<wchar_t>(bytes[2 * i] | bytes[2 * i + 1] << 8);
    if (unit == 0) return path;
    path.push_back(unit);
  }
  return std::nullopt;
}

std::string Lowered(std::wstring_view text) {
  std::string out;
  for (wchar_t c : text) {
    if (c >= L'A' && c <= L'Z') out.push_back(static_cast<char>(c - L'A' + 'a'));
    else out.push_back(c < 0x80 ? static_cast<char>(c) : '?');  // never mistaken for a letter
  }
  return out;
}

}  // namespace

bool IsFirmwareFileName(std::wstring_view path) {
  const std::wstring name = common::FileNameOf(path);
  const size_t dot = name.rfind(L'.');
  if (dot == std::wstring::npos) return false;
  const std::string ext = Lowered(std::wstring_view(name).substr(dot + 1));
  for (const char* known : {"prf", "hdf", "cfg", "tbl", "mgf", "icf"}) {
    if (ext == known) return true;
  }
  return false;
}

// One library call: re-reads the file, finds the printer, applies the injected faults, and
// journals the result when it ends.
class VirtualPrinters::Call {
 public:
  Call(VirtualPrinters& owner, Function f, int32_t handle, int32_t unit)
      : owner_(owner), function_(f), unit_(unit) {
    owner_.Refresh();
    printer_ = owner_.Find(handle, unit);
  }
  Call(const Call&) = delete;
  Call& operator=(const Call&) = delete;

  // nullopt when the call goes on to do its work; otherwise the answer the fault dictates.
  std::optional<int32_t> Fault() {
    if (!printer_ || printer_->config.FaultOf(function_).disconnect) return result::kNoPrinter;
    int& busy = printer_->busyLeft[static_cast<size_t>(function_)];
    if (busy > 0) {
      --busy;
      busyAnswer_ = true;
      return result::kBusy;
    }
    return printer_->config.FaultOf(function_).fail;
  }
  bool BusyAnswer() const { return busyAnswer_; }
  PrinterConfig& Config() { return printer_->config; }
  void Detail(const std::string& text) { details_ += (details_.empty() ? "" : " ") + text; }
  std::optional<std::wstring> PathArgument(const uint8_t* bytes) {
    auto path = PathFromBytes(bytes);
    Detail("path=" + (path ? common::WideToUtf8(*path) : std::string("(too long)")));
    return path;
  }
  int32_t Done(int32_t result) {
    owner_.Record(function_, unit_, printer_ != nullptr, details_, result);
    return result;
  }

 private:
  VirtualPrinters& owner_;
  Function function_;
  int32_t unit_;
  Printer* printer_ = nullptr;
  bool busyAnswer_ = false;
  std::string details_;
};

VirtualPrinters::VirtualPrinters(HostPort& host, std::wstring statePath)
    : host_(host), statePath_(std::move(statePath)) {}

int32_t VirtualPrinters::HandleOf(int unit) { return 0x4B560100 + unit; }

void VirtualPrinters::Refresh() {
  const auto stamp = host_.Stamp(statePath_);
  if (loaded_ && stamp == stamp_) return;
  std::string text;
  if (stamp) {
    auto read = host_.Read(statePath_);
    if (!read) return;  // being saved by someone else: keep the last state and look again next call
    text = std::move(*read);
  }
  loaded_ = true;
  stamp_ = stamp;
  text_ = std::move(text);
  const StateFile parsed = ParseStateFile(text_);
  const std::string name = common::WideToUtf8(common::FileNameOf(statePath_));
  if (!stamp) host_.Journal("# " + name + " not found: no printers");
  for (const auto& warning : parsed.warnings) host_.Journal("# " + name + " " + warning + " (line ignored)");
  for (int i = 0; i < kMaxPrinters; ++i) {
    printers_[i].reset();
    if (!parsed.printers[i]) continue;
    Printer& p = printers_[i].emplace();
    p.config = *parsed.printers[i];
    for (size_t f = 0; f < kFunctionCount; ++f) p.busyLeft[f] = p.config.faults[f].busy;
  }
}

VirtualPrinters::Printer* VirtualPrinters::Find(int32_t handle, int32_t unit) {
  if (unit < 0 || unit >= kMaxPrinters || handle != HandleOf(unit)) return nullptr;
  auto& p = printers_[unit];
  return p && p->config.connected ? &*p : nullptr;
}

void VirtualPrinters::Record(Function f, int32_t unit, bool known, const std::string& details, int32_t result) {
  if (known) {
    auto& log = logs_[unit];
    log.push_back({host_.Now(), f, details, result});
    if (log.size() > kInstructionLogSize) log.pop_front();
  }
  host_.Journal("KVCMD_" + std::string(FunctionName(f)) + " unit=" + std::to_string(unit) +
                (details.empty() ? "" : " " + details) + " result=" + CodeText(result));
}

bool VirtualPrinters::Persist(int unit, const std::function<std::string(std::string)>& edit) {
  std::string updated = edit(text_);
  if (!host_.Replace(statePath_, updated)) {
    host_.Journal("# could not write the state file; the change holds only in this process");
    return false;
  }
  text_ = std::move(updated);
  stamp_ = host_.Stamp(statePath_);  // our own write is not a change to re-read
  return true;
}

int32_t VirtualPrinters::Scan(Function f, int from, int32_t* handle, int32_t* unit) {
  Refresh();
  int found = -1;
  for (int i = std::max(from, 0); i < kMaxPrinters && found < 0; ++i) {
    if (Find(HandleOf(i), i) && !printers_[i]->config.FaultOf(f).disconnect) found = i;
  }
  if (found < 0) {
    host_.Journal("KVCMD_" + std::string(FunctionName(f)) + " from=" + std::to_string(from) +
                  " result=" + CodeText(result::kNoPrinter));
    return result::kNoPrinter;
  }
  Call call(*this, f, HandleOf(found), found);
  if (const auto fault = call.Fault()) return call.Done(*fault);
  *handle = HandleOf(found);
  *unit = found;
  call.Detail("handle=0x" + common::HexUpper(static_cast<uint32_t>(*handle), 8));
  return call.Done(result::kOk);
}

int32_t VirtualPrinters::ScanKV450(int32_t* handle, int32_t* unit) {
  if (!handle || !unit) return result::kInvalidParameter;
  return Scan(Function::ScanKV450, 0, handle, unit);
}

int32_t VirtualPrinters::ScanKV450Next(int32_t* handle, int32_t* unit) {
  if (!handle || !unit) return result::kInvalidParameter;
  if (*unit < 0 || *unit >= kMaxPrinters) return result::kNoPrinter;
  return Scan(Function::ScanKV450Next, *unit + 1, handle, unit);
}

int32_t VirtualPrinters::TestUnitReady(int32_t handle, int32_t unit) {
  Call call(*this, Function::TestUnitReady, handle, unit);
  if (const auto fault = call.Fault()) return call.Done(*fault);
  return call.Done(call.Config().status);
}

int32_t VirtualPrinters::GetPrinterStatus(int32_t handle, int32_t unit, int32_t* status, int32_t* state) {
  if (!status || !state) return result::kInvalidParameter;
  Call call(*this, Function::GetPrinterStatus, handle, unit);
  if (const auto fault = call.Fault()) {
    // The caller asks again while the answer is 0, so a busy printer answers 0 and fills nothing.
    if (call.BusyAnswer()) return call.Done(0);
    *status = *fault;
    *state = 0;
    return call.Done(*fault);
  }
  *status = call.Config().status;
  *state = call.Config().state;
  call.Detail("status=" + CodeText(*status) + " state=" + std::to_string(*state));
  return call.Done(result::kStatusRead);
}

int32_t VirtualPrinters::ReadPage(Function f, int32_t handle, int32_t unit, int32_t page, uint8_t* buffer,
                                  bool (*build)(const PrinterConfig&, int, Buffer)) {
  if (!buffer) return result::kInvalidParameter;
  Call call(*this, f, handle, unit);
  call.Detail("page=" + Hex2(page));
  if (const auto fault = call.Fault()) return call.Done(*fault);
  const bool known = build(call.Config(), page, Buffer(buffer, kBufferSize));
  return call.Done(known ? result::kOk : result::kCdbInvalid);
}

int32_t VirtualPrinters::LogSense(int32_t handle, int32_t unit, int32_t page, uint8_t* buffer) {
  return ReadPage(Function::LogSense, handle, unit, page, buffer, BuildLogPage);
}

int32_t VirtualPrinters::ModeSense(int32_t handle, int32_t unit, int32_t page, uint8_t* buffer) {
  return ReadPage(Function::ModeSense, handle, unit, page, buffer, BuildModeData);
}

int32_t VirtualPrinters::ModeSelect(int32_t handle, int32_t unit, int32_t page, const uint8_t* buffer) {
  if (!buffer) return result::kInvalidParameter;
  Call call(*this, Function::ModeSelect, handle, unit);
  call.Detail("page=" + Hex2(page));
  if (const auto fault = call.Fault()) return call.Done(*fault);
  const auto length = ModePageLength(page);
  if (!length) return call.Done(result::kCdbInvalid);
  if (buffer[4] != page) return call.Done(result::kParameterInvalid);
  if (buffer[5] != *length) return call.Done(result::kParameterLengthInvalid);

  const std::span<const uint8_t> sent(buffer + 4, size_t{*length} + 2);
  PrinterConfig& config = call.Config();
  const bool named = TakeModePage(config, sent);
  const std::string rawKey = "ModePage." + Hex2(page).substr(2);
  Persist(unit, [&](std::string text) {
    std::vector<std::pair<std::string, std::string>> keys;
    if (page == 0x23) {
      keys = {{"InkType", InkTypeText(config.inkType)},
              {"InkSets", std::to_string(config.inkSets)},
              {"Lot", QuotedIfNeeded(config.lot)}};
    }
    for (const auto& b : ByteKeys()) {
      if (b.page == page) keys.emplace_back(std::string(b.key), std::to_string(config.*b.member));
    }
    if (!named) {
      std::string hex;
      for (uint8_t byte : sent) {
        if (!hex.empty()) hex.push_back(' ');
        hex.append(Hex2(byte), 2, 2);
      }
      text = SetKey(text, unit, rawKey, hex);
    } else {
      text = RemoveKey(text, unit, rawKey);
    }
    for (const auto& [key, value] : keys) text = named ? SetKey(text, unit, key, value) : RemoveKey(text, unit, key);
    return text;
  });
  return call.Done(result::kOk);
}

int32_t VirtualPrinters::StandardInquiry(int32_t handle, int32_t unit, uint8_t* buffer) {
  if (!buffer) return result::kInvalidParameter;
  Call call(*this, Function::StandardInquiry, handle, unit);
  if (const auto fault = call.Fault()) return call.Done(*fault);
  BuildStandardInquiry(call.Config(), Buffer(buffer, kBufferSize));
  return call.Done(result::kOk);
}

int32_t VirtualPrinters::VPDInquiry(int32_t handle, int32_t unit, int32_t page, uint8_t* buffer) {
  return ReadPage(Function::VPDInquiry, handle, unit, page, buffer, BuildVpdPage);
}

int32_t VirtualPrinters::SendDiagnostic(int32_t handle, int32_t unit, int32_t selfTest, int32_t sides, int32_t count,
                                        int32_t* value) {
  if (!value) return result::kInvalidParameter;
  Call call(*this, Function::SendDiagnostic, handle, unit);
  call.Detail("sides=" + std::to_string(sides));
  if (const auto fault = call.Fault()) return call.Done(*fault);
  if (selfTest != 0 || count != 1 || (sides != kSidesSingle && sides != kSidesBoth)) {
    return call.Done(result::kParameterInvalid);
  }
  // A test print needs a ready printer with cards.
  PrinterConfig& config = call.Config();
  if (config.status != 0) return call.Done(config.status);
  if (config.cardEmpty != 0) return call.Done(kNoCard);
  ++config.printerPrintCounter;
  ++config.printCounter;
  config.headCounter += sides == kSidesBoth ? 2 : 1;
  Persist(unit, [&](std::string text) {
    text = SetKey(text, unit, "PrinterPrintCounter", std::to_string(config.printerPrintCounter));
    text = SetKey(text, unit, "PrintCounter", std::to_string(config.printCounter));
    return SetKey(text, unit, "HeadCounter", std::to_string(config.headCounter));
  });
  return call.Done(result::kOk);
}

int32_t VirtualPrinters::LogSelect(int32_t handle, int32_t unit) {
  Call call(*this, Function::LogSelect, handle, unit);
  if (const auto fault = call.Fault()) return call.Done(*fault);
  call.Config().printCounter = 0;
  Persist(unit, [&](std::string text) { return SetKey(text, unit, "PrintCounter", "0"); });
  return call.Done(result::kOk);
}

int32_t VirtualPrinters::UpdateFirmware(int32_t handle, int32_t unit, const uint8_t* path, int32_t flags) {
  if (!path) return result::kInvalidParameter;
  Call call(*this, Function::UpdateFirmware, handle, unit);
  const auto file = call.PathArgument(path);
  if (const auto fault = call.Fault()) return call.Done(*fault);
  if (!file || file->empty()) return call.Done(result::kInvalidParameter);
  const auto size = host_.ReadableSize(*file);
  if (!size) return call.Done(result::kFileReadFailed);
  if (!IsFirmwareFileName(*file) || *size == 0) return call.Done(result::kDownloadDataInvalid);
  return call.Done(result::kOk);
}

std::string VirtualPrinters::InstructionLogText(int unit) const {
  const PrinterConfig& config = printers_[unit]->config;
  std::string out = "Instruction log of printer unit " + std::to_string(unit + 1) + " (" + config.vendor + " " +
                    config.product + ", version " + config.version + ")\r\n";
  out += "Written " + host_.Now() + "\r\n\r\n";
  char line[160];
  std::snprintf(line, sizeof line, "%-19s  %-19s  %-12s  %s\r\n", "Time", "Instruction", "Result", "Details");
  out += line;
  for (const auto& i : logs_[unit]) {
    std::snprintf(line, sizeof line, "%-19s  %-19s  %-12s  ", i.time.c_str(), std::string(FunctionName(i.function)).c_str(),
                  CodeText(i.result).c_str());
    out += line + i.details + "\r\n";
  }
  out += "\r\n" + std::to_string(logs_[unit].size()) + " instructions (at most " +
         std::to_string(kInstructionLogSize) + " are kept, the oldest are dropped first)\r\n";
  return out;
}

int32_t VirtualPrinters::GetLogMessageAsFile(int32_t handle, int32_t unit, const uint8_t* path) {
  if (!path) return result::kInvalidParameter;
  Call call(*this, Function::GetLogMessageAsFile, handle, unit);
  const auto file = call.PathArgument(path);
  if (const auto fault = call.Fault()) return call.Done(*fault);
  if (!file || file->empty()) return call.Done(result::kInvalidParameter);
  // No code of the family says "cannot write"; a path that cannot be written is a bad parameter.
  const bool written = host_.Write(*file, InstructionLogText(unit));
  return call.Done(written ? result::kOk : result::kInvalidParameter);
}

int32_t VirtualPrinters::ReadPosition(int32_t handle, int32_t unit, uint8_t* buffer) {
  if (!buffer) return result::kInvalidParameter;
  Call call(*this, Function::ReadPosition, handle, unit);
  if (const auto fault = call.Fault()) return call.Done(*fault);
  std::fill_n(buffer, kBufferSize, uint8_t{0});
  return call.Done(result::kOk);
}

}  // namespace printer_library
