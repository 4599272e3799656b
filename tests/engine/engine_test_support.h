// Helpers for the engine's tests: a running engine on the null output, raw
// sound files written on the spot, and a DSP unit that records the mix.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
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

inline std::string Fixture(const std::string& name) {
  return std::string(QMB_FIXTURE_DIR "/") + name;
}

// The engine on the null output for one test.
struct NullEngine {
  explicit NullEngine(int rate = 44100) {
    FSOUND_SetOutput(kOutputNoSound);
    FSOUND_SetDriver(0);
    FSOUND_SetBufferSize(100);
    EXPECT_NE(FSOUND_Init(rate, kMaxChannels, 0), 0);
  }
  ~NullEngine() { FSOUND_Close(); }
};

// Writes interleaved stereo 16-bit little-endian frames made by `frame`
// (left, right in -1..1) at 44 100 Hz: the engine's raw layout.
inline std::string WriteRaw(const std::string& path, int frames,
                            const std::function<std::pair<double, double>(int)>& frame) {
  std::string bytes;
  for (int i = 0; i < frames; ++i) {
    auto [l, r] = frame(i);
    for (double v : {l, r}) {
      auto s = static_cast<std::uint16_t>(std::lround(std::clamp(v, -1.0, 1.0) * 32767));
      bytes += {static_cast<char>(s & 0xff), static_cast<char>(s >> 8)};
    }
  }
  std::ofstream(path, std::ios::binary) << bytes;
  return path;
}

inline std::string WriteRawSine(const std::string& path, double seconds, double hz,
                                double amplitude = 0.5) {
  return WriteRaw(path, static_cast<int>(seconds * kRawSampleRate), [=](int i) {
    double v = amplitude * std::sin(2 * std::numbers::pi * hz * i / kRawSampleRate);
    return std::pair{v, v};
  });
}

// A raw file of a sine playing on `channel`, closed with the object.
struct PlayingSine {
  PlayingSine(double seconds, double hz, double amplitude = 0.5, int channel = 0) {
    s = FSOUND_Stream_Open(WriteRawSine(folder.Path() + "sine.raw", seconds, hz, amplitude).c_str(),
                           kStreamLoadRaw, 0, 0);
    EXPECT_EQ(FSOUND_Stream_Play(channel, s), channel);
  }
  ~PlayingSine() { FSOUND_Stream_Close(s); }
  TempFolder folder;
  SoundStream* s = nullptr;
};

// A DSP unit that keeps copies of the blocks it sees.
class MixCapture {
 public:
  explicit MixCapture(int priority = 400) {
    unit_ = FSOUND_DSP_Create(&MixCapture::Callback, priority, this);
    FSOUND_DSP_SetActive(unit_, true);
  }
  ~MixCapture() { FSOUND_DSP_Free(unit_); }

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

 private:
  static void* Callback(void*, void* buffer, int length, void* user) {
    auto* self = static_cast<MixCapture*>(user);
    std::lock_guard lock(self->mutex_);
    const auto* samples = static_cast<const std::int16_t*>(buffer);
    if (self->frames_.size() < 44100 * 2 * 20)
      self->frames_.insert(self->frames_.end(), samples, samples + length * 2);
    return buffer;
  }

  DspUnit* unit_ = nullptr;
  mutable std::mutex mutex_;
  std::vector<std::int16_t> frames_;
};

// Root mean square of one side (0 left, 1 right) of interleaved frames, in 0..1.
inline double Rms(const std::vector<std::int16_t>& frames, int side) {
  double sum = 0;
  for (std::size_t i = side; i < frames.size(); i += 2)
    sum += (frames[i] / 32768.0) * (frames[i] / 32768.0);
  return frames.empty() ? 0 : std::sqrt(sum / static_cast<double>(frames.size() / 2));
}

}  // namespace qmb::test
