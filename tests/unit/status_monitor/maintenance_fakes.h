// Fakes for the "Others" page, the file selectors and the notification icon: a file system in
// memory, a selector that records its five controls, option buttons and a scripted shell.
#pragma once

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "fakes.h"
#include "status_monitor/file_selector.h"
#include "status_monitor/other.h"
#include "status_monitor/sub_form.h"
#include "status_monitor/ticon.h"

namespace monitor::testing {

class FakeFiles : public Files {
 public:
  struct Folder {
    std::vector<std::wstring> folders;
    std::vector<std::wstring> files;
  };
  std::vector<std::wstring> drives{L"c:", L"d: [DATA]", L"e:"};
  std::map<std::wstring, Folder> folders;    // by full path, roots with their backslash
  std::set<std::wstring> notReadyDrives;     // e.g. L"e:"
  std::set<std::wstring> lockedFiles;        // exist, but cannot be opened
  std::vector<std::wstring> opened;

  std::vector<std::wstring> DriveTexts() override { return drives; }
  FolderResult ListFolder(const std::wstring& folder, std::vector<std::wstring>& subfolders,
                          std::vector<std::wstring>& files) override {
    if (notReadyDrives.count(folder.substr(0, 2))) return FolderResult::NotReady;
    auto it = folders.find(folder);
    if (it == folders.end()) return FolderResult::NotFound;
    subfolders = it->second.folders;
    files = it->second.files;
    return FolderResult::Ok;
  }
  OpenResult OpenForReading(const std::wstring& path) override {
    opened.push_back(path);
    if (lockedFiles.count(path)) return OpenResult::Failed;
    const size_t slash = path.rfind(L'\\');
    if (slash == std::wstring::npos) return OpenResult::NotFound;
    std::wstring folder = path.substr(0, slash);
    if (folder.size() == 2) folder += L'\\';
    auto it = folders.find(folder);
    if (it == folders.end()) return OpenResult::NotFound;
    for (const auto& name : it->second.files) {
      if (name == path.substr(slash + 1)) return OpenResult::Ok;
    }
    return OpenResult::NotFound;
  }
};

class FakeSelector : public SelectorView {
 public:
  std::vector<std::wstring> drives, directories, files;
  int drive = -1, directory = -1, file = -1;
  int left = 0, width = 0, scrollMax = 0, scrollValue = 0;
  std::wstring path;

  void SetDriveList(const std::vector<std::wstring>& items, int selected) override { drives = items; drive = selected; }
  void SetDirectoryList(const std::vector<std::wstring>& items, int selected) override {
    directories = items;
    directory = selected;
  }
  void SetFileList(const std::vector<std::wstring>& items, int selected) override { files = items; file = selected; }
  void SetDirectoryPlacement(int l, int w) override { left = l; width = w; }
  void SetScrollBar(int maximum, int value) override { scrollMax = maximum; scrollValue = value; }
  void SetPathText(const std::wstring& text) override { path = text; }
  std::wstring PathText() override { return path; }
  std::wstring DriveText() const { return drive >= 0 ? drives[drive] : L""; }
};

class FakeInput : public PageInput {
 public:
  std::vector<bool> hourglass;  // every change of the pointer
  void SetHourglass(bool on) override { hourglass.push_back(on); }
};

class FakeCaptions : public CaptionView {
 public:
  std::map<std::pair<std::string, int>, std::string> texts;
  std::map<std::pair<std::string, int>, std::pair<std::string, int>> fonts;
  void SetText(Ctl c, std::string_view text) override { texts[{std::string(c.name), c.index}] = std::string(text); }
  void SetFont(Ctl c, std::string_view name, int points) override {
    fonts[{std::string(c.name), c.index}] = {std::string(name), points};
  }
};

// The monitor with its "Others" page, over a program folder C:\Mon holding two firmware files.
struct MaintenanceHarness : Harness {
  FakeFiles files;
  FakeSelector selector4;
  FakeInput input;
  Other other{view, input, boxes, events, common, files, selector4};

  explicit MaintenanceHarness(int printers = 1) {
    for (int unit = 0; unit < printers; ++unit) library.printers.push_back(ReadyPrinter(unit));
    files.folders[L"c:\\"] = {{L"Mon", L"fw"}, {L"boot.txt"}};
    files.folders[L"c:\\Mon"] = {{L"logs"}, {L"TPX800StatusMonitor.exe", L"main.PRF", L"head.hdf", L"readme.txt"}};
    files.folders[L"c:\\Mon\\logs"] = {{}, {}};
    files.folders[L"c:\\fw"] = {{}, {L"main.prf", L"main.pr", L"main.prfx", L"main"}};
    files.folders[L"d:\\"] = {{}, {L"x.txt"}};
    form.SetPage(4, &other);
  }
  void Load() { form.Load(L"c:\\Mon"); }
};

}  // namespace monitor::testing
