// The file selector of the "Others" page and of the instruction log window, and that window.
#include <gtest/gtest.h>

#include "maintenance_fakes.h"

namespace monitor {
namespace {

using testing::FakeCaptions;
using testing::FakeSelector;
using testing::MaintenanceHarness;

TEST(Pattern, MatchesAnyOfTheListInAnyCase) {
  const std::wstring_view firmware = L"*.PRF;*.HDF;*.CFG;*.TBL;*.MGF;*.ICF";
  EXPECT_TRUE(MatchesPattern(L"main.prf", firmware));
  EXPECT_TRUE(MatchesPattern(L"HEAD.Hdf", firmware));
  EXPECT_FALSE(MatchesPattern(L"main.prfx", firmware));
  EXPECT_FALSE(MatchesPattern(L"main.pr", firmware));
  EXPECT_TRUE(MatchesPattern(L"a.b.txt", L"*.txt"));
  EXPECT_TRUE(MatchesPattern(L"log1.txt", L"log?.txt"));
  EXPECT_FALSE(MatchesPattern(L"txt", L"*.txt"));
}

TEST(Selector, FillShowsTheProgramFolderWithTheFirstMatchingFileSelected) {
  MaintenanceHarness m;
  m.Load();
  const FakeSelector& s = m.selector4;
  EXPECT_EQ(s.DriveText(), L"c:");
  EXPECT_EQ(s.directories, (std::vector<std::wstring>{L"c:\\", L"  Mon", L"    logs"}));
  EXPECT_EQ(s.directory, 1);
  EXPECT_EQ(s.files, (std::vector<std::wstring>{L"head.hdf", L"main.PRF"}));
  EXPECT_EQ(s.file, 0);
  EXPECT_EQ(s.path, L"c:\\Mon\\head.hdf");
  EXPECT_EQ(s.left, 0);
  EXPECT_EQ(s.width, 2100);
  EXPECT_EQ(s.scrollMax, 10);
  EXPECT_EQ(s.scrollValue, 0);
}

TEST(Selector, TheScrollBarShiftsTheDirectoryListLeftAndWidensIt) {
  MaintenanceHarness m;
  m.Load();
  m.other.Selector().HScroll_Change(10);
  EXPECT_EQ(m.selector4.left, -1500);
  EXPECT_EQ(m.selector4.width, 3600);
  m.other.Selector().HScroll_Change(3);
  EXPECT_EQ(m.selector4.left, -450);
  EXPECT_EQ(m.selector4.width, 2550);
}

TEST(Selector, AtADriveRootTheFileFollowsOneBackslashAndAnEmptyListEndsWithOne) {
  MaintenanceHarness m;
  m.Load();
  FileSelector& selector = m.other.Selector();
  selector.Dir_Open(0);  // "c:\"
  EXPECT_EQ(m.selector4.directories, (std::vector<std::wstring>{L"c:\\", L"  fw", L"  Mon"}));
  EXPECT_TRUE(m.selector4.files.empty());
  EXPECT_EQ(m.selector4.path, L"c:\\");

  selector.Dir_Open(1);  // "fw"
  EXPECT_EQ(m.selector4.files, std::vector<std::wstring>{L"main.prf"});
  EXPECT_EQ(m.selector4.path, L"c:\\fw\\main.prf");

  selector.Dir_Open(0);
  selector.Dir_Open(2);  // back into "Mon"
  selector.File_Click(1);
  EXPECT_EQ(m.selector4.path, L"c:\\Mon\\main.PRF");
  selector.Dir_Open(2);  // "logs": no files
  EXPECT_EQ(m.selector4.file, -1);
  EXPECT_EQ(m.selector4.path, L"c:\\Mon\\logs\\");
}

TEST(Selector, AProgramAtADriveRootFillsFromThatRoot) {
  MaintenanceHarness m;
  m.form.Load(L"c:");  // the program's folder is kept without its separator
  EXPECT_EQ(m.selector4.directories, (std::vector<std::wstring>{L"c:\\", L"  fw", L"  Mon"}));
  EXPECT_EQ(m.selector4.path, L"c:\\");
}

TEST(Selector, OnThePageAFailedDriveChangeGoesBackSilently) {
  MaintenanceHarness m;
  m.Load();
  m.files.notReadyDrives.insert(L"e:");
  m.other.Selector().Drive_Change(2);
  EXPECT_EQ(m.selector4.DriveText(), L"c:");
  EXPECT_EQ(m.selector4.path, L"c:\\Mon\\head.hdf");
  EXPECT_TRUE(m.boxes.shown.empty());

  m.other.Selector().Drive_Change(1);  // "d: [DATA]": the text before the "["
  EXPECT_EQ(m.other.Selector().Directory(), L"d:\\");
  EXPECT_EQ(m.selector4.DriveText(), L"d: [DATA]");
  EXPECT_TRUE(m.selector4.files.empty()) << "x.txt is no firmware file";
}

struct LogWindowHarness : MaintenanceHarness {
  FakeSelector selector5;
  FakeCaptions captions;
  SubForm subForm{captions, selector5, files, boxes, other};
  LogWindowHarness() {
    Load();
    boxes.shown.clear();
    subForm.Form_Load(common.Printers().appPath);
  }
};

TEST(InstructionLogWindow, LoadsCaptionsArialAndTheTextFiles) {
  LogWindowHarness m;
  EXPECT_EQ((m.captions.texts[{"SubForm", -1}]), "Instruction Log");
  EXPECT_EQ((m.captions.texts[{"Frame5", -1}]), "File Selection");
  EXPECT_EQ((m.captions.texts[{"Cmd5", 0}]), "Write");
  EXPECT_EQ((m.captions.texts[{"Cmd5", 1}]), "Cancel");
  for (const char* name : {"SubForm", "Frame5", "Drive5", "Dir5", "File5", "Text5"}) {
    EXPECT_EQ((m.captions.fonts[{name, -1}]), std::make_pair(std::string("Arial"), 9)) << name;
  }
  EXPECT_EQ(m.selector5.files, std::vector<std::wstring>{L"readme.txt"});
  EXPECT_EQ(m.selector5.path, L"c:\\Mon\\readme.txt");
}

TEST(InstructionLogWindow, AnUnreadyDriveIsReportedAndTheListGoesBack) {
  LogWindowHarness m;
  m.files.notReadyDrives.insert(L"e:");
  m.subForm.Selector().Drive_Change(2);
  ASSERT_EQ(m.boxes.shown.size(), 1u);
  EXPECT_EQ(m.boxes.shown[0].text, "Drive is not ready.");
  EXPECT_EQ(m.boxes.shown[0].style, BoxStyle::Error);
  EXPECT_EQ(m.selector5.DriveText(), L"c:");

  m.subForm.Selector().Drive_Change(1);
  EXPECT_EQ(m.selector5.path, L"d:\\x.txt");
}

TEST(InstructionLogWindow, NoOnTheOverwriteQuestionKeepsTheWindowOpenWithItsPath) {
  LogWindowHarness m;
  m.selector5.path = L" c:\\Mon\\readme.txt ";
  m.boxes.answers = {BoxAnswer::No};
  EXPECT_FALSE(m.subForm.Cmd5_Click(0));
  EXPECT_EQ(m.selector5.path, L" c:\\Mon\\readme.txt ");
  EXPECT_EQ(m.library.CountCalls("GetLogMessageAsFile"), 0);
  EXPECT_TRUE(m.subForm.Cmd5_Click(0));
  EXPECT_EQ(m.library.paths, std::vector<std::wstring>{L"c:\\Mon\\readme.txt"});
  EXPECT_TRUE(m.subForm.Cmd5_Click(1));
}

TEST(InstructionLogWindow, AFolderWithoutTextFilesPassesThePathEndingInABackslash) {
  LogWindowHarness m;
  m.subForm.Selector().Dir_Open(2);  // "logs"
  EXPECT_EQ(m.selector5.path, L"c:\\Mon\\logs\\");
  EXPECT_TRUE(m.subForm.Cmd5_Click(0));
  EXPECT_EQ(m.library.paths, std::vector<std::wstring>{L"c:\\Mon\\logs\\"});
}

struct CountingLogWindow : LogWindow {
  int shown = 0;
  void ShowModal() override { ++shown; }
};

TEST(InstructionLogWindow, LogOpensItOnlyForAnIdlePrinter) {
  MaintenanceHarness m;
  CountingLogWindow window;
  m.form.SetLogWindow(&window);
  m.Load();
  m.form.Cmd0_Click(0);
  EXPECT_EQ(window.shown, 1);
  m.common.Info().stateCode = 50;
  m.form.Cmd0_Click(0);
  EXPECT_EQ(window.shown, 1);
  EXPECT_EQ(m.boxes.shown.back().text, "Printer is on printing. Command could not be accepted.");
}

}  // namespace
}  // namespace monitor
