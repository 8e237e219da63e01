#include "app_installer/copy_rules.h"

#include "app_installer/destination_checks.h"

namespace appsetup {

namespace {

EntryResult ReportFailure(const InstallContext& ctx, WindowRef owner, CopyOutcome outcome,
                          const std::string& source, const std::string& destination) {
  if (outcome == CopyOutcome::SharingViolation) {
    ctx.Error(owner, ctx.messages.Format(msg::kFileInUse, {destination}));
  } else {
    ctx.Error(owner, ctx.messages.Format(msg::kCopyFailed, {source}));
  }
  return EntryResult::Skipped;
}

bool DestinationIsNewer(DiskPort& disk, const std::string& source, const std::string& destination) {
  const auto sourceTime = disk.LastWriteTime(source);
  const auto destinationTime = disk.LastWriteTime(destination);
  // Without both times there is nothing to prefer the destination for.
  return sourceTime && destinationTime && *destinationTime > *sourceTime;
}

}  // namespace

EntryResult CopyEntry(const InstallContext& ctx, WindowRef owner, const std::string& source,
                      const std::string& destination, bool force) {
  DiskPort& disk = ctx.install.disk;
  const std::string folder = DirectoryPart(ctx.TextCodePage(), destination);
  if (!folder.empty() && !ctx.ports.files.DirectoryExists(WithoutTrailingSeparator(ctx.TextCodePage(), folder)) &&
      !CreateFolderLevels(ctx, owner, folder)) {
    return EntryResult::Skipped;
  }

  // Run from the installation folder itself, the installer is already in place.
  const std::string fullSource = ctx.ports.files.FullPath(source);
  if (!fullSource.empty() && EqualsIgnoreCase(ctx.TextCodePage(), fullSource, destination)) {
    return EntryResult::Copied;
  }

  CopyOutcome outcome = disk.CopyFile(source, destination, false);
  if (outcome == CopyOutcome::DestinationExists) {
    if (!force && DestinationIsNewer(disk, source, destination)) return EntryResult::KeptNewer;
    // A failed overwrite is reported like any other failed copy, never passed off as done.
    outcome = disk.CopyFile(source, destination, true);
  }
  if (outcome != CopyOutcome::Copied) return ReportFailure(ctx, owner, outcome, source, destination);
  disk.SetNormalAttributes(destination);
  return EntryResult::Copied;
}

}  // namespace appsetup
