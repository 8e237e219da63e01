#include "status_monitor/common.h"

#include <string>

namespace monitor {

bool IsDisconnectionCode(int32_t code) {
  const uint32_t family = (0u - static_cast<uint32_t>(code)) & 0xFFFF0000u;
  return family == 0x02010000u || family == 0x02020000u || code == kNoPrinterPortManager ||
         code == kNoPrinterLibrary;
}

std::vector<uint8_t> PathToLibraryBytes(std::wstring_view path) {
  std::vector<uint8_t> bytes;
  bytes.reserve(path.size() * 2 + 2);
  for (const wchar_t c : path) {
    const auto unit = static_cast<uint16_t>(c);  // UTF-16 code unit (wchar_t is 32-bit off Windows)
    bytes.push_back(static_cast<uint8_t>(unit & 0xFF));
    bytes.push_back(static_cast<uint8_t>(unit >> 8));
  }
  bytes.push_back(0);
  bytes.push_back(0);
  return bytes;
}

void Common::WaitOneSecond() {
  waiting_ = true;
  events_.StartTimer(TimerId::Timer2, 1000);
  while (waiting_) {
    if (!events_.WaitForNextEvent()) {  // the program is ending: stop waiting
      OnTimer2();
      break;
    }
  }
}

void Common::OnTimer2() {
  waiting_ = false;
  events_.StopTimer(TimerId::Timer2);
}

void Common::SelectPrinter(int index) {
  printers_.selectedIndex = static_cast<int16_t>(index);
  printers_.selected = {printers_.handles[index], printers_.units[index]};
  printers_.unitText = std::to_string(static_cast<long long>(printers_.units[index]) + 1);
}

void Common::ClearPrinters() {
  printers_.count = 0;
  printers_.selectedIndex = 0;
  printers_.selected = {};
  printers_.unitText.clear();
}

int32_t Common::ScanPrinters() {
  printers_.count = 0;
  int32_t code = 0;  // the last result the library gave
  BindFailure failure = BindFailure::None;
  while (printers_.count < kMaxPrinters) {
    int32_t handle = 0;
    int32_t unit = 0;
    KvResult result;
    if (printers_.count == 0) {
      result = WithBusyRetry([&] {
        handle = 0;
        unit = 0;
        return library_.ScanKV450(handle, unit);
      });
    } else {
      result = WithBusyRetry([&] {
        handle = printers_.handles[printers_.count - 1];
        unit = printers_.units[printers_.count - 1];
        return library_.ScanKV450Next(handle, unit);
      });
    }
    if (result.Raised()) {
      failure = result.failure;
      break;
    }
    code = result.code;
    if (printers_.count != 0 && code == kNoPrinterLibrary) {
      code = 0;  // the end of the list
      break;
    }
    if (code != 0) break;
    printers_.handles[printers_.count] = handle;
    printers_.units[printers_.count] = unit;
    ++printers_.count;
  }

  if (failure == BindFailure::FileNotFound) {
    ClearPrinters();
    return kLibraryMissing;
  }
  if (failure != BindFailure::None) {  // the library could not answer: nothing is known
    ClearPrinters();
    return code;
  }
  printers_.selectedIndex = 0;
  if (code == 0 && printers_.count != 0) {
    SelectPrinter(0);
  } else {
    printers_.selected = {};  // a failed scan keeps what it counted but selects nothing
    printers_.unitText.clear();
  }
  return code;
}

void Common::ReadStatus() {
  const KvResult test = library_.TestUnitReady(printers_.selected);
  if (test.Raised()) {
    ClearPrinters();
    return;
  }
  info_.statusCode = test.code;
  if (IsDisconnectionCode(test.code)) ClearPrinters();
  if (!printers_.Found()) return;

  int32_t status = static_cast<int32_t>((0u - static_cast<uint32_t>(test.code)) & 0xFFFF0000u);
  int32_t state = 0;
  // The library answers 0 while it has no status to give; ask at most three times.
  int32_t answer = 0;
  for (int calls = 1;; ++calls) {
    const KvResult result = library_.GetPrinterStatus(printers_.selected, status, state);
    if (result.Raised()) {
      ClearPrinters();
      return;
    }
    answer = result.code;
    if (answer != 0 || calls == 3) break;
    events_.ProcessPendingEvents();
  }
  if (answer < 0) {
    // The call failed (the printer went away, say): its error is the status, not the outputs.
    status = answer;
    state = 0;
  } else if (answer == 0 && test.code != 0) {
    // No status words came: the placeholder is no printer value, the test's own answer is.
    status = test.code;
    state = test.code > 0 ? kStateNoAnswer : 0;
  }
  info_.statusCode = status;
  info_.stateCode = state;
}

int32_t Common::RefreshPrinterInfo() {
  if (!printers_.Found()) return 0;
  const PrinterRef printer = printers_.selected;

  KvResult result = library_.LogSense(printer, kLogCounters, buffer_.data());
  if (!result.Raised() && result.code > 0 && firstRefresh_) {
    WaitOneSecond();
    result = library_.LogSense(printer, kLogCounters, buffer_.data());
  }
  firstRefresh_ = false;
  if (result.Raised()) return result.code;
  if (result.code == 0) FillLogCounters(info_, buffer_);

  // Each further read runs only while every earlier one succeeded.
  const auto read = [&](auto&& call, auto&& fill) {
    if (result.Raised() || result.code != 0) return;
    result = call();
    if (!result.Raised() && result.code == 0) fill();
  };
  read([&] { return library_.LogSense(printer, kLogSupplies, buffer_.data()); },
       [&] { FillLogSupplies(info_, buffer_); });
  read([&] { return WithBusyRetry([&] { return library_.StandardInquiry(printer, buffer_.data()); }); },
       [&] { FillStandardInquiry(info_, buffer_); });
  read([&] { return WithBusyRetry([&] { return library_.VPDInquiry(printer, kVpdHeadInfo, buffer_.data()); }); },
       [&] { FillHeadInfo(info_, buffer_); });
  for (const int32_t page : kModePages) {
    read([&] { return library_.ModeSense(printer, page, buffer_.data()); },
         [&] { FillModePage(info_, page, buffer_); });
  }
  return result.code;
}

int32_t Common::WriteModePage(int32_t pageCode) {
  BuildModePage(info_, pageCode, buffer_);
  // The buffer holds the page until the last attempt returns; a busy answer resends it unchanged.
  const KvResult result = WithBusyRetry([&] { return library_.ModeSelect(printers_.selected, pageCode, buffer_.data()); });
  return result.code;
}

int32_t Common::WriteModePages() {
  if (!printers_.Found()) return 0;
  for (const int32_t page : kModePages) {
    if (const int32_t result = WriteModePage(page); result != 0) return result;
  }
  return 0;
}

}  // namespace monitor
