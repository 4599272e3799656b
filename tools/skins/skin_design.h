// The layout of a bundled skin: where every element of the main window sits,
// its colours and fonts, and the window's shape for each expansion stage.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace qmb::skins {

struct Box {
  int x = 0;
  int y = 0;
  int w = 0;
  int h = 0;
  int Right() const { return x + w; }   // one past the last column
  int Bottom() const { return y + h; }  // one past the last row
};

struct Point {
  int x = 0;
  int y = 0;
};

// An RGB colour; skin.ini writes it as red + 256 × green + 65536 × blue.
struct Colour {
  std::uint8_t r = 0;
  std::uint8_t g = 0;
  std::uint8_t b = 0;
  long IniValue() const { return r + 256L * g + 65536L * b; }
};

// The picture on a button face: a drawn symbol or a short label.
enum class Glyph {
  kMenu,
  kHide,
  kExit,
  kPrevious,
  kPlay,
  kPause,
  kStop,
  kNext,
  kAdd,
  kExpand,
  kLabel
};

struct ButtonDesign {
  Box box;
  Glyph glyph = Glyph::kLabel;
  std::string label;  // for kLabel
};

struct SliderDesign {
  Box track;
  int thumbW = 0;
  int thumbH = 0;
  bool vertical = false;
  // Whether the part before (horizontal) or below (vertical) the thumb is
  // drawn filled; the balance has no "amount", so it stays empty.
  bool filled = true;
};

struct FontDesign {
  std::string face;
  int size = 0;    // points
  int weight = 0;  // 0 default, 700 bold
};

// A small text printed on the face in the pixel font.
struct FaceLabel {
  int x = 0;
  int y = 0;
  std::string text;
  bool onDisplay = false;  // the dim display colour instead of the face's
};

inline constexpr int kButtonCount = 15;
inline constexpr int kSliderCount = 13;
inline constexpr int kLightCount = 2;

struct SkinDesign {
  std::string folder;  // under Skins/
  std::string name;    // shown in the control panel's skin list
  std::string readme;
  int width = 0;
  int height = 0;
  Box titleBar;
  Box display;  // the dark panel behind the title, time, lights and visual
  Box eqPanel;  // the sunken panel behind the band sliders; w = 0 for none
  Box visual;
  Box text;
  Box time;
  Box eq;
  FontDesign textFont;
  FontDesign timeFont;
  std::array<ButtonDesign, kButtonCount> buttons;
  std::array<SliderDesign, kSliderCount> sliders;
  std::array<Box, kLightCount> lights;
  std::array<std::string, kLightCount> lightLabels;
  std::vector<FaceLabel> labels;
  std::string logo;
  // The last row of each shorter stage: a seam drawn across the face there
  // gives that stage a bottom edge.
  std::vector<int> seams;
  // A drawer hanging below the body, narrower than it; w = 0 for none. The
  // face beside it is the colour key, so the key shapes it.
  Box drawer;
  // Transparent: the colour key as skin.ini writes it, -1 for none.
  long transparent = -1;
  int disableInverse = 0;
  // One closed polygon per expansion stage, in window pixels.
  std::vector<std::vector<Point>> stages;
};

// The palette both bundled skins share.
struct Palette {
  Colour faceTop{59, 66, 77};
  Colour faceBottom{35, 40, 47};
  Colour outline{14, 16, 19};
  Colour rim{92, 101, 114};
  Colour titleTop{46, 51, 59};
  Colour titleBottom{33, 37, 43};
  Colour faceText{170, 179, 191};
  Colour display{10, 17, 20};
  Colour displayLine{13, 22, 26};
  Colour displayDim{42, 90, 80};
  Colour mint{125, 227, 201};
  Colour mintDark{63, 143, 125};
  Colour amber{255, 181, 71};
  Colour tipsText{125, 227, 201};
  Colour tipsBack{16, 24, 28};
};

const Palette& SkinPalette();

SkinDesign DefaultDesign();
SkinDesign CompactDesign();

// A polygon with its corners cut off by `cut` pixels: the skins' rounded look.
std::vector<Point> CutCornerPolygon(Box box, int cut);

}  // namespace qmb::skins
