#include "engine/resampler.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace qmb::engine {

namespace {

double BesselI0(double x) {
  double sum = 1, term = 1;
  for (int k = 1; k < 30; ++k) {
    term *= (x / (2 * k)) * (x / (2 * k));
    sum += term;
  }
  return sum;
}

constexpr int kZeroCrossings = 16;
constexpr double kKaiserBeta = 8.6;

}  // namespace

Resampler::Resampler(int inRate, int outRate) : inRate_(inRate), outRate_(outRate) {
  step_ = static_cast<double>(inRate) / outRate;
  if (PassThrough()) return;
  // Below the lower Nyquist frequency, with a little room for the transition.
  double cutoff = std::min(1.0, 1.0 / step_) * 0.94;
  half_ = static_cast<int>(std::ceil(kZeroCrossings / cutoff));
  int taps = 2 * half_;
  table_.assign(static_cast<std::size_t>(phases_ + 1) * taps, 0.0f);
  double norm = BesselI0(kKaiserBeta);
  for (int p = 0; p <= phases_; ++p) {
    double frac = static_cast<double>(p) / phases_;
    for (int k = 0; k < taps; ++k) {
      double x = (k - half_ + 1) - frac;  // distance from the output point, in input frames
      double r = x / half_;
      double window = std::abs(r) >= 1 ? 0 : BesselI0(kKaiserBeta * std::sqrt(1 - r * r)) / norm;
      double arg = std::numbers::pi * cutoff * x;
      double sinc = x == 0 ? 1 : std::sin(arg) / arg;
      table_[static_cast<std::size_t>(p) * taps + k] = static_cast<float>(cutoff * sinc * window);
    }
  }
  Reset();
}

void Resampler::Reset() {
  if (PassThrough()) return;
  history_.assign(static_cast<std::size_t>(half_) * 2, 0.0f);
  pos_ = half_;
}

void Resampler::Process(const float* in, std::size_t frames, std::vector<float>& out) {
  if (PassThrough()) {
    out.insert(out.end(), in, in + frames * 2);
    return;
  }
  history_.insert(history_.end(), in, in + frames * 2);
  const std::size_t have = history_.size() / 2;
  const int taps = 2 * half_;
  while (true) {
    std::size_t i = static_cast<std::size_t>(pos_);
    if (i + half_ >= have) break;
    double phase = (pos_ - i) * phases_;
    int p = static_cast<int>(phase);
    float t = static_cast<float>(phase - p);
    const float* row0 = &table_[static_cast<std::size_t>(p) * taps];
    const float* row1 = row0 + taps;
    const float* src = &history_[(i + 1 - half_) * 2];
    float l = 0, r = 0;
    for (int k = 0; k < taps; ++k) {
      float c = row0[k] + t * (row1[k] - row0[k]);
      l += c * src[k * 2];
      r += c * src[k * 2 + 1];
    }
    out.push_back(l);
    out.push_back(r);
    pos_ += step_;
  }
  // Keep only the frames the next outputs still need.
  std::size_t first = static_cast<std::size_t>(pos_);
  std::size_t drop = first + 1 > static_cast<std::size_t>(half_) ? first + 1 - half_ : 0;
  drop = std::min(drop, have);
  history_.erase(history_.begin(), history_.begin() + static_cast<std::ptrdiff_t>(drop * 2));
  pos_ -= static_cast<double>(drop);
}

void Resampler::Flush(std::vector<float>& out) {
  if (PassThrough()) return;
  std::vector<float> silence(static_cast<std::size_t>(half_) * 2, 0.0f);
  Process(silence.data(), static_cast<std::size_t>(half_), out);
}

}  // namespace qmb::engine
