#include "setup_menu/menu.h"

#include <gtest/gtest.h>

#include "tests/unit/setup_menu/fakes.h"

namespace setup_menu {
namespace {

using testing::ChooseUninstallAndPressNext;
using testing::Click;
using testing::Fakes;
using testing::PressNext;
using testing::Started;

constexpr wchar_t kIni[] = L"C:\\pkg\\setup.ini";
constexpr wchar_t kEntries[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
constexpr wchar_t kEntries32[] = L"Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

// A configuration whose process N runs "pN" with the language's letter, e.g. "p5 E".
std::wstring NumberedConfiguration(bool chineseHeading = true) {
  std::wstring text = L"\xFEFF; setup menu test\r\n[Title-E]\r\nEnglish heading\r\n-20,Arial\r\n"
                      L"[Title-J]\r\nJapanese heading\r\n0\r\n";
  if (chineseHeading) text += L"[Title-C]\r\nChinese heading\r\n\r\n";
  for (int n = 0; n < kProcesses; ++n) {
    if (n == kUninstallEntries) continue;
    text += L"[Process-" + std::to_wstring(n) + L"]\r\n";
    for (const wchar_t* letter : {L"E", L"J", L"C"}) text += L"p" + std::to_wstring(n) + L" " + letter + L"\r\n";
  }
  text += L"[Process-14]\r\nMonitorEntry\r\nMonitorEntry\r\nMonitorEntry\r\n";
  return text;
}

// What "pN E" becomes when run.
std::wstring Ran(int process, const wchar_t* letter = L"E") {
  return L"\"C:\\pkg\\p" + std::to_wstring(process) + L"\" " + letter;
}

class Menu : public ::testing::Test {
 protected:
  void SetUp() override { fakes_.files.Put(kIni, NumberedConfiguration()); }
  void RegisterMonitor(const std::wstring& command, const wchar_t* root = kEntries) {
    fakes_.registry.values[{std::wstring(root) + L"MonitorEntry", L"UninstallString"}] = command;
  }
  BoxState Box(size_t pass, Control control) { return fakes_.dialog.views.at(pass).boxes[control]; }

  Fakes fakes_;
};

TEST(WindowsVersion, CodesOfTheKnownSystems) {
  struct Case {
    std::optional<OsVersion> version;
    int code;
  } cases[] = {
      {OsVersion{false, 4, 0}, 10},  {OsVersion{false, 4, 90}, 10}, {OsVersion{false, 3, 0}, 0},
      {OsVersion{true, 4, 0}, 40},   {OsVersion{true, 5, 0}, 50},   {OsVersion{true, 5, 1}, 51},
      {OsVersion{true, 5, 2}, 52},   {OsVersion{true, 5, 3}, 53},   {OsVersion{true, 6, 0}, 60},
      {OsVersion{true, 6, 2}, 60},   {OsVersion{true, 7, 0}, 70},   {OsVersion{true, 8, 1}, 70},
      {OsVersion{true, 10, 0}, 0},   {std::nullopt, -1},
  };
  for (const Case& c : cases) EXPECT_EQ(WindowsVersionCode(c.version), c.code) << c.code;
}

TEST(WindowsVersion, SlotOffsetByVersionAndArchitecture) {
  EXPECT_EQ(ChooseOsSlot(51, false).offset, 0);
  EXPECT_EQ(ChooseOsSlot(52, false).offset, 0);
  EXPECT_EQ(ChooseOsSlot(53, false).offset, 4);
  EXPECT_EQ(ChooseOsSlot(60, false).offset, 4);
  EXPECT_EQ(ChooseOsSlot(51, true).offset, 0) << "XP 64-bit reports 5.2; 5.1 under emulation keeps the 32-bit slot";
  EXPECT_FALSE(ChooseOsSlot(51, true).wow64);
  EXPECT_EQ(ChooseOsSlot(52, true).offset, 8);
  EXPECT_TRUE(ChooseOsSlot(60, true).wow64);
}

// The driver commands each system runs, through the whole menu.
TEST_F(Menu, DriverCommandsPerSystem) {
  struct Case {
    OsVersion version;
    bool wow64;
    int install, uninstall;
  } cases[] = {
      {{true, 5, 1}, false, 1, 2},    // XP 32-bit
      {{true, 6, 1}, false, 5, 6},    // Windows 7 32-bit
      {{true, 6, 1}, true, 11, 12},   // 64-bit: the slot's commands
      {{true, 5, 2}, true, 11, 12},   // XP / Server 2003 64-bit
  };
  for (const Case& c : cases) {
    Fakes fakes;
    fakes.files.Put(kIni, NumberedConfiguration());
    fakes.system.version = c.version;
    fakes.system.separateView = c.wow64;
    fakes.dialog.script = {PressNext({{Control::InstallMonitor, false}}),
                           ChooseUninstallAndPressNext({{Control::UninstallMonitor, false}})};
    EXPECT_EQ(fakes.RunMenu(), 0);
    EXPECT_EQ(fakes.processes.CommandLines(), (std::vector<std::wstring>{Ran(c.install), Ran(c.uninstall)}))
        << c.install;
  }
}

TEST_F(Menu, SixtyFourBitWindowsTakesTheSlotConnectionAndDisablesUsb) {
  fakes_.system.separateView = true;
  fakes_.system.version = OsVersion{true, 6, 1};
  EXPECT_EQ(fakes_.RunMenu(), 0);
  EXPECT_FALSE(Box(0, Control::UsbRadio).enabled);
  EXPECT_FALSE(Box(0, Control::UsbRadio).checked);
  EXPECT_TRUE(Box(0, Control::EthernetRadio).checked);
}

TEST_F(Menu, OldWindowsIsRefusedInTheUsersLanguage) {
  fakes_.system.version = OsVersion{true, 4, 0};
  fakes_.system.commandLine = L"C:\\pkg\\Setup.exe";
  EXPECT_EQ(fakes_.RunMenu(), 1);
  ASSERT_EQ(fakes_.boxes.shown.size(), 1u);
  EXPECT_EQ(fakes_.boxes.shown[0].first, L"Cannot perform this program in running Windows.");
  EXPECT_EQ(fakes_.boxes.shown[0].second, L"Setup");
  EXPECT_TRUE(fakes_.dialog.shownIn.empty());
  EXPECT_TRUE(fakes_.files.asked.empty()) << "refused before the configuration is read";

  Fakes japanese;
  japanese.system.language = 1041;
  japanese.system.version = std::nullopt;
  EXPECT_EQ(japanese.RunMenu(), 1);
  ASSERT_EQ(japanese.boxes.shown.size(), 1u);
  EXPECT_EQ(japanese.boxes.shown[0].first, L"unsupported-ja");
}

TEST_F(Menu, AMissingConfigurationFileIsReported) {
  fakes_.system.commandLine = L"\"D:\\other\\setup.exe\"";
  EXPECT_EQ(fakes_.RunMenu(), 1);
  EXPECT_EQ(fakes_.files.asked, std::vector<std::wstring>{L"D:\\other\\setup.ini"});
  ASSERT_EQ(fakes_.boxes.shown.size(), 1u);
  EXPECT_EQ(fakes_.boxes.shown[0].first, L"Cannot open an initialization file.");
  EXPECT_EQ(fakes_.boxes.shown[0].second, L"setup");

  Fakes japanese;
  japanese.system.language = 1041;
  EXPECT_EQ(japanese.RunMenu(), 1);
  EXPECT_EQ(japanese.boxes.shown.at(0).first, L"no-configuration-ja");
}

TEST_F(Menu, LanguageFromTheSystemDefault) {
  const std::pair<uint16_t, Language> cases[] = {
      {1041, Language::Japanese}, {2052, Language::Chinese}, {1033, Language::English}, {1028, Language::English}};
  for (const auto& [id, language] : cases) {
    Fakes fakes;
    fakes.files.Put(kIni, NumberedConfiguration());
    fakes.system.language = id;
    fakes.RunMenu();
    ASSERT_EQ(fakes.dialog.shownIn.size(), 1u);
    EXPECT_EQ(fakes.dialog.shownIn[0], language) << id;
  }
}

TEST_F(Menu, HeadingAndLanguageListOfThePass) {
  fakes_.RunMenu();
  const testing::FakeView& view = fakes_.dialog.views.at(0);
  EXPECT_EQ(view.heading, L"English heading");
  EXPECT_EQ(view.font.height, -20);
  EXPECT_EQ(view.font.face, L"Arial");
  EXPECT_EQ(view.languages, (std::vector<std::wstring>{L"English", L"Japanese", L"Chinese"}));
  EXPECT_EQ(view.selected, 0);
}

TEST_F(Menu, WithoutAChineseHeadingOnlyEnglishAndJapaneseAreOffered) {
  fakes_.files.Put(kIni, NumberedConfiguration(false));
  fakes_.system.language = 2052;
  fakes_.RunMenu();
  ASSERT_EQ(fakes_.dialog.shownIn.size(), 1u);
  EXPECT_EQ(fakes_.dialog.shownIn[0], Language::English) << "Chinese falls back to English";
  EXPECT_EQ(fakes_.dialog.views[0].languages, (std::vector<std::wstring>{L"English", L"Japanese"}));
}

TEST_F(Menu, ChoosingAnotherLanguageShowsTheDialogAgainInIt) {
  fakes_.dialog.script = {[](testing::FakeView& view, MenuDialog& logic) {
                            view.selected = 1;
                            logic.OnCommand(view, Control::LanguageList);
                          },
                          PressNext()};
  fakes_.RunMenu();
  EXPECT_EQ(fakes_.dialog.shownIn,
            (std::vector<Language>{Language::English, Language::Japanese, Language::Japanese}));
  EXPECT_EQ(fakes_.dialog.views[1].heading, L"Japanese heading");
  EXPECT_EQ(fakes_.dialog.views[1].font.height, 0) << "the dialog's own font";
  EXPECT_EQ(fakes_.processes.CommandLines(), (std::vector<std::wstring>{Ran(1, L"J"), Ran(13, L"J")}));
}

TEST_F(Menu, BoxesOfAFreshStart) {
  fakes_.dialog.script = {Click(Control::UninstallRadio)};  // re-applies the boxes, then Exit closes it
  fakes_.RunMenu();
  EXPECT_FALSE(Box(0, Control::InstallRadio).checked);
  EXPECT_TRUE(Box(0, Control::UninstallRadio).checked);
  // Install: both ticked and enabled; uninstall boxes off.
  Fakes fresh;
  fresh.files.Put(kIni, NumberedConfiguration());
  fresh.RunMenu();
  const auto& boxes = fresh.dialog.views[0].boxes;
  EXPECT_TRUE(boxes.at(Control::InstallDriver).checked && boxes.at(Control::InstallDriver).enabled);
  EXPECT_TRUE(boxes.at(Control::InstallMonitor).checked && boxes.at(Control::InstallMonitor).enabled);
  for (Control c : {Control::UninstallDriver, Control::UninstallMonitor, Control::CleanUp}) {
    EXPECT_FALSE(boxes.at(c).checked || boxes.at(c).enabled);
  }
  // Uninstall: nothing installed yet, clean-up offered but not ticked; install boxes off.
  EXPECT_TRUE(Box(0, Control::UninstallRadio).enabled);
  EXPECT_FALSE(Box(0, Control::UninstallDriver).checked);
  EXPECT_TRUE(Box(0, Control::UninstallDriver).enabled);
  EXPECT_FALSE(Box(0, Control::UninstallMonitor).checked);
  EXPECT_FALSE(Box(0, Control::CleanUp).checked);
  EXPECT_TRUE(Box(0, Control::CleanUp).enabled);
  EXPECT_FALSE(Box(0, Control::InstallDriver).checked || Box(0, Control::InstallDriver).enabled);
}

TEST_F(Menu, BoxesAfterAStatusMonitorInstallation) {
  fakes_.dialog.script = {PressNext({{Control::InstallDriver, false}}), Click(Control::UninstallRadio)};
  fakes_.RunMenu();
  EXPECT_EQ(fakes_.processes.CommandLines(), std::vector<std::wstring>{Ran(13)});
  ASSERT_EQ(fakes_.dialog.views.size(), 2u);
  // The second pass came up with the install box unticked; the click showed the uninstall one ticked.
  EXPECT_TRUE(Box(1, Control::UninstallMonitor).checked);
  EXPECT_TRUE(Box(1, Control::UninstallMonitor).enabled);
  EXPECT_FALSE(Box(1, Control::UninstallDriver).checked) << "the driver was not installed";

  Fakes again;
  again.files.Put(kIni, NumberedConfiguration());
  again.dialog.script = {PressNext({{Control::InstallDriver, false}})};
  again.RunMenu();
  const auto& second = again.dialog.views.at(1).boxes;
  EXPECT_FALSE(second.at(Control::InstallMonitor).checked);
  EXPECT_TRUE(second.at(Control::InstallMonitor).enabled);
  EXPECT_TRUE(second.at(Control::InstallDriver).checked);
}

TEST_F(Menu, ARegisteredStatusMonitorCountsAsInstalled) {
  RegisterMonitor(L"\"C:\\Apps\\Monitor\\appsetup.exe\" /r");
  fakes_.dialog.script = {ChooseUninstallAndPressNext()};
  fakes_.RunMenu();
  EXPECT_TRUE(Box(0, Control::UninstallMonitor).checked);
  EXPECT_EQ(fakes_.processes.runs, (std::vector<Started>{{L"\"C:\\Apps\\Monitor\\appsetup.exe\" /r", true}}))
      << "the registered command as stored, no completion";
}

TEST_F(Menu, UninstallEntriesOf32BitProgramsOn64BitWindows) {
  fakes_.system.separateView = true;
  RegisterMonitor(L"native view", kEntries);
  RegisterMonitor(L"\"C:\\x86\\appsetup.exe\" /r", kEntries32);
  fakes_.dialog.script = {ChooseUninstallAndPressNext({{Control::UninstallDriver, false}})};
  fakes_.RunMenu();
  EXPECT_EQ(fakes_.processes.CommandLines(), std::vector<std::wstring>{L"\"C:\\x86\\appsetup.exe\" /r"});
}

TEST_F(Menu, AnUninstallCommandTooLongToHoldIsNotRun) {
  RegisterMonitor(L"\"C:\\" + std::wstring(300, L'a') + L"\\appsetup.exe\" /r");
  fakes_.dialog.script = {ChooseUninstallAndPressNext({{Control::UninstallMonitor, true}})};
  fakes_.RunMenu();
  EXPECT_TRUE(fakes_.processes.runs.empty());
}

TEST_F(Menu, AMonitorInstalledInThisSessionCanBeUninstalledInIt) {
  // The installer registers its uninstall command while it runs.
  fakes_.processes.onRun = [this](const std::wstring& command) {
    if (command == Ran(13)) RegisterMonitor(L"\"C:\\Apps\\appsetup.exe\" /r");
  };
  fakes_.dialog.script = {PressNext({{Control::InstallDriver, false}}),
                          ChooseUninstallAndPressNext({{Control::UninstallDriver, false}})};
  fakes_.RunMenu();
  EXPECT_EQ(fakes_.processes.CommandLines(), (std::vector<std::wstring>{Ran(13), L"\"C:\\Apps\\appsetup.exe\" /r"}));
}

TEST_F(Menu, RunOrderPerActionAndConnection) {
  MenuState state;
  const Components all{true, true, true};
  auto processes = [&](const Components& chosen) {
    std::vector<int> numbers;
    for (const Step& step : RunOrder(state, chosen)) numbers.push_back(step.process);
    return numbers;
  };
  state.osSlotOffset = 4;
  EXPECT_EQ(processes(all), (std::vector<int>{5, 13})) << "install, USB: driver, then monitor";
  state.connection = Connection::Ethernet;
  EXPECT_EQ(processes(all), (std::vector<int>{13, 7})) << "install, slot: monitor first";
  EXPECT_EQ(processes({false, true, false}), std::vector<int>{13});
  state.action = Action::Uninstall;
  EXPECT_EQ(processes(all), (std::vector<int>{8, 14, 15}));
  state.connection = Connection::Usb;
  EXPECT_EQ(processes(all), (std::vector<int>{6, 14, 15}));
  EXPECT_EQ(processes({false, false, true}), std::vector<int>{15});
  EXPECT_TRUE(processes({}).empty());
}

TEST_F(Menu, DriverDoneFollowsTheConnectionItWasInstalledFor) {
  fakes_.system.separateView = true;
  fakes_.system.version = OsVersion{true, 6, 1};
  fakes_.dialog.script = {PressNext(), Click(Control::UninstallRadio)};
  fakes_.RunMenu();
  EXPECT_EQ(fakes_.processes.CommandLines(), (std::vector<std::wstring>{Ran(13), Ran(11)}));
  EXPECT_FALSE(Box(1, Control::InstallDriver).checked) << "driver done for the slot";
  EXPECT_TRUE(Box(1, Control::UninstallDriver).checked);
}

TEST_F(Menu, EmptyCommandsAreSkippedAndSetNoFlag) {
  fakes_.files.Put(kIni, L"[Title-E]\nHeading\n\n[Process-1]\n \nJ\nC\n[Process-13]\nMonitor\\appsetup.exe\n\n\n");
  fakes_.dialog.script = {PressNext(), PressNext(), Click(Control::UninstallRadio)};
  fakes_.RunMenu();
  EXPECT_EQ(fakes_.processes.CommandLines(),
            std::vector<std::wstring>{L"\"C:\\pkg\\Monitor\\appsetup.exe\""});
  EXPECT_TRUE(Box(1, Control::InstallDriver).checked) << "no driver command ran";
  EXPECT_FALSE(Box(2, Control::CleanUp).enabled) << "no clean-up command";
}

TEST_F(Menu, CleanUpIsRunWhenTicked) {
  fakes_.dialog.script = {ChooseUninstallAndPressNext({{Control::UninstallDriver, false}, {Control::CleanUp, true}})};
  fakes_.RunMenu();
  EXPECT_EQ(fakes_.processes.CommandLines(), std::vector<std::wstring>{Ran(15)});
}

TEST_F(Menu, TheDocumentFolderCommandInheritsNoHandles) {
  fakes_.dialog.script = {Click(Control::Documents), Click(Control::Exit)};
  EXPECT_EQ(fakes_.RunMenu(), 0);
  EXPECT_EQ(fakes_.processes.runs, (std::vector<Started>{{Ran(0), false}}));
  EXPECT_EQ(fakes_.dialog.shownIn.size(), 2u) << "the menu comes back";
}

}  // namespace
}  // namespace setup_menu
