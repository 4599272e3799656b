// Helpers for the engine's tests: a running engine on the null output, raw
// sound files written on the spot, and a DSP unit that records the mix.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <mutex>
#include <numbers>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "playback/sound_engine.h"
#include "temp_folder.h"
#include "wait_until.h"

namespace qmb::test {

// The engine on the null output for one test.
class NullEngine {
 public:
  explicit NullEngine(int rate = 44100) {
    FSOUND_SetOutput(kOutputNoSound);
    FSOUND_SetDriver(0);
    FSOUND_SetBufferSize(100);
    ok_ = FSOUND_Init(rate, kMaxChannels, 0) != 0;
    EXPECT_TRUE(ok_);
  }
  ~NullEngine() { FSOUND_Close(); }
  bool Ok() const { return ok_; }

 private:
  bool ok_ = false;
};

// Writes interleaved stereo 16-bit little-endian frames made by `frame`
// (left, right in -1..1) at 44 100 Hz: the engine's raw layout.
inline std::string WriteRaw(const std::string& path, int frames,
                            const std::function<std::pair<double, double>(int)>& frame) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  for (int i = 0; i < frames; ++i) {
    auto [l, r] = frame(i);
    for (double v : {l, r}) {
      auto s = static_cast<std::int16_t>(std::lround(std::clamp(v, -1.0, 1.0) * 32767));
      unsigned char b[2] = {static_cast<unsigned char>(s & 0xff),
                            static_cast<unsigned char>((s >> 8) & 0xff)};
      std::fwrite(b, 1, 2, f);
    }
  }
  std::fclose(f);
  return path;
}

inline std::string WriteRawSine(const std::string& path, double seconds, double hz,
                                double amplitude = 0.5) {
  return WriteRaw(path, static_cast<int>(seconds * kRawSampleRate), [=](int i) {
    double v = amplitude * std::sin(2 * std::numbers::pi * hz * i / kRawSampleRate);
    return std::pair{v, v};
  });
}

// A DSP unit that keeps copies of the blocks it sees.
class MixCapture {
 public:
  explicit MixCapture(int priority = 400) {
    unit_ = FSOUND_DSP_Create(&MixCapture::Callback, priority, this);
    FSOUND_DSP_SetActive(unit_, true);
  }
  ~MixCapture() { FSOUND_DSP_Free(unit_); }
  DspUnit* Unit() const { return unit_; }

  // Forgets what was seen so far.
  void Clear() {
    std::lock_guard lock(mutex_);
    frames_.clear();
  }
  // Every frame seen since the last Clear, interleaved.
  std::vector<std::int16_t> Frames() const {
    std::lock_guard lock(mutex_);
    return frames_;
  }
  // Waits until at least `count` frames arrived; returns them.
  std::vector<std::int16_t> Collect(std::size_t count) {
    WaitUntil([&] {
      std::lock_guard lock(mutex_);
      return frames_.size() >= count * 2;
    });
    return Frames();
  }
  // Waits out the blocks that may have been mixed before a change, then
  // collects `count` frames mixed wholly after it.
  std::vector<std::int16_t> CollectAfterChange(std::size_t count) {
    Clear();
    Collect(2 * static_cast<std::size_t>(FSOUND_DSP_GetBufferLength()));
    Clear();
    return Collect(count);
  }
  int LastLength() const {
    std::lock_guard lock(mutex_);
    return lastLength_;
  }

 private:
  static void* Callback(void*, void* buffer, int length, void* user) {
    auto* self = static_cast<MixCapture*>(user);
    std::lock_guard lock(self->mutex_);
    const auto* samples = static_cast<const std::int16_t*>(buffer);
    if (self->frames_.size() < 44100 * 2 * 20)
      self->frames_.insert(self->frames_.end(), samples, samples + length * 2);
    self->lastLength_ = length;
    return buffer;
  }

  DspUnit* unit_ = nullptr;
  mutable std::mutex mutex_;
  std::vector<std::int16_t> frames_;
  int lastLength_ = 0;
};

// Root mean square of one side (0 left, 1 right) of interleaved frames, from
// frame `from` on, in 0..1.
inline double Rms(const std::vector<std::int16_t>& frames, int side, std::size_t from = 0) {
  double sum = 0;
  std::size_t n = 0;
  for (std::size_t i = from * 2 + side; i < frames.size(); i += 2, ++n)
    sum += (frames[i] / 32768.0) * (frames[i] / 32768.0);
  return n ? std::sqrt(sum / n) : 0;
}

// The tone's frequency from rising edges of the left side, with hysteresis.
inline double ToneHz(const std::vector<std::int16_t>& frames, int rate) {
  int edges = 0;
  std::size_t first = 0, last = 0;
  bool low = false;
  for (std::size_t i = 0; i < frames.size(); i += 2) {
    if (frames[i] < -2000) low = true;
    if (low && frames[i] > 2000) {
      low = false;
      if (edges++ == 0) first = i / 2;
      last = i / 2;
    }
  }
  return edges < 2 ? 0
                   : (edges - 1) * static_cast<double>(rate) / static_cast<double>(last - first);
}

}  // namespace qmb::test
