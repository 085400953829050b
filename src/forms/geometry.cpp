#include "forms/geometry.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace navelo {
namespace {

bool Overlaps(const Rect& a, const Rect& b) {
  return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height && b.y < a.y + a.height;
}

// Squared distance between two rectangles (0 when they overlap).
double Distance(const Rect& a, const Rect& b) {
  double dx = std::max({0.0, static_cast<double>(b.x) - (a.x + a.width),
                        static_cast<double>(a.x) - (b.x + b.width)});
  double dy = std::max({0.0, static_cast<double>(b.y) - (a.y + a.height),
                        static_cast<double>(a.y) - (b.y + b.height)});
  return dx * dx + dy * dy;
}

}  // namespace

Rect PlaceOnScreens(Rect window, int captionHeight, const std::vector<Rect>& screens) {
  if (screens.empty()) return window;
  Rect caption{window.x, window.y, std::max(window.width, 1), std::max(captionHeight, 1)};
  const Rect* nearest = nullptr;
  double best = std::numeric_limits<double>::infinity();
  for (const Rect& screen : screens) {
    if (Overlaps(caption, screen)) return window;
    double d = Distance(caption, screen);
    if (d < best) {
      best = d;
      nearest = &screen;
    }
  }
  // Keep the caption bar inside the nearest screen; a window wider than the screen keeps its
  // left edge on it.
  int maxX = nearest->x + std::max(0, nearest->width - window.width);
  int maxY = nearest->y + std::max(0, nearest->height - caption.height);
  window.x = std::clamp(window.x, nearest->x, maxX);
  window.y = std::clamp(window.y, nearest->y, maxY);
  return window;
}

int TwipsToPixels(int twips, int dpi) {
  return static_cast<int>(std::lround(static_cast<double>(twips) * dpi / 1440));
}

int PixelsToTwips(int pixels, int dpi) {
  return static_cast<int>(std::lround(static_cast<double>(pixels) * 1440 / dpi));
}

}  // namespace navelo
