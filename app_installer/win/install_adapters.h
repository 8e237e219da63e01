// The installation ports on the real ANSI Win32 API.
#pragma once

#include <windows.h>

#include <functional>
#include <map>

#include "app_installer/install_ports.h"

namespace appsetup::win {

class WinDisk final : public DiskPort {
 public:
  // `pump` runs while a long copy is under way, so the window stays responsive.
  explicit WinDisk(std::function<void()> pump = {}) : pump_(std::move(pump)) {}

  bool CreateFolder(const std::string& path) override;
  bool RemoveFolder(const std::string& path) override;
  CopyOutcome CopyFile(const std::string& from, const std::string& to, bool overwrite) override;
  std::optional<uint64_t> LastWriteTime(const std::string& path) override;
  bool SetNormalAttributes(const std::string& path) override;
  std::optional<uint64_t> FreeBytes(const std::string& root) override;
  std::vector<std::string> Subfolders(const std::string& folder) override;
  std::vector<FolderItem> List(const std::string& folder) override;
  bool DeleteFile(const std::string& path) override;

  void SetPump(std::function<void()> pump) { pump_ = std::move(pump); }

 private:
  static DWORD CALLBACK Progress(LARGE_INTEGER, LARGE_INTEGER, LARGE_INTEGER, LARGE_INTEGER, DWORD,
                                 DWORD, HANDLE, HANDLE, LPVOID self) noexcept;
  std::function<void()> pump_;
};

class WinRegistryWriter final : public RegistryWriterPort {
 public:
  bool WriteStrings(RegistryRoot root, const std::string& subkey,
                    const std::vector<std::pair<std::string, std::string>>& values) override;
  bool OpensForDeletion(RegistryRoot root, const std::string& subkey) override;
  std::optional<std::string> SubkeyAt(RegistryRoot root, const std::string& subkey,
                                      uint32_t index) override;
  bool DeleteKey(RegistryRoot root, const std::string& subkey) override;
};

// Shell links through IShellLinkA and IPersistFile, COM initialised for each batch.
class WinShellLinks final : public ShellLinkPort {
 public:
  void Create(const std::vector<ShortcutFile>& links) override;
};

// Reads each section of a profile file once and answers from memory: the system opens and checks
// the file again for every key, which a thousand file entries would feel.
class WinCachedProfile final : public ProfilePort {
 public:
  explicit WinCachedProfile(ProfilePort& direct) : direct_(direct) {}
  std::string ReadString(const std::string& file, const std::string& section,
                         const std::string& key) override;
  int ReadInt(const std::string& file, const std::string& section, const std::string& key,
              int fallback) override {
    return direct_.ReadInt(file, section, key, fallback);
  }

 private:
  ProfilePort& direct_;
  std::map<std::string, std::map<std::string, std::string>> sections_;  // "file|section" -> key -> value
};

}  // namespace appsetup::win
