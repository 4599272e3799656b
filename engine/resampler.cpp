#include "engine/resampler.h"

#include <soxr.h>

#include <algorithm>

namespace qmb::engine {

Resampler::Resampler(int inRate, int outRate)
    : inRate_(inRate), outRate_(outRate), ratio_(static_cast<double>(outRate) / inRate) {
  if (inRate == outRate || inRate <= 0 || outRate <= 0) return;
  soxr_io_spec_t io = soxr_io_spec(SOXR_FLOAT32_I, SOXR_FLOAT32_I);
  soxr_quality_spec_t quality = soxr_quality_spec(SOXR_HQ, 0);
  // One thread: the stream's decoding thread is the only one that runs it.
  soxr_runtime_spec_t runtime = soxr_runtime_spec(1);
  soxr_error_t error = nullptr;
  soxr_ = soxr_create(inRate, outRate, 2, &error, &io, &quality, &runtime);
  if (error) {
    soxr_delete(soxr_);
    soxr_ = nullptr;
  }
}

Resampler::~Resampler() {
  soxr_delete(soxr_);
}

void Resampler::Reset() {
  if (soxr_) soxr_clear(soxr_);
}

void Resampler::Run(const float* in, std::size_t frames, std::vector<float>& out) {
  std::size_t used = 0;
  while (true) {
    // Room for this input and what the filter may still hold.
    std::size_t room = static_cast<std::size_t>((frames - used) * ratio_) + 256;
    std::size_t at = out.size();
    out.resize(at + room * 2);
    std::size_t took = 0, made = 0;
    soxr_process(soxr_, in ? in + used * 2 : nullptr, frames - used, &took, &out[at], room, &made);
    out.resize(at + made * 2);
    used += took;
    // Done once the input is taken and the output was not cut short.
    if (used >= frames && made < room) return;
    if (took == 0 && made == 0) return;
  }
}

void Resampler::Process(const float* in, std::size_t frames, std::vector<float>& out) {
  if (PassThrough()) {
    out.insert(out.end(), in, in + frames * 2);
    return;
  }
  if (frames > 0) Run(in, frames, out);
}

void Resampler::Flush(std::vector<float>& out) {
  if (PassThrough()) return;
  Run(nullptr, 0, out);
  soxr_clear(soxr_);
}

}  // namespace qmb::engine
