// Fonts by face name and point size, made once per window DPI and kept while the window lives.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <utility>

#include "common/win/handles.h"

namespace monitor::win {

class FontCache {
 public:
  // The font for `window`'s DPI; the cache owns it.
  HFONT Get(HWND window, const std::wstring& name, int points);

 private:
  std::map<std::pair<std::wstring, int>, common::win::UniqueGdi<HFONT>> fonts_;
};

}  // namespace monitor::win
