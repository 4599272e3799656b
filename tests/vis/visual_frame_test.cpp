// The spectrum and scope pictures pixel by pixel on known inputs, over a
// background whose every pixel differs, plain and inverted; and what each
// tick of the visual timer draws.
#include "vis/visual_frame.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "core/running_state.h"

namespace qmb {
namespace {

constexpr std::uint32_t kInk = 0xFF00FF00u;

// A background and a fire picture whose pixels tell where they came from.
struct Pictures {
  Pictures(int w, int h) : w(w), h(h), background(w * h), fire(w * h) {
    for (int i = 0; i < w * h; ++i) {
      background[i] = 0xFF000000u | static_cast<std::uint32_t>(i);
      fire[i] = 0xFF800000u | static_cast<std::uint32_t>(i);
    }
  }
  std::uint32_t Background(int x, int y) const { return background[y * w + x]; }
  VisualFrame Compose(VisualState state, const VisualSource& source) const {
    VisualFrame frame(w, h);
    ComposeVisualFrame(frame, {background.data(), w, h, w}, {fire.data(), w, h, w}, kInk, state,
                       source);
    return frame;
  }
  // The rows of column x: '.' background, '#' ink, 'f' fire; anything else '?'.
  std::string Column(const VisualFrame& frame, int x) const {
    std::string rows;
    for (int y = 0; y < h; ++y) {
      std::uint32_t p = frame.At(x, y);
      rows += p == Background(x, y)              ? '.'
              : p == kInk                        ? '#'
              : (p & 0xFF800000u) == 0xFF800000u ? 'f'
                                                 : '?';
    }
    return rows;
  }
  int w, h;
  std::vector<std::uint32_t> background, fire;
};

std::string Rows(int background, char c, int count, int after = 0) {
  return std::string(background, '.') + std::string(count, c) + std::string(after, '.');
}

TEST(VisualFrame, SpectrumStylesDrawTheirColumnsAndStopAt256) {
  Pictures p(300, 50);
  std::array<float, kVisualSpectrumCount> spectrum;
  spectrum.fill(0.25f);  // a bar of half the height
  spectrum[1] = 4.0f;    // above 1: the bar reaches past the top
  spectrum[2] = 0.0f;
  struct Case {
    std::uint8_t style;
    std::string column0, column1, column2;
  } cases[] = {
      {0, Rows(25, 'f', 25), Rows(0, 'f', 50), Rows(50, 'f', 0)},
      {1, Rows(25, '#', 1, 24), Rows(0, '#', 1, 49), Rows(50, '#', 0)},
      // From the middle up to (not including) 12 and down to (not including) 37.
      {7, Rows(13, '#', 24, 13), Rows(1, '#', 49), Rows(50, '#', 0)},
  };
  for (const Case& c : cases) {
    VisualFrame frame = p.Compose({0, c.style, 0}, {spectrum.data()});
    EXPECT_EQ(p.Column(frame, 0), c.column0) << int(c.style);
    EXPECT_EQ(p.Column(frame, 1), c.column1) << int(c.style);
    EXPECT_EQ(p.Column(frame, 2), c.column2) << int(c.style);
    EXPECT_EQ(p.Column(frame, 255), c.column0) << int(c.style);
    EXPECT_EQ(p.Column(frame, 256), Rows(50, '#', 0)) << "only 256 columns";
    if (c.style == 0) {
      EXPECT_EQ(frame.At(0, 25), p.fire[0]) << "the fire's top rides the bar";
    }
  }
  // Narrower than 256: column W is clipped, not wrapped onto the next row.
  Pictures narrow(64, 15);
  VisualFrame frame = narrow.Compose({0, 1, 0}, {spectrum.data()});
  EXPECT_EQ(narrow.Column(frame, 63), Rows(7, '#', 1, 7));
  EXPECT_EQ(narrow.Column(frame, 0).substr(0, 7), ".......");
}

TEST(VisualFrame, ScopeTakesOnePairInEightAndTruncatesTowardZero) {
  Pictures p(64, 50);
  // L = 32: n = 3 points after the first, at x = 0, 21, 42, 64.
  std::vector<std::int16_t> block(64, 0);
  block[8] = block[9] = 32767;           // y = 25 + 32: below the picture
  block[16] = -1001, block[17] = -1002;  // m = -1001: y = 25 - 1.001, truncated to 24
  block[2] = block[3] = 30000;           // not one of the pairs read
  VisualSource source{nullptr, block.data(), block.size(), 32};
  struct Case {
    std::uint8_t style;
    std::string column0, column21, column42;
  } cases[] = {
      {1, Rows(25, '#', 1, 24), Rows(50, '#', 0), Rows(24, '#', 1, 25)},
      {2, Rows(20, '#', 10, 20), Rows(50, '#', 0), Rows(19, '#', 10, 21)},
  };
  for (const Case& c : cases) {
    VisualFrame frame = p.Compose({1, 0, c.style}, source);
    EXPECT_EQ(p.Column(frame, 0), c.column0) << int(c.style);
    EXPECT_EQ(p.Column(frame, 21), c.column21) << int(c.style);
    EXPECT_EQ(p.Column(frame, 42), c.column42) << int(c.style);
  }
  // The line leaves (0, 25) for (21, 57) and comes back to (42, 24): it
  // crosses the bottom edge and returns.
  VisualFrame line = p.Compose({1, 0, 0}, source);
  EXPECT_EQ(line.At(0, 25), kInk);
  int bottomInk = 0;
  for (int x = 0; x < p.w; ++x) bottomInk += line.At(x, 49) == kInk;
  EXPECT_EQ(bottomInk, 2) << "once down, once up";
  EXPECT_EQ(p.Column(line, 21), Rows(50, '#', 0));
  EXPECT_EQ(line.At(41, 25), kInk);
}

TEST(VisualFrame, OnlyTheBackgroundWithoutSomethingToDraw) {
  Pictures p(40, 20);
  std::array<float, kVisualSpectrumCount> spectrum;
  spectrum.fill(1.0f);
  std::vector<std::int16_t> block(64, 20000);
  struct Case {
    const char* what;
    VisualState state;
    VisualSource source;
  } cases[] = {
      {"no spectrum", {0, 0, 0}, {nullptr, block.data(), block.size(), 32}},
      {"no block", {1, 0, 0}, {spectrum.data(), nullptr, 0, 32}},
      {"a block too short for two points", {1, 0, 0}, {nullptr, block.data(), block.size(), 15}},
      {"an unknown kind", {9, 0, 0}, {spectrum.data(), block.data(), block.size(), 32}},
  };
  for (const Case& c : cases) {
    VisualFrame frame = p.Compose(c.state, c.source);
    for (int x = 0; x < p.w; ++x) ASSERT_EQ(p.Column(frame, x), Rows(20, '#', 0)) << c.what;
  }
  // A frame drawn before leaves nothing behind, and inverting inverts everything.
  VisualFrame frame = p.Compose({0, 1, 0}, {spectrum.data()});
  ComposeVisualFrame(frame, {p.background.data(), p.w, p.h, p.w}, {}, kInk, {0, 1, 0}, {});
  frame.ApplyRasterOp(kInvertedSourceCopy);
  EXPECT_EQ(frame.At(3, 0), p.Background(3, 0) ^ 0x00FFFFFFu);
  frame.ApplyRasterOp(kSourceCopy);
  EXPECT_EQ(frame.At(39, 19), p.Background(39, 19) ^ 0x00FFFFFFu);
}

TEST(VisualTimer, ATickDrawsOnlyForAPlayingTrackAndLeavesAnAttachedPluginAlone) {
  struct Case {
    bool trackActive, visualization, plugin, internalOff, detached;
    const char* tick;  // r: runs, d: draws the internal picture, p: calls the plug-in
  } cases[] = {
      {false, true, true, false, true, ""},  // nothing plays, or a preview
      {true, false, false, false, false, ""}, {true, true, false, true, true, "rd"},
      {true, true, true, false, false, "rp"},  // attached: the plug-in only
      {true, true, true, true, true, "rp"},   {true, true, true, false, true, "rdp"},
  };
  for (const Case& c : cases) {
    VisualTick t =
        PlanVisualTick(c.trackActive, c.visualization, c.plugin, c.internalOff, c.detached);
    EXPECT_EQ(
        std::string(t.run ? "r" : "") + (t.drawInternal ? "d" : "") + (t.callPlugin ? "p" : ""),
        c.tick);
  }
}

}  // namespace
}  // namespace qmb
