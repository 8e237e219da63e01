#include "launcher/launcher.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace {

using namespace launcher;

const common::CodePage kSingleByte;
// Shift-JIS lead bytes: a trail byte may be 0x5C, the backslash.
common::CodePage ShiftJis() {
  common::CodePage cp;
  cp.SetLeadByteRange(0x81, 0x9F);
  cp.SetLeadByteRange(0xE0, 0xFC);
  return cp;
}

TEST(LauncherPaths, InstanceNameAndDirectoryStepOverDoubleByteCharacters) {
  EXPECT_EQ(InstanceName("C:\\Driver\\Disk 1\\Install.exe", kSingleByte), "C:_Driver_Disk 1_Install.exe");
  EXPECT_EQ(LauncherDirectory("C:\\Driver\\Disk 1\\Install.exe", kSingleByte), "C:\\Driver\\Disk 1");
  EXPECT_EQ(LauncherDirectory("C:\\Install.exe", kSingleByte), "C:");
  EXPECT_EQ(LauncherDirectory("Install.exe", kSingleByte), "");

  // "\x95\x5C" is one Shift-JIS character whose second byte looks like a backslash.
  const std::string path = "C:\\\x95\x5C\\Install.exe";
  EXPECT_EQ(InstanceName(path, ShiftJis()), "C:_\x95\x5C_Install.exe");
  EXPECT_EQ(LauncherDirectory(path, ShiftJis()), "C:\\\x95\x5C");
  EXPECT_EQ(LauncherDirectory("C:\\\x95\x5CInstall.exe", ShiftJis()), "C:");
}

TEST(LauncherPaths, JoinedPathsThatDoNotFitAreRefused) {
  EXPECT_EQ(JoinPath("C:\\d", "sub", "LMOSSUPW.DLL"), "C:\\d\\sub\\LMOSSUPW.DLL");
  EXPECT_EQ(JoinPath("C:\\d", "LMOSSUPW.DLL"), "C:\\d\\LMOSSUPW.DLL");
  const std::string dir(259 - 13, 'a');  // + "\LMOSSUPW.DLL" is exactly 259
  EXPECT_EQ(JoinPath(dir, "LMOSSUPW.DLL")->size(), 259u);
  EXPECT_EQ(JoinPath(dir + "a", "LMOSSUPW.DLL"), std::nullopt);
}

TEST(LauncherOsCode, SupportedRangeAndThe64BitSystems) {
  const std::vector<std::pair<int32_t, WizardPath>> cases = {
      {0x04FF, WizardPath::Unsupported}, {0x0500, WizardPath::InProcess}, {0x0600, WizardPath::InProcess},
      {0x07FF, WizardPath::InProcess},   {0x0800, WizardPath::Host},      {0x09FF, WizardPath::Host},
      {0x0A00, WizardPath::InProcess},   {0x0B00, WizardPath::Host},      {0x0BFF, WizardPath::Host},
      {0x0C00, WizardPath::Unsupported}, {0x0000, WizardPath::Unsupported},
      // Only the low 16 bits count, and they are signed.
      {0x10600, WizardPath::InProcess},  {0xFFFF, WizardPath::Unsupported}, {-1, WizardPath::Unsupported},
      {0x8600, WizardPath::Unsupported},
  };
  for (const auto& [code, expected] : cases) {
    EXPECT_EQ(ChooseWizardPath(code), expected) << std::hex << code;
  }
}

TEST(LauncherOsCode, HostCommandLineIsPathLineFeedMode) {
  EXPECT_EQ(HostCommandLine("C:\\d\\KVSETUPW64.DLL", 1), "C:\\d\\KVSETUPW64.DLL\n1");
  EXPECT_EQ(HostCommandLine("C:\\d\\KVSETUPW64.DLL", 0), "C:\\d\\KVSETUPW64.DLL\n0");
}

// Records what the launcher asked of Windows.
class FakePort : public LauncherPort {
 public:
  std::optional<std::string> path = "C:\\Driver\\Install.exe";
  std::map<int, std::string> strings = {
      {200, "SETUP Wizard"},   {203, "KVSETUPW.DLL"}, {204, "KVSETUPW64.DLL"}, {205, "KVSETUPW64.EXE"},
      {206, "init failure"},   {207, "load failure"}, {208, "unsupported"},
  };
  bool firstInstance = true;
  bool windowCreated = true;
  bool libraryLoads = true;
  std::optional<int32_t> osCode = 0x0600;
  bool hostStarts = true;
  bool wizardLoads = true;
  Launcher* launcher = nullptr;  // the job the fake message loop runs

  std::vector<std::string> calls;
  std::vector<std::pair<std::string, std::string>> boxes;

  std::optional<std::string> OwnPath() override { return path; }
  common::CodePage SystemCodePage() override { return kSingleByte; }
  std::optional<std::string> LoadText(int id) override {
    const auto it = strings.find(id);
    return it == strings.end() ? std::nullopt : std::optional<std::string>(it->second);
  }
  void ErrorBox(const std::string& caption, const std::string& text) override { boxes.emplace_back(caption, text); }
  bool ClaimInstance(const std::string& name) override { return Log("claim " + name), firstInstance; }
  void BringForward(const std::string& name) override { Log("forward " + name); }
  bool CreateMainWindow(const std::string& title, const std::string& name) override {
    return Log("window " + title + " " + name), windowCreated;
  }
  int RunMessageLoop() override {
    Log("loop");
    // The window posts the job message once at creation; a stray repeat must do nothing.
    const std::optional<int> code = launcher->RunJobOnce();
    if (launcher->RunJobOnce()) Log("job ran twice");
    return code.value_or(99);
  }
  bool LoadSupportLibrary(const std::string& libraryPath) override {
    return Log("load " + libraryPath), libraryLoads;
  }
  std::optional<int32_t> OsVersionCode() override { return Log("os code"), osCode; }
  void UnloadSupportLibrary() override { Log("unload"); }
  bool RunHost(const std::string& program, const std::string& commandLine) override {
    return Log("host " + program + " [" + commandLine + "]"), hostStarts;
  }
  bool CallWizard(const std::string& library, int mode, const std::string& commandLine) override {
    return Log("wizard " + library + " " + std::to_string(mode) + " [" + commandLine + "]"), wizardLoads;
  }

 private:
  void Log(const std::string& call) { calls.push_back(call); }
};

class LauncherRun : public ::testing::Test {
 protected:
  int Run(int mode = 1, const std::string& commandLine = "/quiet") {
    Launcher launcher(port, mode, commandLine);
    port.launcher = &launcher;
    return launcher.Run();
  }
  std::vector<std::string> Box(const std::string& text) { return {"SETUP Wizard", text}; }
  std::vector<std::string> OnlyBox() {
    if (port.boxes.size() != 1) return {"boxes: " + std::to_string(port.boxes.size())};
    return {port.boxes[0].first, port.boxes[0].second};
  }

  FakePort port;
};

TEST_F(LauncherRun, InProcessWizardGetsTheWindowModeAndCommandLine) {
  EXPECT_EQ(Run(1, "/quiet"), 0);
  EXPECT_EQ(port.calls, (std::vector<std::string>{
                            "claim C:_Driver_Install.exe",
                            "window SETUP Wizard C:_Driver_Install.exe",
                            "loop",
                            "load C:\\Driver\\LMOSSUPW.DLL",
                            "os code",
                            "wizard C:\\Driver\\KVSETUPW.DLL 1 [/quiet]",
                            "unload",
                        }));
  EXPECT_TRUE(port.boxes.empty());
}

TEST_F(LauncherRun, SixtyFourBitSystemsStartTheHostWithLibraryPathAndMode) {
  for (const int32_t code : {0x0800, 0x0900, 0x0B00}) {
    port = FakePort();
    port.osCode = code;
    EXPECT_EQ(Run(0), 0);
    EXPECT_EQ(port.calls.at(5), "host C:\\Driver\\KVSETUPW64.EXE [C:\\Driver\\KVSETUPW64.DLL\n0]") << code;
    EXPECT_EQ(port.calls.back(), "unload");
    EXPECT_TRUE(port.boxes.empty());
  }
}

TEST_F(LauncherRun, SecondInstanceBringsTheFirstForwardAndEnds) {
  port.firstInstance = false;
  EXPECT_EQ(Run(), -1);
  EXPECT_EQ(port.calls, (std::vector<std::string>{"claim C:_Driver_Install.exe", "forward C:_Driver_Install.exe"}));
  EXPECT_TRUE(port.boxes.empty());
}

TEST_F(LauncherRun, StartUpFailuresShowString206) {
  port.windowCreated = false;
  EXPECT_EQ(Run(), -1);
  EXPECT_EQ(OnlyBox(), Box("init failure"));
  EXPECT_EQ(port.calls.back(), "window SETUP Wizard C:_Driver_Install.exe");

  // A path longer than the buffers hold is refused, not cut into another name.
  port = FakePort();
  port.path = std::nullopt;
  EXPECT_EQ(Run(), -1);
  EXPECT_EQ(OnlyBox(), Box("init failure"));
  EXPECT_TRUE(port.calls.empty());
}

TEST_F(LauncherRun, UnsupportedSystemsShowString208AndNoWizard) {
  for (const int32_t code : {0x04FF, 0x0C00}) {
    port = FakePort();
    port.osCode = code;
    EXPECT_EQ(Run(), -1);
    EXPECT_EQ(OnlyBox(), Box("unsupported"));
    EXPECT_EQ(port.calls.back(), "unload");
    EXPECT_EQ(port.calls.size(), 6u);  // no wizard, no host
  }
}

TEST_F(LauncherRun, ModuleFailuresShowString207) {
  port.libraryLoads = false;
  EXPECT_EQ(Run(), -1);
  EXPECT_EQ(OnlyBox(), Box("load failure"));
  EXPECT_EQ(port.calls.back(), "load C:\\Driver\\LMOSSUPW.DLL");  // nothing to unload

  port = FakePort();
  port.osCode = std::nullopt;  // no ordinal 1
  EXPECT_EQ(Run(), -1);
  EXPECT_EQ(OnlyBox(), Box("load failure"));
  EXPECT_EQ(port.calls.back(), "unload");

  port = FakePort();
  port.wizardLoads = false;
  EXPECT_EQ(Run(), -1);
  EXPECT_EQ(OnlyBox(), Box("load failure"));
  EXPECT_EQ(port.calls.back(), "unload");

  port = FakePort();
  port.osCode = 0x0B00;
  port.hostStarts = false;
  EXPECT_EQ(Run(), -1);
  EXPECT_EQ(OnlyBox(), Box("load failure"));
  EXPECT_EQ(port.calls.back(), "unload");
}

TEST_F(LauncherRun, SupportLibraryInTheSubdirectoryOfString201) {
  port.strings[201] = "x86";
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(port.calls.at(3), "load C:\\Driver\\x86\\LMOSSUPW.DLL");
  // The wizard stays beside the launcher.
  EXPECT_EQ(port.calls.at(5), "wizard C:\\Driver\\KVSETUPW.DLL 1 [/quiet]");
}

TEST_F(LauncherRun, PathsThatWouldNotFitAreNeverLoaded) {
  // The launcher's own path fits, the support library's beside it does not.
  port.path = "C:\\" + std::string(250, 'd') + "\\I.exe";
  EXPECT_EQ(Run(), -1);
  EXPECT_EQ(OnlyBox(), Box("load failure"));
  EXPECT_EQ(port.calls.back(), "loop");

  // The support library fits, the host library's path does not.
  port = FakePort();
  port.path = "C:\\" + std::string(242, 'd') + "\\I.exe";
  port.osCode = 0x0B00;
  EXPECT_EQ(Run(), -1);
  EXPECT_EQ(OnlyBox(), Box("load failure"));
  EXPECT_EQ(port.calls.back(), "unload");
  for (const std::string& call : port.calls) EXPECT_NE(call.rfind("host", 0), 0u) << call;
}

}  // namespace
