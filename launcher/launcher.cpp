#include "launcher/launcher.h"

namespace launcher {

namespace {

// Calls `visit(index)` for the first byte of every character, stepping over double-byte
// characters whole so that a trail byte equal to '\' is never taken for a separator.
template <typename Visit>
void ForEachCharacter(std::string_view text, const common::CodePage& codePage, Visit visit) {
  for (size_t i = 0; i < text.size(); i = codePage.Next(text, i)) visit(i);
}

}  // namespace

std::string InstanceName(std::string_view path, const common::CodePage& codePage) {
  std::string name(path);
  ForEachCharacter(path, codePage, [&](size_t i) {
    if (name[i] == '\\') name[i] = '_';
  });
  return name;
}

std::string LauncherDirectory(std::string_view path, const common::CodePage& codePage) {
  size_t last = std::string_view::npos;
  ForEachCharacter(path, codePage, [&](size_t i) {
    if (path[i] == '\\') last = i;
  });
  return last == std::string_view::npos ? std::string() : std::string(path.substr(0, last));
}

std::optional<std::string> JoinPath(std::string_view first, std::string_view second, std::string_view third) {
  std::string joined(first);
  joined.append("\\").append(second);
  if (!third.empty()) joined.append("\\").append(third);
  // A longer path would not fit the buffers the other side uses; it is refused, never cut short.
  if (joined.size() > kMaxPathChars) return std::nullopt;
  return joined;
}

WizardPath ChooseWizardPath(int32_t osCode) {
  const int16_t code = static_cast<int16_t>(static_cast<uint16_t>(osCode & 0xFFFF));
  if (code < 0x500 || code >= 0xC00) return WizardPath::Unsupported;
  switch (code >> 8) {
    case 8:
    case 9:
    case 11:
      return WizardPath::Host;
    default:
      return WizardPath::InProcess;
  }
}

std::string HostCommandLine(std::string_view libraryPath, int mode) {
  return std::string(libraryPath) + "\n" + std::to_string(mode);
}

int Launcher::Run() {
  const std::string title = port_.LoadText(kStringTitle).value_or("");
  const std::optional<std::string> path = port_.OwnPath();
  if (!path) return Fail(kStringInitFailure);
  const std::string name = InstanceName(*path, port_.SystemCodePage());
  if (!port_.ClaimInstance(name)) {
    port_.BringForward(name);
    return kExitFailure;
  }
  if (!port_.CreateMainWindow(title, name)) return Fail(kStringInitFailure);
  return port_.RunMessageLoop();
}

std::optional<int> Launcher::RunJobOnce() {
  if (jobRan_) return std::nullopt;
  jobRan_ = true;
  return RunJob();
}

std::optional<std::string> Launcher::Directory() {
  const std::optional<std::string> path = port_.OwnPath();
  if (!path) return std::nullopt;
  return LauncherDirectory(*path, port_.SystemCodePage());
}

int Launcher::RunJob() {
  const std::optional<std::string> dir = Directory();
  if (!dir) return Fail(kStringLoadFailure);
  const std::optional<std::string> subdirectory = port_.LoadText(kStringSupportSubdirectory);
  const std::optional<std::string> libraryPath = subdirectory && !subdirectory->empty()
                                                     ? JoinPath(*dir, *subdirectory, kSupportLibraryFile)
                                                     : JoinPath(*dir, kSupportLibraryFile);
  if (!libraryPath || !port_.LoadSupportLibrary(*libraryPath)) return Fail(kStringLoadFailure);

  // The support library stays loaded while the wizard runs and is unloaded on every way out.
  struct Unload {
    LauncherPort& port;
    ~Unload() { port.UnloadSupportLibrary(); }
  } unload{port_};

  const std::optional<int32_t> osCode = port_.OsVersionCode();
  if (!osCode) return Fail(kStringLoadFailure);
  const WizardPath path = ChooseWizardPath(*osCode);
  if (path == WizardPath::Unsupported) return Fail(kStringUnsupportedOs);
  return RunWizard(*dir, path);
}

int Launcher::RunWizard(const std::string& dir, WizardPath path) {
  if (path == WizardPath::Host) {
    const std::optional<std::string> hostName = port_.LoadText(kStringWizardHost);
    const std::optional<std::string> libraryName = port_.LoadText(kStringWizard64Library);
    if (!hostName || !libraryName) return Fail(kStringLoadFailure);
    const std::optional<std::string> host = JoinPath(dir, *hostName);
    const std::optional<std::string> library = JoinPath(dir, *libraryName);
    if (!host || !library || !port_.RunHost(*host, HostCommandLine(*library, mode_))) {
      return Fail(kStringLoadFailure);
    }
    return kExitNormal;  // the host's exit code tells nothing the launcher acts on
  }
  const std::optional<std::string> libraryName = port_.LoadText(kStringWizardLibrary);
  const std::optional<std::string> library = libraryName ? JoinPath(dir, *libraryName) : std::nullopt;
  if (!library || !port_.CallWizard(*library, mode_, commandLine_)) return Fail(kStringLoadFailure);
  return kExitNormal;  // the wizard's result is the user's choice, not a failure of the launcher
}

int Launcher::Fail(int stringId) {
  port_.ErrorBox(port_.LoadText(kStringTitle).value_or(""), port_.LoadText(stringId).value_or(""));
  return kExitFailure;
}

}  // namespace launcher
