#include "vis/visual_frame.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "core/running_state.h"

namespace qmb {
namespace {

// Truncation toward zero, with values far outside any picture held at a
// distance that still clips the same way.
int Trunc(float value) {
  if (!(value == value)) return 0;
  return static_cast<int>(std::clamp(value, -1e7f, 1e7f));
}

}  // namespace

VisualFrame::VisualFrame(int width, int height)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      pixels_(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), 0xFF000000u) {}

void VisualFrame::SetPixel(int x, int y, std::uint32_t colour) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  pixels_[Index(x, y)] = colour;
}

void VisualFrame::VerticalLine(int x, int y0, int y1, std::uint32_t colour) {
  if (x < 0 || x >= width_ || y0 == y1) return;
  // The end is left out: downwards y0..y1-1, upwards y0 down to y1+1.
  int top = y0 < y1 ? y0 : y1 + 1;
  int bottom = y0 < y1 ? y1 - 1 : y0;
  top = std::max(top, 0);
  bottom = std::min(bottom, height_ - 1);
  for (int y = top; y <= bottom; ++y) pixels_[Index(x, y)] = colour;
}

void VisualFrame::Line(int x0, int y0, int x1, int y1, std::uint32_t colour) {
  if (x0 == x1) {
    VerticalLine(x0, y0, y1, colour);
    return;
  }
  // Bresenham, every point but the last.
  const int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
  const int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
  int error = dx + dy;
  while (x0 != x1 || y0 != y1) {
    SetPixel(x0, y0, colour);
    const int twice = 2 * error;
    if (twice >= dy) error += dy, x0 += sx;
    if (twice <= dx) error += dx, y0 += sy;
  }
}

void VisualFrame::Copy(const PixelView& source, int x, int y, int width, int height, int fromX) {
  if (!source.pixels) return;
  for (int row = 0; row < height && row < source.height; ++row) {
    const int ty = y + row;
    if (ty < 0 || ty >= height_) continue;
    for (int column = 0; column < width && fromX + column < source.width; ++column) {
      const int tx = x + column;
      if (tx < 0 || tx >= width_ || fromX + column < 0) continue;
      pixels_[Index(tx, ty)] = source.pixels[static_cast<std::size_t>(row) * source.stride +
                                             static_cast<std::size_t>(fromX + column)];
    }
  }
}

void VisualFrame::ApplyRasterOp(std::uint32_t rasterOp) {
  if (rasterOp != kInvertedSourceCopy) return;
  for (std::uint32_t& p : pixels_) p ^= 0x00FFFFFFu;
}

namespace {

void DrawSpectrum(VisualFrame& frame, const PixelView& fire, std::uint32_t colour,
                  std::uint8_t style, const float* spectrum) {
  const int w = frame.Width(), h = frame.Height(), half = h / 2;
  const float height = static_cast<float>(h), halfHeight = static_cast<float>(half);
  // Up to and including column min(W, 255); column W itself is clipped.
  const int last = std::min(w, kVisualSpectrumCount - 1);
  for (int i = 0; i <= last; ++i) {
    const float v = std::sqrt(spectrum[i]);
    if (style == 0 || style == 1) {
      const int y = std::max(Trunc(height - height * v), 0);
      if (style == 0) {
        // The top of the fire picture rides on the top of the bar.
        frame.Copy(fire, i, y, 1, h, i);
      } else {
        frame.SetPixel(i, y, colour);
      }
      continue;
    }
    const int up = std::max(Trunc(halfHeight - halfHeight * v), 0);
    frame.Line(i, half, i, up, colour);
    frame.Line(i, half, i, Trunc(halfHeight + halfHeight * v), colour);
  }
}

void DrawScope(VisualFrame& frame, std::uint32_t colour, std::uint8_t style,
               const VisualSource& source) {
  const int n = source.bufferLength / kScopeStride - 1;
  if (n < 1) return;
  const std::int64_t w = frame.Width(), h = frame.Height();
  const int half = static_cast<int>(h / 2);
  int penX = 0, penY = half;
  for (int i = 0; i <= n; ++i) {
    const std::size_t at = static_cast<std::size_t>(i) * kScopeStride;
    if (at + 1 >= source.bufferValues) break;
    const int x = static_cast<int>(i * w / n);
    const int m = (source.buffer[at] + source.buffer[at + 1]) / 2;
    const int y = half + static_cast<int>(m * h / 50000);
    if (style == 0) {
      frame.Line(penX, penY, x, y, colour);
      penX = x, penY = y;
    } else if (style == 1) {
      frame.SetPixel(x, y, colour);
    } else {
      frame.Line(x, y - 5, x, y + 5, colour);
    }
  }
}

}  // namespace

void ComposeVisualFrame(VisualFrame& frame, const PixelView& background, const PixelView& fire,
                        std::uint32_t colour, const VisualState& state,
                        const VisualSource& source) {
  std::fill(frame.Data(), frame.Data() + frame.Pixels().size(), 0xFF000000u);
  frame.Copy(background, 0, 0, frame.Width(), frame.Height());
  if (state.visKind == 0 && source.spectrum) {
    DrawSpectrum(frame, fire, colour, state.spectrumStyle, source.spectrum);
  } else if (state.visKind == 1 && source.buffer && source.bufferLength > 1) {
    DrawScope(frame, colour, state.scopeStyle, source);
  }
}

VisualTick PlanVisualTick(bool trackActive, bool visualization, bool pluginRunning,
                          bool internalOffWithPlugin, bool detached) {
  if (!trackActive || !visualization) return {};
  if (!pluginRunning) return {true, true, false};
  return {true, !internalOffWithPlugin && detached, true};
}

}  // namespace qmb
