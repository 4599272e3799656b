// A peaking biquad for the system channel's parametric equalizer: the gain
// at the centre is exactly the asked gain, and the filter stays stable for any
// centre below half the rate.
#pragma once

namespace qmb::engine {

class ParamEq {
 public:
  // `bandwidth` in semitones, `gain` in dB.
  void Configure(double rate, double center, double bandwidth, double gain);
  void Reset() { s1_[0] = s1_[1] = s2_[0] = s2_[1] = 0; }
  bool IsFlat() const { return flat_; }
  // Filters `frames` interleaved stereo frames in place.
  void Process(float* frames, int count);

 private:
  double b0_ = 1, b1_ = 0, b2_ = 0, a1_ = 0, a2_ = 0;
  double s1_[2] = {0, 0}, s2_[2] = {0, 0};
  bool flat_ = true;
};

}  // namespace qmb::engine
