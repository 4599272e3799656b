#include "ui/skin/slider_math.h"

#include <cmath>
#include <limits>

namespace qmb {

std::int32_t TruncFloat(float value) {
  constexpr auto kMin = std::numeric_limits<std::int32_t>::min();
  // Above 2^31 - 128 a float no longer converts; the processor's own answer
  // there is the most negative integer too.
  if (std::isnan(value) || value >= 2147483648.0f || value < -2147483648.0f) return kMin;
  return static_cast<std::int32_t>(value);
}

float ClampSliderValue(float value, float maximum) {
  if (value > maximum) value = maximum;
  if (!(value >= 0.0f)) value = 0.0f;
  return value;
}

std::int32_t ThumbOffsetForValue(const SliderShape& shape, float value, float maximum) {
  std::int32_t pos;
  std::int32_t room;
  if (shape.vertical) {
    // One more step than a drag has: the placement the skins are drawn for.
    float span = static_cast<float>(shape.h - shape.h1) + 1.0f;
    float step = maximum / span;
    pos = TruncFloat(span - value / step);
    room = shape.h - shape.h1;
  } else {
    float span = static_cast<float>(shape.w - shape.w1);
    float step = maximum / span;
    pos = TruncFloat(value / step);
    room = shape.w - shape.w1;
  }
  if (pos < 0) pos = 0;
  if (pos > room) pos = room;
  return pos < 0 ? 0 : pos;
}

DragResult DragSliderValue(const SliderShape& shape, std::int32_t pointer, std::int32_t grab,
                           float maximum, float current) {
  std::int32_t room = shape.vertical ? shape.h - shape.h1 : shape.w - shape.w1;
  if (room <= 0) return {0, current};
  std::int32_t pos = pointer < grab ? 0 : pointer - grab;
  if (pos > room) pos = room;
  float scale = maximum / static_cast<float>(room);
  float value = static_cast<float>(pos) * scale;
  if (shape.vertical) value = std::fabs(value - maximum);
  return {pos, value};
}

}  // namespace qmb
