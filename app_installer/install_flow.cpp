#include "app_installer/install_flow.h"

#include <algorithm>
#include <functional>

#include "app_installer/copy_rules.h"
#include "app_installer/destination_checks.h"
#include "app_installer/entry_resolver.h"
#include "app_installer/information_file.h"

namespace appsetup {

namespace {

bool LessIgnoringCase(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                      [](char x, char y) { return AsciiLower(x) < AsciiLower(y); });
}

void CollectFolders(const InstallContext& ctx, const std::string& folder, const std::string& relative,
                    const std::string& startup, std::vector<std::string>& out) {
  const CodePage& cp = ctx.TextCodePage();
  for (const std::string& name : ctx.install.disk.Subfolders(folder)) {
    const std::string full = Join(cp, folder, name);
    // Deeper paths could never be chosen; a link loop stops here as well.
    if (full.size() > kMaxPathChars || EqualsIgnoreCase(cp, full, startup)) continue;
    const std::string rel = relative.empty() ? name : Join(cp, relative, name);
    out.push_back(rel);
    CollectFolders(ctx, full, rel, startup, out);
  }
}

ShortcutFile ToFile(const std::string& folder, const Shortcut& shortcut) {
  ShortcutFile file;
  file.linkPath = folder + shortcut.name + ".lnk";
  file.target = shortcut.target;
  file.arguments = shortcut.arguments;
  for (const IconLocation& icon : shortcut.icons) file.icons.emplace_back(icon.file, icon.index);
  file.description = shortcut.name;
  file.workingDirectory = shortcut.workingDirectory;
  return file;
}

// A shell folder of the user, or of all users with the all-users flag.
std::optional<std::string> ReadShellFolder(const InstallContext& ctx, const char* userName,
                                           const char* commonName) {
  return appsetup::ReadShellFolder(ctx.state, ctx.ports.registry, userName, commonName);
}

}  // namespace

MenuFolderList BuildMenuFolderList(const InstallContext& ctx) {
  MenuFolderList list;
  const auto startMenu = ReadShellFolder(ctx, "Start Menu", "Common Start Menu");
  const auto startup = ReadShellFolder(ctx, "Startup", "Common Startup");
  if (!startMenu || !startup) return list;
  const CodePage& cp = ctx.TextCodePage();
  CollectFolders(ctx, WithoutTrailingSeparator(cp, *startMenu), "",
                 WithoutTrailingSeparator(cp, *startup), list.folders);
  std::sort(list.folders.begin(), list.folders.end(), LessIgnoringCase);

  const std::string& menu = ctx.state.menuFolder;
  list.selection = RelativeTo(cp, *startMenu, menu).value_or(menu);
  const bool listed = std::any_of(list.folders.begin(), list.folders.end(), [&](const std::string& f) {
    return EqualsIgnoreCase(cp, f, list.selection);
  });
  if (!listed && !list.selection.empty()) list.folders.insert(list.folders.begin(), list.selection);
  return list;
}

bool AcceptOptions(const InstallContext& ctx, WindowRef owner, bool startMenu, bool desktop,
                   std::string_view listText) {
  const CodePage& cp = ctx.TextCodePage();
  ctx.state.startMenuChoice = startMenu;
  ctx.state.desktopChoice = desktop;
  const auto start = ReadShellFolder(ctx, "Start Menu", "Common Start Menu");
  if (!start) return true;  // no list was offered; the menu folder stays as loaded
  const std::string text = Trim(listText);
  // A folder outside the Start Menu is listed with its full path; keep it as written.
  std::string menu = RootLength(cp, text) > 0 ? text : Join(cp, *start, text);
  menu = WithoutTrailingSeparator(cp, menu);
  // Leave room for "\name.lnk" of the shortcuts made there.
  if (menu.size() >= kMaxPathChars) {
    ctx.Error(owner, ctx.messages.Text(msg::kNeedDriveAndPath));
    return false;
  }
  ctx.state.menuFolder = menu;
  return true;
}

void MakeShortcuts(const InstallContext& ctx, WindowRef owner, ShortcutKind kind) {
  InstallerState& state = ctx.state;
  const CodePage& cp = ctx.TextCodePage();
  std::string folder;
  if (kind == ShortcutKind::Menu) {
    folder = state.menuFolder;
  } else {
    const bool desktop = kind == ShortcutKind::Desktop;
    auto value = desktop ? ReadShellFolder(ctx, "Desktop", "Common Desktop")
                         : ReadShellFolder(ctx, "Startup", "Common Startup");
    if (!value) return;
    folder = *value;
  }
  if (folder.empty()) return;
  folder = Join(cp, folder, "");

  std::vector<ShortcutFile> links;
  if (kind == ShortcutKind::Menu && state.groupEntryCount > 0) {
    if (!CreateFolderLevels(ctx, owner, folder)) return;
    for (int n = 1; n <= state.groupEntryCount; ++n) {
      const Shortcut shortcut = ResolveShortcut(state, n, ctx.ports);
      if (shortcut.status == EntryStatus::Resolved) links.push_back(ToFile(folder, shortcut));
    }
  } else {
    // One shortcut named with the title, starting the first listed file.
    const FileEntry first = ResolveFileEntry(state, 1, ctx.ports.profile, ctx.ports.system);
    if (first.status != EntryStatus::Resolved) return;
    Shortcut shortcut;
    shortcut.name = state.title;
    shortcut.target = first.destination;
    shortcut.workingDirectory = state.installationFolder;
    links.push_back(ToFile(folder, shortcut));
  }
  // A link path that would not fit its buffer is not made under a shortened name.
  std::erase_if(links, [](const ShortcutFile& f) { return f.linkPath.size() > kMaxPathChars; });
  if (!links.empty()) ctx.install.links.Create(links);
}

void RegisterUninstallEntry(const InstallContext& ctx) {
  const InstallerState& state = ctx.state;
  ctx.install.registryWriter.WriteStrings(RegistryRoot::LocalMachine, UninstallEntryKey(state),
                                          {{"DisplayName", state.title},
                                           {"MenuDir", state.menuFolder},
                                           {"UninstallString", UninstallCommand(state)}});
}

void CopyingSequence::CopyNumberedEntry(int entry, bool force) {
  InstallerState& state = ctx_.state;
  const FileEntry resolved = ResolveFileEntry(state, entry, ctx_.ports.profile, ctx_.ports.system);
  if (resolved.status == EntryStatus::TooLong) {
    ctx_.Error(owner_, ctx_.messages.Format(msg::kCopyFailed, {resolved.source}));
    return;
  }
  if (resolved.status != EntryStatus::Resolved) return;
  CopyEntry(ctx_, owner_, resolved.source, resolved.destination, force);
}

bool CopyingSequence::RunStep() {
  InstallerState& state = ctx_.state;
  const int last = LastStep();
  if (step_ > last) return false;
  if (step_ == 0) {
    view_.SetProgressRange(last);
    CreateFolderLevels(ctx_, owner_, state.installationFolder);
  } else if (step_ == 1) {
    CopyNumberedEntry(kInstallerEntry, true);  // the installer is always replaced
  } else if (step_ == 2) {
    CopyNumberedEntry(kInformationFileEntry, false);
  } else if (step_ < last) {
    CopyNumberedEntry(step_ - 2, false);
  } else {
    if (state.resident) {
      MakeShortcuts(ctx_, owner_, ShortcutKind::Startup);
    } else {
      if (state.startMenuChoice) MakeShortcuts(ctx_, owner_, ShortcutKind::Menu);
      if (state.desktopChoice) MakeShortcuts(ctx_, owner_, ShortcutKind::Desktop);
    }
    RegisterUninstallEntry(ctx_);
  }
  view_.AdvanceProgress();
  ++step_;
  if (step_ <= last) return true;
  Finish();
  return false;
}

void CopyingSequence::Finish() {
  InstallerState& state = ctx_.state;
  view_.HideProgress();
  view_.SetStatusText(ctx_.messages.Text(msg::kInstallSucceeded));
  if (!state.uninstallShortcutName.empty()) {
    view_.SetNoteText(ctx_.messages.Format(msg::kUseUninstallShortcut, {state.uninstallShortcutName}));
  }
  view_.ShowNote();
  state.completed = true;
  view_.EnableOnlyFinish();
}

}  // namespace appsetup
