#include "status_monitor/win/font_cache.h"

#include "status_monitor/win/dpi.h"

namespace monitor::win {

HFONT FontCache::Get(HWND window, const std::wstring& name, int points) {
  const auto key = std::make_pair(name, points);
  auto it = fonts_.find(key);
  if (it == fonts_.end()) {
    LOGFONTW font{};
    font.lfHeight = -::MulDiv(points, WindowDpiY(window), 72);
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfQuality = CLEARTYPE_QUALITY;
    name.copy(font.lfFaceName, LF_FACESIZE - 1);
    it = fonts_.emplace(key, common::win::UniqueGdi<HFONT>(::CreateFontIndirectW(&font))).first;
  }
  return it->second.get();
}

}  // namespace monitor::win
