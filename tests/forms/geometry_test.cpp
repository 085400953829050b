#include "forms/geometry.h"

#include <gtest/gtest.h>

namespace navelo {
namespace {

TEST(Placement, CaptionOnAScreenStaysWhereItWasStored) {
  const std::vector<Rect> screens = {{0, 0, 1280, 1024}, {1280, 0, 1920, 1080}};
  Rect r = PlaceOnScreens({1500, 100, 80, 260}, 24, screens);
  EXPECT_EQ(r.x, 1500);
  EXPECT_EQ(r.y, 100);
  // Partly off the screen is fine while some of the caption bar is on it.
  r = PlaceOnScreens({-40, -10, 80, 260}, 24, screens);
  EXPECT_EQ(r.x, -40);
  EXPECT_EQ(r.y, -10);
}

TEST(Placement, CaptionOnNoScreenMovesOntoTheNearestOne) {
  const std::vector<Rect> screens = {{0, 0, 1280, 1024}, {1280, 0, 1920, 1080}};
  Rect r = PlaceOnScreens({5000, 300, 80, 260}, 24, screens);  // right of the second screen
  EXPECT_EQ(r.x, 1280 + 1920 - 80);
  EXPECT_EQ(r.y, 300);
  r = PlaceOnScreens({100, -500, 80, 260}, 24, screens);  // above the first
  EXPECT_EQ(r.x, 100);
  EXPECT_EQ(r.y, 0);
  r = PlaceOnScreens({500, 1050, 80, 260}, 24, screens);  // below the first, in the gap
  EXPECT_EQ(r.y, 1024 - 24);
  // No screen known: nothing to correct against.
  r = PlaceOnScreens({-9000, -9000, 80, 260}, 24, {});
  EXPECT_EQ(r.x, -9000);
}

TEST(Placement, TwipsConvertAtFifteenPerPixel) {
  EXPECT_EQ(TwipsToPixels(4410), 294);
  EXPECT_EQ(TwipsToPixels(3615), 241);
  EXPECT_EQ(TwipsToPixels(-150), -10);
  EXPECT_EQ(TwipsToPixels(22), 1);
  EXPECT_EQ(PixelsToTwips(294), 4410);
}

}  // namespace
}  // namespace navelo
