// Composes a skin's main window the way the player paints it, from skin.ini
// and the picture alone, and saves it as a PNG: a check of a skin's
// coordinates that a person can look at.
//   qmb_skin_preview <skin folder> <png> [stage] [inverted]
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPolygon>
#include <QRegion>

#include "core/profile_file.h"

namespace {

QColor FromIni(int value) {
  return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

// Sample values: a tilted equalizer, a third of the way into a track, loud,
// centred, shuffle on and loop off.
constexpr float kBands[10] = {22, 20, 18, 16, 15, 14, 15, 17, 20, 24};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: qmb_skin_preview <skin folder> <png> [stage] [inverted]\n");
    return 2;
  }
  QGuiApplication app(argc, argv);
  const std::string folder = std::string(argv[1]) + "/";
  const qmb::ProfileFile ini = qmb::ProfileFile::Load(folder + "skin.ini");
  const QImage sheet(
      QString::fromStdString(folder + ini.GetString("MainForm", "Graphic", "main.bmp")));
  if (sheet.isNull()) {
    std::fprintf(stderr, "qmb_skin_preview: no picture in %s\n", folder.c_str());
    return 1;
  }
  auto get = [&ini](const std::string& section, const char* key) {
    return ini.GetInt(section, key, 0);
  };
  const int w = get("MainForm", "W"), h = get("MainForm", "H");
  QImage window = sheet.copy(get("MainForm", "A"), get("MainForm", "B"), w, h)
                      .convertToFormat(QImage::Format_RGB32);
  QPainter p(&window);
  auto cut = [&sheet](int a, int b, int cw, int ch) { return sheet.copy(a, b, cw, ch); };

  // Equalizer curve over the background.
  const int ex = get("Eq", "X"), ey = get("Eq", "Y"), ew = get("Eq", "W"), eh = get("Eq", "H");
  p.setPen(FromIni(get("Eq", "ForeColor")));
  const float stepX = ew / 9.0f, scaleY = eh / 30.0f;
  for (int b = 0; b < 9; ++b) {
    p.drawLine(ex + static_cast<int>(b * stepX), static_cast<int>(ey + eh - scaleY * kBands[b]),
               ex + static_cast<int>((b + 1) * stepX),
               static_cast<int>(ey + eh - scaleY * kBands[b + 1]));
  }
  for (int i = 0; i < 2; ++i) {
    const std::string s = "Light" + std::to_string(i);
    const bool on = i == 0;
    p.drawImage(get(s, "X"), get(s, "Y"),
                cut(get(s, on ? "A1" : "A0"), get(s, on ? "B1" : "B0"), get(s, "W"), get(s, "H")));
  }
  // Buttons: the play button hovered and the stop button held, to see the states.
  for (int i = 0; i < 15; ++i) {
    const std::string s = "Main" + std::to_string(i);
    const char* a = i == 4 ? "A1" : i == 6 ? "A2" : "A0";
    const char* b = i == 4 ? "B1" : i == 6 ? "B2" : "B0";
    p.drawImage(get(s, "X"), get(s, "Y"), cut(get(s, a), get(s, b), get(s, "W"), get(s, "H")));
  }
  for (int i = 0; i < 13; ++i) {
    const std::string s = "Slider" + std::to_string(i);
    const int x = get(s, "X"), y = get(s, "Y"), tw = get(s, "W"), th = get(s, "H");
    const int w1 = get(s, "W1"), h1 = get(s, "H1");
    const bool vertical = get(s, "Vertical") == 1;
    const float maximum = i < 10 ? 30 : i == 10 ? 200 : 255;
    const float value = i < 10 ? kBands[i] : i == 10 ? 66 : i == 11 ? 200 : 127;
    int thumbX = 0, thumbY = 0;
    if (vertical) {
      const float span = static_cast<float>(th - h1 + 1);
      thumbY = std::min(std::max(static_cast<int>(span - value / (maximum / span)), 0), th - h1);
    } else {
      const float span = static_cast<float>(tw - w1);
      thumbX = std::min(std::max(static_cast<int>(value / (maximum / span)), 0), tw - w1);
    }
    QImage track = cut(get(s, "A"), get(s, "B"), tw, th).convertToFormat(QImage::Format_RGB32);
    QPainter tp(&track);
    const QImage overlay = cut(get(s, "OA"), get(s, "OB"), get(s, "OW"), get(s, "OH"));
    if (vertical) {
      tp.drawImage(0, thumbY + h1, overlay);
    } else {
      tp.drawImage(thumbX - get(s, "OW"), 0, overlay);
    }
    tp.drawImage(thumbX, thumbY, cut(get(s, "A1"), get(s, "B1"), w1, h1));
    tp.end();
    p.drawImage(x, y, track);
  }
  for (const char* section : {"Text", "Time"}) {
    QFont font(QString::fromStdString(ini.GetString(section, "Font")));
    font.setPixelSize(get(section, "FontSize") * 96 / 72);
    font.setBold(get(section, "Bold") >= 700);
    p.setFont(font);
    p.setPen(FromIni(get(section, "ForeColor")));
    const QRect r(get(section, "X1"), get(section, "Y1"), get(section, "X2") - get(section, "X1"),
                  get(section, "Y2") - get(section, "Y1"));
    p.setClipRect(r);
    p.drawText(r, Qt::AlignLeft | Qt::AlignTop,
               std::string(section) == "Text" ? "Qumble Sample Pieces - Qumble Melody" : " 1:06");
    p.setClipping(false);
  }
  // A few spectrum bars cut from the fire picture.
  const int vx = get("Visual", "X1"), vy = get("Visual", "Y1");
  const int vw = get("Visual", "X2") - vx + 1, vh = get("Visual", "Y2") - vy + 1;
  const QImage fire = cut(get("Visual", "A"), get("Visual", "B"), vw, vh);
  for (int col = 0; col < vw; ++col) {
    const float v = 0.85f - 0.7f * col / vw + ((col * 7) % 5) * 0.04f;
    const int top = std::max(0, static_cast<int>(vh - vh * v));
    p.drawImage(vx + col, vy + top, fire, col, 0, 1, vh - top);
  }
  p.end();
  if (argc > 4) window.invertPixels();
  // Outside the stage's shape the desktop shows through: white here.
  std::ifstream region(folder + "region" + (argc > 3 ? argv[3] : "0") + ".txt");
  QPolygon shape;
  for (std::string line; std::getline(region, line);) {
    const auto comma = line.find(',');
    shape << QPoint(std::atoi(line.substr(0, comma).c_str()),
                    comma == std::string::npos ? 0 : std::atoi(line.substr(comma + 1).c_str()));
  }
  if (shape.size() >= 3) {
    QPainter mask(&window);
    mask.setClipRegion(QRegion(window.rect()).subtracted(QRegion(shape, Qt::OddEvenFill)));
    mask.fillRect(window.rect(), Qt::white);
  }
  window = window.scaled(w * 3, h * 3);
  return window.save(QString::fromUtf8(argv[2]), "PNG") ? 0 : 1;
}
