// The flow fakes plus the uninstallation's process and restart ports, over an installed "Tool":
// installed in C:\Apps\Tool\ with its copy of the installer, menu shortcuts in
// C:\Menu\Programs\Acme\Tool, a desktop and a Startup shortcut, and its uninstall entry.
#pragma once

#include <string>
#include <vector>

#include "app_installer/uninstall_flow.h"
#include "tests/unit/app_installer_flow/flow_fakes.h"

namespace appsetup::testing {

class FakeProcesses : public ProcessPort {
 public:
  struct Start {
    std::string program, commandLine, directory;
  };
  std::vector<Start> started;
  bool starts = true;
  bool StartAndWaitUntilIdle(const std::string& program, const std::string& commandLine,
                             const std::string& directory) override {
    started.push_back({program, commandLine, directory});
    return starts;
  }
};

// The system's delayed deletion (refused when `systemRefuses`) and the profile sections that
// the wininit.ini fallback reads and writes.
class FakeRestart : public RestartPort {
 public:
  bool systemRefuses = false;
  std::vector<std::string> scheduled;
  std::map<std::string, std::string> sections;  // "file|section" -> lines, each ended by a zero
  int writes = 0;

  bool DeleteAtRestart(const std::string& path) override {
    if (systemRefuses) return false;
    scheduled.push_back(path);
    return true;
  }
  std::string ShortPath(const std::string& path) override {
    return path == "C:\\WINDOWS\\system32\\appsetup.exe" ? "C:\\WINDOWS\\SYSTEM32\\APPSETUP.EXE" : path;
  }
  std::string ReadSection(const std::string& file, const std::string& section, size_t capacity) override {
    const std::string& lines = sections[Lower(file) + "|" + section];
    // The system cuts what does not fit and reports capacity - 2.
    return lines.size() > capacity - 2 ? lines.substr(0, capacity - 2) : lines;
  }
  bool WriteSection(const std::string& file, const std::string& section, const std::string& lines) override {
    ++writes;
    sections[Lower(file) + "|" + section] = lines;
    return true;
  }
  bool WriteString(const std::string& file, const std::string& section, const std::string& key,
                   const std::string& value) override {
    ++writes;
    sections[Lower(file) + "|" + section] += key + "=" + value + std::string(1, '\0');
    return true;
  }
};

class RecordedUninstallWindow : public UninstallView {
 public:
  std::string status = "Uninstalling ...";
  bool finishEnabled = false;
  int broughtToFront = 0;
  void BringToFront() override { ++broughtToFront; }
  void SetStatusText(const std::string& text) override { status = text; }
  void EnableFinish() override { finishEnabled = true; }
};

struct UninstallFixture : FlowFixture {
  FakeProcesses processes;
  FakeRestart restart;
  UninstallPorts uninstall{disk, written, processes, restart};
  UninstallContext uctx{{state, ports, messages}, uninstall};

  static constexpr const char* kFolder = "C:\\Apps\\Tool\\";
  static constexpr const char* kMenu = "C:\\Menu\\Programs\\Acme\\Tool";
  const std::string kEntryKey = std::string(kUninstallKey) + "\\Tool";

  UninstallFixture() {
    // The relay runs from the installed copy: its folder is the installation folder.
    state.programPath = std::string(kFolder) + "appsetup.exe";
    state.sourceDirectory = kFolder;
    state.infoFilePath = std::string(kFolder) + "appsetup.INF";
    state.infoFileName = "appsetup.INF";
    state.menuFolder = kMenu;
    EnterRelayMode(state);
    registry.Set(RegistryRoot::CurrentUser, kShellFoldersKey, "Programs", "C:\\Menu\\Programs");
    for (const char* dir : {"C:\\Apps", "C:\\Apps\\Tool", "C:\\Menu", "C:\\Menu\\Programs",
                            "C:\\Menu\\Programs\\Acme", kMenu, "C:\\Menu\\Programs\\Startup",
                            "C:\\Desk", "C:\\WINDOWS", "C:\\WINDOWS\\system32"}) {
      disk.dirs.insert(Lower(dir));
    }
    disk.Put(std::string(kFolder) + "appsetup.exe", "installer", 1);
    disk.Put(std::string(kFolder) + "appsetup.INF", "info", 1);
    written.AddKey(kEntryKey);
    written.keys[kEntryKey]["DisplayName"] = "Tool";
  }

  // File entries 1..n, each installed where it resolves to.
  void Install(const std::vector<std::string>& entries, const std::vector<std::string>& installed) {
    AddEntries(entries);
    for (const std::string& path : installed) disk.Put(path, "installed", 1);
  }
  void AddGroups(const std::vector<std::string>& groups) {
    for (size_t i = 0; i < groups.size(); ++i) {
      disk.SetIni(state.infoFilePath, kGroupSection, std::to_string(i + 1), groups[i]);
    }
    state.groupEntryCount = static_cast<int>(groups.size());
    for (const std::string& group : groups) {
      disk.Put(std::string(kMenu) + "\\" + group.substr(0, group.find(',')) + ".lnk", "link", 1);
    }
  }
  void AddShortcutsOnDesktopAndStartup() {
    disk.Put("C:\\Desk\\Tool.lnk", "link", 1);
    disk.Put("C:\\Menu\\Programs\\Startup\\Tool.lnk", "link", 1);
  }
  bool Exists(const std::string& path) { return disk.Find(path) != nullptr; }
  bool FolderExists(const std::string& path) { return disk.dirs.count(Lower(path)) > 0; }
};

}  // namespace appsetup::testing
