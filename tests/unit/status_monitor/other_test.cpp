// The "Others" page: clearing the counter, the test print, the firmware download with its file
// check, and the instruction log write, as the operator sees them.
#include <gtest/gtest.h>

#include "maintenance_fakes.h"
#include "status_monitor/message_table.h"

namespace monitor {
namespace {

using testing::MaintenanceHarness;

constexpr int32_t kUnknownCode = -0x0BAD0000;
constexpr int32_t kDataInvalid = -0x01052681;

struct Page : MaintenanceHarness {
  Page() {
    Load();
    boxes.shown.clear();
    library.calls.clear();
  }
  void Press(int index, std::initializer_list<BoxAnswer> answers = {}) {
    boxes.answers.assign(answers.begin(), answers.end());
    other.Cmd4_Click(index);
  }
  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (const auto& box : boxes.shown) texts.push_back(box.text);
    return texts;
  }
};

TEST(OthersButtons, WithoutAPrinterEachButtonSaysSoAndSendsNothing) {
  Page page;
  page.common.ClearPrinters();
  for (int index = 0; index < 3; ++index) page.Press(index);
  EXPECT_EQ(page.Texts(), std::vector<std::string>(3, "No Printer is found."));
  EXPECT_TRUE(page.library.calls.empty());
}

TEST(OthersButtons, CancelOnTheQuestionSendsNothing) {
  Page page;
  page.selector4.path = L"c:\\fw\\main.prf";
  for (int index = 0; index < 3; ++index) page.Press(index, {BoxAnswer::Cancel});
  EXPECT_EQ(page.Texts(), (std::vector<std::string>{"Would you like to clear Print Counter?",
                                                    "Would you like to start Test Print?",
                                                    "Would you like to update Printer Firmware?"}));
  for (const auto& box : page.boxes.shown) EXPECT_EQ(box.style, BoxStyle::Question);
  EXPECT_TRUE(page.library.calls.empty());
}

TEST(OthersButtons, ABusyPrinterIsTriedThreeTimesAndTheLastBusyIsReportedWithRowZero) {
  struct Case {
    int index;
    const char* call;
    std::string failure;
  };
  const Case cases[] = {{0, "LogSelect", "It fails to clear Print Counter."},
                        {1, "SendDiagnostic", "It fails to start Test Print."},
                        {2, "UpdateFirmware", "It fails to update Printer Firmware."}};
  for (const Case& c : cases) {
    Page page;
    page.selector4.path = L"c:\\fw\\main.prf";
    page.library.scripted[c.call] = {1, 1, 1};
    page.Press(c.index);
    EXPECT_EQ(page.library.CountCalls(c.call), 3) << c.call;
    EXPECT_EQ(page.events.nowMs, 3000) << "one second after each busy answer";
    ASSERT_EQ(page.boxes.shown.size(), 2u) << c.call;
    EXPECT_EQ(page.boxes.shown[1].text, c.failure + "\rDetails:" + std::string(MessageText(0)));
    EXPECT_EQ(page.boxes.shown[1].style, BoxStyle::Error);
  }

  Page page;
  page.library.scripted["SendDiagnostic"] = {1, 0};
  page.Press(1);
  EXPECT_EQ(page.library.CountCalls("SendDiagnostic"), 2);
  EXPECT_EQ(page.boxes.shown.size(), 1u) << "a test print that went through shows nothing";
}

TEST(OthersButtons, ACodeWithoutARowIsShownAsTheCode) {
  Page page;
  page.library.scripted["SendDiagnostic"] = {kUnknownCode};
  page.Press(1);
  ASSERT_EQ(page.boxes.shown.size(), 2u);
  EXPECT_EQ(page.boxes.shown[1].text, "It fails to start Test Print.\rDetails:" + FailureText(kUnknownCode));
  EXPECT_NE(page.boxes.shown[1].text.find("F4530000"), std::string::npos) << page.boxes.shown[1].text;
}

TEST(TestPrint, BothSidesSendsSixteenWithAZeroedValueEachTryAndThePageComesBackOnSingleSide) {
  Page page;
  page.view.SetChecked({"Opt4", 0}, false);
  page.view.SetChecked({"Opt4", 1}, true);
  page.library.scripted["SendDiagnostic"] = {1, 0};
  page.Press(1);
  ASSERT_EQ(page.library.diagnostics.size(), 2u);
  for (const auto& call : page.library.diagnostics) {
    EXPECT_EQ(call.selfTest, 0);
    EXPECT_EQ(call.sides, 16);
    EXPECT_EQ(call.count, 1);
    EXPECT_EQ(call.valueBefore, 0) << "the library's leftover is cleared before the next try";
  }

  page.form.SSTab1_Click(0);
  EXPECT_TRUE(page.view.IsChecked({"Opt4", 0}));
  EXPECT_FALSE(page.view.IsChecked({"Opt4", 1}));
  page.library.diagnostics.clear();
  page.Press(1);
  ASSERT_EQ(page.library.diagnostics.size(), 1u);
  EXPECT_EQ(page.library.diagnostics[0].sides, 0);
}

TEST(TestPrint, NoSideChosenSendsNothing) {
  Page page;
  page.view.SetChecked({"Opt4", 0}, false);
  page.Press(1);
  EXPECT_TRUE(page.library.diagnostics.empty());
  EXPECT_EQ(page.boxes.shown.size(), 1u);
}

TEST(ClearCounter, SuccessReadsTheCountersAgainAndAFailureStillRedrawsTheLabel) {
  Page page;
  page.form.SSTab1_Click(0);
  EXPECT_EQ(page.view.Text("Label4_1"), "45");

  page.library.scripted["LogSelect"] = {kDataInvalid};
  page.view[{"Label4_1"}].text = "stale";
  page.library.calls.clear();
  page.Press(0);
  EXPECT_EQ(page.view.Text("Label4_1"), "45") << "the counter as known, after the failure message";
  EXPECT_EQ(page.boxes.shown.back().text, "It fails to clear Print Counter.\rDetails:" + FailureText(kDataInvalid));
  EXPECT_EQ(page.library.CountCalls("LogSense"), 0);

  page.Press(0);
  EXPECT_EQ(page.library.calls.back(), "LogSense 38");
  EXPECT_EQ(page.view.Text("Label4_1"), "0");
  EXPECT_EQ(page.common.Info().printCounter, 0);
}

TEST(ClearCounter, TheLabelIsEmptyWithoutAPrinter) {
  Page page;
  page.common.ClearPrinters();
  page.other.Refresh();
  EXPECT_EQ(page.view.Text("Label4_1"), "");
}

struct Firmware : ::testing::Test, Page {
  void Download(const std::wstring& path) {
    selector4.path = path;
    boxes.shown.clear();
    Press(2);
  }
};

TEST_F(Firmware, PathsWithoutAFullExtensionAreInvalidAndABlankPathIsNotSpecified) {
  for (const std::wstring path : {L"c:\\fw\\main", L"c:\\fw\\main.pr", L"  c:\\fw\\main.p "}) {
    Download(path);
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[1].text, "File name is invalid.");
    EXPECT_EQ(boxes.shown[1].style, BoxStyle::CriticalOk);
  }
  Download(L"   ");
  ASSERT_EQ(boxes.shown.size(), 2u);
  EXPECT_EQ(boxes.shown[1].text, "File is not specified.");
  EXPECT_EQ(boxes.shown[1].style, BoxStyle::CriticalCancelRetry);
  EXPECT_EQ(library.CountCalls("UpdateFirmware"), 0);
  EXPECT_GT(events.pendingEventPasses, 0) << "the check lets pending events run first";
}

TEST_F(Firmware, AMissingFileIsNotFoundAndALockedOneFailsQuietly) {
  Download(L"c:\\fw\\gone.prf");
  ASSERT_EQ(boxes.shown.size(), 2u);
  EXPECT_EQ(boxes.shown[1].text, "File is not found.");
  EXPECT_EQ(boxes.shown[1].style, BoxStyle::QuestionOkOnly);
  files.lockedFiles.insert(L"c:\\fw\\main.prf");
  Download(L"c:\\fw\\main.prf");
  EXPECT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(library.CountCalls("UpdateFirmware"), 0);
}

TEST_F(Firmware, AFourLetterExtensionPassesAndTheTrimmedPathIsSentUnderTheHourglass) {
  Download(L"  c:\\fw\\main.prfx  ");
  ASSERT_EQ(library.paths, std::vector<std::wstring>{L"c:\\fw\\main.prfx"});
  EXPECT_EQ(library.firmwareFlags, 0);
  EXPECT_EQ(input.hourglass, (std::vector<bool>{true, false}));
  ASSERT_EQ(boxes.shown.size(), 2u);
  EXPECT_EQ(boxes.shown[1].text,
            "Firmware was updated correctly.\rPlease turn off and on the printer power to run new firmware.");
  EXPECT_EQ(boxes.shown[1].style, BoxStyle::Information);
}

TEST_F(Firmware, ARefusedFileIsReportedWithTheRowText) {
  library.scripted["UpdateFirmware"] = {kDataInvalid};
  Download(L"c:\\fw\\main.prf");
  ASSERT_EQ(boxes.shown.size(), 2u);
  EXPECT_EQ(boxes.shown[1].text, "It fails to update Printer Firmware.\rDetails:" + std::string(MessageText(kDataInvalid)));
  EXPECT_EQ(input.hourglass, (std::vector<bool>{true, false})) << "the pointer comes back after a failure too";
}

TEST_F(Firmware, APathTooLongForTheLibraryBufferIsRefusedAndNothingIsSent) {
  std::wstring longPath = L"c:\\" + std::wstring(520, L'a') + L".prf";
  Download(longPath);
  ASSERT_EQ(boxes.shown.size(), 2u);
  EXPECT_EQ(boxes.shown[1].text, "File name is invalid.");
  EXPECT_TRUE(files.opened.empty());
  EXPECT_EQ(library.CountCalls("UpdateFirmware"), 0);
}

TEST(InstructionLog, AnExistingFileAsksFirstAndNoKeepsTheWindowOpen) {
  Page page;
  page.boxes.answers = {BoxAnswer::No};
  EXPECT_FALSE(page.other.WriteInstructionLog(L"c:\\Mon\\readme.txt"));
  EXPECT_EQ(page.Texts(), std::vector<std::string>{"File exists already. Would you like to overwrite?"});
  EXPECT_EQ(page.boxes.shown[0].style, BoxStyle::QuestionYesNo);

  page.boxes.shown.clear();
  page.boxes.answers = {BoxAnswer::Yes, BoxAnswer::Cancel};
  EXPECT_FALSE(page.other.WriteInstructionLog(L"c:\\Mon\\readme.txt"));
  EXPECT_EQ(page.library.CountCalls("GetLogMessageAsFile"), 0);

  page.boxes.shown.clear();
  EXPECT_TRUE(page.other.WriteInstructionLog(L"c:\\Mon\\readme.txt"));
  EXPECT_EQ(page.library.paths, std::vector<std::wstring>{L"c:\\Mon\\readme.txt"});
}

TEST(InstructionLog, APathTooLongForTheLibraryBufferIsRefusedAndTheWindowStaysOpen) {
  Page page;
  EXPECT_FALSE(page.other.WriteInstructionLog(L"c:\\" + std::wstring(509, L'l') + L".txt"));
  EXPECT_EQ(page.Texts(), std::vector<std::string>{"File name is invalid."});
  EXPECT_EQ(page.library.CountCalls("GetLogMessageAsFile"), 0);
  EXPECT_TRUE(page.other.WriteInstructionLog(L"c:\\" + std::wstring(504, L'l') + L".txt")) << "511 characters fit";
}

TEST(InstructionLog, ANewFileIsOnlyConfirmedAndAFailureStillClosesTheWindow) {
  Page page;
  page.library.scripted["GetLogMessageAsFile"] = {1, 1, 1};
  EXPECT_TRUE(page.other.WriteInstructionLog(L"c:\\Mon\\new.txt"));
  EXPECT_EQ(page.library.CountCalls("GetLogMessageAsFile"), 3);
  EXPECT_EQ(page.Texts(), (std::vector<std::string>{
                              "Would you like to write Instruction Log to the file?",
                              "It fails to write Instruction Log to the file.\rDetails:" + std::string(MessageText(0))}));
}

}  // namespace
}  // namespace monitor
