// The uninstallation's ports on the real API: registry trees, folder listings with links, the
// restart-time deletion and its wininit.ini fallback.
#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <sstream>

#include "app_installer/uninstall_flow.h"
#include "app_installer/win/install_adapters.h"
#include "app_installer/win/port_adapters.h"
#include "app_installer/win/uninstall_adapters.h"
#include "common/win/handles.h"
#include "tests/unit/app_installer_flow/flow_fakes.h"

namespace appsetup {
namespace {

using ::testing::ElementsAre;
using ::testing::UnorderedElementsAre;

// A fresh folder under the temporary folder (with trailing backslash).
std::string FreshFolder(const std::string& name) {
  char temp[MAX_PATH];
  const DWORD length = GetTempPathA(MAX_PATH, temp);
  // Wine reuses process ids between sessions; the tick count keeps the name fresh.
  const std::string folder = std::string(temp, length) + "appuninst-" + name + "-" +
                             std::to_string(GetCurrentProcessId()) + "-" + std::to_string(GetTickCount()) + "\\";
  CreateDirectoryA(folder.c_str(), nullptr);
  return folder;
}

bool WriteText(const std::string& path, const std::string& text) {
  std::ofstream file(path, std::ios::binary);
  file << text;
  return static_cast<bool>(file);
}

std::string ReadText(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Starts a Unix program in `directory`. Wine runs it apart from the Windows processes and hands
// back no process handle, so callers wait for its effect.
bool StartUnix(const std::string& commandLine, const std::string& directory) {
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  std::string line = commandLine;
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, directory.c_str(), &startup,
                      &info)) {
    return false;
  }
  if (info.hProcess) CloseHandle(info.hProcess);
  if (info.hThread) CloseHandle(info.hThread);
  return true;
}

bool WaitUntil(const std::function<bool()>& done) {
  for (int i = 0; i < 400; ++i, Sleep(25)) {
    if (done()) return true;
  }
  return false;
}

// The uninstallation ports on the real API, with in-memory boxes and shell folders.
struct RealPorts {
  win::WinProfile profile;
  testing::FakeRegistry registry;
  win::WinFileSystem files;
  testing::FakeSystem system;
  testing::ScriptedBoxes boxes;
  testing::NumberedStrings strings;
  win::WinDisk disk;
  win::WinRegistryWriter registryWriter;
  win::WinProcesses processes;
  win::WinRestart restart;
  Ports ports{profile, registry, files, system, boxes};
  UninstallPorts uninstall{disk, registryWriter, processes, restart};
  Messages messages{strings, Language::English};
  InstallerState state;
  UninstallContext ctx{{state, ports, messages}, uninstall};
};

TEST(RegistryTreeDeletion, NestedKeysGoAndTheSiblingStays) {
  const std::string base = "Software\\AppsetupUninstallTest\\" + std::to_string(GetTickCount());
  win::WinRegistryWriter writer;
  for (const char* key : {"\\Tree\\A\\A1\\A11", "\\Tree\\A\\A2", "\\Tree\\B", "\\Tree\\C\\C1", "\\Sibling"}) {
    ASSERT_TRUE(writer.WriteStrings(RegistryRoot::CurrentUser, base + key, {{"Value", "x"}}));
  }
  DeleteRegistryTree(writer, CodePage{}, RegistryRoot::CurrentUser, base + "\\Tree");
  win::WinRegistry reader;
  EXPECT_FALSE(reader.KeyExists(RegistryRoot::CurrentUser, base + "\\Tree"));
  EXPECT_TRUE(reader.KeyExists(RegistryRoot::CurrentUser, base + "\\Sibling"));
  // A key that is not there is no error.
  DeleteRegistryTree(writer, CodePage{}, RegistryRoot::CurrentUser, base + "\\Tree");
  DeleteRegistryTree(writer, CodePage{}, RegistryRoot::CurrentUser, "Software\\AppsetupUninstallTest");
  EXPECT_FALSE(reader.KeyExists(RegistryRoot::CurrentUser, "Software\\AppsetupUninstallTest"));
}

TEST(FolderRemoval, ListingMarksLinksAndRemovalNeverFollowsThem) {
  RealPorts real;
  const std::string root = FreshFolder("link");
  const std::string folder = root + "Tool\\";
  ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryA((root + "Shared").c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryA((folder + "sub").c_str(), nullptr));
  ASSERT_TRUE(WriteText(root + "Shared\\keep.txt", "precious"));
  ASSERT_TRUE(WriteText(folder + "sub\\TOOL.GID", "index"));
  ASSERT_TRUE(WriteText(folder + "notes.txt", "user"));
  // A Unix symbolic link inside the folder, pointing at a folder beside it.
  ASSERT_TRUE(StartUnix("Z:\\bin\\ln -s ../Shared data", folder));
  ASSERT_TRUE(WaitUntil([&] { return Exists(folder + "data\\keep.txt"); }));

  std::vector<std::string> listed;
  for (const FolderItem& item : real.disk.List(folder)) {
    listed.push_back(item.name + (item.folder ? "/" : "") + (item.link ? "@" : ""));
  }
  EXPECT_THAT(listed, UnorderedElementsAre("data/@", "notes.txt", "sub/"));
  EXPECT_THAT(real.disk.Subfolders(folder), ElementsAre("sub"));

  // Every question answered Yes: the link is asked about as one item and removed itself (which
  // Wine refuses for a Unix link, so it stays and is reported); the folder it points to and its
  // file are never touched.
  real.state.title = "Tool";
  real.boxes.answer = MessageAnswer::Yes;
  EXPECT_FALSE(RemoveFolderTree(real.ctx, 0, folder));
  std::vector<std::string> texts = real.boxes.Texts();
  EXPECT_EQ(std::count(texts.begin(), texts.end(), "#25 " + folder + "data"), 1);
  EXPECT_EQ(std::count_if(texts.begin(), texts.end(), [](const std::string& t) { return t.find("keep.txt") != t.npos; }), 0);
  EXPECT_FALSE(Exists(folder + "sub"));
  EXPECT_FALSE(Exists(folder + "notes.txt"));
  EXPECT_EQ(ReadText(root + "Shared\\keep.txt"), "precious");
  StartUnix("Z:\\bin\\rm data", folder);
}

// The system's delayed deletion refused, as on systems that only read wininit.ini.
class RefusingRestart : public RestartPort {
 public:
  bool DeleteAtRestart(const std::string&) override { return false; }
  std::string ShortPath(const std::string& path) override { return real_.ShortPath(path); }
  std::string ReadSection(const std::string& file, const std::string& section, size_t capacity) override {
    return real_.ReadSection(file, section, capacity);
  }
  bool WriteSection(const std::string& file, const std::string& section, const std::string& lines) override {
    return real_.WriteSection(file, section, lines);
  }
  bool WriteString(const std::string& file, const std::string& section, const std::string& key,
                   const std::string& value) override {
    return real_.WriteString(file, section, key, value);
  }

 private:
  win::WinRestart real_;
};

TEST(RestartDeletion, WininitFallbackWritesOneLinePerFileThroughTheProfileApi) {
  RealPorts real;
  RefusingRestart refusing;
  UninstallPorts uninstall{real.disk, real.registryWriter, real.processes, refusing};
  UninstallContext ctx{{real.state, real.ports, real.messages}, uninstall};
  const std::string windows = FreshFolder("wininit");
  real.system.windowsDirectory = windows.substr(0, windows.size() - 1);
  const std::string relay = windows + "relay copy of appsetup.exe";
  ASSERT_TRUE(WriteText(relay, "relay"));
  char shortPath[MAX_PATH] = {};
  ASSERT_GT(GetShortPathNameA(relay.c_str(), shortPath, MAX_PATH), 0u);
  const std::string line = std::string("NUL=") + shortPath;

  // An empty section gets the key written alone; a second run adds nothing.
  EXPECT_EQ(DeleteAtNextRestart(ctx, relay), RestartDeletion::ByWininit);
  EXPECT_EQ(DeleteAtNextRestart(ctx, relay), RestartDeletion::AlreadyListed);
  const std::string wininit = windows + "wininit.ini";
  std::string text = ReadText(wininit);
  EXPECT_NE(text.find(line), std::string::npos) << text;
  EXPECT_EQ(text.find(line), text.rfind(line)) << text;

  // Beside an earlier NUL line, both stay: the section is written back whole.
  ASSERT_TRUE(WriteText(wininit, "[rename]\r\nNUL=C:\\OLD.EXE\r\n"));
  EXPECT_EQ(DeleteAtNextRestart(ctx, relay), RestartDeletion::ByWininit);
  EXPECT_EQ(DeleteAtNextRestart(ctx, relay), RestartDeletion::AlreadyListed);
  text = ReadText(wininit);
  EXPECT_NE(text.find("NUL=C:\\OLD.EXE"), std::string::npos) << text;
  EXPECT_NE(text.find(line), std::string::npos) << text;
  EXPECT_EQ(text.find(line), text.rfind(line)) << text;
}

}  // namespace
}  // namespace appsetup
