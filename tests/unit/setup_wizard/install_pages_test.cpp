#include "setup_wizard/install_pages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cwctype>
#include <map>

#include "fake_support.h"
#include "page_fakes.h"

namespace {

using namespace setup_wizard;
using setup_wizard::fakes::BoundFake;
using setup_wizard::fakes::FakeView;

class Files : public SetupFiles {
 public:
  explicit Files(std::wstring text, std::optional<std::wstring> license = std::nullopt)
      : text_(std::move(text)), license_(std::move(license)) {}
  std::unique_ptr<ProfileSource> OpenProfile(const std::wstring&) override {
    return std::make_unique<IniTextProfile>(text_);
  }
  bool CanRead(const std::wstring&) override { return license_.has_value(); }
  std::optional<std::wstring> ReadAnsiText(const std::wstring&) override { return license_; }

 private:
  std::wstring text_;
  std::optional<std::wstring> license_;
};

// Two models; the first has two monitors naming "TPX Mon" twice over (the second entry a longer
// name beginning with the first), the second model has none.
const wchar_t kInfo[] =
    L"[Information]\nVersion=1.20\nProducts=TPX800\nLicense=License.txt\n"
    L"[OS]\nEntry=1\nOS1=XP\n"
    L"[DiskInfo]\nEntry=1\n1=\"Disk\"\n"
    L"[PrinterDriver]\nEntry=2\nLimitText=31\nName1=\"ORV TPX800 U1\",Drv,1,2\nName2=\"ORV TPX800 U2\",Bare\n"
    L"[Drv]\nOS1=DrvSet,1:drv\n[DrvSet]\nDataType=RAW\n"
    L"[Bare]\nOS1=BareSet,1:drv\n[BareSet]\nDataType=RAW\n"
    L"[PortMonitor]\nEntry=2\nFlag=0\nName1=\"TPX Mon Extra\",Mon,1\nName2=\"TPX Mon\",Mon\n"
    L"[Mon]\nOS1=MonSet,1:mon\n[MonSet]\nPortMonFile=m.dll\n"
    L"[WDM]\nEntry=1\nName1=\"TPX USB\",Usb\n[Usb]\nOS1=UsbSet,1:usb\n[UsbSet]\nWDMIDs=VID_1\n";

struct Wizard {
  explicit Wizard(std::wstring info = kInfo, std::optional<std::wstring> license = std::nullopt)
      : information(L"C:\\Driver", std::make_unique<Files>(std::move(info), std::move(license))),
        run{bound.library, information, true, L"Installation of TPX800 printer"} {
    information.Load(0x0600, L"KVSetup.ini");
  }
  BoundFake bound;
  SetupInformation information;
  WizardRun run;
  InstallSelections selections;
  FakeView view;
};

TEST(LicensePage, StartsDisagreedAndOnlyAgreeOffersNext) {
  Wizard w(kInfo, L"Terms\r\nof use");
  LicensePage page(w.view, w.run, w.selections, true);
  page.OnCreate();
  EXPECT_EQ(w.view.texts[kLicenseText], L"Terms\r\nof use");
  EXPECT_TRUE(w.view.checks[kLicenseDisagree]);
  EXPECT_FALSE(w.view.checks[kLicenseAgree]);
  EXPECT_EQ(w.view.buttons.back(), 0u);  // the first page: no Back, and no Next before agreeing
  page.OnControl(kLicenseAgree, ControlEvent::kClicked);
  EXPECT_EQ(w.view.buttons.back(), kButtonNext);
  page.OnSetActive();
  EXPECT_EQ(w.view.buttons.back(), kButtonNext);
  page.OnControl(kLicenseDisagree, ControlEvent::kClicked);
  EXPECT_EQ(w.view.buttons.back(), 0u);
  EXPECT_FALSE(w.view.checks[kLicenseAgree]);
}

TEST(GuidePage, WelcomesOrRefusesAndNeverOffersBack) {
  Wizard w;
  GuidePage second(w.view, w.run, w.selections, false);  // after a licence page
  second.OnSetActive();
  EXPECT_EQ(w.view.texts[kGuideMain], L"Welcome to TPX800 printer installation.");
  EXPECT_EQ(w.view.texts[kGuideDetail], L"#303");
  EXPECT_EQ(w.view.buttons.back(), kButtonNext);

  w.bound.fake.results[L"CheckSetupPreconditions"] = 0;
  w.bound.fake.status = 5;
  w.view.texts[kGuideContinue] = L"Click Next to continue.";
  second.OnSetActive();
  EXPECT_EQ(w.view.texts[kGuideMain], L"#322");
  EXPECT_EQ(w.view.texts[kGuideContinue], L"");
  EXPECT_EQ(w.view.buttons.back(), 0u);

  w.bound.fake.status = 1722;
  second.OnSetActive();
  EXPECT_EQ(w.view.texts[kGuideMain], L"#205");
  EXPECT_EQ(w.view.buttons.back(), 0u);
}

TEST(PrinterPage, ListsModelsAndCopiesTheChosenNameIntoTheEdit) {
  Wizard w;
  PrinterPage page(w.view, w.run, w.selections);
  page.OnCreate();
  EXPECT_EQ(w.view.Names(kPrinterModels), (std::vector<std::wstring>{L"ORV TPX800 U1", L"ORV TPX800 U2"}));
  EXPECT_EQ(w.view.Selection(kPrinterModels), 0);
  EXPECT_EQ(w.view.limits[kPrinterName], 31);
  EXPECT_EQ(w.view.texts[kPrinterName], L"ORV TPX800 U1");
  w.view.Select(kPrinterModels, 1);
  page.OnControl(kPrinterModels, ControlEvent::kSelectionChanged);
  EXPECT_EQ(w.view.texts[kPrinterName], L"ORV TPX800 U2");
  page.OnSetActive();
  EXPECT_EQ(w.view.buttons.back(), kButtonNext | kButtonBack);
}

TEST(PrinterPage, NoDriverForThisSystemCancelsTheWizard) {
  Wizard w(L"[Information]\nVersion=1.20\n[OS]\nEntry=1\nOS1=XP\n");
  PrinterPage page(w.view, w.run, w.selections);
  page.OnCreate();
  EXPECT_EQ(w.view.boxes, std::vector<std::wstring>{L"#206"});
  EXPECT_TRUE(w.view.cancelPressed);
}

TEST(PrinterPage, NameChecksOnNext) {
  Wizard w;
  PrinterPage page(w.view, w.run, w.selections);
  page.OnCreate();

  w.view.texts[kPrinterName] = L"   \t ";
  EXPECT_FALSE(page.OnNext());
  EXPECT_EQ(w.view.boxes.back(), L"#323");
  EXPECT_EQ(w.view.focused, kPrinterName);

  w.bound.fake.results[L"ValidatePrinterName"] = 0;
  w.bound.fake.status = 3;
  w.view.texts[kPrinterName] = L"Desk";
  EXPECT_FALSE(page.OnNext());
  EXPECT_EQ(w.view.boxes.back(), L"#324");
  w.bound.fake.status = 1801;
  EXPECT_FALSE(page.OnNext());
  EXPECT_EQ(w.view.boxes.back(), L"#325");
  EXPECT_EQ(w.selections.printerName, L"");

  w.bound.fake.results.erase(L"ValidatePrinterName");
  w.view.texts[kPrinterName] = L"  Front desk  ";
  w.view.checks[kPrinterMakeDefault] = true;
  w.view.Select(kPrinterModels, 1);
  EXPECT_TRUE(page.OnNext());
  EXPECT_EQ(w.selections.printerName, L"Front desk");
  EXPECT_EQ(w.selections.driverPos, 1);
  EXPECT_TRUE(w.selections.makeDefault);
  EXPECT_EQ(w.bound.fake.journal.back(), L"ValidatePrinterName(Front desk)");
}

TEST(SharePage, ProposesTheFirstEightCharactersOnlyWhenTheModelChanged) {
  Wizard w;
  SharePage page(w.view, w.run, w.selections);
  w.selections = {L"Front desk printer", L"", L"", L"", 0, -1, false};
  page.OnSetActive();
  EXPECT_EQ(w.view.texts[kShareOwner], L"Front desk printer");
  EXPECT_EQ(w.view.texts[kShareName], L"Front de");
  EXPECT_EQ(w.view.buttons.back(), kButtonNext | kButtonBack);

  w.view.texts[kShareName] = L"MINE";
  w.selections.printerName = L"Other";
  page.OnSetActive();  // same model: the user's entry stays
  EXPECT_EQ(w.view.texts[kShareName], L"MINE");

  w.selections.driverPos = 1;
  page.OnSetActive();
  EXPECT_EQ(w.view.texts[kShareName], L"Other");
}

TEST(SharePage, RefusesEachForbiddenCharacterAndNamesInUse) {
  Wizard w;
  SharePage page(w.view, w.run, w.selections);
  for (wchar_t c : std::wstring(L"\"*/:<>?\\|")) {
    w.view.texts[kShareName] = std::wstring(L"A") + c + L"B";
    EXPECT_FALSE(page.OnNext()) << static_cast<int>(c);
    EXPECT_EQ(w.view.boxes.back(), L"#329");
    EXPECT_EQ(w.view.focused, kShareName);
  }
  w.bound.fake.usedShares = {L"PUBLIC"};
  w.view.texts[kShareName] = L"PUBLIC";
  EXPECT_FALSE(page.OnNext());
  EXPECT_EQ(w.view.boxes.back(), L"#328");

  w.view.texts[kShareName] = L"";
  EXPECT_TRUE(page.OnNext());
  EXPECT_EQ(w.selections.shareName, L"");
  w.view.texts[kShareName] = L" FRONT ";  // not trimmed
  EXPECT_TRUE(page.OnNext());
  EXPECT_EQ(w.selections.shareName, L" FRONT ");
}

TEST(PortPage, MonitorNamedTwiceKeepsOneItemWithTheLaterIndex) {
  Wizard w;
  w.bound.fake.ports = {L"LPT1:", L"TPX800 Port", L"lpt", L"COM1:"};  // "lpt" begins "LPT1:"
  PortPage page(w.view, w.run, w.selections);
  w.selections.driverPos = 0;
  page.OnSetActive();
  // "TPX Mon Extra" came first; "TPX Mon" finds it by prefix and takes its item over.
  EXPECT_EQ(w.view.Names(kMonitorList), std::vector<std::wstring>{L"TPX Mon Extra"});
  EXPECT_EQ(w.view.ItemData(kMonitorList), std::vector<intptr_t>{1});
  EXPECT_EQ(w.view.Names(kPortList), (std::vector<std::wstring>{L"COM1:", L"LPT1:", L"TPX800 Port"}));
  EXPECT_TRUE(w.view.checks[kPortCreateNew]);
  EXPECT_FALSE(w.view.checks[kPortUseExisting]);
  EXPECT_EQ(w.view.Selection(kMonitorList), 0);
  EXPECT_EQ(w.view.Selection(kPortList), -1);

  ASSERT_TRUE(page.OnNext());
  EXPECT_EQ(w.selections.portMonitorIndex, 1);
  EXPECT_EQ(w.selections.portMonitorName, L"TPX Mon Extra");
  EXPECT_EQ(w.selections.portName, L"");
}

TEST(PortPage, InstalledMonitorsJoinWithDataMinusOneWhenFlagBitZeroIsSet) {
  std::wstring info = kInfo;
  info.replace(info.find(L"Flag=0"), 6, L"Flag=1");
  Wizard w(info);
  w.bound.fake.monitors = {L"Local Port", L"tpx mon extra v2", L"TPX MON", L"Standard TCP/IP Port"};
  PortPage page(w.view, w.run, w.selections);
  w.selections.driverPos = 0;
  page.OnSetActive();
  EXPECT_EQ(w.view.Names(kMonitorList),
            (std::vector<std::wstring>{L"Local Port", L"Standard TCP/IP Port", L"TPX Mon Extra", L"tpx mon extra v2"}));
  EXPECT_EQ(w.view.ItemData(kMonitorList), (std::vector<intptr_t>{-1, -1, 1, -1}));
  w.view.Select(kMonitorList, 0);
  ASSERT_TRUE(page.OnNext());
  EXPECT_EQ(w.selections.portMonitorIndex, -1);
  EXPECT_EQ(w.selections.portMonitorName, L"Local Port");
}

TEST(PortPage, WithoutMonitorsOnlyTheExistingPortIsOffered) {
  Wizard w;
  w.bound.fake.ports = {L"LPT1:", L"FILE:"};
  PortPage page(w.view, w.run, w.selections);
  w.selections.driverPos = 1;
  page.OnSetActive();
  EXPECT_FALSE(w.view.enabled[kPortCreateNew]);
  EXPECT_FALSE(w.view.visible[kMonitorList]);
  EXPECT_TRUE(w.view.checks[kPortUseExisting]);
  EXPECT_EQ(w.view.Selection(kPortList), 0);
  ASSERT_TRUE(page.OnNext());
  EXPECT_EQ(w.selections.portName, L"FILE:");
  EXPECT_EQ(w.selections.portMonitorIndex, -1);
}

TEST(PortPage, NothingSelectedIsRefusedWithItsText) {
  Wizard w;
  PortPage page(w.view, w.run, w.selections);
  w.selections.driverPos = 0;
  page.OnSetActive();
  w.view.Select(kMonitorList, -1);
  EXPECT_FALSE(page.OnNext());
  EXPECT_EQ(w.view.boxes.back(), L"#327");
  page.OnControl(kPortUseExisting, ControlEvent::kClicked);  // no ports at all
  w.view.Select(kPortList, -1);
  EXPECT_FALSE(page.OnNext());
  EXPECT_EQ(w.view.boxes.back(), L"#326");
}

// The port page of the first model brought up, with one port on the system.
struct PortWizard : Wizard {
  PortWizard() {
    bound.fake.ports = {L"LPT1:"};
    selections.driverPos = 0;
    page.OnSetActive();
  }
  PortPage page{view, run, selections};
};

TEST(PortPage, RadiosAndListFocusSwitchTheChoice) {
  PortWizard w;
  PortPage& page = w.page;
  page.OnControl(kPortUseExisting, ControlEvent::kClicked);
  EXPECT_TRUE(w.view.checks[kPortUseExisting]);
  EXPECT_EQ(w.view.Selection(kPortList), 0);
  EXPECT_EQ(w.view.Selection(kMonitorList), -1);
  page.OnControl(kMonitorList, ControlEvent::kFocused);
  EXPECT_TRUE(w.view.checks[kPortCreateNew]);
  EXPECT_FALSE(w.view.checks[kPortUseExisting]);
  EXPECT_EQ(w.view.Selection(kPortList), -1);
  page.OnControl(kPortList, ControlEvent::kFocused);
  EXPECT_TRUE(w.view.checks[kPortUseExisting]);
  EXPECT_EQ(w.view.Selection(kMonitorList), -1);
}

TEST(PortPage, RebuildsOnlyWhenTheModelChanged) {
  PortWizard w;
  PortPage& page = w.page;
  page.OnControl(kPortUseExisting, ControlEvent::kClicked);
  page.OnSetActive();  // back and forth with the same model keeps the user's choice
  EXPECT_TRUE(w.view.checks[kPortUseExisting]);
  w.selections.driverPos = 1;
  w.bound.fake.ports = {L"LPT1:", L"LPT2:"};
  page.OnSetActive();
  EXPECT_EQ(w.view.Names(kPortList), (std::vector<std::wstring>{L"LPT1:", L"LPT2:"}));
  EXPECT_EQ(w.view.ItemCount(kMonitorList), 0);
}

TEST(CheckPage, SummaryRowsForANewPortAndForAnExistingOne) {
  Wizard w;
  const auto label = [](int id) { return L"#" + std::to_wstring(id); };
  w.selections = {L"Desk", L"DESK", L"TPX Mon Extra", L"", 0, 0, true};
  std::vector<SummaryRow> rows = InstallSummary(w.run, w.selections, label);
  const std::vector<std::pair<std::wstring, std::wstring>> expected = {
      {L"#108", L""}, {L"#101", L"ORV TPX800 U1"}, {L"#102", L"Desk"}, {L"#103", L"DESK"}, {L"#104", L""},
      {L"", L""},     {L"#110", L""},              {L"#106", L"TPX Mon Extra"}, {L"#107", L"TPX USB"}};
  ASSERT_EQ(rows.size(), expected.size());
  for (size_t i = 0; i < rows.size(); ++i) {
    EXPECT_EQ(rows[i].label, expected[i].first) << i;
    EXPECT_EQ(rows[i].value, expected[i].second) << i;
  }

  w.bound.fake.monitorOfPort[L"LPT1:"] = L"Local Port";
  w.selections = {L"Desk", L"", L"", L"LPT1:", 0, -1, false};
  rows = InstallSummary(w.run, w.selections, label);
  ASSERT_EQ(rows.size(), 7u);
  EXPECT_EQ(rows[4].label, L"#109");
  EXPECT_EQ(rows[5].value, L"LPT1:");
  EXPECT_EQ(rows[6].label, L"#106");
  EXPECT_EQ(rows[6].value, L"Local Port");

  CheckPage page(w.view, w.run, w.selections, false, true);
  page.OnSetActive();
  EXPECT_EQ(w.view.buttons.back(), kButtonFinish | kButtonBack);
}

}  // namespace
