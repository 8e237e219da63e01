// The deletion wizard's pages and the deletion sequence, against the scripted support library,
// progress page and system, with the package's information file.
#include "setup_wizard/deletion_sequence.h"

#include <gtest/gtest.h>

#include "fake_support.h"
#include "page_fakes.h"
#include "sequence_fakes.h"

namespace {

using namespace setup_wizard;
using fakes::BoundFake;
using fakes::FakeProgress;
using fakes::FakeSystem;
using fakes::FakeView;
using fakes::PackageFiles;
using fakes::PackageInformation;

const std::wstring kU1 = L"ORV TPX800 U1";
const std::wstring kU2 = L"ORV TPX800 U2";
const std::wstring kMonitor = L"TPX800 Port Monitor";
const std::wstring kUsbDir = L"D:\\Driver\\usb\\x86\\";
const std::wstring kDrivers = L"C:\\windows\\System32\\Drivers\\";
const std::wstring kInf = L"C:\\windows\\Inf\\";

// Devices, the Inf folder's files and the registry as plain values.
class FakeDeletionSystem : public DeletionSystem {
 public:
  explicit FakeDeletionSystem(FakeSystem& files) : files_(files) {}
  std::vector<std::wstring> removals, oemUninstalls;
  DeviceRemoval removal;
  std::map<std::wstring, std::string> bytes;  // path -> contents
  std::set<std::wstring> refusedOem;
  std::map<std::wstring, std::wstring> runOnce;

  std::wstring WindowsDirectory() override { return L"C:\\windows"; }
  DeviceRemoval RemoveDevices(const std::wstring& description, const std::wstring& id) override {
    removals.push_back(description + L" / " + id);
    return removal;
  }
  std::vector<std::wstring> FindFiles(const std::wstring& directory, const std::wstring& pattern) override {
    EXPECT_EQ(pattern, L"oem*.inf");
    std::vector<std::wstring> names;
    for (const auto& [path, data] : bytes) {
      if (path.rfind(directory + L"\\oem", 0) == 0 && path.ends_with(L".inf")) names.push_back(path.substr(directory.size() + 1));
    }
    return names;
  }
  std::optional<std::string> ReadBytes(const std::wstring& path) override {
    const auto it = bytes.find(path);
    return it == bytes.end() ? std::nullopt : std::optional<std::string>(it->second);
  }
  bool UninstallOemInf(const std::wstring& name) override {
    oemUninstalls.push_back(name);
    return refusedOem.count(name) == 0;
  }
  bool SetRunOnce(const std::wstring& name, const std::wstring& command) override {
    runOnce[name] = command;
    return true;
  }
  std::wstring ProgramPath() override { return L"D:\\Driver\\Uninstall.exe"; }

 private:
  FakeSystem& files_;
};

// One deletion of the package's first model on XP: U1 installed with two printers, its port
// monitor with a port, the services running and the USB driver's inf copied into the Inf folder.
struct Delete {
  explicit Delete(std::wstring info = PackageInformation(), int osCode = 0x0600)
      : information(L"D:\\Driver", std::make_unique<PackageFiles>(std::move(info))),
        run{bound.library, information, false, L"Delete the ORV TPX800 printer"},
        progress(page, kStringCancelDelete),
        system(bound.fake),
        windows(system) {
    bound.fake.osCode = osCode;
    information.Load(osCode, L"KVSetup.ini");
    bound.fake.installedDrivers = {kU1};
    bound.fake.installedPortMonitors = {kMonitor};
    bound.fake.printersOf[kU1] = {L"Desk", L"Counter"};
    bound.fake.portsOf[kMonitor] = {L"TPX800 Port", L"TPX800 Port 2"};
    bound.fake.services = {L"TPX800 Option Service", L"TPX800 Monitor Service", L"TPX800 Port Service"};
    const std::wstring system32 = L"C:\\windows\\system32\\";
    for (const wchar_t* f : {L"TPX8OPT.EXE", L"TPX8OPTR.DLL", L"TPX8LMS.EXE", L"TPX8LMSR.DLL", L"TPX8PMS.EXE", L"TPX8PMSR.DLL"}) {
      system.files[system32 + f] = 1;
    }
    system.serviceOf = {{L"TPX8OPT.EXE", L"TPX800 Option Service"},
                        {L"TPX8LMS.EXE", L"TPX800 Monitor Service"},
                        {L"TPX8PMS.EXE", L"TPX800 Port Service"}};
    system.files[kUsbDir + L"TPX8USB.INF"] = 1;
    windows.bytes[kUsbDir + L"TPX8USB.INF"] = "[Version]\r\nSignature=\"$Windows NT$\"\r\n";
    windows.bytes[kInf + L"oem3.inf"] = windows.bytes[kUsbDir + L"TPX8USB.INF"];
    windows.bytes[kInf + L"oem4.inf"] = "[Version]\r\nSignature=\"$Chicago$\"\r\n";
    selections.modelPos = 0;
    selections.installedModelCount = 1;
  }
  DeletionOutcome Go() {
    DeletionSequence sequence(run, selections, progress, system, windows);
    return sequence.Run();
  }
  // The library calls that remove something, in order.
  std::vector<std::wstring> Removals() const {
    std::vector<std::wstring> out;
    for (const auto& a : bound.fake.Actions()) {
      if (a.rfind(L"Delete", 0) == 0) out.push_back(a);
    }
    return out;
  }
  std::vector<std::wstring> DriverDeletions() const {
    std::vector<std::wstring> out;
    for (const auto& a : bound.fake.Actions()) {
      if (a.rfind(L"DeletePrinterDriver", 0) == 0) out.push_back(a);
    }
    return out;
  }
  BoundFake bound;
  SetupInformation information;
  WizardRun run;
  UninstallSelections selections;
  FakeProgress page;
  ProgressRun progress;
  FakeSystem system;
  FakeDeletionSystem windows;
};

void ReplaceAll(std::wstring& text, const std::wstring& from, const std::wstring& to) {
  for (size_t at = 0; (at = text.find(from, at)) != std::wstring::npos; at += to.size()) text.replace(at, from.size(), to);
}

bool Contains(const std::vector<std::wstring>& list, const std::wstring& item) {
  return std::find(list.begin(), list.end(), item) != list.end();
}

// --- pages ------------------------------------------------------------------------------------

TEST(UninstallPages, OnlyInstalledModelsAreOfferedWithTheirPrinters) {
  Delete d;
  d.bound.fake.installedDrivers = {kU2, L"ORV TPX800 U4"};
  d.bound.fake.printersOf[kU2] = {L"Desk", L"Back office"};
  FakeView view;
  UninstallPrinterPage page(view, d.run, d.selections);
  page.OnCreate();
  EXPECT_EQ(view.Names(kUninstallModels), (std::vector<std::wstring>{kU2, L"ORV TPX800 U4"}));
  EXPECT_EQ(view.ItemData(kUninstallModels), (std::vector<intptr_t>{1, 3}));
  EXPECT_EQ(d.selections.installedModelCount, 2);
  EXPECT_EQ(view.texts[kUninstallPrinters], L"Desk\r\nBack office");
  page.OnSetActive();
  EXPECT_EQ(view.buttons.back(), kButtonNext | kButtonBack);

  view.Select(kUninstallModels, 1);
  page.OnControl(kUninstallModels, ControlEvent::kSelectionChanged);
  EXPECT_EQ(view.texts[kUninstallPrinters], L"");
  ASSERT_TRUE(page.OnNext());
  EXPECT_EQ(d.selections.modelPos, 3);

  // Built again (Back to the first page and on), the earlier choice stays selected.
  page.OnCreate();
  EXPECT_EQ(view.Selection(kUninstallModels), 1);

  view.Select(kUninstallModels, -1);
  EXPECT_FALSE(page.OnNext());
  EXPECT_EQ(view.boxes, std::vector<std::wstring>{L"#420"});
}

TEST(UninstallPages, NoInstalledModelNeverOffersNext) {
  Delete d;
  d.bound.fake.installedDrivers.clear();
  FakeView view;
  UninstallPrinterPage page(view, d.run, d.selections);
  page.OnCreate();
  page.OnSetActive();
  EXPECT_EQ(view.ItemCount(kUninstallModels), 0);
  EXPECT_EQ(view.buttons.back(), kButtonBack);
  EXPECT_EQ(d.selections.installedModelCount, 0);
  EXPECT_FALSE(view.cancelPressed);
}

TEST(UninstallPages, ReviewListsDriverPrintersMonitorsAndPorts) {
  Delete d;
  FakeView view;
  UninstallCheckPage page(view, d.run, d.selections, false, true);
  page.OnSetActive();
  std::vector<uint32_t> items;
  for (intptr_t data : view.ItemData(kUninstallReview)) items.push_back(static_cast<uint32_t>(data));
  const std::vector<uint32_t> expected = {ReviewItem(108, 0), ReviewItem(101, 0), ReviewItem(102, 0), ReviewItem(102, 1),
                                          0, ReviewItem(111, 0), ReviewItem(106, 0), ReviewItem(105, 0),
                                          ReviewItem(105, 1), 0};
  EXPECT_EQ(items, expected);
  EXPECT_EQ(view.buttons.back(), kButtonFinish | kButtonBack);

  // Rows read top to bottom: a label only on the first printer and port, values beside them.
  std::vector<std::pair<int, std::wstring>> read;
  for (const ReviewRow& row : ReviewRowsOf(d.bound.library, d.information, 0, items)) read.emplace_back(row.label, row.value);
  const std::vector<std::pair<int, std::wstring>> shown = {
      {108, L""},  {101, kU1},           {102, L"Desk"}, {0, L"Counter"},       {0, L""},
      {111, L""},  {106, kMonitor},      {105, L"TPX800 Port"}, {0, L"TPX800 Port 2"}, {0, L""}};
  EXPECT_EQ(read, shown);
}

TEST(UninstallPages, FinishIsRefusedWhilePrinterHasJobs) {
  Delete d;
  FakeView view;
  UninstallCheckPage page(view, d.run, d.selections, false, true);
  d.bound.fake.jobs[L"Counter"] = 2;
  EXPECT_FALSE(page.OnNext());
  EXPECT_EQ(view.boxes, std::vector<std::wstring>{L"#425"});
  d.bound.fake.jobs[L"Counter"] = 0;
  EXPECT_TRUE(page.OnNext());
}

TEST(UninstallPages, WelcomeRefusesWithoutRights) {
  Delete d;
  FakeView view;
  UninstallGuidePage page(view, d.run, d.selections, true);
  view.texts[kUninstallGuideContinue] = L"Click Next to continue.";
  page.OnSetActive();
  EXPECT_EQ(view.texts[kUninstallGuideMain], L"#401");
  EXPECT_EQ(view.buttons.back(), kButtonNext);
  d.bound.fake.results[L"CheckSetupPreconditions"] = 0;
  d.bound.fake.status = 5;
  page.OnSetActive();
  EXPECT_EQ(view.texts[kUninstallGuideMain], L"#419");
  EXPECT_EQ(view.texts[kUninstallGuideContinue], L"");
  EXPECT_EQ(view.buttons.back(), 0u);
}

// --- sequence ---------------------------------------------------------------------------------

TEST(DeletionSequence, FullDeletionRemovesEverythingOfTheModelInOrder) {
  Delete d;
  EXPECT_EQ(d.Go(), DeletionOutcome::kComplete);
  const std::vector<std::wstring> expected = {
      L"DeletePrinterDriver(ORV TPX800 U1, 196609, 0, USBPRINT\\ORVTPX800)",
      L"DeletePrintProcessor(TPX800 Print Processor, 1)",
      // Windows 2000, Vista and XP 64-bit share the model's drivers; their records stop at ten fields.
      L"DeletePrinterDriver(ORV TPX800 U1, 196609, 1280, null)",
      L"DeletePrinterDriver(ORV TPX800 U1, 196609, 2560, null)",
      L"DeletePrinterDriver(ORV TPX800 U1, 196609, 2048, null)",
      L"DeletePortMonitor(TPX800 Port Monitor, 327681)",
  };
  EXPECT_EQ(d.Removals(), expected);
  EXPECT_EQ(d.page.shown, (std::vector<std::wstring>{L"#403", L"#407", L"#407", L"#407", L"#407", L"#405", L"#404",
                                                     L"#410", L"#408"}));
  EXPECT_EQ(d.page.buttons.back(), std::make_pair(static_cast<unsigned>(kOfferFinish), true));
  EXPECT_EQ(d.information.OsCode(), 0x0600);  // the running system's information is back

  EXPECT_EQ(d.windows.removals, std::vector<std::wstring>{L"ORV TPX800 USB Printer / VID_1A2B&PID_0800"});
  EXPECT_TRUE(Contains(d.system.deletes, kDrivers + L"TPX8USB.SYS"));
  EXPECT_TRUE(Contains(d.system.deletes, kDrivers + L"TPX8USBC.DLL"));
  EXPECT_EQ(d.windows.oemUninstalls, std::vector<std::wstring>{L"oem3.inf"});  // only the byte-equal copy

  // Each service removed with its program, which unregistered it.
  EXPECT_TRUE(d.bound.fake.services.empty());
  EXPECT_TRUE(Contains(d.system.runs, L"C:\\windows\\system32\\TPX8PMS.EXE -remove"));
}

TEST(DeletionSequence, DevicesNotAllRemovedKeepTheDriverFilesAndARefusedOemFileIsDeleted) {
  Delete d;
  d.windows.removal.allRemoved = false;
  d.windows.refusedOem = {L"oem3.inf"};
  EXPECT_EQ(d.Go(), DeletionOutcome::kComplete);
  EXPECT_FALSE(Contains(d.system.deletes, kDrivers + L"TPX8USB.SYS"));
  EXPECT_TRUE(Contains(d.system.deletes, kInf + L"oem3.inf"));
  EXPECT_TRUE(Contains(d.system.deletes, kInf + L"oem3.pnf"));
}

TEST(DeletionSequence, DriverInUseRestartsTheSpoolerThenOffersARestartOfWindows) {
  {  // the spooler restart frees it
    Delete d;
    d.bound.fake.nextResults[L"DeletePrinterDriver"] = {0, 1};
    EXPECT_EQ(d.Go(), DeletionOutcome::kComplete);
    const auto actions = d.bound.fake.Actions();
    ASSERT_GE(actions.size(), 4u);
    EXPECT_EQ(actions[1], L"StopService(spooler)");
    EXPECT_EQ(actions[2], L"StartService(spooler)");
    ASSERT_GE(d.system.sleeps.size(), 2u);
    EXPECT_EQ(d.system.sleeps[0], 1000);
    EXPECT_EQ(d.system.sleeps[1], 1000);
    EXPECT_EQ(d.page.shown[2], L"#427");
  }
  {  // a restart of Windows is chosen: RunOnce continues the deletion, the third attempt follows
    Delete d;
    d.bound.fake.nextResults[L"DeletePrinterDriver"] = {0, 0, 1};
    d.page.answers = {{false, false}};
    EXPECT_EQ(d.Go(), DeletionOutcome::kComplete);
    EXPECT_EQ(d.windows.runOnce, (std::map<std::wstring, std::wstring>{{L"ORV TPX800", L"D:\\Driver\\Uninstall.exe"}}));
    EXPECT_TRUE(Contains(d.bound.fake.Actions(), L"RestartSystem()"));
    EXPECT_TRUE(Contains(d.page.shown, L"#411 [#415|#416]"));
    EXPECT_EQ(d.DriverDeletions().size(), 6u);  // three attempts, then the other systems
  }
  {  // Continue leaves the printer for now: cancelled, nothing else touched
    Delete d;
    d.bound.fake.results[L"DeletePrinterDriver"] = 0;
    d.page.answers = {{false, true}};
    EXPECT_EQ(d.Go(), DeletionOutcome::kCancelled);
    EXPECT_EQ(d.DriverDeletions().size(), 2u);
    EXPECT_TRUE(d.windows.runOnce.empty());
    EXPECT_FALSE(Contains(d.bound.fake.Actions(), L"DeletePortMonitor(TPX800 Port Monitor, 327681)"));
    EXPECT_EQ(d.page.shown.back(), L"#409");
  }
  {  // still in use after the restart: stopped with the question's text, nothing else touched
    Delete d;
    d.bound.fake.results[L"DeletePrinterDriver"] = 0;
    d.page.answers = {{false, false}};
    EXPECT_EQ(d.Go(), DeletionOutcome::kStopped);
    EXPECT_EQ(d.DriverDeletions().size(), 3u);
    EXPECT_EQ(d.page.shown.back(), L"#411 [#415|#416]");
    EXPECT_EQ(d.page.buttons.back(), std::make_pair(static_cast<unsigned>(kOfferFinish), true));
  }
}

TEST(DeletionSequence, OtherSystemsFollowTheRunningSystemsTable) {
  // The 64-bit table's third entry names Vista 64-bit, so both tables can be told apart; NT is
  // added to the first OS line so that Windows NT runs too.
  std::wstring info = PackageInformation();
  ReplaceAll(info, L"OS1=2000,XP,2003", L"OS1=2000,XP,2003,NT");
  ReplaceAll(info, L"[Share64OS]\r\nVER0=OS2\r\nVER2=OS4\r\nVER3=OS2", L"[Share64OS]\r\nVER0=OS2\r\nVER2=OS4\r\nVER3=OS4");
  ReplaceAll(info, L"[Share64OS]\nVER0=OS2\nVER2=OS4\nVER3=OS2", L"[Share64OS]\nVER0=OS2\nVER2=OS4\nVER3=OS4");
  struct Case {
    int osCode;
    std::vector<int> codes;  // osFlags of the other systems' deletions, in order
  };
  const Case cases[] = {
      {0x0400, {0x0500}},
      {0x0500, {0x0500, 0x0A00, 0x0B00}},
      {0x0600, {0x0500, 0x0A00, 0x0B00}},
      {0x0700, {}},
      {0x0800, {0x0500, 0x0A00, 0x0800}},
      {0x0900, {0x0500, 0x0A00, 0x0800}},
      {0x0A00, {0x0500, 0x0A00, 0x0B00}},
      {0x0B00, {0x0500, 0x0A00, 0x0800}},
  };
  for (const Case& c : cases) {
    Delete d(info, c.osCode);
    ASSERT_EQ(d.information.OsCode(), c.osCode) << std::hex << c.osCode;
    d.Go();
    std::vector<int> codes;
    for (const auto& call : d.DriverDeletions()) {
      const size_t at = call.find(L", 196609, ");
      const int os = std::stoi(call.substr(at + 10));
      if (os != 0) codes.push_back(os >> 8 << 8);
    }
    EXPECT_EQ(codes, c.codes) << std::hex << c.osCode;
    EXPECT_EQ(d.information.OsCode(), c.osCode) << std::hex << c.osCode;
  }
}

TEST(DeletionSequence, SharedMonitorAndServicesSurviveWhileAnotherModelIsInstalled) {
  Delete d;
  d.bound.fake.installedDrivers = {kU1, kU2};
  d.selections.installedModelCount = 2;
  EXPECT_EQ(d.Go(), DeletionOutcome::kComplete);
  for (const auto& a : d.bound.fake.Actions()) EXPECT_EQ(a.rfind(L"DeletePortMonitor", 0), std::wstring::npos) << a;
  EXPECT_TRUE(d.windows.removals.empty());
  EXPECT_EQ(d.bound.fake.services.size(), 3u);
  EXPECT_FALSE(Contains(d.page.shown, L"#410"));
}

TEST(DeletionSequence, ServiceStillUsedByAnInstalledComponentStays) {
  // Only U1 is listed as installed on the page, but U3's driver is installed too (say by hand):
  // its printer option service and its port monitor with that monitor's service stay; the
  // language monitor is gone, so its service goes.
  Delete d;
  d.bound.fake.installedDrivers = {kU1, L"ORV TPX800 U3"};
  EXPECT_EQ(d.Go(), DeletionOutcome::kComplete);
  EXPECT_EQ(d.bound.fake.services, (std::set<std::wstring>{L"TPX800 Option Service", L"TPX800 Port Service"}));
}

TEST(DeletionSequence, MonitorInUseIsKeptOrForcedAsTheUserChooses) {
  {
    Delete d;
    d.bound.fake.nextResults[L"DeletePortMonitor"] = {0};
    d.bound.fake.statusAfter[L"DeletePortMonitor"] = 3008;
    d.page.answers = {{false, false}};  // keep it
    EXPECT_EQ(d.Go(), DeletionOutcome::kComplete);
    EXPECT_TRUE(Contains(d.page.shown, L"#406 [#418|#417]"));
    EXPECT_FALSE(Contains(d.bound.fake.Actions(), L"DeletePortMonitor(TPX800 Port Monitor, 851969)"));
    EXPECT_TRUE(d.windows.removals.empty());
    EXPECT_EQ(d.page.shown.back(), L"#408");
  }
  {
    Delete d;
    d.bound.fake.nextResults[L"DeletePortMonitor"] = {0, 1};
    d.bound.fake.statusAfter[L"DeletePortMonitor"] = 3008;
    d.page.answers = {{false, true}};  // delete it all the same
    EXPECT_EQ(d.Go(), DeletionOutcome::kComplete);
    EXPECT_TRUE(Contains(d.bound.fake.Actions(), L"DeletePortMonitor(TPX800 Port Monitor, 851969)"));
    EXPECT_EQ(d.windows.removals.size(), 1u);
  }
}

TEST(DeletionSequence, MonitorThatCannotBeDeletedStopsWithItsText) {
  Delete d;
  d.bound.fake.results[L"DeletePortMonitor"] = 0;
  d.bound.fake.statusAfter[L"DeletePortMonitor"] = 5;
  EXPECT_EQ(d.Go(), DeletionOutcome::kStopped);
  EXPECT_EQ(d.page.shown.back(), L"#413");
  EXPECT_TRUE(d.windows.removals.empty());  // the monitor is still there, so are its devices
  EXPECT_EQ(d.bound.fake.services.size(), 3u);
}

TEST(DeletionSequence, CancelConfirmedDuringTheMonitorsEndsAsCancelled) {
  Delete d;
  d.page.cancelOn = L"#405";
  d.page.confirms = {true};
  EXPECT_EQ(d.Go(), DeletionOutcome::kCancelled);
  EXPECT_EQ(d.page.asked, std::vector<std::wstring>{L"#414"});
  EXPECT_EQ(d.page.shown.back(), L"#409");
  EXPECT_EQ(d.bound.fake.services.size(), 3u);
}

TEST(DeletionSequence, ServiceThatStaysRegisteredStopsTheDeletion) {
  Delete d;
  d.system.serviceOf.erase(L"TPX8PMS.EXE");  // its program does not unregister it
  EXPECT_EQ(d.Go(), DeletionOutcome::kStopped);
  EXPECT_EQ(d.page.shown.back(), L"#424");
}

TEST(HardwareIds, MatchTheEntryOrItsUsbForm) {
  EXPECT_TRUE(HardwareIdMatches(L"VID_1A2B&PID_0800", L"VID_1A2B&PID_0800"));
  EXPECT_TRUE(HardwareIdMatches(L"usb\\vid_1a2b&pid_0800", L"VID_1A2B&PID_0800"));
  EXPECT_TRUE(HardwareIdMatches(L"USB\\VID_1A2B&PID_0800&REV_0100", L"VID_1A2B&PID_0800"));
  EXPECT_FALSE(HardwareIdMatches(L"VID_1A2B&PID_0800&REV_0100", L"VID_1A2B&PID_0800"));
  EXPECT_FALSE(HardwareIdMatches(L"HID\\VID_1A2B&PID_0800", L"VID_1A2B&PID_0800"));
  EXPECT_FALSE(HardwareIdMatches(L"", L""));
}

}  // namespace
