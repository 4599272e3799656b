// Everything is drawn pixel by pixel without antialiasing, so the skin stays
// crisp at its native size. Pieces that sit on the face (buttons, tracks,
// lights) are painted over a copy of the bare face at their place, so they
// blend in wherever their corners leave the face visible.
#include "tools/skins/skin_art.h"

#include <algorithm>
#include <utility>
#include <vector>

#include <QPainter>

#include "tools/skins/pixel_font.h"

namespace qmb::skins {

namespace {

QColor Q(Colour c) {
  return QColor(c.r, c.g, c.b);
}

QColor Mix(QColor a, QColor b, double t) {
  auto lerp = [t](int x, int y) { return static_cast<int>(x + (y - x) * t + 0.5); };
  return QColor(lerp(a.red(), b.red()), lerp(a.green(), b.green()), lerp(a.blue(), b.blue()));
}

void FillRows(QImage& image, QRect r, QColor top, QColor bottom) {
  QPainter p(&image);
  for (int row = 0; row < r.height(); ++row) {
    const double t = r.height() > 1 ? static_cast<double>(row) / (r.height() - 1) : 0.0;
    p.fillRect(QRect(r.x(), r.y() + row, r.width(), 1), Mix(top, bottom, t));
  }
}

void Fill(QImage& image, QRect r, QColor colour) {
  QPainter p(&image);
  p.fillRect(r, colour);
}

void Pixel(QImage& image, int x, int y, QColor colour) {
  if (image.rect().contains(x, y)) image.setPixel(x, y, colour.rgb());
}

QRect R(Box b) {
  return QRect(b.x, b.y, b.w, b.h);
}

enum State { kNormal = 0, kHover = 1, kPressed = 2 };

struct BodyColours {
  QColor top, bottom, highlight, shadow, ink;
};

BodyColours BodyFor(State state) {
  const Palette& pal = SkinPalette();
  switch (state) {
    case kHover:
      return {QColor(88, 98, 112), QColor(62, 69, 80), QColor(132, 144, 158), QColor(46, 52, 60),
              Q(pal.mint)};
    case kPressed:
      return {QColor(27, 31, 36), QColor(42, 47, 55), QColor(20, 23, 27), QColor(58, 65, 75),
              Q(pal.mintDark)};
    default:
      return {QColor(75, 83, 95), QColor(52, 58, 67), QColor(108, 118, 132), QColor(40, 45, 52),
              QColor(214, 220, 228)};
  }
}

// A raised (or, pressed, sunken) body filling r, its corner pixels left to
// whatever lies behind for a rounded look.
void DrawBody(QImage& image, QRect r, State state) {
  const Palette& pal = SkinPalette();
  const BodyColours c = BodyFor(state);
  QPainter p(&image);
  // A lit rim tells the hovered control apart at a glance, not only its shade.
  p.setPen(state == kHover ? Q(pal.mintDark) : Q(pal.outline));
  p.drawLine(r.left() + 1, r.top(), r.right() - 1, r.top());
  p.drawLine(r.left() + 1, r.bottom(), r.right() - 1, r.bottom());
  p.drawLine(r.left(), r.top() + 1, r.left(), r.bottom() - 1);
  p.drawLine(r.right(), r.top() + 1, r.right(), r.bottom() - 1);
  p.end();
  const QRect inner = r.adjusted(1, 1, -1, -1);
  if (inner.isEmpty()) return;
  FillRows(image, inner, c.top, c.bottom);
  Fill(image, QRect(inner.left(), inner.top(), inner.width(), 1), c.highlight);
  if (inner.height() > 2)
    Fill(image, QRect(inner.left(), inner.bottom(), inner.width(), 1), c.shadow);
}

// A triangle pointing right (dir 1) or left (dir -1), `half` rows above and
// below cy, its flat side at column x.
void Triangle(QImage& image, int x, int cy, int half, int dir, QColor ink) {
  for (int col = 0; col <= half; ++col) {
    for (int row = cy - half + col; row <= cy + half - col; ++row)
      Pixel(image, x + dir * col, row, ink);
  }
}

void DrawGlyph(QImage& image, QRect r, const ButtonDesign& button, State state) {
  const QColor ink = BodyFor(state).ink;
  const int shift = state == kPressed ? 1 : 0;
  const int cx = r.left() + r.width() / 2 + shift;
  const int cy = r.top() + r.height() / 2 + shift;
  const int half = std::min(3, (r.height() - 4) / 2);
  QPainter p(&image);
  p.setPen(ink);
  switch (button.glyph) {
    case Glyph::kMenu:
      for (int dy : {-2, 0, 2}) p.drawLine(cx - 2, cy + dy, cx + 2, cy + dy);
      break;
    case Glyph::kHide:
      p.drawLine(cx - 2, cy + 2, cx + 2, cy + 2);
      break;
    case Glyph::kExit:
      p.drawLine(cx - 2, cy - 2, cx + 2, cy + 2);
      p.drawLine(cx - 2, cy + 2, cx + 2, cy - 2);
      break;
    case Glyph::kExpand:
      p.drawPoint(cx, cy - 2);
      p.drawLine(cx - 1, cy - 1, cx + 1, cy - 1);
      p.drawLine(cx - 1, cy + 1, cx + 1, cy + 1);
      p.drawPoint(cx, cy + 2);
      break;
    case Glyph::kPlay:
      p.end();
      Triangle(image, cx - half / 2 - 1, cy, half, 1, ink);
      break;
    case Glyph::kPause:
      p.fillRect(QRect(cx - 3, cy - half, 2, 2 * half + 1), ink);
      p.fillRect(QRect(cx + 1, cy - half, 2, 2 * half + 1), ink);
      break;
    case Glyph::kStop:
      p.fillRect(QRect(cx - half, cy - half, 2 * half + 1, 2 * half + 1), ink);
      break;
    case Glyph::kPrevious:
      p.drawLine(cx - half - 1, cy - half, cx - half - 1, cy + half);
      p.end();
      Triangle(image, cx, cy, half, -1, ink);
      Triangle(image, cx + half, cy, half, -1, ink);
      break;
    case Glyph::kNext:
      p.drawLine(cx + half + 1, cy - half, cx + half + 1, cy + half);
      p.end();
      Triangle(image, cx, cy, half, 1, ink);
      Triangle(image, cx - half, cy, half, 1, ink);
      break;
    case Glyph::kAdd:
      p.drawLine(cx - half, cy, cx + half, cy);
      p.drawLine(cx, cy - half, cx, cy + half);
      break;
    case Glyph::kLabel: {
      p.end();
      const int w = PixelTextWidth(button.label);
      DrawPixelText(image, r.left() + (r.width() - w + 1) / 2 + shift,
                    r.top() + (r.height() - kPixelFontHeight + 1) / 2 + shift, button.label, ink);
      break;
    }
  }
}

// The groove colours across its three rows (or columns), empty and filled.
const QColor kGroove[3] = {QColor(8, 10, 12), QColor(17, 21, 24), QColor(25, 29, 34)};
const QColor kFill[3] = {QColor(63, 143, 125), QColor(125, 227, 201), QColor(84, 182, 158)};

// Draws a slider's groove across the whole track: the same along the travel,
// because the overlay is copied shifted by the thumb's position.
void DrawGroove(QImage& image, const SliderDesign& s, const QColor (&colours)[3]) {
  const Box t = s.track;
  for (int i = 0; i < 3; ++i) {
    if (s.vertical) {
      Fill(image, QRect(t.x + (t.w - 3) / 2 + i, t.y, 1, t.h), colours[i]);
    } else {
      Fill(image, QRect(t.x, t.y + (t.h - 3) / 2 + i, t.w, 1), colours[i]);
    }
  }
}

void DrawThumb(QImage& image, const SliderDesign& s, State state) {
  const QRect r(0, 0, s.thumbW, s.thumbH);
  DrawBody(image, r, state);
  const QColor grip = state == kNormal ? QColor(28, 32, 37) : Q(SkinPalette().mint);
  QPainter p(&image);
  p.setPen(grip);
  if (s.vertical) {
    p.drawLine(1, s.thumbH / 2, s.thumbW - 2, s.thumbH / 2);
  } else if (s.thumbH > 4) {
    const int cx = s.thumbW / 2;
    p.drawLine(cx - 1, 2, cx - 1, s.thumbH - 3);
    if (s.thumbW > 12) p.drawLine(cx + 1, 2, cx + 1, s.thumbH - 3);
  }
}

void DrawLight(QImage& image, std::string_view label, bool on) {
  const Palette& pal = SkinPalette();
  const int cy = image.height() / 2;
  const QColor led = on ? Q(pal.mint) : QColor(30, 60, 54);
  Fill(image, QRect(1, cy - 1, 3, 3), led);
  if (on) Pixel(image, 2, cy, QColor(214, 255, 244));
  DrawPixelText(image, 6, (image.height() - kPixelFontHeight) / 2, label,
                on ? Q(pal.mint) : Q(pal.displayDim));
}

QImage FirePicture(Box visual) {
  const Palette& pal = SkinPalette();
  QImage fire(visual.w, visual.h, QImage::Format_RGB32);
  const QColor peak(220, 255, 245), body = Q(pal.mint), base(34, 104, 88);
  for (int row = 0; row < visual.h; ++row) {
    const double t = visual.h > 1 ? static_cast<double>(row) / (visual.h - 1) : 0.0;
    QColor c = t < 0.3 ? Mix(peak, body, t / 0.3) : Mix(body, base, (t - 0.3) / 0.7);
    // Every other row darker: the bars read as stacked segments.
    if (row % 2 == 1) c = Mix(c, Q(pal.display), 0.55);
    Fill(fire, QRect(0, row, visual.w, 1), c);
  }
  return fire;
}

void DrawDisplay(QImage& face, Box box) {
  const Palette& pal = SkinPalette();
  const QRect r = R(box);
  Fill(face, r, Q(pal.display));
  for (int row = r.top() + 1; row <= r.bottom(); row += 2) {
    Fill(face, QRect(r.left(), row, r.width(), 1), Q(pal.displayLine));
  }
  Fill(face, QRect(r.left(), r.top(), r.width(), 1), QColor(5, 8, 10));
  Fill(face, QRect(r.left(), r.top(), 1, r.height()), QColor(5, 8, 10));
  Fill(face, QRect(r.left(), r.bottom(), r.width(), 1), Q(pal.rim));
  Fill(face, QRect(r.right(), r.top() + 1, 1, r.height() - 1), Q(pal.rim));
}

// The drawer below the body: the face beside it becomes the colour key, its
// own edges are drawn like the body's, its bottom corners cut.
void DrawDrawer(QImage& face, const SkinDesign& d) {
  const Palette& pal = SkinPalette();
  const QColor key(static_cast<int>(d.transparent & 0xFF),
                   static_cast<int>((d.transparent >> 8) & 0xFF),
                   static_cast<int>((d.transparent >> 16) & 0xFF));
  const QRect r = R(d.drawer);
  const int below = r.top() + 1;  // the body's seam row and its rim stay
  Fill(face, QRect(0, below, r.left(), d.height - below), key);
  Fill(face, QRect(r.right() + 1, below, d.width - r.right() - 1, d.height - below), key);
  Fill(face, QRect(r.left(), below, 1, r.bottom() - below), Q(pal.outline));
  Fill(face, QRect(r.right(), below, 1, r.bottom() - below), Q(pal.outline));
  Fill(face, QRect(r.left() + 1, below, 1, r.bottom() - below - 1), Q(pal.rim));
  Fill(face, QRect(r.left() + 2, r.bottom(), r.width() - 4, 1), Q(pal.outline));
  for (int cut = 0; cut < 2; ++cut) {
    Fill(face, QRect(r.left(), r.bottom() - cut, 2 - cut, 1), key);
    Fill(face, QRect(r.right() - 1 + cut, r.bottom() - cut, 2 - cut, 1), key);
  }
  Pixel(face, r.left() + 1, r.bottom() - 2 + 1, Q(pal.outline));
  Pixel(face, r.right() - 1, r.bottom() - 1, Q(pal.outline));
}

QImage PaintFace(const SkinDesign& d) {
  const Palette& pal = SkinPalette();
  QImage face(d.width, d.height, QImage::Format_RGB32);
  face.fill(Q(pal.outline));
  FillRows(face, face.rect(), Q(pal.faceTop), Q(pal.faceBottom));
  {
    QPainter p(&face);
    p.setPen(Q(pal.outline));
    const std::vector<Point> edge = CutCornerPolygon({0, 0, d.width - 1, d.height - 1}, 3);
    for (std::size_t i = 0; i < edge.size(); ++i) {
      const Point& from = edge[i];
      const Point& to = edge[(i + 1) % edge.size()];
      p.drawLine(from.x, from.y, to.x, to.y);
    }
    p.setPen(Q(pal.rim));
    p.drawLine(4, 1, d.width - 5, 1);
    p.drawLine(1, 4, 1, d.height - 5);
  }
  const QRect title = R(d.titleBar).adjusted(1, 1, -1, 0);
  FillRows(face, title, Q(pal.titleTop), Q(pal.titleBottom));
  Fill(face, QRect(title.left(), title.bottom() + 1, title.width(), 1), Q(pal.outline));
  DrawPixelText(face, d.buttons[0].box.Right() + 4,
                d.titleBar.y + (d.titleBar.h - kPixelFontHeight) / 2, d.logo, Q(pal.faceText));
  DrawDisplay(face, d.display);
  for (int seam : d.seams) {
    Fill(face, QRect(1, seam, d.width - 2, 1), Q(pal.outline));
    Fill(face, QRect(2, seam + 1, d.width - 4, 1), Q(pal.rim));
  }
  if (d.drawer.w > 0) DrawDrawer(face, d);
  if (d.eqPanel.w > 0) {
    const QRect r = R(d.eqPanel);
    Fill(face, r, QColor(28, 32, 38));
    Fill(face, QRect(r.left(), r.top(), r.width(), 1), Q(pal.outline));
    Fill(face, QRect(r.left(), r.top(), 1, r.height()), Q(pal.outline));
    Fill(face, QRect(r.left(), r.bottom(), r.width(), 1), Q(pal.rim));
    Fill(face, QRect(r.right(), r.top() + 1, 1, r.height() - 1), Q(pal.rim));
  }
  // The flat line of the equalizer curve, dotted, where a band at 15 lies.
  const int flat = d.eq.y + d.eq.h - d.eq.h / 2;
  for (int x = d.eq.x; x < d.eq.Right(); x += 2) Pixel(face, x, flat, QColor(24, 52, 46));
  for (const FaceLabel& label : d.labels) {
    DrawPixelText(face, label.x, label.y, label.text,
                  label.onDisplay ? Q(pal.displayDim) : QColor(130, 139, 151));
  }
  for (const SliderDesign& s : d.sliders) DrawGroove(face, s, kGroove);
  return face;
}

// Pieces are laid out in rows below the face, one pixel apart.
class Sheet {
 public:
  explicit Sheet(QImage face) : face_(std::move(face)) {}

  void Add(QImage piece, Spot* spot) { pieces_.push_back({std::move(piece), spot}); }

  QImage Compose() {
    const int width = face_.width();
    int x = 0, y = face_.height() + 1, rowHeight = 0;
    for (auto& [piece, spot] : pieces_) {
      if (x > 0 && x + piece.width() > width) {
        x = 0;
        y += rowHeight + 1;
        rowHeight = 0;
      }
      *spot = {x, y};
      x += piece.width() + 1;
      rowHeight = std::max(rowHeight, piece.height());
    }
    QImage sheet(width, y + rowHeight, QImage::Format_RGB32);
    sheet.fill(QColor(16, 18, 20));
    QPainter p(&sheet);
    p.drawImage(0, 0, face_);
    for (const auto& [piece, spot] : pieces_) p.drawImage(spot->a, spot->b, piece);
    return sheet;
  }

 private:
  QImage face_;
  std::vector<std::pair<QImage, Spot*>> pieces_;
};

}  // namespace

SkinArt PaintSkin(const SkinDesign& d) {
  SkinArt art;
  const QImage face = PaintFace(d);
  Sheet sheet(face);
  for (int i = 0; i < kButtonCount; ++i) {
    const ButtonDesign& button = d.buttons[i];
    Spot* spots[3] = {&art.spots.buttons[i].normal, &art.spots.buttons[i].hover,
                      &art.spots.buttons[i].pressed};
    for (State state : {kNormal, kHover, kPressed}) {
      QImage piece = face.copy(R(button.box));
      DrawBody(piece, piece.rect(), state);
      DrawGlyph(piece, piece.rect(), button, state);
      sheet.Add(std::move(piece), spots[state]);
    }
  }
  for (int i = 0; i < kSliderCount; ++i) {
    const SliderDesign& s = d.sliders[i];
    SliderSpots& spots = art.spots.sliders[i];
    sheet.Add(face.copy(R(s.track)), &spots.track);
    if (s.filled) {
      QImage filled = face;
      DrawGroove(filled, s, kFill);
      sheet.Add(filled.copy(R(s.track)), &spots.overlay);
    }
    Spot* thumbs[3] = {&spots.thumbNormal, &spots.thumbHover, &spots.thumbPressed};
    for (State state : {kNormal, kHover, kPressed}) {
      QImage thumb = face.copy(s.track.x, s.track.y, s.thumbW, s.thumbH);
      DrawThumb(thumb, s, state);
      sheet.Add(std::move(thumb), thumbs[state]);
    }
  }
  for (int i = 0; i < kLightCount; ++i) {
    for (bool on : {false, true}) {
      QImage light = face.copy(R(d.lights[i]));
      DrawLight(light, d.lightLabels[i], on);
      sheet.Add(std::move(light), on ? &art.spots.lights[i].on : &art.spots.lights[i].off);
    }
  }
  sheet.Add(FirePicture(d.visual), &art.spots.visual);
  art.picture = sheet.Compose().convertToFormat(QImage::Format_RGB888);
  // An empty track is its own overlay: nothing shows as filled.
  for (int i = 0; i < kSliderCount; ++i) {
    if (!d.sliders[i].filled) art.spots.sliders[i].overlay = art.spots.sliders[i].track;
  }
  return art;
}

}  // namespace qmb::skins
