// Composing the skin's surfaces off screen: the face, the curve, the lights,
// the title's scroll and the display fonts.
#include "ui/skin/skin_paint.h"

#include <QFontDatabase>
#include <QPainter>
#include <QToolTip>
#include <algorithm>
#include <cstdlib>

namespace qmb {

QImage PictureImage(const QmbPicture* picture) {
  if (!picture || !picture->pixels || picture->width <= 0 || picture->height <= 0) return {};
  return QImage(reinterpret_cast<const uchar*>(picture->pixels), picture->width, picture->height,
                picture->stride, QImage::Format_ARGB32);
}

QColor SkinQColor(std::int32_t colour) {
  return QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

std::int32_t SkinColourOf(const QColor& colour) {
  return SkinColour(colour.red(), colour.green(), colour.blue());
}

SkinTipColours DesktopTipColours() {
  const QPalette palette = QToolTip::palette();
  return {SkinColourOf(palette.color(QPalette::ToolTipText)),
          SkinColourOf(palette.color(QPalette::ToolTipBase))};
}

void CopyWithRasterOp(QImage& target, QPoint to, const QImage& source, const QRect& from,
                      std::uint32_t rasterOp) {
  QRect piece = from.intersected(source.rect());
  if (piece.isEmpty() || target.isNull()) return;
  QImage copy = source.copy(piece).convertToFormat(QImage::Format_RGB32);
  if (rasterOp == kInvertedSourceCopy) copy.invertPixels(QImage::InvertRgb);
  QPainter painter(&target);
  painter.setCompositionMode(QPainter::CompositionMode_Source);
  painter.drawImage(to + (piece.topLeft() - from.topLeft()), copy);
}

void DrawEqCurve(QPainter& painter, const SkinEqArea& eq,
                 const std::array<float, kEqBandSliders>& bands) {
  const float stepX = static_cast<float>(eq.w) / 9.0f;
  const float scaleY = static_cast<float>(eq.h) / 30.0f;
  const float bottom = static_cast<float>(eq.y + eq.h);
  painter.setPen(QPen(SkinQColor(eq.foreColour), 1));
  painter.setRenderHint(QPainter::Antialiasing, false);
  for (int b = 0; b < 9; ++b) {
    painter.drawLine(eq.x + static_cast<int>(static_cast<float>(b) * stepX),
                     static_cast<int>(bottom - scaleY * bands[b]),
                     eq.x + static_cast<int>(static_cast<float>(b + 1) * stepX),
                     static_cast<int>(bottom - scaleY * bands[b + 1]));
  }
}

QImage ComposeMainWindow(const SkinDefinition& skin,
                         const std::array<float, kEqBandSliders>& bands) {
  if (skin.mainW <= 0 || skin.mainH <= 0) return {};
  QImage face(skin.mainW, skin.mainH, QImage::Format_RGB32);
  face.fill(Qt::black);
  QPainter painter(&face);
  painter.setCompositionMode(QPainter::CompositionMode_Source);
  QImage background = PictureImage(skin.background.get());
  if (!background.isNull()) painter.drawImage(0, 0, background);
  painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
  DrawEqCurve(painter, skin.eq, bands);
  painter.setCompositionMode(QPainter::CompositionMode_Source);
  for (const SkinLight& light : skin.lights) {
    QImage picture = PictureImage(light.on ? light.onPicture.get() : light.offPicture.get());
    if (!picture.isNull()) painter.drawImage(light.x, light.y, picture);
  }
  return face;
}

void ScrollTitle(SkinTextDisplay& text, const SkinRect& area, TitleScroll& scroll) {
  const int areaWidth = area.right - area.left;
  if (text.x2 - text.x1 <= areaWidth) {
    text.x1 = area.left;
    return;
  }
  const bool towardsEnd = scroll.direction == 1 ? text.x1 < area.left : text.x2 > area.right;
  if (towardsEnd) {
    const int step = scroll.direction == 1 ? 3 : -3;
    text.x1 += step;
    text.x2 += step;
    scroll.pause = 0;
    return;
  }
  if (++scroll.pause >= 8) scroll.direction = scroll.direction == 1 ? 0 : 1;
}

QFont CreateSkinFont(const std::string& face, std::int32_t size, std::int32_t weight,
                     std::int32_t italic, std::int32_t underline, std::int32_t strikethru,
                     int dpi) {
  QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
  const QString family = QString::fromStdString(face);
  if (!family.isEmpty() && QFontDatabase::hasFamily(family)) font.setFamily(family);
  // A positive height (a negative size) asks for the cell height; Qt knows
  // only one kind, so both read as pixels.
  const int height = std::abs(SkinFontHeight(size, dpi));
  if (height > 0) font.setPixelSize(height);
  font.setWeight(weight > 0 ? static_cast<QFont::Weight>(std::min(weight, 1000)) : QFont::Normal);
  font.setItalic(italic != 0);
  font.setUnderline(underline != 0);
  font.setStrikeOut(strikethru != 0);
  return font;
}

QFont SkinDisplayFont(const SkinTextDisplay& display, int dpi) {
  return CreateSkinFont(display.fontFace, display.fontSize, display.bold, display.italic,
                        display.underline, display.strikethru, dpi);
}

}  // namespace qmb
