// Install.exe / Uninstall.exe: checks that it runs alone, asks the setup support library which
// Windows runs, and starts the driver setup wizard in its mode, in-process or through the 64-bit
// wizard host. Everything is decided here; Windows comes in through the LauncherPort.
// The launcher works in the ANSI code page.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "common/code_page.h"

namespace launcher {

// Numbers of the launcher's string table.
enum LauncherString : int {
  kStringTitle = 200,                // window title and message-box caption
  kStringSupportSubdirectory = 201,  // optional folder of the support library
  kStringWizardLibrary = 203,
  kStringWizard64Library = 204,
  kStringWizardHost = 205,
  kStringInitFailure = 206,
  kStringLoadFailure = 207,
  kStringUnsupportedOs = 208,
};

inline constexpr char kWindowClassName[] = "LumoSetupClass";
inline constexpr unsigned kJobMessage = 0x1400;  // posted once at creation; runs the whole job
inline constexpr char kSupportLibraryFile[] = "LMOSSUPW.DLL";
inline constexpr size_t kMaxPathChars = 259;  // path buffers: 259 characters and the terminator
inline constexpr int kExitNormal = 0;
inline constexpr int kExitFailure = -1;

// The launcher's path with every backslash made an underscore (trail bytes of double-byte
// characters are left alone): the name of its mutex and of its window property.
std::string InstanceName(std::string_view path, const common::CodePage& codePage);

// The path up to, not including, its last backslash; empty when it has none.
std::string LauncherDirectory(std::string_view path, const common::CodePage& codePage);

// The parts joined with single backslashes; nullopt when the path would not fit a path buffer.
std::optional<std::string> JoinPath(std::string_view first, std::string_view second,
                                    std::string_view third = {});

enum class WizardPath { Unsupported, InProcess, Host };
// The low 16 bits of the support library's OS code, taken as a signed number, decide: 0x500 to
// 0xBFF are supported; high bytes 8, 9 and 11 are the 64-bit systems.
WizardPath ChooseWizardPath(int32_t osCode);

// The 64-bit host's command line: the library path, a line feed, the mode in decimal.
std::string HostCommandLine(std::string_view libraryPath, int mode);

// Port: what the launcher needs from Windows.
class LauncherPort {
 public:
  virtual ~LauncherPort() = default;

  // The launcher's full path; nullopt when it does not fit a path buffer.
  virtual std::optional<std::string> OwnPath() = 0;
  // The ANSI code page, whose double-byte characters path walks step over whole.
  virtual common::CodePage SystemCodePage() = 0;
  // A string of the launcher's table; nullopt when the table has no such string.
  virtual std::optional<std::string> LoadText(int id) = 0;
  // A message box with no owner and the error icon, brought to the foreground.
  virtual void ErrorBox(const std::string& caption, const std::string& text) = 0;

  // Start-up.
  // Creates the named mutex, owned; false when it already existed (another instance runs).
  virtual bool ClaimInstance(const std::string& name) = 0;
  // Restores the first top-level window carrying the property `name` if it is minimised and
  // brings it and its last active popup to the foreground.
  virtual void BringForward(const std::string& name) = 0;
  // Registers the window class and creates the launcher window titled `title` with the property
  // `name`; false when either fails.
  virtual bool CreateMainWindow(const std::string& title, const std::string& name) = 0;
  // Runs the message loop to its end; the code of the quit message.
  virtual int RunMessageLoop() = 0;

  // The job.
  virtual bool LoadSupportLibrary(const std::string& path) = 0;
  // Ordinal 1 of the loaded support library called; nullopt when it has no ordinal 1.
  virtual std::optional<int32_t> OsVersionCode() = 0;
  virtual void UnloadSupportLibrary() = 0;
  // Starts `program` with `commandLine` and a hidden main window, waits until it is idle for
  // input and then until it ends; false when it could not be started.
  virtual bool RunHost(const std::string& program, const std::string& commandLine) = 0;
  // Loads the wizard library, calls its SetupWizardProc(launcher window, mode, commandLine) and
  // unloads it; false when the library or its export is missing.
  virtual bool CallWizard(const std::string& libraryPath, int mode, const std::string& commandLine) = 0;
};

class Launcher {
 public:
  // `mode`: 1 installs a printer, 0 deletes one. `commandLine` goes to the wizard as it is.
  Launcher(LauncherPort& port, int mode, std::string commandLine)
      : port_(port), mode_(mode), commandLine_(std::move(commandLine)) {}

  // Start-up and the message loop: the process exit code.
  int Run();
  // The private message's job; its result becomes the quit code. nullopt when the job already
  // ran, so a repeated message does nothing.
  std::optional<int> RunJobOnce();

 private:
  int RunJob();
  int RunWizard(const std::string& directory, WizardPath path);
  int Fail(int stringId);
  std::optional<std::string> Directory();

  LauncherPort& port_;
  int mode_;
  std::string commandLine_;
  bool jobRan_ = false;
};

}  // namespace launcher
