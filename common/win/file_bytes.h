// A whole file read into memory.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "common/win/handles.h"

namespace common::win {

// The file's bytes; nullopt when it cannot be opened, is larger than `maxBytes` (a limit the caller
// sets so a wrong file is refused rather than loaded), or cannot be read or closed.
inline std::optional<std::string> ReadFileBytes(const std::wstring& path, LONGLONG maxBytes) {
  UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  LARGE_INTEGER size{};
  if (!file || !::GetFileSizeEx(file.get(), &size) || size.QuadPart > maxBytes) return std::nullopt;
  std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
  DWORD read = 0;
  if (!bytes.empty() && (!::ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) ||
                         read != bytes.size())) {
    return std::nullopt;
  }
  if (!::CloseHandle(file.release())) return std::nullopt;
  return bytes;
}

}  // namespace common::win
