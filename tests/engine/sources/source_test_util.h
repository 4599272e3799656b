// Helpers shared by the decoder tests: fixture paths, whole-source reads and
// simple measurements of what came out.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "engine/source.h"
#include "temp_folder.h"

namespace qmb::engine::test {

inline std::string Fixture(const std::string& name) {
  return std::string(QMB_FIXTURE_DIR) + "/" + name;
}

// Reads until the source ends, at most `limit` frames, in uneven blocks.
inline std::vector<float> ReadAll(Source& source, std::int64_t limit = 1 << 24) {
  std::vector<float> all;
  std::vector<float> block(4096 * 2);
  std::int64_t frames = 0;
  for (std::size_t size = 333; frames < limit; size = size % 3000 + 777) {
    std::size_t n = source.Read(block.data(), size);
    if (n == 0) break;
    all.insert(all.end(), block.begin(), block.begin() + n * source.Channels());
    frames += static_cast<std::int64_t>(n);
  }
  return all;
}

// The frequency of a steady tone in the first channel from its rising edges;
// the hysteresis, a quarter of the peak, keeps coding noise from counting.
inline double ToneHz(const std::vector<float>& samples, int channels, int rate) {
  float peak = 0;
  for (float s : samples) peak = std::max(peak, std::abs(s));
  int edges = 0;
  std::size_t first = 0, last = 0;
  bool low = false;
  for (std::size_t i = 0; i < samples.size(); i += channels) {
    low = low || samples[i] < -peak / 4;
    if (low && samples[i] > peak / 4) {
      low = false;
      last = i / channels;
      if (edges++ == 0) first = last;
    }
  }
  return edges < 2 ? 0
                   : (edges - 1) * static_cast<double>(rate) / static_cast<double>(last - first);
}

inline double Rms(const std::vector<float>& samples) {
  double sum = 0;
  for (float s : samples) sum += static_cast<double>(s) * s;
  return samples.empty() ? 0 : std::sqrt(sum / static_cast<double>(samples.size()));
}

// Lengths and positions may be off by 1 % or 50 ms, whichever is larger.
inline double FrameTolerance(double expectedFrames, int rate) {
  return std::max(expectedFrames * 0.01, rate * 0.05);
}

using qmb::test::ReadFile;
using qmb::test::TempFolder;

}  // namespace qmb::engine::test
