#include "status_monitor/win/files.h"

#include <windows.h>

#include "common/win/handles.h"

namespace monitor::win {

namespace {

// An empty drive must answer "not ready", not put up the system's "insert a disk" box.
class NoCriticalErrorBoxes {
 public:
  NoCriticalErrorBoxes() : previous_(::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX)) {}
  ~NoCriticalErrorBoxes() { ::SetErrorMode(previous_); }
  NoCriticalErrorBoxes(const NoCriticalErrorBoxes&) = delete;
  NoCriticalErrorBoxes& operator=(const NoCriticalErrorBoxes&) = delete;

 private:
  UINT previous_;
};

}  // namespace

std::vector<std::wstring> WinFiles::DriveTexts() {
  NoCriticalErrorBoxes quiet;
  std::vector<std::wstring> drives;
  wchar_t roots[26 * 4 + 1] = L"";
  const DWORD length = ::GetLogicalDriveStringsW(static_cast<DWORD>(std::size(roots)), roots);
  if (length == 0 || length >= std::size(roots)) return drives;
  for (const wchar_t* root = roots; *root; root += wcslen(root) + 1) {
    std::wstring text{static_cast<wchar_t>(::towlower(root[0])), L':'};
    // Only fixed drives are asked for a label: asking a removable one can wait for the device.
    if (::GetDriveTypeW(root) == DRIVE_FIXED) {
      wchar_t label[MAX_PATH + 1] = L"";
      if (::GetVolumeInformationW(root, label, MAX_PATH + 1, nullptr, nullptr, nullptr, nullptr, 0) && *label) {
        text += L" [";
        text += label;
        text += L"]";
      }
    }
    drives.push_back(std::move(text));
  }
  return drives;
}

FolderResult WinFiles::ListFolder(const std::wstring& folder, std::vector<std::wstring>& folders,
                                  std::vector<std::wstring>& files) {
  NoCriticalErrorBoxes quiet;
  std::wstring pattern = folder;
  if (!pattern.empty() && pattern.back() != L'\\') pattern += L'\\';
  pattern += L'*';
  WIN32_FIND_DATAW found;
  common::win::UniqueFind find(::FindFirstFileW(pattern.c_str(), &found));
  if (!find) {
    switch (::GetLastError()) {
      case ERROR_FILE_NOT_FOUND: return FolderResult::Ok;  // an empty root
      case ERROR_NOT_READY: return FolderResult::NotReady;
      case ERROR_PATH_NOT_FOUND: return FolderResult::NotFound;
      default: return FolderResult::Failed;
    }
  }
  do {
    const std::wstring name = found.cFileName;
    if (name == L"." || name == L"..") continue;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN) continue;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      folders.push_back(name);
    } else {
      files.push_back(name);
    }
  } while (::FindNextFileW(find.get(), &found));
  return FolderResult::Ok;
}

OpenResult WinFiles::OpenForReading(const std::wstring& path) {
  NoCriticalErrorBoxes quiet;
  common::win::UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file) return OpenResult::Ok;
  const DWORD error = ::GetLastError();
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? OpenResult::NotFound : OpenResult::Failed;
}

}  // namespace monitor::win
