// The options page and the copying page of the installation wizard.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app_installer/install_ports.h"

namespace appsetup {

// The options page's folder list: every folder below the Start Menu folder except the Startup
// branch, relative to the Start Menu folder, sorted; the selection is the menu folder.
struct MenuFolderList {
  std::vector<std::string> folders;
  std::string selection;
};
MenuFolderList BuildMenuFolderList(const InstallContext& ctx);

// "Next" on the options page. False (after telling the user) when the chosen folder is unusable.
bool AcceptOptions(const InstallContext& ctx, WindowRef owner, bool startMenu, bool desktop,
                   std::string_view listText);

enum class ShortcutKind { Menu, Desktop, Startup };

// Makes the shortcuts of one kind.
void MakeShortcuts(const InstallContext& ctx, WindowRef owner, ShortcutKind kind);

// Writes DisplayName, MenuDir and UninstallString; failure is silent.
void RegisterUninstallEntry(const InstallContext& ctx);

// The copying page: one step per posted message. Step 0 prepares, 1 and 2 copy the installer and
// the information file, 3 to F+2 the file entries, F+3 makes shortcuts and the uninstall entry.
class CopyingSequence {
 public:
  CopyingSequence(const InstallContext& ctx, CopyingView& view, WindowRef owner)
      : ctx_(ctx), view_(view), owner_(owner) {}

  int LastStep() const { return ctx_.state.fileEntryCount + 3; }
  // Runs the next step; true while another step is to be posted.
  bool RunStep();

 private:
  void CopyNumberedEntry(int entry, bool force);
  void Finish();

  const InstallContext& ctx_;
  CopyingView& view_;
  WindowRef owner_;
  int step_ = 0;
};

}  // namespace appsetup
