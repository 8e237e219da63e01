// The setup menu: start-up decisions, the menu state, what the dialog shows, and which commands
// run for a choice.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "setup_menu/configuration.h"
#include "setup_menu/ports.h"

namespace setup_menu {

enum class Connection { Usb, Ethernet };
enum class Action { Install, Uninstall };

struct Components {
  bool driver = false;
  bool monitor = false;
  bool cleanUp = false;
};

// Survives the dialog, which is made anew for every pass of the menu loop.
struct MenuState {
  Language language = Language::English;
  int languageCount = kLanguages;
  Connection connection = Connection::Usb;
  Action action = Action::Install;
  int osSlotOffset = 0;  // 0, 4 or 8: added to the driver process numbers 1 to 4
  bool wow64 = false;
  bool driverDoneUsb = false;
  bool driverDoneEthernet = false;
  bool monitorInstalled = false;
  bool cleanUpAvailable = false;
  Components chosen;
};

// ---- Start-up ----

// Japanese or Chinese when the system language equals the number in the string table's entry.
Language LanguageFromSystem(uint16_t systemLanguage, std::wstring_view japaneseId, std::wstring_view chineseId);

// 10 for Windows 95/98, 40 to 70 for the NT family, 0 for systems not known, -1 when unreadable.
int WindowsVersionCode(const std::optional<OsVersion>& version);
inline constexpr int kLowestVersionCode = 50;

struct OsSlot {
  int offset = 0;
  bool wow64 = false;
};
OsSlot ChooseOsSlot(int versionCode, bool separateRegistryView);

// Drops the languages without a heading from the end of the list; a dropped language falls back
// to English.
void OfferLanguages(const Configuration& configuration, MenuState& state);

// The commands as they are run: completed under `directory`, and for the uninstall entries the
// registered uninstall commands.
Commands PrepareCommands(const Configuration& configuration, std::wstring_view directory, RegistryPort& registry,
                         bool separateRegistryView);
// The uninstall command registered under that entry name; empty when missing or too long to run.
std::wstring UninstallCommand(const std::wstring& entry, RegistryPort& registry, bool separateRegistryView);

// ---- The dialog ----

enum class Control {
  InstallRadio,
  InstallDriver,
  InstallMonitor,
  UninstallRadio,
  UninstallDriver,
  UninstallMonitor,
  CleanUp,
  UsbRadio,
  EthernetRadio,
  LanguageList,
  Documents,
  Next,
  Exit,
};

struct BoxState {
  bool checked = false;
  bool enabled = false;
};
// The two action radios and five component boxes, in the order of Control.
inline constexpr int kComponentControls = 7;
using ComponentBoxes = std::array<BoxState, kComponentControls>;
ComponentBoxes ComponentBoxesFor(const MenuState& state);

// The dialog's controls as the logic writes and reads them.
class MenuView {
 public:
  virtual ~MenuView() = default;
  virtual void SetHeading(const std::wstring& text, const HeadingFont& font) = 0;
  virtual void SetChecked(Control control, bool checked) = 0;
  virtual void SetEnabled(Control control, bool enabled) = 0;
  virtual bool Checked(Control control) = 0;
  // Item data of each entry is its index.
  virtual void FillLanguages(const std::vector<std::wstring>& names, int selected) = 0;
  virtual int SelectedLanguage() = 0;  // item data of the selection, -1 for none
  virtual void Close() = 0;
};

enum class MenuChoice { Exit, OpenDocuments, ChangeLanguage, Next };

// One pass of the dialog: fills it and handles its clicks.
class MenuDialog {
 public:
  MenuDialog(MenuState& state, const Configuration& configuration, std::vector<std::wstring> languageNames)
      : state_(state), configuration_(configuration), languageNames_(std::move(languageNames)) {}

  void OnInit(MenuView& view);
  // A click on a radio or button, a new selection in the language list, or closing the window
  // (Control::Exit).
  void OnCommand(MenuView& view, Control control);

  MenuChoice Choice() const { return choice_; }

 private:
  void ShowComponents(MenuView& view);
  void Finish(MenuView& view, MenuChoice choice);  // closes the dialog with that choice

  MenuState& state_;
  const Configuration& configuration_;
  std::vector<std::wstring> languageNames_;
  MenuChoice choice_ = MenuChoice::Exit;
};

// ---- Running the choice ----

enum class Effect { None, DriverDoneUsb, DriverDoneEthernet, MonitorInstalled };
struct Step {
  int process = 0;
  Effect effect = Effect::None;
};
// The processes to run, in order, for the chosen components of the current action and connection.
std::vector<Step> RunOrder(const MenuState& state, const Components& chosen);

// The whole program: start-up, then the menu loop until Exit. Returns the exit code.
int RunSetupMenu(const Ports& ports);

}  // namespace setup_menu
