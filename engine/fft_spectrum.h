// The FFT unit's analysis: 512 magnitudes in 0..1 from the newest 1024 mixed
// frames, scaled so a full-scale sine reads 1 in its bin.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace qmb::engine {

constexpr int kSpectrumSize = 512;
constexpr int kFftSize = 1024;

class SpectrumAnalyzer {
 public:
  SpectrumAnalyzer();
  ~SpectrumAnalyzer();
  SpectrumAnalyzer(const SpectrumAnalyzer&) = delete;
  SpectrumAnalyzer& operator=(const SpectrumAnalyzer&) = delete;

  using Window = std::array<float, kFftSize>;

  // Feeds interleaved stereo 16-bit frames (mixed down to mono).
  void Push(const std::int16_t* frames, int count);
  // The newest kFftSize samples, oldest first: what the mixing thread hands
  // over, so the transform itself runs only when someone reads a spectrum.
  void Snapshot(Window& out) const;
  void ComputeFrom(const Window& samples, std::array<float, kSpectrumSize>& out);
  void Compute(std::array<float, kSpectrumSize>& out);

 private:
  std::vector<float> history_;  // the newest kFftSize mono samples, circular
  int at_ = 0;
  std::vector<float> window_;
  float* in_ = nullptr;
  void* out_ = nullptr;  // fftwf_complex[kFftSize / 2 + 1]
  void* plan_ = nullptr;
};

}  // namespace qmb::engine
