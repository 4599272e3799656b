// Painting the skin's own surfaces: the main window's face, the equalizer
// curve, the lights and the title and time displays. Everything is composed
// in an off-screen QImage and reaches the screen in one copy, inverted when
// the skin is shown inverted.
#pragma once

#include <QFont>
#include <QImage>
#include <array>
#include <cstdint>
#include <string>

#include "core/running_state.h"
#include "skin/skin_definition.h"

class QPainter;

namespace qmb {

constexpr int kEqBandSliders = 10;
constexpr int kStatusTextTimer = 2;

// A view of a skin picture without a copy; null for no picture.
QImage PictureImage(const QmbPicture* picture);
QColor SkinQColor(std::int32_t colour);
std::int32_t SkinColourOf(const QColor& colour);
// The desktop's tooltip colours: what a skin without TipsFC and TipsBC gets.
SkinTipColours DesktopTipColours();

// Copies `source` (the piece at `from`) to `target` at `to` with the raster
// operation: inverted for kInvertedSourceCopy, a plain copy otherwise.
void CopyWithRasterOp(QImage& target, QPoint to, const QImage& source, const QRect& from,
                      std::uint32_t rasterOp);

// Nine segments through the ten band values, 0 at the eq area's bottom edge
// and 30 at its top.
void DrawEqCurve(QPainter& painter, const SkinEqArea& eq,
                 const std::array<float, kEqBandSliders>& bands);

// The face of the main window: background, curve and lights; no displays.
QImage ComposeMainWindow(const SkinDefinition& skin,
                         const std::array<float, kEqBandSliders>& bands);

// Where the title scrolls: persists across titles and ticks.
struct TitleScroll {
  int direction = 0;  // 0 left, 1 right
  std::uint8_t pause = 0;
};

// One tick of the title's scroll: at most 3 pixels, with 8 ticks of pause at
// each end. text.x2 holds the title's last measured right edge.
void ScrollTitle(SkinTextDisplay& text, const SkinRect& area, TitleScroll& scroll);

// A skin's display font: -trunc(size × dpi / 72) pixels high (0 keeps the
// desktop's size), the weight as the skin gives it (0 the default, 700 bold).
// A face the system lacks becomes the desktop's own GUI font, so a skin made
// elsewhere still reads in a proportional font of its size rather than
// whatever the font matcher finds first.
QFont CreateSkinFont(const std::string& face, std::int32_t size, std::int32_t weight,
                     std::int32_t italic, std::int32_t underline, std::int32_t strikethru, int dpi);
// The font of a text display at `dpi`.
QFont SkinDisplayFont(const SkinTextDisplay& display, int dpi);

}  // namespace qmb
