#include "status_monitor/other.h"

#include "common/text.h"
#include "status_monitor/message_table.h"

namespace monitor {

namespace {
constexpr Ctl kCounter{"Label4_1"};
constexpr Ctl kSingleSide{"Opt4", 0};
constexpr Ctl kBothSides{"Opt4", 1};
constexpr int32_t kSideFlagSingle = 0;
constexpr int32_t kSideFlagBoth = 16;
}  // namespace

void Other::Prepare() {
  for (int i = 0; i < 3; ++i) {
    view_.SetText({"Frame4", i}, text::kFrame4Captions[i]);
    view_.SetText({"Cmd4", i}, text::kCmd4Captions[i]);
  }
  view_.SetText(kSingleSide, text::kOpt4Captions[0]);
  view_.SetText(kBothSides, text::kOpt4Captions[1]);
  selector_.Fill(common_.Printers().appPath);
  for (int i = 0; i < 4; ++i) view_.SetVisible({"MonText", i}, false);
  view_.SetText(kCounter, "");
  view_.SetChecked(kSingleSide, true);
  view_.SetChecked(kBothSides, false);
  for (int i = 0; i < 3; ++i) view_.SetText({"Label4_2", i}, text::kProgramLines[i]);
}

void Other::Refresh() {
  const bool found = common_.Printers().Found();
  view_.SetText(kCounter, found ? common::Decimal(common_.Info().printCounter) : std::string());
  view_.SetChecked(kSingleSide, true);
  view_.SetChecked(kBothSides, false);
  for (int i = 0; i < 3; ++i) view_.SetText({"Label4_2", i}, text::kProgramLines[i]);
}

void Other::Cmd4_Click(int index) {
  if (index < 0 || index > 2) return;
  if (!common_.Printers().Found()) {
    boxes_.Show(text::kNoPrinterFound, BoxStyle::Error);
    return;
  }
  static constexpr std::string_view kQuestions[3] = {text::kConfirmClearCounter, text::kConfirmTestPrint,
                                                     text::kConfirmUpdateFirmware};
  if (boxes_.Show(kQuestions[index], BoxStyle::Question) != BoxAnswer::Ok) return;
  switch (index) {
    case 0: ClearCounter(); break;
    case 1: TestPrint(); break;
    default: DownloadFirmware(); break;
  }
}

void Other::ClearCounter() {
  const PrinterRef printer = common_.Printers().selected;
  const KvResult result = common_.WithBusyRetry([&] { return common_.Library().LogSelect(printer); });
  if (result.Raised() || result.code != 0) {
    boxes_.Show(FailureMessage(text::kClearCounterFailed, result.code), BoxStyle::Error);
  } else {
    DataBuffer& buffer = common_.Buffer();
    const KvResult read = common_.Library().LogSense(printer, kLogCounters, buffer.data());
    if (!read.Raised() && read.code == 0) FillLogCounters(common_.Info(), buffer);
  }
  Refresh();  // the counter as now known, whether the clear worked or not
}

void Other::TestPrint() {
  int32_t sides;
  if (view_.IsChecked(kSingleSide)) {
    sides = kSideFlagSingle;
  } else if (view_.IsChecked(kBothSides)) {
    sides = kSideFlagBoth;
  } else {
    return;
  }
  const PrinterRef printer = common_.Printers().selected;
  int32_t value = 0;
  const KvResult result = common_.WithBusyRetry([&] {
    value = 0;  // the library writes into it; every attempt starts from zero
    return common_.Library().SendDiagnostic(printer, 0, sides, 1, &value);
  });
  if (result.Raised() || result.code != 0) {
    boxes_.Show(FailureMessage(text::kTestPrintFailed, result.code), BoxStyle::Error);
  }
}

void Other::DownloadFirmware() {
  const std::wstring path = selector_.TrimmedPath();
  if (!CheckFirmwareFile(path, files_, boxes_, events_)) return;
  const PrinterRef printer = common_.Printers().selected;
  input_.SetHourglass(true);
  const std::vector<uint8_t> bytes = PathToLibraryBytes(path);
  const KvResult result =
      common_.WithBusyRetry([&] { return common_.Library().UpdateFirmware(printer, bytes.data(), 0); });
  input_.SetHourglass(false);
  if (result.Raised() || result.code != 0) {
    boxes_.Show(FailureMessage(text::kFirmwareFailed, result.code), BoxStyle::Error);
    return;
  }
  std::string done(text::kFirmwareUpdated);
  done += '\r';
  done += text::kFirmwareRestart;
  boxes_.Show(done, BoxStyle::Information);
}

bool Other::WriteInstructionLog(const std::wstring& path) {
  // The library's path buffer cannot hold more; such a path is refused, never cut short.
  if (path.size() > kMaxLibraryPathChars) {
    boxes_.Show(text::kFileNameInvalid, BoxStyle::CriticalOk);
    return false;
  }
  if (!path.empty() && files_.OpenForReading(path) == OpenResult::Ok &&
      boxes_.Show(text::kLogFileExists, BoxStyle::QuestionYesNo) != BoxAnswer::Yes) {
    return false;
  }
  if (boxes_.Show(text::kConfirmWriteLog, BoxStyle::Question) != BoxAnswer::Ok) return false;
  const PrinterRef printer = common_.Printers().selected;
  const std::vector<uint8_t> bytes = PathToLibraryBytes(path);
  const KvResult result =
      common_.WithBusyRetry([&] { return common_.Library().GetLogMessageAsFile(printer, bytes.data()); });
  if (result.Raised() || result.code != 0) {
    boxes_.Show(FailureMessage(text::kWriteLogFailed, result.code), BoxStyle::Error);
  }
  return true;
}

}  // namespace monitor
