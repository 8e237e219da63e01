// End to end: a printer installed through the wizard's sheets, then deleted through them, against
// the support-library and option-service stand-ins; the stand-in's state ends as it began.
#include "wizard_e2e.h"

#include <set>

namespace {

using namespace wizard_e2e;

constexpr char kInitialState[] =
    "[System]\r\nOsCode=0x0600\r\nPrinterConnected=1\r\nJournal=journal.txt\r\n"
    "[Port:LPT1:]\r\nMonitor=Local Port\r\n[Monitor:Local Port]\r\nFile=localspl.dll\r\n";

// The state file's section names but [System]: what the simulated system holds.
std::set<std::string> Sections(const std::string& state) {
  std::set<std::string> names;
  for (const std::string& line : Lines(state)) {
    if (line.size() > 2 && line.front() == '[' && line.back() == ']' && line != "[System]") names.insert(line);
  }
  return names;
}

std::string Join(const std::set<std::string>& names) {
  std::string out;
  for (const std::string& n : names) out += n + " ";
  return out;
}

class DeletionEndToEnd : public WizardEndToEnd {
 protected:
  void SetUp() override {
    WizardEndToEnd::SetUp();
    ::DeleteFileW((folder / L"License.txt").c_str());
    robot::WriteFile(folder / L"state.ini", kInitialState);
  }

  // Installs the first model with every proposed value.
  void Install() {
    WizardThread install(folder / kWizardDll);
    HWND progress = AcceptEverything(L"Printer installation is complete.");
    ASSERT_NE(progress, nullptr);
    ::PostMessageW(progress, PSM_PRESSBUTTON, PSBTN_FINISH, 0);
    ASSERT_EQ(install.Result(), 1);
    ASSERT_NE(ReadAll(folder / L"state.ini").find("[Printer:ORV TPX800 U1]"), std::string::npos);
  }

  // Walks the deletion wizard to its review page and returns the sheet.
  HWND ToReview() {
    HWND sheet = robot::WaitForWindowOf(::GetCurrentProcessId(), L"#32770", kDeleteTitle, kTimeoutMs);
    if (!sheet) return nullptr;
    HWND page = WaitForPage(sheet, 2206);
    if (!page) return nullptr;
    EXPECT_EQ(Text(page, 2206).rfind(L"Are you sure you want to remove ORV TPX800 printer?", 0), 0u)
        << Narrow(Text(page, 2206));
    Next(sheet);
    page = WaitForPage(sheet, 2201);
    if (!page) return nullptr;
    EXPECT_EQ(::SendDlgItemMessageW(page, 2201, LB_GETCOUNT, 0, 0), 1);  // only the installed model
    EXPECT_EQ(Text(page, 2205), L"ORV TPX800 U1");                    // its printer
    Next(sheet);
    return WaitForPage(sheet, 2204) ? sheet : nullptr;
  }
};

TEST_F(DeletionEndToEnd, DeletesTheInstalledPrinterAndLeavesTheSystemAsBefore) {
  const std::set<std::string> before = Sections(kInitialState);
  Install();
  ASSERT_TRUE(DevicePluggedIn());
  // The USB driver's information file was staged in the Inf folder.
  ASSERT_EQ(StagedInfs().size(), stagedBefore_.size() + 1);

  WizardThread deletion(folder / kWizardDll, 0, kDeleteTitle);
  HWND sheet = ToReview();
  ASSERT_NE(sheet, nullptr);
  // Driver heading, model, printer, gap, monitor heading, monitor, its port, gap.
  EXPECT_EQ(::SendDlgItemMessageW(CurrentPage(sheet), 2204, LB_GETCOUNT, 0, 0), 8);
  ::PostMessageW(sheet, PSM_PRESSBUTTON, PSBTN_FINISH, 0);

  HWND progress = WaitForProgress(::GetCurrentProcessId(), kDeleteTitle, L"The printer has been deleted.");
  ASSERT_NE(progress, nullptr);
  ::PostMessageW(progress, PSM_PRESSBUTTON, PSBTN_FINISH, 0);
  EXPECT_EQ(deletion.Result(), 1);

  const std::string state = ReadAll(folder / L"state.ini");
  EXPECT_EQ(Sections(state), before) << Join(Sections(state));
  for (const wchar_t* f : kInstalledFiles) {
    EXPECT_EQ(::GetFileAttributesW((SystemDirectory() + L"\\" + f).c_str()), INVALID_FILE_ATTRIBUTES) << Narrow(f);
  }
  EXPECT_FALSE(DevicePluggedIn());
  EXPECT_EQ(StagedInfs(), stagedBefore_);  // uninstalled through the set-up API
  const std::string journal = ReadAll(folder / L"journal.txt");
  EXPECT_NE(journal.find("DeletePrinterDriver(\"ORV TPX800 U1\""), std::string::npos) << journal;
  EXPECT_NE(journal.find("DeletePortMonitor(\"TPX800 Port Monitor\""), std::string::npos) << journal;
}

TEST_F(DeletionEndToEnd, FinishIsRefusedWhileThePrinterHasJobs) {
  Install();
  // A job arrives in the printer's queue.
  std::string state = ReadAll(folder / L"state.ini");
  const size_t jobs = state.find("Jobs=0", state.find("[Printer:ORV TPX800 U1]"));
  ASSERT_NE(jobs, std::string::npos) << state;
  state.replace(jobs, 6, "Jobs=2");
  robot::WriteFile(folder / L"state.ini", state);

  WizardThread deletion(folder / kWizardDll, 0, kDeleteTitle);
  HWND sheet = ToReview();
  ASSERT_NE(sheet, nullptr);
  ::PostMessageW(sheet, PSM_PRESSBUTTON, PSBTN_FINISH, 0);
  EXPECT_EQ(AnswerBox(IDOK), std::wstring(kDeleteTitle) +
                                 L": It includes the printing printer.\nDelete the printer after finishing the printing.");
  EXPECT_EQ(CurrentPage(sheet) != nullptr && ::GetDlgItem(CurrentPage(sheet), 2204) != nullptr, true);
  ::PostMessageW(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
  EXPECT_EQ(deletion.Result(), 0);
  EXPECT_NE(ReadAll(folder / L"state.ini").find("[Printer:ORV TPX800 U1]"), std::string::npos);
}

}  // namespace
