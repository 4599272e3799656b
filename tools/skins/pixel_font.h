// A five-pixel-high bitmap font for the skins' small labels: crisp at sizes
// where a scalable font would blur, and the same on every build machine.
#pragma once

#include <string_view>

#include <QColor>
#include <QImage>

namespace qmb::skins {

inline constexpr int kPixelFontHeight = 5;

// Width in pixels of the text, one blank column between letters. Letters the
// font does not have count as a space.
int PixelTextWidth(std::string_view text);

// Draws the text with its top-left corner at (x, y); pixels outside the image
// are skipped.
void DrawPixelText(QImage& image, int x, int y, std::string_view text, QColor colour);

}  // namespace qmb::skins
