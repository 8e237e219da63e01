// Conversions between the ANSI code page and UTF-16 at Win32 boundaries.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace common::win {

inline std::wstring AnsiToWide(std::string_view text, UINT codePage = CP_ACP) {
  if (text.empty()) return {};
  const int length = ::MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(length), L'\0');
  ::MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
  return wide;
}

inline std::string WideToAnsi(std::wstring_view text, UINT codePage = CP_ACP) {
  if (text.empty()) return {};
  const int length = ::WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string narrow(static_cast<size_t>(length), '\0');
  ::WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), narrow.data(), length, nullptr, nullptr);
  return narrow;
}

}  // namespace common::win
