// What the installation flow does to the outside world, beyond the reading ports of ports.h.
// Every text is in the ANSI code page. Win32 adapters: win/install_adapters.h.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app_installer/installer_state.h"
#include "app_installer/messages.h"
#include "app_installer/ports.h"

namespace appsetup {

enum class CopyOutcome { Copied, DestinationExists, SharingViolation, Failed };

// One entry of a folder listing.
struct FolderItem {
  std::string name;
  bool folder = false;
  bool link = false;  // a junction or symbolic link: removed itself, never followed
};

// File and folder changes made while installing and uninstalling.
class DiskPort {
 public:
  virtual ~DiskPort() = default;
  virtual bool CreateFolder(const std::string& path) = 0;  // one level
  virtual bool RemoveFolder(const std::string& path) = 0;  // one empty level
  virtual CopyOutcome CopyFile(const std::string& from, const std::string& to, bool overwrite) = 0;
  // Last-write time in the system's 100 ns ticks; nullopt when it cannot be read.
  virtual std::optional<uint64_t> LastWriteTime(const std::string& path) = 0;
  virtual bool SetNormalAttributes(const std::string& path) = 0;
  // Bytes available to the caller on the drive of `root`; nullopt when the query fails.
  virtual std::optional<uint64_t> FreeBytes(const std::string& root) = 0;
  // Names of the folders directly inside `folder`, without "." and ".." and without links.
  virtual std::vector<std::string> Subfolders(const std::string& folder) = 0;
  // Everything directly inside `folder` ("*.*"), without "." and "..".
  virtual std::vector<FolderItem> List(const std::string& folder) = 0;
  virtual bool DeleteFile(const std::string& path) = 0;
};

class RegistryWriterPort {
 public:
  virtual ~RegistryWriterPort() = default;
  // Creates or opens the key for writing and sets REG_SZ values; false when the key cannot be made.
  virtual bool WriteStrings(RegistryRoot root, const std::string& subkey,
                            const std::vector<std::pair<std::string, std::string>>& values) = 0;
  // Whether the key opens with full access.
  virtual bool OpensForDeletion(RegistryRoot root, const std::string& subkey) = 0;
  // The name of the key's subkey at `index` (at most 255 characters); nullopt when there is none.
  virtual std::optional<std::string> SubkeyAt(RegistryRoot root, const std::string& subkey,
                                              uint32_t index) = 0;
  // Deletes a key without subkeys from its parent.
  virtual bool DeleteKey(RegistryRoot root, const std::string& subkey) = 0;
};

// One shell link to save.
struct ShortcutFile {
  std::string linkPath;           // folder + name + ".lnk"
  std::string target;
  std::string arguments;          // empty: none set
  std::vector<std::pair<std::string, int>> icons;  // icon file and index, set in this order
  std::string description;
  std::string workingDirectory;
};

class ShellLinkPort {
 public:
  virtual ~ShellLinkPort() = default;
  // Saves each link in turn; one that cannot be made is skipped.
  virtual void Create(const std::vector<ShortcutFile>& links) = 0;
};

// The controls of the copying page.
class CopyingView {
 public:
  virtual ~CopyingView() = default;
  virtual void SetProgressRange(int maximum) = 0;  // 0..maximum
  virtual void AdvanceProgress() = 0;
  virtual void HideProgress() = 0;
  virtual void SetStatusText(const std::string& text) = 0;
  virtual void SetNoteText(const std::string& text) = 0;
  virtual void ShowNote() = 0;
  virtual void EnableOnlyFinish() = 0;
};

// Starting the relay copy of the installer.
class ProcessPort {
 public:
  virtual ~ProcessPort() = default;
  // Makes `directory` current, starts `program` with `commandLine` (handles inherited) and waits
  // without limit until it is idle waiting for input; false when it could not be started.
  virtual bool StartAndWaitUntilIdle(const std::string& program, const std::string& commandLine,
                                     const std::string& directory) = 0;
};

// Deleting a file at the next restart, and the profile file that older systems read for it.
class RestartPort {
 public:
  virtual ~RestartPort() = default;
  // Asks the system to delete the file at the next restart; false when it refuses.
  virtual bool DeleteAtRestart(const std::string& path) = 0;
  // The short (8.3) form of a path; the path itself when it has none.
  virtual std::string ShortPath(const std::string& path) = 0;
  // A whole profile section as the system returns it into a buffer of `capacity` bytes:
  // "key=value" lines, each ended by a zero (without the closing second zero).
  virtual std::string ReadSection(const std::string& file, const std::string& section,
                                  size_t capacity) = 0;
  // Replaces a whole section with `lines` (each ended by a zero).
  virtual bool WriteSection(const std::string& file, const std::string& section,
                            const std::string& lines) = 0;
  virtual bool WriteString(const std::string& file, const std::string& section,
                           const std::string& key, const std::string& value) = 0;
};

// The controls of the uninstall window.
class UninstallView {
 public:
  virtual ~UninstallView() = default;
  virtual void BringToFront() = 0;
  virtual void SetStatusText(const std::string& text) = 0;
  // Enables "Finish" and gives it the focus.
  virtual void EnableFinish() = 0;
};

struct InstallPorts {
  DiskPort& disk;
  RegistryWriterPort& registryWriter;
  ShellLinkPort& links;
};

// What every installation and uninstallation step works with.
struct FlowContext {
  InstallerState& state;
  Ports& ports;
  const Messages& messages;
  const CodePage& TextCodePage() const { return state.codePage; }
  // An error box with one message; `owner` 0 for none.
  void Error(WindowRef owner, const std::string& text) const {
    ports.boxes.Show(owner, text, "", MessageIcon::Error, MessageButtons::Ok);
  }
};

struct InstallContext : FlowContext {
  InstallPorts& install;
};

struct UninstallPorts {
  DiskPort& disk;
  RegistryWriterPort& registryWriter;
  ProcessPort& processes;
  RestartPort& restart;
};

struct UninstallContext : FlowContext {
  UninstallPorts& uninstall;
};

}  // namespace appsetup
