#include "engine/fft_spectrum.h"

#include <fftw3.h>

#include <algorithm>
#include <cmath>
#include <mutex>
#include <numbers>

namespace qmb::engine {

namespace {
// FFTW's planner is not thread-safe; plans are made and destroyed under this.
std::mutex& PlannerMutex() {
  static std::mutex m;
  return m;
}
}  // namespace

SpectrumAnalyzer::SpectrumAnalyzer() : history_(kFftSize, 0.0f), window_(kFftSize) {
  for (int i = 0; i < kFftSize; ++i)
    window_[i] = static_cast<float>(0.5 - 0.5 * std::cos(2 * std::numbers::pi * i / kFftSize));
  std::lock_guard lock(PlannerMutex());
  in_ = fftwf_alloc_real(kFftSize);
  auto* out = fftwf_alloc_complex(kFftSize / 2 + 1);
  out_ = out;
  plan_ = fftwf_plan_dft_r2c_1d(kFftSize, in_, out, FFTW_ESTIMATE);
}

SpectrumAnalyzer::~SpectrumAnalyzer() {
  std::lock_guard lock(PlannerMutex());
  fftwf_destroy_plan(static_cast<fftwf_plan>(plan_));
  fftwf_free(in_);
  fftwf_free(out_);
}

void SpectrumAnalyzer::Push(const std::int16_t* frames, int count) {
  // Only the newest kFftSize frames matter.
  int skip = std::max(0, count - kFftSize);
  for (int i = skip; i < count; ++i) {
    history_[at_] = (frames[i * 2] + frames[i * 2 + 1]) * (0.5f / 32768.0f);
    at_ = (at_ + 1) % kFftSize;
  }
}

void SpectrumAnalyzer::Snapshot(Window& out) const {
  std::copy(history_.begin() + at_, history_.end(), out.begin());
  std::copy(history_.begin(), history_.begin() + at_, out.begin() + (kFftSize - at_));
}

void SpectrumAnalyzer::Compute(std::array<float, kSpectrumSize>& out) {
  Window samples;
  Snapshot(samples);
  ComputeFrom(samples, out);
}

void SpectrumAnalyzer::ComputeFrom(const Window& samples, std::array<float, kSpectrumSize>& out) {
  for (int i = 0; i < kFftSize; ++i) in_[i] = samples[i] * window_[i];
  fftwf_execute(static_cast<fftwf_plan>(plan_));
  auto* bins = static_cast<fftwf_complex*>(out_);
  // A sine of amplitude A gives A * N / 4 through the Hann window.
  const float scale = 4.0f / kFftSize;
  for (int i = 0; i < kSpectrumSize; ++i) {
    float m = std::sqrt(bins[i][0] * bins[i][0] + bins[i][1] * bins[i][1]) * scale;
    out[i] = std::min(m, 1.0f);
  }
}

}  // namespace qmb::engine
