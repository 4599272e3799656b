#include "core/window_geometry.h"

namespace qmb {

Rect CenteredRect(const Rect& window, const Rect* reference, const Rect* secondReference,
                  const Rect& workArea, int screenWidth, int screenHeight) {
  Rect r = window;
  if (!reference) {
    r.x = workArea.x + (workArea.width - window.width) / 2;
    r.y = workArea.y + (workArea.height - window.height) / 2;
    return r;
  }
  const Rect& vertical = secondReference ? *secondReference : *reference;
  r.x = reference->x + (reference->width - window.width) / 2;
  r.y = vertical.y + (vertical.height - window.height) / 2;
  // Right and bottom first, so a window larger than the screen keeps its
  // top-left corner visible.
  if (r.Right() > screenWidth) r.x = screenWidth - r.width;
  if (r.Bottom() > screenHeight) r.y = screenHeight - r.height;
  if (r.x < 0) r.x = 0;
  if (r.y < 0) r.y = 0;
  return r;
}

int PointFontHeight(int points, int verticalDpi) {
  return -(points * verticalDpi) / 72;
}

void SizeButtonToText(int textWidth, int textHeight, int& width, int& height) {
  width = static_cast<int>(textWidth * 1.5);
  height = static_cast<int>(textHeight * 1.32);
}

}  // namespace qmb
