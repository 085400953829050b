#pragma once

#include <vector>

namespace navelo {

struct Rect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

// Where to put a window whose stored top-left corner is (x, y): unchanged when its caption bar
// (the top `captionHeight` pixels of `size`) touches a screen, otherwise moved onto the screen
// nearest to it, as little as possible.
Rect PlaceOnScreens(Rect window, int captionHeight, const std::vector<Rect>& screens);

// Twips (1/1440 inch) and device-independent pixels: 15 twips to a pixel.
inline constexpr int kTwipsPerPixel = 15;
// At another number of pixels to the inch, as positions on a Windows screen are.
int TwipsToPixels(int twips, int dpi = 96);
int PixelsToTwips(int pixels, int dpi = 96);

}  // namespace navelo
