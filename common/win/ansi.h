// Conversions between the ANSI code page and UTF-16 at Win32 boundaries.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "common/code_page.h"

namespace common::win {

inline std::wstring AnsiToWide(std::string_view text, UINT codePage = CP_ACP) {
  if (text.empty()) return {};
  const int length = ::MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(length), L'\0');
  ::MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
  return wide;
}

// The lead-byte ranges of the ANSI code page (none for a single-byte one).
inline CodePage AnsiCodePage() {
  CodePage cp;
  CPINFO info{};
  if (!::GetCPInfo(CP_ACP, &info)) return cp;
  for (int i = 0; i + 1 < MAX_LEADBYTES && info.LeadByte[i] != 0; i += 2) {
    cp.SetLeadByteRange(info.LeadByte[i], info.LeadByte[i + 1]);
  }
  return cp;
}

inline std::string WideToAnsi(std::wstring_view text, UINT codePage = CP_ACP) {
  if (text.empty()) return {};
  const int length = ::WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string narrow(static_cast<size_t>(length), '\0');
  ::WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), narrow.data(), length, nullptr, nullptr);
  return narrow;
}

}  // namespace common::win
