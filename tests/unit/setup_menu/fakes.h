// In-memory stand-ins for the setup menu's ports, and a dialog driven by a script of clicks.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "common/text.h"
#include "resources/setup_menu/setup_ids.h"
#include "setup_menu/menu.h"

namespace setup_menu::testing {

class FakeSystem : public SystemPort {
 public:
  std::wstring commandLine = L"\"C:\\pkg\\setup.exe\"";
  std::wstring currentDirectory = L"C:\\work";
  uint16_t language = 1033;
  std::optional<OsVersion> version = OsVersion{true, 5, 1};
  bool separateView = false;

  std::wstring CommandLine() override { return commandLine; }
  std::wstring CurrentDirectory() override { return currentDirectory; }
  uint16_t DefaultLanguage() override { return language; }
  std::optional<OsVersion> Version() override { return version; }
  bool SeparateRegistryView() override { return separateView; }
};

class FakeFiles : public FilePort {
 public:
  std::map<std::wstring, std::string> files;
  std::vector<std::wstring> asked;
  // Stores the text as UTF-16LE bytes, as the package's files are.
  void Put(const std::wstring& path, const std::wstring& text) { files[path] = common::WideToUtf16Le(text); }
  std::optional<std::string> ReadAll(const std::wstring& path) override {
    asked.push_back(path);
    auto it = files.find(path);
    if (it == files.end()) return std::nullopt;
    return it->second;
  }
};

class FakeRegistry : public RegistryPort {
 public:
  std::map<std::pair<std::wstring, std::wstring>, std::wstring> values;
  std::optional<std::wstring> LocalMachineText(const std::wstring& subkey, const std::wstring& name) override {
    auto it = values.find({subkey, name});
    if (it == values.end()) return std::nullopt;
    return it->second;
  }
};

struct Started {
  std::wstring commandLine;
  bool inheritHandles;
  bool operator==(const Started&) const = default;
};

class FakeProcesses : public ProcessPort {
 public:
  std::vector<Started> runs;
  std::function<void(const std::wstring&)> onRun;  // what the started program does
  void RunAndWait(const std::wstring& commandLine, bool inheritHandles) override {
    runs.push_back({commandLine, inheritHandles});
    if (onRun) onRun(commandLine);
  }
  std::vector<std::wstring> CommandLines() const {
    std::vector<std::wstring> lines;
    for (const Started& run : runs) lines.push_back(run.commandLine);
    return lines;
  }
};

class FakeBoxes : public MessageBoxPort {
 public:
  std::vector<std::pair<std::wstring, std::wstring>> shown;  // text, caption
  void Show(const std::wstring& text, const std::wstring& caption) override { shown.emplace_back(text, caption); }
};

// The program's string table.
class FakeStrings : public StringTablePort {
 public:
  std::wstring Load(int id) override {
    static const std::map<int, std::wstring> kTexts = {
        {IDS_NO_CONFIGURATION, L"Cannot open an initialization file."},
        {IDS_NO_CONFIGURATION_JAPANESE, L"no-configuration-ja"},
        {IDS_UNSUPPORTED_WINDOWS, L"Cannot perform this program in running Windows."},
        {IDS_UNSUPPORTED_WINDOWS_JAPANESE, L"unsupported-ja"},
        {IDS_JAPANESE_LANGUAGE_ID, L"1041"},
        {IDS_CHINESE_LANGUAGE_ID, L"2052"},
        {30, L"English"},
        {31, L"Japanese"},
        {32, L"Chinese"},
    };
    auto it = kTexts.find(id);
    return it == kTexts.end() ? std::wstring() : it->second;
  }
};

// The dialog's controls as a user would see them.
class FakeView : public MenuView {
 public:
  std::wstring heading;
  HeadingFont font;
  std::map<Control, BoxState> boxes;
  std::vector<std::wstring> languages;
  int selected = -1;
  bool closed = false;

  void SetHeading(const std::wstring& text, const HeadingFont& headingFont) override {
    heading = text;
    font = headingFont;
  }
  void SetChecked(Control control, bool checked) override { boxes[control].checked = checked; }
  void SetEnabled(Control control, bool enabled) override { boxes[control].enabled = enabled; }
  bool Checked(Control control) override { return boxes[control].checked; }
  void FillLanguages(const std::vector<std::wstring>& names, int selection) override {
    languages = names;
    selected = selection;
  }
  int SelectedLanguage() override { return selected; }
  void Close() override { closed = true; }

  // A user's click on a check box flips it, when it is enabled.
  void Tick(Control control, bool checked) {
    if (boxes[control].enabled) boxes[control].checked = checked;
  }
};

// One pass of the dialog: what the user does once it is shown.
using Pass = std::function<void(FakeView&, MenuDialog&)>;

class FakeDialog : public DialogPort {
 public:
  std::deque<Pass> script;        // an empty script closes the window
  std::vector<Language> shownIn;  // the language of each pass
  std::vector<FakeView> views;    // each pass's controls as they were left

  void Show(Language language, MenuDialog& logic) override {
    shownIn.push_back(language);
    FakeView view;
    logic.OnInit(view);
    if (script.empty()) {
      logic.OnCommand(view, Control::Exit);
    } else {
      Pass pass = std::move(script.front());
      script.pop_front();
      pass(view, logic);
    }
    views.push_back(view);
  }
};

// Every port, with one program to run them.
struct Fakes {
  FakeSystem system;
  FakeFiles files;
  FakeRegistry registry;
  FakeProcesses processes;
  FakeBoxes boxes;
  FakeStrings strings;
  FakeDialog dialog;

  int RunMenu() { return RunSetupMenu({system, files, registry, processes, boxes, strings, dialog}); }
};

// Presses Next with the boxes as the dialog set them, after `ticks` changes.
inline Pass PressNext(std::vector<std::pair<Control, bool>> ticks = {}) {
  return [ticks](FakeView& view, MenuDialog& logic) {
    for (const auto& [control, checked] : ticks) view.Tick(control, checked);
    logic.OnCommand(view, Control::Next);
  };
}

inline Pass Click(Control control) {
  return [control](FakeView& view, MenuDialog& logic) { logic.OnCommand(view, control); };
}

inline Pass ChooseUninstallAndPressNext(std::vector<std::pair<Control, bool>> ticks = {}) {
  return [ticks](FakeView& view, MenuDialog& logic) {
    logic.OnCommand(view, Control::UninstallRadio);
    for (const auto& [control, checked] : ticks) view.Tick(control, checked);
    logic.OnCommand(view, Control::Next);
  };
}

}  // namespace setup_menu::testing
