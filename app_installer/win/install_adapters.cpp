#include "app_installer/win/install_adapters.h"

#include <shlobj.h>
#include <shobjidl.h>

#include "app_installer/win/port_adapters.h"
#include "common/win/ansi.h"
#include "common/win/handles.h"

namespace appsetup::win {

using common::win::ComInit;
using common::win::ComPtr;
using common::win::UniqueFind;
using common::win::UniqueHkey;

bool WinDisk::CreateFolder(const std::string& path) {
  return CreateDirectoryA(path.c_str(), nullptr) != FALSE;
}

bool WinDisk::RemoveFolder(const std::string& path) { return RemoveDirectoryA(path.c_str()) != FALSE; }

DWORD CALLBACK WinDisk::Progress(LARGE_INTEGER, LARGE_INTEGER, LARGE_INTEGER, LARGE_INTEGER, DWORD,
                                 DWORD, HANDLE, HANDLE, LPVOID self) noexcept {
  try {
    auto* disk = static_cast<WinDisk*>(self);
    if (disk->pump_) disk->pump_();
  } catch (...) {
  }
  return PROGRESS_CONTINUE;
}

CopyOutcome WinDisk::CopyFile(const std::string& from, const std::string& to, bool overwrite) {
  const DWORD flags = overwrite ? 0 : COPY_FILE_FAIL_IF_EXISTS;
  const BOOL ok = pump_ ? CopyFileExA(from.c_str(), to.c_str(), &WinDisk::Progress, this, nullptr, flags)
                        : ::CopyFileA(from.c_str(), to.c_str(), !overwrite);
  if (ok) return CopyOutcome::Copied;
  switch (GetLastError()) {
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
      return CopyOutcome::DestinationExists;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_USER_MAPPED_FILE:
      return CopyOutcome::SharingViolation;
    default:
      return CopyOutcome::Failed;
  }
}

std::optional<uint64_t> WinDisk::LastWriteTime(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
  return (uint64_t{data.ftLastWriteTime.dwHighDateTime} << 32) | data.ftLastWriteTime.dwLowDateTime;
}

bool WinDisk::SetNormalAttributes(const std::string& path) {
  // Most copies are normal already; asking is far cheaper than setting.
  constexpr DWORD kSpecial = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                             FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_OFFLINE |
                             FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & kSpecial) == 0) return true;
  return SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL) != FALSE;
}

std::optional<uint64_t> WinDisk::FreeBytes(const std::string& root) {
  ULARGE_INTEGER available{};
  if (GetDiskFreeSpaceExA(root.c_str(), &available, nullptr, nullptr)) return available.QuadPart;
  DWORD sectors = 0, bytes = 0, freeClusters = 0, clusters = 0;
  if (!GetDiskFreeSpaceA(root.c_str(), &sectors, &bytes, &freeClusters, &clusters)) return std::nullopt;
  return uint64_t{sectors} * bytes * freeClusters;
}

std::vector<std::string> WinDisk::Subfolders(const std::string& folder) {
  std::vector<std::string> names;
  // Links are not followed: they could lead back up the tree.
  for (FolderItem& item : List(folder)) {
    if (item.folder && !item.link) names.push_back(std::move(item.name));
  }
  return names;
}

std::vector<FolderItem> WinDisk::List(const std::string& folder) {
  std::vector<FolderItem> items;
  std::string pattern = folder;
  if (!pattern.empty() && pattern.back() != '\\' && pattern.back() != '/') pattern += '\\';
  pattern += "*.*";
  WIN32_FIND_DATAA data{};
  UniqueFind find(FindFirstFileA(pattern.c_str(), &data));
  if (!find) return items;
  do {
    const std::string name = data.cFileName;
    if (name == "." || name == "..") continue;
    items.push_back({name, (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
                     (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0});
  } while (FindNextFileA(find.get(), &data));
  return items;
}

// The global calls: <windows.h> renames these members to their -A forms, which would hide them.
bool WinDisk::DeleteFile(const std::string& path) { return ::DeleteFileA(path.c_str()) != FALSE; }

namespace {

std::string AsciiLower(std::string text) {
  for (char& c : text) c = appsetup::AsciiLower(c);
  return text;
}

// The whole section as the system returns it: "key=value" lines, each ended by a zero.
std::string ReadSection(const std::string& file, const std::string& section) {
  for (DWORD size = 1u << 16; size <= (1u << 26); size *= 4) {
    std::string buffer(size, '\0');
    const DWORD length = GetPrivateProfileSectionA(section.c_str(), buffer.data(), size, file.c_str());
    if (length < size - 2) {
      buffer.resize(length);
      return buffer;
    }
  }
  return {};
}

}  // namespace

std::string WinCachedProfile::ReadString(const std::string& file, const std::string& section,
                                         const std::string& key) {
  const std::string id = AsciiLower(file) + "|" + AsciiLower(section);
  auto cached = sections_.find(id);
  if (cached == sections_.end()) {
    std::map<std::string, std::string> values;
    const std::string text = ReadSection(file, section);
    for (size_t start = 0; start < text.size();) {
      size_t end = text.find('\0', start);
      if (end == std::string::npos) end = text.size();
      const std::string_view line(text.data() + start, end - start);
      const size_t equals = line.find('=');
      if (equals != std::string_view::npos) {
        std::string value = Trim(line.substr(equals + 1));
        // As a single read does: one pair of matching quotes around the value goes.
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
            value.back() == value.front()) {
          value = value.substr(1, value.size() - 2);
        }
        values.emplace(AsciiLower(Trim(line.substr(0, equals))), std::move(value));  // first one counts
      }
      start = end + 1;
    }
    cached = sections_.emplace(id, std::move(values)).first;
  }
  auto value = cached->second.find(AsciiLower(key));
  return value == cached->second.end() ? std::string() : value->second;
}

bool WinRegistryWriter::WriteStrings(RegistryRoot root, const std::string& subkey,
                                     const std::vector<std::pair<std::string, std::string>>& values) {
  UniqueHkey key;
  if (RegCreateKeyExA(RootKey(root), subkey.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, key.put(),
                      nullptr) != ERROR_SUCCESS) {
    return false;
  }
  bool all = true;
  for (const auto& [name, value] : values) {
    // Stored with the terminator.
    all &= RegSetValueExA(key.get(), name.c_str(), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
  }
  return all;
}

bool WinRegistryWriter::OpensForDeletion(RegistryRoot root, const std::string& subkey) {
  UniqueHkey key;
  return RegOpenKeyExA(RootKey(root), subkey.c_str(), 0, KEY_ALL_ACCESS, key.put()) == ERROR_SUCCESS;
}

std::optional<std::string> WinRegistryWriter::SubkeyAt(RegistryRoot root, const std::string& subkey,
                                                       uint32_t index) {
  UniqueHkey key;
  if (RegOpenKeyExA(RootKey(root), subkey.c_str(), 0, KEY_ALL_ACCESS, key.put()) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  char name[256];
  DWORD length = sizeof name;
  if (RegEnumKeyExA(key.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  return std::string(name, length);
}

bool WinRegistryWriter::DeleteKey(RegistryRoot root, const std::string& subkey) {
  return RegDeleteKeyA(RootKey(root), subkey.c_str()) == ERROR_SUCCESS;
}

namespace {

void SaveLink(const ShortcutFile& file) {
  ComPtr<IShellLinkA> link;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                              link.putVoid()))) {
    return;
  }
  if (!file.arguments.empty()) link->SetArguments(file.arguments.c_str());
  for (const auto& [iconFile, index] : file.icons) link->SetIconLocation(iconFile.c_str(), index);
  link->SetPath(file.target.c_str());
  link->SetDescription(file.description.c_str());
  link->SetWorkingDirectory(file.workingDirectory.c_str());
  ComPtr<IPersistFile> persist;
  if (FAILED(link->QueryInterface(IID_IPersistFile, persist.putVoid()))) return;
  persist->Save(common::win::AnsiToWide(file.linkPath).c_str(), TRUE);
}

}  // namespace

void WinShellLinks::Create(const std::vector<ShortcutFile>& links) {
  ComInit com;
  for (const ShortcutFile& file : links) SaveLink(file);
}

}  // namespace appsetup::win
