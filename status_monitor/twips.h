// Twips (1/1440 inch), the unit the window's layout is written in, and pixels at a given DPI.
#pragma once

namespace monitor {

inline constexpr int kTwipsPerInch = 1440;

namespace detail {
// Rounds numerator / denominator (denominator > 0) to the nearest whole number, halves away from zero.
constexpr int DivideRounded(long long numerator, long long denominator) {
  const long long half = denominator / 2;
  return static_cast<int>(numerator >= 0 ? (numerator + half) / denominator : -((-numerator + half) / denominator));
}
}  // namespace detail

// A DPI of 0 or less (no answer from the system) counts as the standard 96.
constexpr int TwipsToPixels(int twips, int dpi) {
  return detail::DivideRounded(static_cast<long long>(twips) * (dpi > 0 ? dpi : 96), kTwipsPerInch);
}

constexpr int PixelsToTwips(int pixels, int dpi) {
  return detail::DivideRounded(static_cast<long long>(pixels) * kTwipsPerInch, dpi > 0 ? dpi : 96);
}

}  // namespace monitor
