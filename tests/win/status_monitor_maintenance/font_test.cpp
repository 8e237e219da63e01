// The monitor's labels are laid out in twips for Arial 9 pt: the face Wine draws for "Arial" must
// have Arial's widths, or labels run into each other ("Lot Number" into the lot number).
#include <gtest/gtest.h>

#include <windows.h>

#include "status_monitor/win/font_cache.h"

namespace monitor::win {
namespace {

// "Lot Number" in Arial's advance widths (units of 1/2048 em): L o t space N u m b e r.
constexpr int kLotNumberUnits = 1139 + 1139 + 569 + 569 + 1479 + 1139 + 1706 + 1139 + 1139 + 682;

TEST(MonitorFont, ArialNinePointHasArialsWidths) {
  HWND label = ::CreateWindowExW(0, L"STATIC", L"Lot Number", WS_POPUP, 0, 0, 200, 30, nullptr, nullptr,
                                 ::GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(label, nullptr);
  FontCache fonts;
  ::SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(fonts.Get(label, L"Arial", 9)), FALSE);

  HDC dc = ::GetDC(label);
  const auto font = reinterpret_cast<HFONT>(::SendMessageW(label, WM_GETFONT, 0, 0));
  const HGDIOBJ old = ::SelectObject(dc, font);
  SIZE extent{};
  ::GetTextExtentPoint32W(dc, L"Lot Number", 10, &extent);
  TEXTMETRICW metrics{};
  ::GetTextMetricsW(dc, &metrics);
  ::SelectObject(dc, old);
  ::ReleaseDC(label, dc);
  ::DestroyWindow(label);

  const int em = metrics.tmHeight - metrics.tmInternalLeading;
  const double expected = kLotNumberUnits * em / 2048.0;
  // Glyph advances are rounded to whole pixels one by one: allow half a pixel for each of the ten.
  EXPECT_NEAR(extent.cx, expected, 5.0) << "em " << em << " pixels; a face without Arial's metrics is drawn";
}

}  // namespace
}  // namespace monitor::win
