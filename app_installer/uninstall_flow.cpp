#include "app_installer/uninstall_flow.h"

#include <optional>
#include <string_view>
#include <vector>

#include "app_installer/entry_resolver.h"
#include "app_installer/information_file.h"

namespace appsetup {

namespace {

constexpr size_t kWininitBufferBytes = 32768;  // 32767 usable, the last byte closes the list
constexpr const char* kRenameSection = "rename";

bool IsHelpIndex(const CodePage& cp, std::string_view name) {
  const size_t dot = ExtensionDot(cp, name);
  return dot != std::string_view::npos && EqualsIgnoreCase(cp, name.substr(dot), ".gid");
}

// [Reg] entries 1, 2, ... while a value is present; an unknown root gets message 27 and is skipped.
void RemoveRegistryEntries(const UninstallContext& ctx, WindowRef owner) {
  const InstallerState& state = ctx.state;
  for (int n = 1;; ++n) {
    const std::string value = ctx.ports.profile.ReadString(state.infoFilePath, kRegSection,
                                                           std::to_string(n));
    if (value.empty()) return;
    const std::optional<RegistryEntry> entry = ParseRegistryEntry(value);
    if (!entry) {
      ctx.Error(owner, ctx.messages.Text(msg::kBadRegEntry));
      continue;
    }
    DeleteRegistryTree(ctx.uninstall.registryWriter, ctx.TextCodePage(), entry->root, entry->subkey);
  }
}

// The title + ".lnk" in the Desktop and the Startup folder, whoever made it; failures are silent.
void RemoveDesktopAndStartupShortcuts(const UninstallContext& ctx) {
  const InstallerState& state = ctx.state;
  for (const auto& [userName, commonName] : {std::pair{"Desktop", "Common Desktop"},
                                             std::pair{"Startup", "Common Startup"}}) {
    const auto folder = ReadShellFolder(state, ctx.ports.registry, userName, commonName);
    if (!folder) continue;
    const std::string link = Join(ctx.TextCodePage(), *folder, state.title + ".lnk");
    if (ctx.ports.files.FileExists(link)) ctx.uninstall.disk.DeleteFile(link);
  }
}

// The shell folders a menu folder climb must never remove, even when they are empty.
struct MenuBounds {
  std::optional<std::string> startMenu;
  std::vector<std::string> kept;
};

MenuBounds ReadMenuBounds(const UninstallContext& ctx) {
  const CodePage& cp = ctx.TextCodePage();
  MenuBounds bounds;
  auto read = [&](const char* userName, const char* commonName) -> std::optional<std::string> {
    auto value = ReadShellFolder(ctx.state, ctx.ports.registry, userName, commonName);
    if (value) value = WithoutTrailingSeparator(cp, *value);
    return value;
  };
  bounds.startMenu = read("Start Menu", "Common Start Menu");
  for (const auto& [userName, commonName] : {std::pair{"Programs", "Common Programs"},
                                             std::pair{"Startup", "Common Startup"}}) {
    if (auto value = read(userName, commonName)) bounds.kept.push_back(*value);
  }
  if (bounds.startMenu) bounds.kept.push_back(*bounds.startMenu);
  return bounds;
}

bool IsKeptFolder(const CodePage& cp, const MenuBounds& bounds, const std::string& folder) {
  if (RootLength(cp, folder) == 0 || IsRootDirectory(cp, folder)) return true;
  for (const std::string& kept : bounds.kept) {
    if (EqualsIgnoreCase(cp, kept, folder)) return true;
  }
  return false;
}

}  // namespace

// ---- First stage ----

std::string RelayPath(const UninstallContext& ctx) {
  return Join(ctx.TextCodePage(), ctx.ports.system.SystemDirectory(), ctx.state.programName);
}

std::string RelayCommandLine(const std::string& relayPath, const std::string& programPath) {
  return relayPath + " x " + programPath;
}

bool StartUninstallation(const UninstallContext& ctx) {
  const InstallerState& state = ctx.state;
  std::string text = ctx.messages.Format(msg::kUninstallConfirm, {state.title});
  if (state.resident) text += ctx.messages.Text(msg::kCloseResidentApps);
  if (ctx.ports.boxes.Show(0, text, state.title, MessageIcon::Information,
                           MessageButtons::OkCancel) != MessageAnswer::Ok) {
    return false;
  }
  const std::string relay = RelayPath(ctx);
  const std::string systemDirectory = ctx.ports.system.SystemDirectory();
  // A relay copy that could not be replaced may be an older program; it is not started.
  const bool copied = !systemDirectory.empty() && relay.size() <= kMaxPathChars &&
                      ctx.uninstall.disk.CopyFile(state.programPath, relay, true) == CopyOutcome::Copied;
  if (!copied || !ctx.uninstall.processes.StartAndWaitUntilIdle(
                     relay, RelayCommandLine(relay, state.programPath), systemDirectory)) {
    ctx.Error(0, ctx.messages.Text(msg::kRelayFailed));
    return false;
  }
  return true;
}

// ---- Relay stage ----

void EnterRelayMode(InstallerState& state) { state.installationFolder = state.sourceDirectory; }

std::string UninstallCaption(const UninstallContext& ctx) {
  return ctx.messages.Format(msg::kUninstallCaption, {ctx.state.title});
}

void RunUninstallWindow(const UninstallContext& ctx, UninstallView& view, WindowRef owner) {
  const InstallerState& state = ctx.state;
  view.BringToFront();
  const bool removed = RemoveInstallation(ctx, owner);
  view.SetStatusText(removed ? ctx.messages.Format(msg::kUninstalled, {state.title})
                             : ctx.messages.Format(msg::kFilesRemain, {state.installationFolder}));
  view.EnableFinish();
  view.BringToFront();
}

bool RemoveInstallation(const UninstallContext& ctx, WindowRef owner) {
  InstallerState& state = ctx.state;
  const CodePage& cp = ctx.TextCodePage();
  bool removed = true;

  RemoveRegistryEntries(ctx, owner);

  for (int n = state.fileEntryCount; n >= kInstallerEntry; --n) {
    if (n == kInformationFileEntry) RemoveMenuShortcuts(ctx);
    const FileEntry entry = ResolveFileEntry(state, n, ctx.ports.profile, ctx.ports.system);
    // Too long to have been installed; system-directory files may be shared with others.
    if (entry.status != EntryStatus::Resolved || !entry.outsideSystemDirectory) continue;
    if (!ctx.ports.files.FileExists(entry.destination)) continue;
    if (ctx.uninstall.disk.DeleteFile(entry.destination)) continue;
    ctx.Error(owner, ctx.messages.Format(msg::kRemoveFileFailed, {entry.destination}));
    removed = false;
    if (n == 1) {
      // The application itself is still running: stop before its listing and shortcuts go, so it
      // can be uninstalled again once it is closed.
      ctx.Error(owner, ctx.messages.Format(msg::kMainFileLocked, {entry.destination, state.title}));
      return false;
    }
  }

  // A folder that is a drive root or not absolute was never an installation folder.
  const std::string& folder = state.installationFolder;
  if (RootLength(cp, folder) == 0 || IsRootDirectory(cp, folder) ||
      !RemoveFolderTree(ctx, owner, folder)) {
    removed = false;
  }
  DeleteRegistryTree(ctx.uninstall.registryWriter, cp, RegistryRoot::LocalMachine,
                     UninstallEntryKey(state));
  RemoveDesktopAndStartupShortcuts(ctx);
  return removed;
}

// ---- Pieces ----

void DeleteRegistryTree(RegistryWriterPort& registry, const CodePage& cp, RegistryRoot root,
                        const std::string& subkey) {
  if (!registry.OpensForDeletion(root, subkey)) return;
  // Deleting a subkey moves the rest up, so the index stays; a name that comes back could not be
  // deleted, and the index moves past it.
  uint32_t index = 0;
  std::string last;
  while (const std::optional<std::string> name = registry.SubkeyAt(root, subkey, index)) {
    if (!last.empty() && EqualsIgnoreCase(cp, *name, last)) {
      ++index;
      continue;
    }
    last = *name;
    DeleteRegistryTree(registry, cp, root, subkey + "\\" + *name);
  }
  registry.DeleteKey(root, subkey);
}

bool RemoveFolderTree(const UninstallContext& ctx, WindowRef owner, const std::string& folder) {
  const InstallerState& state = ctx.state;
  const CodePage& cp = ctx.TextCodePage();
  DiskPort& disk = ctx.uninstall.disk;
  const std::string path = WithoutTrailingSeparator(cp, folder);
  bool removed = true;
  for (const FolderItem& item : disk.List(path)) {
    const std::string full = Join(cp, path, item.name);
    if (item.folder && !item.link) {
      if (!RemoveFolderTree(ctx, owner, full)) return false;
      continue;
    }
    // A link is one more item the installation did not list: it is asked about and removed
    // itself, so what it points to is never touched.
    if (!IsHelpIndex(cp, item.name)) {
      if (state.keepExtraFiles) {
        removed = false;
        continue;
      }
      const MessageAnswer answer =
          ctx.ports.boxes.Show(owner, ctx.messages.Format(msg::kRemoveExtraFile, {full}), state.title,
                               MessageIcon::Question, MessageButtons::YesNoCancel);
      if (answer == MessageAnswer::Cancel) return false;
      if (answer != MessageAnswer::Yes) {
        removed = false;
        continue;
      }
    }
    const bool deleted = item.folder ? disk.RemoveFolder(full) : disk.DeleteFile(full);
    if (!deleted) {
      ctx.Error(owner, ctx.messages.Format(msg::kRemoveFileFailed, {full}));
      removed = false;
    }
  }
  if (removed && ctx.ports.files.DirectoryExists(path) && !disk.RemoveFolder(path)) {
    ctx.Error(owner, ctx.messages.Format(msg::kRemoveFolderFailed, {path}));
    return false;
  }
  return removed;
}

void RemoveMenuShortcuts(const UninstallContext& ctx) {
  InstallerState& state = ctx.state;
  const CodePage& cp = ctx.TextCodePage();
  DiskPort& disk = ctx.uninstall.disk;
  // Without a menu folder the names below would land in a drive's root.
  if (state.menuFolder.empty()) return;
  const std::string menu = WithoutTrailingSeparator(cp, state.menuFolder);
  if (state.groupEntryCount == 0) {
    disk.DeleteFile(Join(cp, menu, state.title + ".lnk"));
    return;
  }
  for (int n = 1; n <= state.groupEntryCount; ++n) {
    const GroupEntry entry = ReadGroupEntry(state, ctx.ports.profile, n);
    if (!Trim(entry.name).empty()) disk.DeleteFile(Join(cp, menu, entry.name + ".lnk"));
  }
  // Climb while folders come out empty, but never through the Start Menu, Programs or Startup
  // folders themselves, nor above the Start Menu.
  const MenuBounds bounds = ReadMenuBounds(ctx);
  std::string level = menu;
  while (!IsKeptFolder(cp, bounds, level) && disk.RemoveFolder(level)) {
    const std::string parent = WithoutTrailingSeparator(cp, DirectoryPart(cp, level));
    const auto inside = bounds.startMenu ? RelativeTo(cp, *bounds.startMenu, parent) : std::nullopt;
    if (!inside || inside->empty()) return;
    level = parent;
  }
}

RestartDeletion DeleteAtNextRestart(const UninstallContext& ctx, const std::string& path) {
  RestartPort& restart = ctx.uninstall.restart;
  if (restart.DeleteAtRestart(path)) return RestartDeletion::BySystem;

  const std::string shortPath = restart.ShortPath(path);
  const std::string line = "NUL=" + shortPath;
  const std::string file = Join(ctx.TextCodePage(), ctx.ports.system.WindowsDirectory(), "wininit.ini");
  const std::string section = restart.ReadSection(file, kRenameSection, kWininitBufferBytes);
  if (section.size() + 2 >= kWininitBufferBytes - 1) return RestartDeletion::GaveUp;
  if (section.empty()) {
    return restart.WriteString(file, kRenameSection, "NUL", shortPath) ? RestartDeletion::ByWininit
                                                                        : RestartDeletion::GaveUp;
  }
  for (size_t start = 0; start < section.size();) {
    size_t end = section.find('\0', start);
    if (end == std::string::npos) end = section.size();
    if (EqualsIgnoreCase(ctx.TextCodePage(), std::string_view(section).substr(start, end - start), line)) {
      return RestartDeletion::AlreadyListed;
    }
    start = end + 1;
  }
  // Several NUL lines share one key name, so the section is written back whole; one that would
  // no longer fit the buffer is not written cut short.
  std::string lines = section;
  if (lines.back() != '\0') lines += '\0';
  lines += line;
  lines += '\0';
  if (lines.size() + 1 > kWininitBufferBytes) return RestartDeletion::GaveUp;
  return restart.WriteSection(file, kRenameSection, lines) ? RestartDeletion::ByWininit
                                                           : RestartDeletion::GaveUp;
}

}  // namespace appsetup
