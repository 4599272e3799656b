// The internal visualization's picture: a spectrum or a scope drawn over the
// background piece of the skin's visual area, with the arithmetic the skins
// were made for, and what each tick of the visual timer draws.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace qmb {

// What the visualization shows; kept in the settings between runs.
struct VisualState {
  std::uint8_t visKind = 0;        // 0 spectrum, 1 scope
  std::uint8_t spectrumStyle = 0;  // 0 fire, 1 dot, anything else voice
  std::uint8_t scopeStyle = 0;     // 0 line, 1 dot, anything else wave
  bool detached = false;           // a plug-in draws into the "Visualization Window"
};

// Spectrum values drawn, at most, and the scope's stride in 16-bit values.
constexpr int kVisualSpectrumCount = 256;
constexpr int kScopeStride = 8;

// 32-bit pixels 0xAARRGGBB, rows `stride` pixels apart; null for none.
struct PixelView {
  const std::uint32_t* pixels = nullptr;
  int width = 0, height = 0, stride = 0;
};

// A W × H picture being composed; drawing outside it is clipped.
class VisualFrame {
 public:
  VisualFrame() = default;
  VisualFrame(int width, int height);

  int Width() const { return width_; }
  int Height() const { return height_; }
  std::uint32_t At(int x, int y) const { return pixels_[Index(x, y)]; }
  const std::vector<std::uint32_t>& Pixels() const { return pixels_; }
  std::uint32_t* Data() { return pixels_.data(); }

  void SetPixel(int x, int y, std::uint32_t colour);
  // A 1-pixel line from (x0, y0) up to, not including, (x1, y1).
  void Line(int x0, int y0, int x1, int y1, std::uint32_t colour);
  // Copies `source`'s top-left corner to (x, y).
  void Copy(const PixelView& source, int x, int y, int width, int height, int fromX = 0);
  // The skin's raster operation on the finished picture: kInvertedSourceCopy
  // inverts the colours, anything else leaves them.
  void ApplyRasterOp(std::uint32_t rasterOp);

 private:
  std::size_t Index(int x, int y) const {
    return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
           static_cast<std::size_t>(x);
  }
  void VerticalLine(int x, int y0, int y1, std::uint32_t colour);

  int width_ = 0, height_ = 0;
  std::vector<std::uint32_t> pixels_;
};

// What a frame is drawn from.
struct VisualSource {
  const float* spectrum = nullptr;       // kVisualSpectrumCount values, 1 for a full bin; or none
  const std::int16_t* buffer = nullptr;  // the captured mix block; or none
  std::size_t bufferValues = 0;          // 16-bit values in it
  int bufferLength = 0;                  // the engine's block length
};

// Fills `frame` (its size is the visual area's) with `background`, then
// draws the spectrum or scope `state` picks in `colour` (0xAARRGGBB); the
// fire style copies columns of `fire`, the skin's fire picture.
void ComposeVisualFrame(VisualFrame& frame, const PixelView& background, const PixelView& fire,
                        std::uint32_t colour, const VisualState& state, const VisualSource& source);

// What one tick of the visual timer does.
struct VisualTick {
  bool run = false;           // false: nothing at all
  bool drawInternal = false;  // compose the spectrum or scope
  bool callPlugin = false;    // let a running visualization plug-in render
};
// While a playlist track plays with the visualization on: a running plug-in
// renders, and the internal picture is drawn besides only when the plug-in
// draws into its own window and "Disable internal vis when using plug-in" is
// clear; without a plug-in the internal picture is drawn.
VisualTick PlanVisualTick(bool trackActive, bool visualization, bool pluginRunning,
                          bool internalOffWithPlugin, bool detached);

}  // namespace qmb
