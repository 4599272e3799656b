// Converts interleaved stereo float frames from a source's rate to the
// mixer's rate with a windowed-sinc filter; a pass-through when they match.
#pragma once

#include <cstddef>
#include <vector>

namespace qmb::engine {

class Resampler {
 public:
  Resampler(int inRate, int outRate);

  bool PassThrough() const { return inRate_ == outRate_; }
  // Appends the output for `frames` input frames to `out`.
  void Process(const float* in, std::size_t frames, std::vector<float>& out);
  // Pushes out what the filter still holds at the end of the input.
  void Flush(std::vector<float>& out);
  // Forgets the history (after a seek).
  void Reset();

 private:
  int inRate_, outRate_;
  double step_;       // input frames per output frame
  int half_ = 0;      // taps on each side of the centre
  int phases_ = 256;  // table rows between two input frames
  std::vector<float> table_;
  std::vector<float> history_;  // stereo frames not yet fully used
  double pos_ = 0;              // next output's position in history_
};

}  // namespace qmb::engine
