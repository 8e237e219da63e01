// A string-table entry of a module as text.
#pragma once

#include <windows.h>

#include <string>

namespace common::win {

// Empty when the module has no such entry.
inline std::wstring LoadResourceText(HINSTANCE module, UINT id) {
  const wchar_t* text = nullptr;
  // With a zero size the string table hands out a pointer to the resource text itself.
  const int chars = ::LoadStringW(module, id, reinterpret_cast<LPWSTR>(&text), 0);
  return chars > 0 && text ? std::wstring(text, static_cast<size_t>(chars)) : std::wstring();
}

}  // namespace common::win
