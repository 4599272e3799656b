// A peaking biquad for the system channel's parametric equalizer: the gain
// at the centre is exactly the asked gain, and the filter stays stable for any
// centre below half the rate. A filter that is already running moves to a new
// response by crossfading from the old one over a few milliseconds, so moving
// a band or applying a preset never clicks.
#pragma once

namespace qmb::engine {

class ParamEq {
 public:
  // The crossfade after a retune.
  static constexpr double kFadeSeconds = 0.01;

  // `bandwidth` in semitones, `gain` in dB.
  void Configure(double rate, double center, double bandwidth, double gain);
  // Forgets the sound so far; the next Configure takes effect at once.
  void Reset() {
    s1_ = s2_ = Pair{0, 0};
    fade_ = 0;
    running_ = false;
  }
  bool IsFlat() const { return flat_ && fade_ == 0; }
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
  struct Biquad {
    double b0 = 1, b1 = 0, b2 = 0, a1 = 0, a2 = 0;
    Pair s1 = {0, 0}, s2 = {0, 0};
    Pair Step(Pair x) {
      Pair y = b0 * x + s1;
      s1 = b1 * x - a1 * y + s2;
      s2 = b2 * x - a2 * y;
      return y;
    }
  };
  static void ProcessFading(ParamEq* const* filters, int filterCount, float* frames, int count);
  static void FlushDenormals(Pair& s);

  double b0_ = 1, b1_ = 0, b2_ = 0, a1_ = 0, a2_ = 0;
  Pair s1_ = {0, 0}, s2_ = {0, 0};
  Biquad old_;    // the response faded out
  int fade_ = 0;  // frames of the crossfade still to go
  int fadeLength_ = 1;
  bool flat_ = true;
  bool running_ = false;  // has filtered sound since the last Reset
};

}  // namespace qmb::engine
