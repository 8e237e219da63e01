#include "stand_ins/printer_library/win/host.h"

#include <algorithm>
#include <cstdio>

namespace printer_library::win {
namespace {

using common::win::UniqueFile;

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
constexpr LONGLONG kLargestStateFile = 16 * 1024 * 1024;  // anything bigger is not a state file
constexpr DWORD kJournalWaitMs = 5000;

bool WriteAll(HANDLE file, const std::string& content) {
  size_t done = 0;
  while (done < content.size()) {
    DWORD written = 0;
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(content.size() - done, 1 << 20));
    if (!::WriteFile(file, content.data() + done, chunk, &written, nullptr) || written == 0) return false;
    done += written;
  }
  return true;
}

std::optional<LONGLONG> SizeOf(HANDLE file) {
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(file, &size)) return std::nullopt;
  return size.QuadPart;
}

}  // namespace

Win32Host::Win32Host(std::wstring journalPath) : journalPath_(std::move(journalPath)) {
  if (!journalPath_.empty()) journalMutex_.reset(::CreateMutexW(nullptr, FALSE, L"QLC07RT.journal"));
}

std::optional<FileStamp> Win32Host::Stamp(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
  if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return std::nullopt;
  FileStamp stamp;
  stamp.writeTime = uint64_t{data.ftLastWriteTime.dwHighDateTime} << 32 | data.ftLastWriteTime.dwLowDateTime;
  stamp.size = uint64_t{data.nFileSizeHigh} << 32 | data.nFileSizeLow;
  return stamp;
}

std::optional<std::string> Win32Host::Read(const std::wstring& path) {
  UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING, 0, nullptr));
  if (!file) return std::nullopt;
  const auto size = SizeOf(file.get());
  if (!size || *size > kLargestStateFile) return std::nullopt;
  std::string content(static_cast<size_t>(*size), '\0');
  DWORD read = 0;
  if (!content.empty() && !::ReadFile(file.get(), content.data(), static_cast<DWORD>(content.size()), &read, nullptr)) {
    return std::nullopt;
  }
  content.resize(read);
  return content;
}

std::optional<uint64_t> Win32Host::ReadableSize(const std::wstring& path) {
  UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  if (!file) return std::nullopt;
  const auto size = SizeOf(file.get());
  if (!size) return std::nullopt;
  return static_cast<uint64_t>(*size);
}

bool Win32Host::Replace(const std::wstring& path, const std::string& content) {
  // Written beside and moved over, so a reader in another process sees the old or the new file.
  const std::wstring temp = path + L"." + std::to_wstring(::GetCurrentProcessId()) + L".tmp";
  {
    UniqueFile file(::CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file || !WriteAll(file.get(), content)) {
      file.reset();
      ::DeleteFileW(temp.c_str());
      return false;
    }
  }
  if (!::MoveFileExW(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    ::DeleteFileW(temp.c_str());
    return false;
  }
  return true;
}

bool Win32Host::Write(const std::wstring& path, const std::string& content) {
  UniqueFile file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  return file && WriteAll(file.get(), content);
}

void Win32Host::Journal(const std::string& line) {
  if (journalPath_.empty()) return;
  const DWORD wait = journalMutex_ ? ::WaitForSingleObject(journalMutex_.get(), kJournalWaitMs) : WAIT_FAILED;
  const bool owned = wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED;
  {
    UniqueFile file(::CreateFileW(journalPath_.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file) WriteAll(file.get(), line + "\r\n");
  }
  if (owned) ::ReleaseMutex(journalMutex_.get());
}

std::string Win32Host::Now() {
  SYSTEMTIME t{};
  ::GetLocalTime(&t);
  char text[32];
  std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute,
                t.wSecond);
  return text;
}

}  // namespace printer_library::win
