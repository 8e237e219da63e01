#include "app_installer/destination_checks.h"

namespace appsetup {

namespace {

bool IsDriveOnly(std::string_view text) {
  return text.size() == 2 && text[1] == ':' &&
         ((text[0] >= 'A' && text[0] <= 'Z') || (text[0] >= 'a' && text[0] <= 'z'));
}

bool IsDriveRooted(std::string_view path) {
  return path.size() >= 3 && path[1] == ':' && IsSeparator(path[2]);
}

// One level: a folder that is there already passes, a file in its place does not.
bool MakeLevel(const InstallContext& ctx, WindowRef owner, const std::string& level) {
  if (IsRootDirectory(ctx.TextCodePage(), level) || ctx.ports.files.DirectoryExists(level)) return true;
  if (ctx.ports.files.FileExists(level)) {
    ctx.Error(owner, ctx.messages.Format(msg::kFolderIsFile, {level}));
    return false;
  }
  if (!ctx.install.disk.CreateFolder(level)) {
    ctx.Error(owner, ctx.messages.Format(msg::kFolderFailed, {level}));
    return false;
  }
  return true;
}

}  // namespace

uint32_t FreeMegabytes(std::optional<uint64_t> bytes) {
  if (!bytes) return 0;
  const uint64_t megabytes = *bytes >> 20;
  return megabytes > 0xFFFFFFFFull ? 0xFFFFFFFFu : static_cast<uint32_t>(megabytes);
}

bool CreateFolderLevels(const InstallContext& ctx, WindowRef owner, std::string_view path) {
  const CodePage& cp = ctx.TextCodePage();
  const size_t end = FileNameStart(cp, path);  // just after the last separator
  if (end == 0) return true;
  if (!IsDriveRooted(path)) {
    std::string level = WithoutTrailingSeparator(cp, path.substr(0, end));
    return MakeLevel(ctx, owner, level);
  }
  for (size_t i = 3; i < end; i = cp.Next(path, i)) {
    if (IsSeparator(path[i]) && !MakeLevel(ctx, owner, std::string(path.substr(0, i)))) return false;
  }
  return true;
}

DestinationOutcome AcceptDestination(const InstallContext& ctx, WindowRef owner,
                                     std::string_view editText) {
  const CodePage& cp = ctx.TextCodePage();
  InstallerState& state = ctx.state;
  std::string folder = ToBackslashes(cp, editText);
  // "X:" alone names no folder; it must still fail the root check below.
  if (!folder.empty() && !IsDriveOnly(folder)) folder = Join(cp, folder, "");
  if (folder.empty() || folder.size() > kMaxPathChars || RootLength(cp, folder) == 0) {
    ctx.Error(owner, ctx.messages.Text(msg::kNeedDriveAndPath));
    return DestinationOutcome::Refused;
  }
  state.installationFolder = folder;
  if (IsRootDirectory(cp, folder)) {
    ctx.Error(owner, ctx.messages.Text(msg::kRootDirectory));
    return DestinationOutcome::Refused;
  }

  const std::string withoutSeparator = WithoutTrailingSeparator(cp, folder);
  if (!ctx.ports.files.DirectoryExists(withoutSeparator)) {
    if (!CreateFolderLevels(ctx, owner, folder)) return DestinationOutcome::Refused;
    // Only a test that it can be made; the copying page makes it for real.
    ctx.install.disk.RemoveFolder(withoutSeparator);
  }

  const std::string full = ctx.ports.files.FullPath(folder);
  const size_t root = RootLength(cp, full);
  const uint32_t freeMb =
      root == 0 ? 0 : FreeMegabytes(ctx.install.disk.FreeBytes(full.substr(0, root)));
  if (freeMb < kLowSpaceMegabytes) {
    const MessageAnswer answer =
        ctx.ports.boxes.Show(owner, ctx.messages.Format(msg::kLowDiskSpace, {freeMb}), state.title,
                             MessageIcon::Question, MessageButtons::YesNo);
    if (answer != MessageAnswer::Yes) return DestinationOutcome::Refused;
  }
  return state.resident ? DestinationOutcome::CopyingPage : DestinationOutcome::OptionsPage;
}

}  // namespace appsetup
