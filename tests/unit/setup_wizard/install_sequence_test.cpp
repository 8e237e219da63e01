#include "setup_wizard/install_sequence.h"

#include <gtest/gtest.h>

#include <deque>
#include <fstream>
#include <functional>
#include <sstream>

#include "fake_support.h"
#include "sequence_fakes.h"

namespace {

using namespace setup_wizard;
using setup_wizard::fakes::BoundFake;
using setup_wizard::fakes::FakeProgress;
using setup_wizard::fakes::FakeSystem;
using setup_wizard::fakes::PackageFiles;
using setup_wizard::fakes::PackageInformation;

const std::wstring kDriverDir = L"D:\\Driver\\driver\\x86\\";
const std::wstring kMonitorDir = L"D:\\Driver\\monitor\\x86\\";
const std::wstring kSystem = L"C:\\windows\\system32\\";

// One installation of the package's first model on XP, with the media's files present.
struct Install {
  explicit Install(std::wstring info = PackageInformation())
      : information(L"D:\\Driver", std::make_unique<PackageFiles>(std::move(info))),
        run{bound.library, information, true, L"Installation of ORV TPX800 printer"},
        progress(page, kStringCancelInstall),
        system(bound.fake) {
    information.Load(0x0600, L"KVSetup.ini");
    selections = {L"Desk", L"", L"TPX800 Port Monitor", L"", 0, 0, false};
    for (const wchar_t* f : {L"TPX8OPT.EXE", L"TPX8OPTR.DLL", L"TPX8LMS.EXE", L"TPX8LMSR.DLL", L"TPX8LM.DLL"}) {
      system.files[kDriverDir + f] = 0x0001000200000000ull;
    }
    for (const wchar_t* f : {L"TPX8PMS.EXE", L"TPX8PMSR.DLL", L"TPX8PM.DLL"}) system.files[kMonitorDir + f] = 0x0001000200000000ull;
    system.serviceOf = {{L"TPX8OPT.EXE", L"TPX800 Option Service"},
                        {L"TPX8LMS.EXE", L"TPX800 Monitor Service"},
                        {L"TPX8PMS.EXE", L"TPX800 Port Service"}};
    bound.fake.statusAfter[L"InstallUsbDriver"] = 0;
  }
  InstallOutcome Go() {
    InstallSequence sequence(run, selections, progress, system);
    return sequence.Run();
  }
  BoundFake bound;
  SetupInformation information;
  WizardRun run;
  InstallSelections selections;
  FakeProgress page;
  ProgressRun progress;
  FakeSystem system;
};

void ReplaceAll(std::wstring& text, const std::wstring& from, const std::wstring& to) {
  for (size_t at = 0; (at = text.find(from, at)) != std::wstring::npos; at += to.size()) text.replace(at, from.size(), to);
}

bool Contains(const std::vector<std::wstring>& list, const std::wstring& item) {
  return std::find(list.begin(), list.end(), item) != list.end();
}

TEST(InstallSequence, FullInstallRunsEveryStepInOrder) {
  Install i;
  EXPECT_EQ(i.Go(), InstallOutcome::kComplete);
  const std::vector<std::wstring> expected = {
      L"AfterServiceInstall(C:\\windows\\system32, 520)",
      L"InstallUsbDriver(ORV TPX800 USB Printer, VID_1A2B&PID_0800, 8, TPX8USB.SYS)",
      L"QueryMonitorFile(TPX800 Port Monitor, 1)",
      L"InstallPortMonitor(TPX800 Port Monitor, 8)",
      L"AddPortOfMonitor(TPX800 Port Monitor)",
      L"QueryMonitorFile(TPX800 Language Monitor, 1)",
      L"InstallPrinterDriver(ORV TPX800 U1, 8, TPX800 Language Monitor)",
      L"InstallPrintProcessor(TPX800 Print Processor, 8)",
      L"AddPrinterWithProcessor(Desk, ORV TPX800 U1)",
  };
  EXPECT_EQ(i.bound.fake.Actions(), expected);
  const std::vector<std::wstring> texts = {L"#304", L"#311", L"#310", L"#312", L"#308",
                                           L"#309", L"#305", L"#305", L"#307", L"#313"};
  EXPECT_EQ(i.page.shown, texts);
  EXPECT_EQ(i.page.buttons.front(), std::make_pair(0u, false));
  EXPECT_EQ(i.page.buttons.back(), std::make_pair(4u, true));
  // The three option UI services went to the system directory, each with its dependent file.
  EXPECT_TRUE(Contains(i.system.copies, kDriverDir + L"TPX8OPT.EXE -> " + kSystem + L"TPX8OPT.EXE"));
  EXPECT_TRUE(Contains(i.system.copies, kDriverDir + L"TPX8LMSR.DLL -> " + kSystem + L"TPX8LMSR.DLL"));
  EXPECT_TRUE(Contains(i.system.copies, kMonitorDir + L"TPX8PMS.EXE -> " + kSystem + L"TPX8PMS.EXE"));
  EXPECT_EQ(i.system.runs, (std::vector<std::wstring>{kSystem + L"TPX8OPT.EXE -install", kSystem + L"TPX8LMS.EXE -install",
                                                       kSystem + L"TPX8PMS.EXE -install"}));
  EXPECT_EQ(i.bound.fake.port, L"TPX800 Port");
  EXPECT_EQ(i.bound.fake.processor, L"TPX800 Print Processor");
  EXPECT_EQ(i.bound.fake.dataType, L"RAW");
  EXPECT_EQ(i.bound.fake.share, L"null");
  EXPECT_EQ(i.bound.fake.attributes, 0u);
  EXPECT_EQ(i.system.deviceQueries, std::vector<std::wstring>{L"ORV TPX800 USB Printer / VID_1A2B&PID_0800"});
  EXPECT_TRUE(i.system.sleeps.empty());  // found at the first look: no extra wait
}

TEST(InstallSequence, EachFailureStopsWithItsText) {
  struct Case {
    const wchar_t* call;
    const wchar_t* text;
    const wchar_t* lastAction;
  };
  const Case cases[] = {
      {L"InstallUsbDriver", L"#334", L"InstallUsbDriver"},
      {L"InstallPortMonitor", L"#332", L"InstallPortMonitor"},
      {L"AddPortOfMonitor", L"#333", L"AddPortOfMonitor"},
      {L"InstallPrinterDriver", L"#330", L"InstallPrinterDriver"},
      {L"InstallPrintProcessor", L"#330", L"InstallPrintProcessor"},
      {L"AddPrinterWithProcessor", L"#330", L"AddPrinterWithProcessor"},
  };
  for (const Case& c : cases) {
    Install i;
    i.bound.fake.results[c.call] = 0;
    i.bound.fake.statusAfter[L"InstallUsbDriver"] = 87;
    EXPECT_EQ(i.Go(), InstallOutcome::kStopped) << c.call;
    EXPECT_EQ(i.page.shown.back(), c.text) << c.call;
    EXPECT_EQ(i.bound.fake.Actions().back().rfind(c.lastAction, 0), 0u) << c.call;
    EXPECT_EQ(i.page.buttons.back(), std::make_pair(4u, true)) << c.call;
  }
}

TEST(InstallSequence, UsbDriverAlreadyInPlaceCountsAsInstalled) {
  Install i;
  i.bound.fake.results[L"InstallUsbDriver"] = 0;
  i.bound.fake.statusAfter[L"InstallUsbDriver"] = 8;
  EXPECT_EQ(i.Go(), InstallOutcome::kComplete);
}

TEST(InstallSequence, FailedServiceIsReportedAndTheInstallationGoesOn) {
  Install i;
  i.system.serviceOf.erase(L"TPX8LMS.EXE");  // runs, but never comes up
  EXPECT_EQ(i.Go(), InstallOutcome::kComplete);
  EXPECT_TRUE(Contains(i.page.shown, L"#335"));
}

TEST(InstallSequence, CancelAnsweredNoLetsTheStepContinue) {
  Install i;
  i.page.cancelOn = L"#310";
  i.page.confirms = {false};
  EXPECT_EQ(i.Go(), InstallOutcome::kComplete);
  EXPECT_EQ(i.page.asked, std::vector<std::wstring>{L"#316"});
  EXPECT_EQ(i.page.shown.back(), L"#313");
}

TEST(InstallSequence, CancelAnsweredYesEndsWithCanceled) {
  Install i;
  i.page.cancelOn = L"#310";
  i.page.confirms = {true};
  EXPECT_EQ(i.Go(), InstallOutcome::kCancelled);
  EXPECT_EQ(i.page.shown.back(), L"#314");
  EXPECT_EQ(i.page.buttons.back(), std::make_pair(4u, true));
  // The USB step in progress finished; nothing after it ran.
  EXPECT_EQ(i.bound.fake.Actions().back().rfind(L"InstallUsbDriver", 0), 0u);
}

TEST(InstallSequence, SheetGoingAwayEndsTheRunAsCancelled) {
  // The process ends the sheet while the wizard waits for the printer.
  Install i;
  int polls = 0;
  class ClosingSystem : public FakeSystem {
   public:
    ClosingSystem(fakes::FakeSupport& f, FakeProgress& p, int& n) : FakeSystem(f), page_(p), n_(n) {}
    void Sleep(int ms) override {
      FakeSystem::Sleep(ms);
      if (++n_ == 3) page_.isClosed = true;
    }

   private:
    FakeProgress& page_;
    int& n_;
  } system(i.bound.fake, i.page, polls);
  system.files = i.system.files;
  system.deviceAt = -1;
  InstallSequence sequence(i.run, i.selections, i.progress, system);
  EXPECT_EQ(sequence.Run(), InstallOutcome::kCancelled);
  EXPECT_EQ(polls, 3);
  EXPECT_TRUE(i.page.asked.empty());
}

TEST(InstallSequence, DeviceWaitSettlesByPollAndSystem) {
  struct Case {
    int osCode;
    int foundAt;
    std::vector<int> sleeps;
  };
  const Case cases[] = {
      {0x0600, 0, {}},
      {0x0600, 3, {1000, 1000, 1000}},
      {0x0600, 6, {1000, 1000, 1000, 1000, 1000, 1000, 1000}},  // found late: one more second
      {0x0A00, 0, {}},
      {0x0A00, 1, {1000, 7000}},
      {0x0B00, 2, {1000, 1000, 7000}},
  };
  for (const Case& c : cases) {
    std::wstring info = PackageInformation();
    Install i(info);
    i.information.Load(c.osCode, L"KVSetup.ini");
    if (c.osCode >= 0x0A00) {
      // Vista reads the same x86 folders (OS3); the 64-bit line the x64 ones.
      for (auto f : std::vector<std::pair<std::wstring, std::optional<uint64_t>>>(i.system.files.begin(), i.system.files.end())) {
        std::wstring path = f.first;
        const size_t at = path.find(L"x86");
        if (at != std::wstring::npos) i.system.files[path.replace(at, 3, L"x64")] = f.second;
      }
    }
    i.system.deviceAt = c.foundAt;
    EXPECT_EQ(i.Go(), InstallOutcome::kComplete) << c.osCode << " " << c.foundAt;
    EXPECT_EQ(i.system.sleeps, c.sleeps) << c.osCode << " " << c.foundAt;
  }
}

TEST(InstallSequence, NoPrinterAndStatusNineTakesTheAlternateUsbInstall) {
  Install i;
  i.system.deviceAt = -1;
  i.bound.fake.statusAfter[L"InstallUsbDriver"] = 9;
  EXPECT_EQ(i.Go(), InstallOutcome::kComplete);
  EXPECT_TRUE(Contains(i.bound.fake.Actions(), L"InstallUsbDriverAlternate(ORV TPX800 USB Printer, VID_1A2B&PID_0800, 1)"));

  Install failing;
  failing.system.deviceAt = -1;
  failing.bound.fake.statusAfter[L"InstallUsbDriver"] = 9;
  failing.bound.fake.results[L"InstallUsbDriverAlternate"] = 0;
  EXPECT_EQ(failing.Go(), InstallOutcome::kStopped);
  EXPECT_EQ(failing.page.shown.back(), L"#334");
}

TEST(InstallSequence, ExistingPortSkipsThePortStepAndNoDeviceWait) {
  Install i;
  i.selections.portName = L"LPT1:";
  i.selections.portMonitorIndex = -1;
  i.system.deviceAt = -1;  // would wait for ever if asked
  EXPECT_EQ(i.Go(), InstallOutcome::kComplete);
  EXPECT_FALSE(Contains(i.page.shown, L"#309"));
  EXPECT_FALSE(Contains(i.page.shown, L"#312"));
  EXPECT_EQ(i.bound.fake.port, L"LPT1:");
  for (const auto& a : i.bound.fake.Actions()) EXPECT_EQ(a.rfind(L"AddPortOfMonitor", 0), std::wstring::npos);
}

TEST(InstallSequence, OldMonitorIsLeftReplacedOrAskedAbout) {
  const std::wstring installed = kSystem + L"TPX8PM.DLL";
  {
    Install same;
    same.bound.fake.installedMonitors[L"TPX800 Port Monitor"] = installed;
    same.system.files[installed] = 0x0001000200000000ull;
    EXPECT_EQ(same.Go(), InstallOutcome::kComplete);
    EXPECT_FALSE(Contains(same.bound.fake.Actions(), L"ReplacePortMonitor(TPX800 Port Monitor, 196609)"));
  }
  {
    Install silent;
    silent.bound.fake.installedMonitors[L"TPX800 Port Monitor"] = installed;
    silent.system.files[installed] = 0x0001000100000000ull;
    EXPECT_EQ(silent.Go(), InstallOutcome::kComplete);
    EXPECT_TRUE(Contains(silent.bound.fake.Actions(), L"ReplacePortMonitor(TPX800 Port Monitor, 196609)"));
    EXPECT_TRUE(silent.page.asked.empty());
  }
  {
    Install asked;  // unreadable installed file, and the monitor is in use: the user continues
    asked.bound.fake.installedMonitors[L"TPX800 Port Monitor"] = installed;
    asked.bound.fake.cannotReplace = true;
    asked.page.answers = {{false, true}};
    EXPECT_EQ(asked.Go(), InstallOutcome::kComplete);
    EXPECT_TRUE(Contains(asked.page.shown, L"#318 [#321|#320]"));
    EXPECT_FALSE(Contains(asked.bound.fake.Actions(), L"ReplacePortMonitor(TPX800 Port Monitor, 196609)"));
    EXPECT_TRUE(Contains(asked.bound.fake.Actions(), L"InstallPortMonitor(TPX800 Port Monitor, 8)"));
  }
  {
    Install aborted;
    aborted.bound.fake.installedMonitors[L"TPX800 Port Monitor"] = installed;
    aborted.system.files[installed] = 0x0000000100000000ull;
    aborted.bound.fake.results[L"ReplacePortMonitor"] = 0;
    aborted.page.answers = {{false, false}};
    EXPECT_EQ(aborted.Go(), InstallOutcome::kCancelled);
    EXPECT_EQ(aborted.page.shown.back(), L"#314");
    EXPECT_FALSE(Contains(aborted.bound.fake.Actions(), L"InstallPortMonitor(TPX800 Port Monitor, 8)"));
  }
}

TEST(InstallSequence, RestartFlagAsksAndCancelDuringTheQuestionIsTakenBack) {
  Install i;
  i.bound.fake.restartFlag = 1;
  i.page.answers = {{true, false}, {false, false}};  // Cancel (answered No), then Next
  i.page.confirms = {false};
  EXPECT_EQ(i.Go(), InstallOutcome::kComplete);
  EXPECT_TRUE(Contains(i.page.shown, L"#317"));
  EXPECT_EQ(i.page.asked, std::vector<std::wstring>{L"#316"});
  EXPECT_TRUE(i.page.answers.empty());
}

TEST(InstallSequence, DataTypeDecidesTheAttributes) {
  struct Case {
    const wchar_t* dataType;
    bool processor;
    bool makeDefault;
    uint32_t attributes;
    const wchar_t* chosen;
  };
  const Case cases[] = {
      {L"RAW", false, false, 0x1000000, L""},
      {L"raw", false, true, 0x1000004, L""},
      {L"NT EMF", false, false, 0x2000000, L""},
      {L"nt emf", true, true, 4, L"NT EMF 1.008"},
      {L"TEXT", true, false, 0, L"null"},
  };
  for (const Case& c : cases) {
    std::wstring info = PackageInformation();
    ReplaceAll(info, L"DataType=RAW", std::wstring(L"DataType=") + c.dataType);
    if (!c.processor) ReplaceAll(info, L"PProcessorName=", L"Unused=");
    Install i(info);
    i.selections.makeDefault = c.makeDefault;
    i.selections.shareName = L"DESK";
    EXPECT_EQ(i.Go(), InstallOutcome::kComplete) << c.dataType;
    EXPECT_EQ(i.bound.fake.attributes, c.attributes) << c.dataType;
    EXPECT_EQ(i.bound.fake.share, L"DESK");
    if (c.processor) {
      EXPECT_EQ(i.bound.fake.dataType, c.chosen) << c.dataType;
    }
  }
}

TEST(PickDataType, ExactBeforePrefixIgnoringCase) {
  EXPECT_EQ(PickDataType({L"NT EMF 1.008", L"nt emf"}, L"NT EMF"), L"nt emf");
  EXPECT_EQ(PickDataType({L"RAW [FF appended]", L"RAW"}, L"raw"), L"RAW");
  EXPECT_EQ(PickDataType({L"TEXT"}, L"RAW"), L"");
}

// --- option UI services -------------------------------------------------------------------------

struct ServiceBench {
  ServiceBench() : system(bound.fake) {
    system.files[L"D:\\m\\SVC.EXE"] = 0x0002000000000000ull;
    system.files[L"D:\\dep\\SVCR.DLL"] = 0x0002000000000000ull;
    system.serviceOf[L"SVC.EXE"] = L"Svc";
  }
  ServiceFiles files{L"Svc", L"D:\\m\\", L"D:\\dep\\", L"SVC.EXE", {L"SVCR.DLL"}};
  BoundFake bound;
  FakeSystem system;
};

TEST(OptionService, CopiesNewerFilesRunsInstallAndChecksTheService) {
  ServiceBench b;
  b.system.files[L"C:\\sys\\SVCR.DLL"] = 0x0003000000000000ull;  // newer already: stays
  EXPECT_EQ(InstallOptionService(b.bound.library, b.system, b.files, L"C:\\sys"), 1);
  EXPECT_EQ(b.system.copies, std::vector<std::wstring>{L"D:\\m\\SVC.EXE -> C:\\sys\\SVC.EXE"});
  EXPECT_EQ(b.system.runs, std::vector<std::wstring>{L"C:\\sys\\SVC.EXE -install"});

  // Same version again: nothing copied, still started.
  b.system.copies.clear();
  EXPECT_EQ(InstallOptionService(b.bound.library, b.system, b.files, L"C:\\sys"), 1);
  EXPECT_TRUE(b.system.copies.empty());
  EXPECT_EQ(b.system.runs.size(), 2u);
}

TEST(OptionService, OlderRunningCopyIsRemovedFirst) {
  ServiceBench b;
  b.system.files[L"C:\\sys\\SVC.EXE"] = 0x0001000000000000ull;
  b.bound.fake.services.insert(L"Svc");
  EXPECT_EQ(InstallOptionService(b.bound.library, b.system, b.files, L"C:\\sys"), 1);
  EXPECT_EQ(b.system.runs, (std::vector<std::wstring>{L"C:\\sys\\SVC.EXE -remove", L"C:\\sys\\SVC.EXE -install"}));
  EXPECT_EQ(b.system.sleeps, std::vector<int>{1000});

  // An older copy that will not go away fails the installation before anything is copied.
  ServiceBench stuck;
  stuck.system.files[L"C:\\sys\\SVC.EXE"] = 0x0001000000000000ull;
  stuck.bound.fake.services.insert(L"Svc");
  stuck.system.serviceOf.clear();
  EXPECT_EQ(InstallOptionService(stuck.bound.library, stuck.system, stuck.files, L"C:\\sys"), 0);
  EXPECT_TRUE(stuck.system.copies.empty());
}

TEST(OptionService, MissingSourceOrServiceThatNeverComesUpFails) {
  ServiceBench b;
  b.system.files.erase(L"D:\\m\\SVC.EXE");
  EXPECT_EQ(InstallOptionService(b.bound.library, b.system, b.files, L"C:\\sys"), 0);
  ServiceBench silent;
  silent.system.serviceOf.clear();
  EXPECT_EQ(InstallOptionService(silent.bound.library, silent.system, silent.files, L"C:\\sys"), 0);
  EXPECT_EQ(silent.system.runs.size(), 1u);
}

TEST(OptionService, RemovalDeletesEveryFileWithOneRetry) {
  ServiceBench b;
  b.system.files[L"C:\\sys\\SVC.EXE"] = 1;
  b.system.files[L"C:\\sys\\SVCR.DLL"] = 1;
  b.bound.fake.services.insert(L"Svc");
  EXPECT_EQ(RemoveOptionService(b.bound.library, b.system, L"Svc", L"C:\\sys", L"SVC.EXE", {L"SVCR.DLL", L"GONE.DLL"}), 1);
  EXPECT_EQ(b.system.deletes.size(), 3u);
  EXPECT_FALSE(b.bound.fake.services.count(L"Svc"));

  // The first file stays in use: the pass fails although the last deletion worked.
  ServiceBench held;
  held.system.files[L"C:\\sys\\SVC.EXE"] = 1;
  held.system.undeletable.insert(L"C:\\sys\\SVC.EXE");
  EXPECT_EQ(RemoveOptionService(held.bound.library, held.system, L"Svc", L"C:\\sys", L"SVC.EXE", {L"SVCR.DLL"}), 0);
  EXPECT_EQ(held.system.deletes.size(), 4u);
  EXPECT_EQ(held.system.sleeps, (std::vector<int>{1000, 1000}));

  // A program already gone is no failure; a service that stays is.
  ServiceBench missing;
  EXPECT_EQ(RemoveOptionService(missing.bound.library, missing.system, L"Svc", L"C:\\none", L"SVC.EXE", {}), 1);
  ServiceBench staying;
  staying.system.files[L"C:\\sys\\SVC.EXE"] = 1;
  staying.system.serviceOf.clear();
  staying.bound.fake.services.insert(L"Svc");
  EXPECT_EQ(RemoveOptionService(staying.bound.library, staying.system, L"Svc", L"C:\\sys", L"SVC.EXE", {}), 0);
  EXPECT_TRUE(staying.system.deletes.empty());
}

}  // namespace

namespace {

TEST(HardwareId, EqualOrUsbPrefixedIgnoringCase) {
  using setup_wizard::HardwareIdMatches;
  EXPECT_TRUE(HardwareIdMatches(L"VID_1A2B&PID_0800", L"VID_1A2B&PID_0800"));
  EXPECT_TRUE(HardwareIdMatches(L"usb\\vid_1a2b&pid_0800", L"VID_1A2B&PID_0800"));
  EXPECT_TRUE(HardwareIdMatches(L"USB\\VID_1A2B&PID_0800&REV_0100", L"VID_1A2B&PID_0800"));
  EXPECT_FALSE(HardwareIdMatches(L"USBPRINT\\VID_1A2B&PID_0800", L"VID_1A2B&PID_0800"));
  EXPECT_FALSE(HardwareIdMatches(L"USB\\VID_1A2B&PID_08", L"VID_1A2B&PID_0800"));
  EXPECT_FALSE(HardwareIdMatches(L"USB\\", L""));  // an empty WDMIDs matches nothing
}

}  // namespace
