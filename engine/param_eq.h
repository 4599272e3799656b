// A peaking biquad for the system channel's parametric equalizer: the gain
// at the centre is exactly the asked gain, and the filter stays stable for any
// centre below half the rate.
#pragma once

namespace qmb::engine {

class ParamEq {
 public:
  // `bandwidth` in semitones, `gain` in dB.
  void Configure(double rate, double center, double bandwidth, double gain);
  void Reset() { s1_ = s2_ = Pair{0, 0}; }
  bool IsFlat() const { return flat_; }
  // Filters `count` interleaved stereo frames in place.
  void Process(float* frames, int count) {
    ParamEq* self = this;
    ProcessCascade(&self, 1, frames, count);
  }
  // Runs `filterCount` filters one after another over the frames, a frame at
  // a time, so the bands' recursions overlap instead of waiting on each other.
  static void ProcessCascade(ParamEq* const* filters, int filterCount, float* frames, int count);

 private:
  using Pair = double __attribute__((vector_size(16)));  // left, right
  double b0_ = 1, b1_ = 0, b2_ = 0, a1_ = 0, a2_ = 0;
  Pair s1_ = {0, 0}, s2_ = {0, 0};
  bool flat_ = true;
};

}  // namespace qmb::engine
