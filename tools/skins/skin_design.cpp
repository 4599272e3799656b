// The two bundled layouts. Coordinates are main-window pixels; every element
// keeps clear of the others so that no window hides a painted surface.
#include "tools/skins/skin_design.h"

#include "tools/skins/pixel_font.h"

namespace qmb::skins {

const Palette& SkinPalette() {
  static const Palette palette;
  return palette;
}

std::vector<Point> CutCornerPolygon(Box box, int cut) {
  const int l = box.x, t = box.y, r = box.Right(), b = box.Bottom();
  return {{l + cut, t}, {r - cut, t}, {r, t + cut}, {r, b - cut},
          {r - cut, b}, {l + cut, b}, {l, b - cut}, {l, t + cut}};
}

namespace {

// Button order is the skin format's: menu, hide, exit, previous, play, pause,
// stop, next, add files, shuffle, loop, about, equalizer, playlist, stage.
void PlaceButtons(SkinDesign& d, const std::array<Box, kButtonCount>& boxes) {
  static const Glyph glyphs[kButtonCount] = {
      Glyph::kMenu,  Glyph::kHide,  Glyph::kExit,  Glyph::kPrevious, Glyph::kPlay,
      Glyph::kPause, Glyph::kStop,  Glyph::kNext,  Glyph::kAdd,      Glyph::kLabel,
      Glyph::kLabel, Glyph::kLabel, Glyph::kLabel, Glyph::kLabel,    Glyph::kExpand};
  static const char* labels[kButtonCount] = {"", "",     "",     "",  "",   "",     "", "",
                                             "", "SHUF", "LOOP", "?", "EQ", "LIST", ""};
  for (int i = 0; i < kButtonCount; ++i) d.buttons[i] = {boxes[i], glyphs[i], labels[i]};
}

}  // namespace

SkinDesign DefaultDesign() {
  SkinDesign d;
  d.folder = "Default";
  d.name = "Qumble Default";
  d.readme =
      "Qumble Default\n"
      "\n"
      "The skin Qumble Player comes with: a graphite face with a dark mint\n"
      "display for the title, the time, the shuffle and loop lights, the\n"
      "spectrum and the equalizer curve; transport buttons, volume and balance\n"
      "below, and the ten equalizer bands on the right.\n"
      "\n"
      "The button at the top right beside the hide button switches between the\n"
      "full face and the display alone.\n"
      "\n"
      "Drawn by Qumble Player's own skin generator.\n";
  d.width = 275;
  d.height = 116;
  d.titleBar = {1, 1, 273, 13};
  d.display = {6, 16, 263, 38};
  d.eqPanel = {141, 67, 128, 46};
  // Wide enough for "00:00:00.00", the time text's full form.
  d.time = {11, 18, 68, 16};
  d.visual = {11, 36, 64, 15};
  d.text = {83, 19, 180, 12};
  d.eq = {190, 36, 72, 15};
  d.textFont = {"DejaVu Sans", 7, 0};
  d.timeFont = {"DejaVu Sans Mono", 7, 700};
  PlaceButtons(d, {{{4, 3, 11, 9},
                    {245, 3, 11, 9},
                    {258, 3, 11, 9},
                    {8, 68, 21, 17},
                    {30, 68, 21, 17},
                    {52, 68, 21, 17},
                    {74, 68, 21, 17},
                    {96, 68, 21, 17},
                    {120, 68, 17, 17},
                    {8, 100, 26, 12},
                    {36, 100, 26, 12},
                    {116, 100, 21, 12},
                    {64, 100, 22, 12},
                    {88, 100, 26, 12},
                    {232, 3, 11, 9}}});
  for (int band = 0; band < 10; ++band)
    d.sliders[band] = {{156 + 11 * band, 70, 7, 39}, 7, 6, true};
  d.sliders[10] = {{8, 57, 259, 8}, 25, 8, false};
  d.sliders[11] = {{22, 89, 62, 7}, 9, 7, false};
  d.sliders[12] = {{102, 89, 35, 7}, 9, 7, false, false};
  d.lights = {{{83, 39, 24, 7}, {110, 39, 24, 7}}};
  d.lightLabels = {"SHUF", "LOOP"};
  d.logo = "QUMBLE PLAYER";
  d.labels = {{179, 41, "EQ", true}, {8, 90, "VOL", false}, {88, 90, "BAL", false},
              {145, 71, "+", false}, {145, 88, "0", false}, {145, 104, "-", false}};
  d.stages = {CutCornerPolygon({0, 0, d.width, d.height}, 3),
              CutCornerPolygon({0, 0, d.width, 56}, 3)};
  d.seams = {55};
  return d;
}

SkinDesign CompactDesign() {
  SkinDesign d;
  d.folder = "Compact";
  d.name = "Qumble Compact";
  d.readme =
      "Qumble Compact\n"
      "\n"
      "A low, wide variant of Qumble Default: display on top, transport,\n"
      "volume and balance below, and the ten equalizer bands lying in a\n"
      "drawer underneath. The stage button folds the drawer away, then\n"
      "everything but the display. It is never shown inverted.\n"
      "\n"
      "Drawn by Qumble Player's own skin generator.\n";
  d.width = 275;
  d.height = 112;
  d.titleBar = {1, 1, 273, 10};
  d.display = {4, 13, 267, 24};
  d.drawer = {8, 75, 259, 37};
  d.eqPanel = {12, 78, 251, 31};
  d.time = {8, 15, 54, 14};
  d.visual = {212, 15, 55, 19};
  d.text = {64, 15, 143, 11};
  d.eq = {150, 28, 56, 7};
  d.textFont = {"DejaVu Sans", 6, 0};
  d.timeFont = {"DejaVu Sans Mono", 6, 700};
  PlaceButtons(d, {{{3, 2, 9, 7},
                    {247, 2, 11, 7},
                    {260, 2, 11, 7},
                    {4, 49, 17, 12},
                    {22, 49, 17, 12},
                    {40, 49, 17, 12},
                    {58, 49, 17, 12},
                    {76, 49, 17, 12},
                    {95, 49, 13, 12},
                    {4, 63, 24, 10},
                    {30, 63, 24, 10},
                    {102, 63, 10, 10},
                    {56, 63, 18, 10},
                    {76, 63, 24, 10},
                    {234, 2, 11, 7}}});
  // The bands lie in two columns of five, low to high from the top left.
  for (int band = 0; band < 10; ++band) {
    const int column = band / 5, row = band % 5;
    d.sliders[band] = {{26 + 126 * column, 80 + 6 * row, 106, 5}, 7, 5, false};
  }
  d.sliders[10] = {{4, 40, 267, 6}, 20, 6, false};
  d.sliders[11] = {{132, 52, 135, 6}, 8, 6, false};
  d.sliders[12] = {{132, 65, 135, 6}, 8, 6, false, false};
  d.lights = {{{64, 28, 24, 7}, {91, 28, 24, 7}}};
  d.lightLabels = {"SHUF", "LOOP"};
  d.logo = "QUMBLE";
  d.labels = {{140, 29, "EQ", true}, {116, 53, "VOL", false}, {116, 66, "BAL", false}};
  static const char* const kBandNames[10] = {"80", "170", "310", "600", "1K",
                                             "3K", "6K",  "12K", "14K", "16K"};
  for (int band = 0; band < 10; ++band) {
    const Box& t = d.sliders[band].track;
    d.labels.push_back({t.x - 2 - PixelTextWidth(kBandNames[band]), t.y, kBandNames[band], false});
  }
  d.stages = {CutCornerPolygon({0, 0, d.width, d.height}, 3),
              CutCornerPolygon({0, 0, d.width, 76}, 3), CutCornerPolygon({0, 0, d.width, 39}, 3)};
  d.seams = {74, 38};
  // A near-black no other pixel has: where the desktop does not take the key
  // (alpha-blending off) the drawer's sides read as a shadow, not a colour.
  d.transparent = Colour{8, 9, 11}.IniValue();
  d.disableInverse = 1;
  return d;
}

}  // namespace qmb::skins
