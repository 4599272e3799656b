// The sliders' arithmetic at the edges the skins meet.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "ui/skin/slider_math.h"

namespace qmb {
namespace {

constexpr SliderShape kAcross{100, 7, 10, 7, false};
constexpr SliderShape kUpright{7, 100, 7, 10, true};

TEST(ControlsSliderMath, PlacesThumbForValue) {
  struct Case {
    SliderShape shape;
    float value, maximum;
    int offset;
  } cases[] = {
      // clang-format off
      {kAcross, 255, 255, 90}, {kAcross, 300, 255, 90}, {kAcross, -5, 255, 0},
      {kAcross, 127.5f, 255, 45},
      {kUpright, 15, 30, 45},  // trunc(91 - 15 / (30 / 91)): the "+ 1" of the span
      {kUpright, 30, 30, 0}, {kUpright, 0, 30, 90},  // 91 is clamped to h - h1
      {kAcross, 50, 0, 0}, {kUpright, 50, 0, 0},  // maximum 0: 0 / 0 truncates low
      {{10, 7, 10, 7, false}, 3, 30, 0}, {{7, 10, 7, 10, true}, 3, 30, 0},
      {{8, 7, 10, 7, false}, 3, 30, 0},  // a thumb larger than its track stays at 0
      // clang-format on
  };
  for (const Case& c : cases) {
    float clamped = ClampSliderValue(c.value, c.maximum);
    EXPECT_EQ(ThumbOffsetForValue(c.shape, clamped, c.maximum), c.offset)
        << c.value << " of " << c.maximum << (c.shape.vertical ? " upright" : " across");
  }
}

TEST(ControlsSliderMath, DragGivesValues) {
  struct Case {
    SliderShape shape;
    int pointer, grab;
    float maximum, current;
    int offset;
    float value;
  } cases[] = {
      // clang-format off
      {kAcross, 45, 0, 255, 0, 45, 127.5f},
      {kAcross, 50, 5, 255, 0, 45, 127.5f},  // held 5 pixels into the thumb
      {kAcross, 3, 5, 255, 9, 0, 0},  // before the grab point
      {kAcross, 500, 0, 255, 0, 90, 255}, {kUpright, 0, 0, 30, 7, 0, 30},  // the top is the maximum
      {kUpright, 90, 0, 30, 7, 90, 0}, {kUpright, 200, 4, 30, 7, 90, 0},
      {kAcross, 45, 0, 0, 0, 45, 0},  // the position slider after stop
      {{10, 7, 10, 7, false}, 6, 0, 255, 42, 0, 42},  // no room: value kept
      {{7, 10, 7, 10, true}, 6, 0, 30, 12, 0, 12},
      // clang-format on
  };
  for (const Case& c : cases) {
    DragResult r = DragSliderValue(c.shape, c.pointer, c.grab, c.maximum, c.current);
    EXPECT_EQ(r.offset, c.offset) << c.pointer;
    EXPECT_FLOAT_EQ(r.value, c.value) << c.pointer;
  }
  EXPECT_EQ(TruncFloat(DragSliderValue(kAcross, 45, 0, 255, 0).value), 127);
}

TEST(ControlsSliderMath, ClampsAndTruncatesTowardZeroAndNotANumberLow) {
  EXPECT_EQ(ClampSliderValue(12, 0), 0);
  EXPECT_EQ(ClampSliderValue(std::nanf(""), 30), 0);
  EXPECT_EQ(TruncFloat(45.9f), 45);
  EXPECT_EQ(TruncFloat(-2.7f), -2);
  EXPECT_EQ(TruncFloat(std::nanf("")), std::numeric_limits<std::int32_t>::min());
  EXPECT_EQ(TruncFloat(3e9f), std::numeric_limits<std::int32_t>::min());
}

}  // namespace
}  // namespace qmb
