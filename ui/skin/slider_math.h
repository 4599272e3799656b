// The sliders' arithmetic: where a thumb goes for a value, and what value a
// dragged thumb stands for. Single precision throughout, as the skins expect.
#pragma once

#include <cstdint>

namespace qmb {

// The geometry of one slider: the track w × h, the thumb w1 × h1.
struct SliderShape {
  std::int32_t w = 0, h = 0, w1 = 0, h1 = 0;
  bool vertical = false;
};

// Truncation toward zero where a value that is not a number, or one out of
// range, becomes the most negative integer (and is clamped by the caller).
std::int32_t TruncFloat(float value);

// The value clamped to [0, maximum]; a maximum below 0 gives 0.
float ClampSliderValue(float value, float maximum);

// The thumb's offset along the track for `value` (already clamped).
std::int32_t ThumbOffsetForValue(const SliderShape& shape, float value, float maximum);

struct DragResult {
  std::int32_t offset = 0;  // the thumb's new offset along the track
  float value = 0.0f;
};

// A drag step: `pointer` is the pointer's distance from the track's start
// (main-window pixels), `grab` where the thumb was held. A thumb as large as
// its track stays at 0 and keeps `current`.
DragResult DragSliderValue(const SliderShape& shape, std::int32_t pointer, std::int32_t grab,
                           float maximum, float current);

}  // namespace qmb
