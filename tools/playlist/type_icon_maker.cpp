// Draws the ten 16 x 16 type icons of the playlist into an Icons folder:
//   qmb_type_icon_maker <Icons folder>
// type<N>.bmp is the picture of icon index N. Pure red is the transparent
// colour, so no drawn pixel is pure red.
#include <QColor>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <cstdio>
#include <functional>
#include <string>

namespace {

using Draw = std::function<void(QPainter&)>;

void Note(QPainter& p, QColor colour) {
  p.setPen(Qt::NoPen);
  p.setBrush(colour);
  p.drawEllipse(QRectF(2.5, 10, 5, 4));
  p.drawEllipse(QRectF(9.5, 8.5, 5, 4));
  p.setPen(QPen(colour, 1.5));
  p.drawLine(QPointF(7, 12), QPointF(7, 3));
  p.drawLine(QPointF(14, 10.5), QPointF(14, 1.5));
  p.setPen(QPen(colour, 2));
  p.drawLine(QPointF(7, 3), QPointF(14, 1.5));
}

void Page(QPainter& p, QColor fill) {
  p.setPen(QPen(QColor(90, 90, 90), 1));
  p.setBrush(fill);
  p.drawPolygon(QPolygonF({QPointF(2.5, 0.5), QPointF(10.5, 0.5), QPointF(13.5, 3.5),
                           QPointF(13.5, 15.5), QPointF(2.5, 15.5)}));
}

const Draw kIcons[10] = {
    // 0: a stream the engine decodes (mp3, mp2, asf).
    [](QPainter& p) { Note(p, QColor(30, 80, 200)); },
    // 1: an audio document.
    [](QPainter& p) {
      Page(p, QColor(235, 245, 235));
      p.setPen(QPen(QColor(40, 140, 60), 1.5));
      for (int i = 0; i < 4; ++i) p.drawLine(QPointF(4.5, 4.5 + 3 * i), QPointF(11.5, 4.5 + 3 * i));
    },
    // 2: wave and Ogg: a waveform.
    [](QPainter& p) {
      p.setPen(QPen(QColor(20, 140, 70), 1.5));
      QPainterPath wave;
      wave.moveTo(0.5, 8);
      const double heights[] = {3, -5, 6, -2, 4, -6, 2, -3};
      for (int i = 0; i < 8; ++i) wave.lineTo(1.5 + 1.8 * i, 8 - heights[i]);
      wave.lineTo(15.5, 8);
      p.drawPath(wave);
    },
    // 3: a CD track: a disc.
    [](QPainter& p) {
      p.setPen(QPen(QColor(100, 100, 120), 1));
      p.setBrush(QColor(200, 205, 220));
      p.drawEllipse(QRectF(0.5, 0.5, 15, 15));
      p.setBrush(QColor(150, 190, 235));
      p.drawEllipse(QRectF(4.5, 4.5, 7, 7));
      p.setBrush(Qt::white);
      p.drawEllipse(QRectF(6.5, 6.5, 3, 3));
    },
    // 4: a network stream: a globe.
    [](QPainter& p) {
      p.setPen(QPen(QColor(20, 90, 150), 1));
      p.setBrush(QColor(80, 160, 220));
      p.drawEllipse(QRectF(0.5, 0.5, 15, 15));
      p.setBrush(Qt::NoBrush);
      p.drawEllipse(QRectF(4.5, 0.5, 7, 15));
      p.drawLine(QPointF(0.5, 8), QPointF(15.5, 8));
      p.drawLine(QPointF(2, 4), QPointF(14, 4));
      p.drawLine(QPointF(2, 12), QPointF(14, 12));
    },
    // 5: a list of entries.
    [](QPainter& p) {
      p.setPen(Qt::NoPen);
      for (int i = 0; i < 4; ++i) {
        p.setBrush(QColor(60, 60, 60));
        p.drawRect(QRectF(1, 2 + 3.5 * i, 2, 2));
        p.setBrush(QColor(70, 110, 170));
        p.drawRect(QRectF(5, 2 + 3.5 * i, 10, 2));
      }
    },
    // 6: tracker modules and MIDI: piano keys.
    [](QPainter& p) {
      p.setPen(QPen(QColor(40, 40, 40), 1));
      p.setBrush(Qt::white);
      for (int i = 0; i < 4; ++i) p.drawRect(QRectF(0.5 + 3.75 * i, 1.5, 3.75, 13));
      p.setPen(Qt::NoPen);
      p.setBrush(QColor(20, 20, 20));
      for (int i = 0; i < 3; ++i) p.drawRect(QRectF(3 + 3.75 * i, 1.5, 2.5, 8));
    },
    // 7: a loudspeaker.
    [](QPainter& p) {
      p.setPen(Qt::NoPen);
      p.setBrush(QColor(70, 70, 90));
      p.drawPolygon(QPolygonF({QPointF(1, 5.5), QPointF(4.5, 5.5), QPointF(9, 1.5),
                               QPointF(9, 14.5), QPointF(4.5, 10.5), QPointF(1, 10.5)}));
      p.setPen(QPen(QColor(70, 70, 90), 1.2));
      p.setBrush(Qt::NoBrush);
      p.drawArc(QRectF(7, 4, 6, 8), -60 * 16, 120 * 16);
      p.drawArc(QRectF(6, 1.5, 9, 13), -60 * 16, 120 * 16);
    },
    // 8: Windows Media: a note on a tile.
    [](QPainter& p) {
      p.setPen(Qt::NoPen);
      p.setBrush(QColor(235, 140, 30));
      p.drawRoundedRect(QRectF(0.5, 0.5, 15, 15), 3, 3);
      Note(p, Qt::white);
    },
    // 9: a type the player does not know.
    [](QPainter& p) {
      Page(p, QColor(225, 225, 225));
      QFont font = p.font();
      font.setPixelSize(11);
      font.setBold(true);
      p.setFont(font);
      p.setPen(QColor(90, 90, 90));
      p.drawText(QRectF(2, 2, 12, 13), Qt::AlignCenter, QStringLiteral("?"));
    },
};

// Smooth drawing on a clear square, then every pixel either the colour
// drawn or pure red: the list's mask has no half-covered pixels.
QImage Picture(const Draw& draw) {
  QImage canvas(16, 16, QImage::Format_ARGB32);
  canvas.fill(Qt::transparent);
  {
    QPainter painter(&canvas);
    painter.setRenderHint(QPainter::Antialiasing);
    draw(painter);
  }
  QImage picture(16, 16, QImage::Format_RGB32);
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 16; ++x) {
      QColor c = canvas.pixelColor(x, y);
      if (c.alpha() < 128) {
        picture.setPixelColor(x, y, QColor(255, 0, 0));
        continue;
      }
      c.setAlpha(255);
      if (c == QColor(255, 0, 0)) c = QColor(254, 0, 0);
      picture.setPixelColor(x, y, c);
    }
  }
  return picture;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: qmb_type_icon_maker <Icons folder>\n");
    return 2;
  }
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication application(argc, argv);
  QString folder = QString::fromLocal8Bit(argv[1]);
  QDir().mkpath(folder);
  for (int i = 0; i < 10; ++i) {
    QString path = folder + QStringLiteral("/type%1.bmp").arg(i);
    if (!Picture(kIcons[i]).save(path, "BMP")) {
      std::fprintf(stderr, "qmb_type_icon_maker: could not write %s\n", qPrintable(path));
      return 1;
    }
  }
  return 0;
}
