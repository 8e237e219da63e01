#include "status_monitor/twips.h"

#include <gtest/gtest.h>

namespace {

using monitor::PixelsToTwips;
using monitor::TwipsToPixels;

TEST(Twips, ConvertToTheNearestPixelAtStandardAndLargeDpi) {
  struct Case { int twips, dpi, pixels; };
  const Case cases[] = {
      {600, 96, 40}, {1140, 96, 76}, {600, 144, 60}, {1140, 144, 114},
      {7, 96, 0}, {8, 96, 1}, {-8, 96, -1},  // 0.47, 0.53 and -0.53 pixels
      {600, 0, 40},                          // no DPI known: the standard 96
      {2'000'000'000, 144, 200'000'000},     // no overflow on the way
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TwipsToPixels(c.twips, c.dpi), c.pixels) << c.twips << " twips at " << c.dpi << " DPI";
  }
  EXPECT_EQ(PixelsToTwips(96, 96), 1440);
  EXPECT_EQ(PixelsToTwips(1, 144), 10);
}

}  // namespace
