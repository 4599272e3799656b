// Converts interleaved stereo float frames from a source's rate to the
// mixer's rate with libsoxr (high quality, linear phase); a pass-through
// when they match. Output is aligned with the input: frame 0 in is frame 0
// out, so positions and seeks need no correction for the filter's delay.
#pragma once

#include <cstddef>
#include <vector>

struct soxr;

namespace qmb::engine {

class Resampler {
 public:
  Resampler(int inRate, int outRate);
  ~Resampler();
  Resampler(const Resampler&) = delete;
  Resampler& operator=(const Resampler&) = delete;

  bool PassThrough() const { return inRate_ == outRate_ || !soxr_; }
  // Appends the output for `frames` input frames to `out`.
  void Process(const float* in, std::size_t frames, std::vector<float>& out);
  // Pushes out what the filter still holds at the end of the input; the
  // next Process starts a fresh signal.
  void Flush(std::vector<float>& out);
  // Forgets the history (after a seek).
  void Reset();

 private:
  void Run(const float* in, std::size_t frames, std::vector<float>& out);

  int inRate_, outRate_;
  double ratio_;  // output frames per input frame
  soxr* soxr_ = nullptr;
};

}  // namespace qmb::engine
