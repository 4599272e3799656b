// The arithmetic of the window factories: sizes, centring and font heights.
// The Qt layer applies the results.
#pragma once

namespace qmb {

struct Rect {
  int x = 0, y = 0, width = 0, height = 0;
  int Right() const { return x + width; }
  int Bottom() const { return y + height; }
};

// The two factory scale factors; start-up sets both to 1.
struct FactoryScale {
  double horizontal = 1.0;
  double vertical = 1.0;
};

// Where CenterWindow puts a window of `window`'s size. Without a reference
// (null), centred on the work area. With one, centred horizontally on the
// reference and vertically on the second reference (or the reference), then
// kept on the screen.
Rect CenteredRect(const Rect& window, const Rect* reference, const Rect* secondReference,
                  const Rect& workArea, int screenWidth, int screenHeight);

// A point size as a font height in pixels: -(points x dpi) / 72, truncated.
int PointFontHeight(int points, int verticalDpi);

// A button created with width 0 is sized to its text: 1.5 x its width and
// 1.32 x its height.
void SizeButtonToText(int textWidth, int textHeight, int& width, int& height);

}  // namespace qmb
