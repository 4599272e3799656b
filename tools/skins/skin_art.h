// Painting a skin's picture: the main window face at the top left, and below
// it every piece the skin cuts out (button states, tracks, thumbs, overlays,
// lights, the spectrum's fire picture), with where each piece landed.
#pragma once

#include <array>

#include <QImage>

#include "tools/skins/skin_design.h"

namespace qmb::skins {

// Top-left corner of a piece inside the skin picture.
struct Spot {
  int a = 0;
  int b = 0;
};

struct ButtonSpots {
  Spot normal, hover, pressed;
};

struct SliderSpots {
  Spot track, thumbNormal, thumbHover, thumbPressed, overlay;
};

struct LightSpots {
  Spot off, on;
};

struct SkinSpots {
  Spot face;
  Spot visual;
  std::array<ButtonSpots, kButtonCount> buttons;
  std::array<SliderSpots, kSliderCount> sliders;
  std::array<LightSpots, kLightCount> lights;
};

struct SkinArt {
  QImage picture;  // RGB, no alpha: it is saved as a 24-bit BMP
  SkinSpots spots;
};

SkinArt PaintSkin(const SkinDesign& design);

}  // namespace qmb::skins
