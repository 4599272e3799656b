// The mixer: 32 channels of streams mixed in floating point with volume, pan,
// mute and pause ramps, the system channel's equalizer, the DSP chain on
// 16-bit stereo blocks and the FFT unit. Render runs on the output's thread
// and never waits: callers publish changes through atomics and wait, if they
// must, for the block under way to end.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/fft_spectrum.h"
#include "engine/param_eq.h"
#include "engine/stream.h"
#include "playback/sound_engine.h"

namespace qmb {

struct DspUnit {
  DspCallback callback = nullptr;
  int priority = 0;
  void* userData = nullptr;
  std::atomic<bool> active{false};
  bool isFft = false;
};

}  // namespace qmb

namespace qmb::engine {

struct ChannelSlot {
  std::atomic<SoundStream*> stream{nullptr};
  std::atomic<int> volume{255};
  std::atomic<int> pan{127};
  std::atomic<bool> mute{false};
  std::atomic<bool> paused{false};
};

struct EqSlot {
  std::atomic<bool> enabled{false};
  std::atomic<std::uint32_t> version{0};
  std::atomic<float> center{8000}, bandwidth{12}, gain{0};
  // Mixing thread only.
  std::uint32_t seenVersion = 0;
  bool live = false;
  ParamEq filter;
};

constexpr int kMaxEffects = 32;

class Mixer {
 public:
  Mixer(int rate, int blockFrames);
  ~Mixer();
  Mixer(const Mixer&) = delete;
  Mixer& operator=(const Mixer&) = delete;

  int Rate() const { return rate_; }
  int BlockFrames() const { return block_; }

  // The output's side: `frames` frames of interleaved stereo signed 16-bit.
  void Render(std::int16_t* out, int frames);
  // False while nothing plays, so a clocked output may sleep. The output's
  // thread only, like Render.
  bool HasWork();
  // Changes when something starts that needs the output running.
  std::atomic<std::uint32_t>& Activity() { return activity_; }
  void NotifyActivity() {
    activity_.fetch_add(1, std::memory_order_release);
    activity_.notify_all();
  }

  // The caller's side.
  ChannelSlot& Channel(int index) { return channels_[index]; }
  void Attach(int channel, SoundStream* stream);
  void Detach(int channel);
  // Returns once a block being mixed has ended (at once on the mixing thread).
  void WaitForBlock() const;
  // Replaces the DSP chain (any order; it is sorted by priority here).
  void SetDspChain(std::vector<DspUnit*> units);
  DspUnit& FftUnit() { return fftUnit_; }
  // The newest spectrum; valid until the next call.
  const float* LatestSpectrum();
  std::atomic<bool> systemPaused{false};
  std::array<EqSlot, kMaxEffects> effects;

 private:
  void MixBlock();
  // Mixes one stream into mix_ from frame `from`; returns nothing, updates the stream.
  void MixStream(ChannelSlot& slot, SoundStream& stream);
  void ApplyEffects(int frames);

  const int rate_;
  const int block_;
  const float rampStep_;  // gain change per frame: a full swing in 5 ms
  std::array<ChannelSlot, kMaxChannels> channels_;
  std::atomic<std::uint32_t> activity_{0};
  // Odd while a block is being mixed.
  std::atomic<std::uint64_t> mixing_{0};

  std::vector<float> mix_;
  std::vector<std::int16_t> original_, buffer_;
  std::vector<std::int16_t> carry_;
  int carryAt_ = 0, carryLength_ = 0;
  float systemGain_ = 1;

  std::atomic<std::vector<DspUnit*>*> chain_{nullptr};
  DspUnit fftUnit_;
  SpectrumAnalyzer analyzer_;
  // Triple buffer: the mixer fills one, the caller reads another.
  // The newest analysis windows, handed from the mixing thread to the reader
  // through a triple buffer; the reader transforms the freshest one.
  std::array<SpectrumAnalyzer::Window, 3> windows_{};
  SpectrumAnalyzer readerAnalyzer_;
  std::array<float, kSpectrumSize> spectrum_{};
  std::atomic<int> latest_{0};
  int back_ = 1, front_ = 2;
  bool spectrumValid_ = false;
};

}  // namespace qmb::engine
