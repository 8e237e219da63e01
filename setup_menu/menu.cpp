#include "setup_menu/menu.h"

#include <algorithm>

#include "common/text.h"
#include "common/win_path.h"
#include "resources/setup_menu/setup_ids.h"

namespace setup_menu {

namespace {

constexpr int kDocumentsProcess = 0;
constexpr int kDriverInstallUsb = 1;
constexpr int kDriverUninstallUsb = 2;
constexpr int kDriverInstallEthernet = 3;
constexpr int kDriverUninstallEthernet = 4;
constexpr int kMonitorInstall = 13;
constexpr int kCleanUp = 15;

constexpr wchar_t kUninstallKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
constexpr wchar_t kUninstallKeyOf32BitPrograms[] =
    L"Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

int Index(Language language) { return static_cast<int>(language); }

const std::wstring& CommandOf(const Commands& commands, int process, Language language) {
  return commands[process][Index(language)];
}

bool DriverDone(const MenuState& state) {
  return state.connection == Connection::Usb ? state.driverDoneUsb : state.driverDoneEthernet;
}

}  // namespace

// ---- Start-up ----

Language LanguageFromSystem(uint16_t systemLanguage, std::wstring_view japaneseId, std::wstring_view chineseId) {
  const std::wstring number = common::Utf8ToWide(common::Decimal(systemLanguage));
  if (number == japaneseId) return Language::Japanese;
  if (number == chineseId) return Language::Chinese;
  return Language::English;
}

int WindowsVersionCode(const std::optional<OsVersion>& version) {
  if (!version) return -1;
  if (!version->ntFamily) return version->major == 4 ? 10 : 0;
  switch (version->major) {
    case 4:
      return 40;
    case 5:
      return version->minor <= 2 ? 50 + static_cast<int>(version->minor) : 53;
    case 6:
      return 60;
    case 7:
    case 8:
      return 70;
    default:
      return 0;
  }
}

OsSlot ChooseOsSlot(int versionCode, bool separateRegistryView) {
  if (versionCode >= 52 && separateRegistryView) return {8, true};
  return {versionCode <= 52 ? 0 : 4, false};
}

void OfferLanguages(const Configuration& configuration, MenuState& state) {
  for (const Language language : {Language::Chinese, Language::Japanese}) {
    if (!configuration.titles[Index(language)].heading.empty()) continue;
    --state.languageCount;
    if (state.language == language) state.language = Language::English;
  }
}

std::wstring UninstallCommand(const std::wstring& entry, RegistryPort& registry, bool separateRegistryView) {
  if (entry.empty()) return {};
  const std::wstring key = (separateRegistryView ? kUninstallKeyOf32BitPrograms : kUninstallKey) + entry;
  std::optional<std::wstring> command = registry.LocalMachineText(key, L"UninstallString");
  // A command cut to fit would run something else (an installer without its "/r", say).
  if (!command || command->size() > common::kMaxPathChars) return {};
  return *command;
}

Commands PrepareCommands(const Configuration& configuration, std::wstring_view directory, RegistryPort& registry,
                         bool separateRegistryView) {
  Commands commands;
  for (int process = 0; process < kProcesses; ++process) {
    for (int language = 0; language < kLanguages; ++language) {
      const std::wstring& written = configuration.commands[process][language];
      commands[process][language] = process == kUninstallEntries
                                        ? UninstallCommand(written, registry, separateRegistryView)
                                        : CompleteCommand(written, directory);
    }
  }
  return commands;
}

// ---- The dialog ----

ComponentBoxes ComponentBoxesFor(const MenuState& state) {
  auto at = [](ComponentBoxes& boxes, Control control) -> BoxState& { return boxes[static_cast<int>(control)]; };
  ComponentBoxes boxes;  // unticked and disabled unless set below
  const bool install = state.action == Action::Install;
  at(boxes, Control::InstallRadio) = {install, true};
  at(boxes, Control::UninstallRadio) = {!install, true};
  if (install) {
    at(boxes, Control::InstallDriver) = {!DriverDone(state), true};
    at(boxes, Control::InstallMonitor) = {!state.monitorInstalled, true};
  } else {
    at(boxes, Control::UninstallDriver) = {DriverDone(state), true};
    at(boxes, Control::UninstallMonitor) = {state.monitorInstalled, true};
    at(boxes, Control::CleanUp) = {false, state.cleanUpAvailable};
  }
  return boxes;
}

void MenuDialog::ShowComponents(MenuView& view) {
  const ComponentBoxes boxes = ComponentBoxesFor(state_);
  for (int i = 0; i < kComponentControls; ++i) {
    view.SetChecked(static_cast<Control>(i), boxes[i].checked);
    view.SetEnabled(static_cast<Control>(i), boxes[i].enabled);
  }
}

void MenuDialog::Finish(MenuView& view, MenuChoice choice) {
  choice_ = choice;
  view.Close();
}

void MenuDialog::OnInit(MenuView& view) {
  const Title& title = configuration_.titles[Index(state_.language)];
  view.SetHeading(title.heading, ParseHeadingFont(title.font));
  std::vector<std::wstring> offered(languageNames_.begin(),
                                    languageNames_.begin() + std::min<size_t>(state_.languageCount, languageNames_.size()));
  view.FillLanguages(offered, Index(state_.language));
  if (state_.wow64) {
    // 64-bit Windows has no USB driver of its own here: its driver commands are the slot's.
    state_.connection = Connection::Ethernet;
    view.SetEnabled(Control::UsbRadio, false);
  }
  view.SetChecked(Control::UsbRadio, state_.connection == Connection::Usb);
  view.SetChecked(Control::EthernetRadio, state_.connection == Connection::Ethernet);
  ShowComponents(view);
}

void MenuDialog::OnCommand(MenuView& view, Control control) {
  switch (control) {
    case Control::InstallRadio:
    case Control::UninstallRadio:
      state_.action = control == Control::InstallRadio ? Action::Install : Action::Uninstall;
      ShowComponents(view);
      return;
    case Control::UsbRadio:
    case Control::EthernetRadio:
      state_.connection = control == Control::UsbRadio ? Connection::Usb : Connection::Ethernet;
      view.SetChecked(Control::UsbRadio, state_.connection == Connection::Usb);
      view.SetChecked(Control::EthernetRadio, state_.connection == Connection::Ethernet);
      ShowComponents(view);
      return;
    case Control::LanguageList: {
      const int selected = view.SelectedLanguage();
      if (selected < 0 || selected >= state_.languageCount || selected == Index(state_.language)) return;
      state_.language = static_cast<Language>(selected);
      Finish(view, MenuChoice::ChangeLanguage);
      return;
    }
    case Control::Documents:
      Finish(view, MenuChoice::OpenDocuments);
      return;
    case Control::Next:
      if (state_.action == Action::Install) {
        state_.chosen = {view.Checked(Control::InstallDriver), view.Checked(Control::InstallMonitor), false};
      } else {
        state_.chosen = {view.Checked(Control::UninstallDriver), view.Checked(Control::UninstallMonitor),
                         view.Checked(Control::CleanUp)};
      }
      Finish(view, MenuChoice::Next);
      return;
    case Control::Exit:
      Finish(view, MenuChoice::Exit);
      return;
    default:
      return;  // component boxes tick themselves
  }
}

// ---- Running the choice ----

std::vector<Step> RunOrder(const MenuState& state, const Components& chosen) {
  std::vector<Step> steps;
  const int offset = state.osSlotOffset;
  if (state.action == Action::Install) {
    const Step driver = state.connection == Connection::Usb
                            ? Step{offset + kDriverInstallUsb, Effect::DriverDoneUsb}
                            : Step{offset + kDriverInstallEthernet, Effect::DriverDoneEthernet};
    const Step monitor{kMonitorInstall, Effect::MonitorInstalled};
    // With the slot the status monitor goes first.
    if (state.connection == Connection::Ethernet && chosen.monitor) steps.push_back(monitor);
    if (chosen.driver) steps.push_back(driver);
    if (state.connection == Connection::Usb && chosen.monitor) steps.push_back(monitor);
  } else {
    if (chosen.driver) {
      steps.push_back({offset + (state.connection == Connection::Usb ? kDriverUninstallUsb : kDriverUninstallEthernet)});
    }
    if (chosen.monitor) steps.push_back({kUninstallEntries});
    if (chosen.cleanUp) steps.push_back({kCleanUp});
  }
  return steps;
}

namespace {

void Apply(Effect effect, MenuState& state) {
  switch (effect) {
    case Effect::DriverDoneUsb: state.driverDoneUsb = true; break;
    case Effect::DriverDoneEthernet: state.driverDoneEthernet = true; break;
    case Effect::MonitorInstalled: state.monitorInstalled = true; break;
    case Effect::None: break;
  }
}

// A message box with the text for Japanese or else the English one; the program then ends.
int Refuse(const Ports& ports, const MenuState& state, int english, int japanese, const std::wstring& caption) {
  ports.boxes.Show(ports.strings.Load(state.language == Language::Japanese ? japanese : english), caption);
  return 1;
}

}  // namespace

int RunSetupMenu(const Ports& ports) {
  MenuState state;
  state.language = LanguageFromSystem(ports.system.DefaultLanguage(), ports.strings.Load(IDS_JAPANESE_LANGUAGE_ID),
                                      ports.strings.Load(IDS_CHINESE_LANGUAGE_ID));
  const ProgramLocation location = LocateProgram(ports.system.CommandLine(), ports.system.CurrentDirectory());

  const int versionCode = WindowsVersionCode(ports.system.Version());
  if (versionCode < kLowestVersionCode) {
    return Refuse(ports, state, IDS_UNSUPPORTED_WINDOWS, IDS_UNSUPPORTED_WINDOWS_JAPANESE, location.baseName);
  }
  const bool separateView = ports.system.SeparateRegistryView();
  const OsSlot slot = ChooseOsSlot(versionCode, separateView);
  state.osSlotOffset = slot.offset;
  state.wow64 = slot.wow64;

  const std::optional<std::string> bytes = ports.files.ReadAll(location.configurationFile);
  if (!bytes) {
    return Refuse(ports, state, IDS_NO_CONFIGURATION, IDS_NO_CONFIGURATION_JAPANESE, location.baseName);
  }
  const Configuration configuration = ParseConfiguration(common::Utf16LeToWide(*bytes));
  Commands commands = PrepareCommands(configuration, location.directory, ports.registry, separateView);
  OfferLanguages(configuration, state);

  std::vector<std::wstring> languageNames;
  for (int i = 0; i < kLanguages; ++i) languageNames.push_back(ports.strings.Load(IDS_LANGUAGE_NAME_ENGLISH + i));

  for (;;) {
    if (!state.monitorInstalled) state.monitorInstalled = !CommandOf(commands, kUninstallEntries, state.language).empty();
    state.cleanUpAvailable = !CommandOf(commands, kCleanUp, state.language).empty();

    MenuDialog dialog(state, configuration, languageNames);
    ports.dialog.Show(state.language, dialog);

    switch (dialog.Choice()) {
      case MenuChoice::Exit:
        return 0;
      case MenuChoice::ChangeLanguage:
        break;
      case MenuChoice::OpenDocuments:
        if (const std::wstring& command = CommandOf(commands, kDocumentsProcess, state.language); !command.empty()) {
          ports.processes.RunAndWait(command, false);
        }
        break;
      case MenuChoice::Next:
        for (const Step& step : RunOrder(state, state.chosen)) {
          if (step.process == kUninstallEntries) {
            // Read again: a status monitor installed since start-up registered its command only now.
            commands[kUninstallEntries][Index(state.language)] =
                UninstallCommand(configuration.commands[kUninstallEntries][Index(state.language)], ports.registry,
                                 separateView);
          }
          const std::wstring& command = CommandOf(commands, step.process, state.language);
          if (command.empty()) continue;
          ports.processes.RunAndWait(command, true);
          Apply(step.effect, state);
        }
        break;
    }
  }
}

}  // namespace setup_menu
