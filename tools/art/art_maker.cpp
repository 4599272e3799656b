// Paints the player's own icon, its five tray icons and the splash pictures
// into a program folder, as the build asks:
//   qmb_art_maker <program folder>
// Icons/qumble-player.png and Icons/hicolor/<n>x<n>/apps/qumble-player.png
// are the icon, Icons/tray-200.png .. tray-204.png the tray icons, and
// Splash/ gets three pictures of different sizes.
#include <QColor>
#include <QDir>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <array>
#include <cmath>
#include <cstdio>
#include <string>

#include "tools/skins/pixel_font.h"

namespace {

struct Palette {
  QColor back;
  QColor edge;
  QColor ring;
  QColor bars;
};

// A round "Q" of sound: a ring with a tail over three level bars.
void PaintMark(QPainter& p, QRectF box, const Palette& colours) {
  const double s = box.width();
  QRectF ring = box.adjusted(s * 0.16, s * 0.16, -s * 0.16, -s * 0.16);
  p.setPen(QPen(colours.ring, s * 0.1, Qt::SolidLine, Qt::RoundCap));
  p.setBrush(Qt::NoBrush);
  p.drawEllipse(ring);
  p.drawLine(QPointF(box.left() + s * 0.62, box.top() + s * 0.62),
             QPointF(box.left() + s * 0.86, box.top() + s * 0.86));
  p.setPen(Qt::NoPen);
  p.setBrush(colours.bars);
  const std::array<double, 3> heights = {0.22, 0.34, 0.16};
  for (int i = 0; i < 3; ++i) {
    double w = s * 0.08;
    double x = box.left() + s * (0.36 + 0.1 * i);
    double h = s * heights[static_cast<std::size_t>(i)];
    p.drawRoundedRect(QRectF(x, box.top() + s * 0.62 - h, w, h), w * 0.3, w * 0.3);
  }
}

QImage Icon(int size, const Palette& colours) {
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  QRectF box(0, 0, size, size);
  QLinearGradient fill(box.topLeft(), box.bottomRight());
  fill.setColorAt(0, colours.back.lighter(130));
  fill.setColorAt(1, colours.back);
  p.setPen(QPen(colours.edge, std::max(1.0, size / 32.0)));
  p.setBrush(fill);
  double inset = std::max(0.5, size / 32.0);
  p.drawRoundedRect(box.adjusted(inset, inset, -inset, -inset), size * 0.22, size * 0.22);
  PaintMark(p, box, colours);
  return image;
}

// Text in the pixel font, each font pixel `scale` screen pixels.
void BigText(QImage& image, int x, int y, const char* text, int scale, QColor colour) {
  int w = qmb::skins::PixelTextWidth(text);
  QImage small(w, qmb::skins::kPixelFontHeight, QImage::Format_ARGB32_Premultiplied);
  small.fill(Qt::transparent);
  qmb::skins::DrawPixelText(small, 0, 0, text, colour);
  QPainter p(&image);
  p.drawImage(QRect(x, y, w * scale, qmb::skins::kPixelFontHeight * scale), small);
}

QImage Splash(int width, int height, const Palette& colours, int seed) {
  QImage image(width, height, QImage::Format_RGB32);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient sky(0, 0, 0, height);
  sky.setColorAt(0, colours.back.lighter(150));
  sky.setColorAt(1, colours.back.darker(160));
  p.fillRect(image.rect(), sky);
  // A spectrum across the bottom, different for each picture.
  p.setPen(Qt::NoPen);
  int bars = 24;
  double barWidth = width / static_cast<double>(bars);
  for (int i = 0; i < bars; ++i) {
    double level = 0.25 + 0.2 * std::sin(i * 0.7 + seed) + 0.15 * std::cos(i * 1.9 + seed * 2);
    double h = height * 0.45 * level;
    QColor bar = colours.bars;
    bar.setAlpha(150);
    p.setBrush(bar);
    p.drawRect(QRectF(i * barWidth + 2, height - h, barWidth - 4, h));
  }
  double mark = height * 0.5;
  PaintMark(p, QRectF(width * 0.06, height * 0.12, mark, mark), colours);
  p.end();
  int scale = std::max(2, width / 90);
  int x = static_cast<int>(width * 0.1 + mark);
  BigText(image, x, static_cast<int>(height * 0.24), "QUMBLE", scale, colours.ring);
  BigText(image, x, static_cast<int>(height * 0.24) + scale * 7, "PLAYER", scale, colours.ring);
  BigText(image, x, static_cast<int>(height * 0.24) + scale * 15, "4.99", scale / 2 + 1,
          colours.bars);
  return image;
}

bool Save(const QImage& image, const QString& path, const char* format) {
  QDir().mkpath(QFileInfo(path).path());
  if (image.save(path, format)) return true;
  std::fprintf(stderr, "qmb_art_maker: could not write %s\n", path.toLocal8Bit().constData());
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: qmb_art_maker <program folder>\n");
    return 2;
  }
  const QString folder = QString::fromLocal8Bit(argv[1]) + "/";
  const Palette main{QColor(24, 52, 110), QColor(10, 20, 48), QColor(240, 244, 255),
                     QColor(255, 170, 40)};
  bool ok = Save(Icon(256, main), folder + "Icons/qumble-player.png", "PNG");
  for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
    QString name = QString("Icons/hicolor/%1x%1/apps/qumble-player.png").arg(size);
    ok = Save(Icon(size, main), folder + name, "PNG") && ok;
  }
  // The tray icon trackbar's five choices.
  const std::array<Palette, 5> trays = {
      main,
      Palette{QColor(20, 100, 60), QColor(8, 40, 24), QColor(235, 255, 240), QColor(250, 230, 80)},
      Palette{QColor(170, 70, 20), QColor(70, 28, 6), QColor(255, 245, 230), QColor(255, 230, 120)},
      Palette{QColor(90, 40, 130), QColor(36, 14, 54), QColor(250, 240, 255),
              QColor(120, 220, 255)},
      Palette{QColor(60, 60, 60), QColor(20, 20, 20), QColor(250, 250, 250), QColor(190, 190, 190)},
  };
  for (int i = 0; i < 5; ++i) {
    QString name = QString("Icons/tray-%1.png").arg(200 + i);
    ok = Save(Icon(32, trays[static_cast<std::size_t>(i)]), folder + name, "PNG") && ok;
  }
  ok = Save(Splash(400, 240, main, 1), folder + "Splash/dusk.bmp", "BMP") && ok;
  ok = Save(Splash(360, 200, trays[1], 2), folder + "Splash/meadow.bmp", "BMP") && ok;
  ok = Save(Splash(320, 260, trays[3], 3), folder + "Splash/night.bmp", "BMP") && ok;
  return ok ? 0 : 1;
}
