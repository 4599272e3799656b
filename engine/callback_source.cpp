#include "engine/callback_source.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace qmb::engine {

namespace {

class CallbackSource : public Source {
 public:
  CallbackSource(SoundStream* stream, StreamCallback callback, int lengthBytes, bool eightBit,
                 bool unsignedData, int channels, int rate, void* userData)
      : stream_(stream),
        callback_(callback),
        userData_(userData),
        eightBit_(eightBit),
        unsigned_(unsignedData),
        channels_(channels),
        rate_(rate),
        block_(static_cast<std::size_t>(lengthBytes)) {
    frameBytes_ = (eightBit ? 1 : 2) * channels;
    // A partial frame at the end of each block is never read.
    block_.resize(block_.size() - block_.size() % frameBytes_);
  }

  int SampleRate() const override { return rate_; }
  int Channels() const override { return channels_; }
  std::int64_t LengthFrames() const override { return -1; }

  // The owner has moved its source: what is left of the block is never
  // heard, and the fill function learns where the new time begins.
  bool Seek(std::int64_t) override {
    at_ = filled_ = 0;
    ended_ = false;
    callback_(stream_, nullptr, 0, userData_);
    return true;
  }

  std::size_t Read(float* out, std::size_t frames) override {
    std::size_t done = 0;
    while (done < frames) {
      if (at_ == filled_) {
        if (ended_) break;
        std::memset(block_.data(), 0, block_.size());
        int wrote = callback_(stream_, block_.data(), static_cast<int>(block_.size()), userData_);
        std::size_t bytes =
            std::clamp<std::size_t>(static_cast<std::size_t>(std::max(wrote, 0)), 0, block_.size());
        // A short block is the last; its whole frames are still played.
        if (bytes < block_.size()) ended_ = true;
        at_ = 0;
        filled_ = bytes / frameBytes_;
        if (filled_ == 0) break;
      }
      std::size_t take = std::min(frames - done, filled_ - at_);
      Convert(at_, take, out + done * channels_);
      at_ += take;
      done += take;
    }
    return done;
  }

 private:
  void Convert(std::size_t first, std::size_t count, float* out) const {
    std::size_t samples = count * channels_;
    if (eightBit_) {
      const auto* in = reinterpret_cast<const unsigned char*>(block_.data()) + first * channels_;
      for (std::size_t i = 0; i < samples; ++i) {
        int v = unsigned_ ? in[i] - 128 : static_cast<signed char>(in[i]);
        out[i] = v / 128.0f;
      }
      return;
    }
    const char* in = block_.data() + first * frameBytes_;
    for (std::size_t i = 0; i < samples; ++i) {
      std::int16_t v;
      std::memcpy(&v, in + i * 2, 2);
      out[i] = v / 32768.0f;
    }
  }

  SoundStream* stream_;
  StreamCallback callback_;
  void* userData_;
  bool eightBit_, unsigned_;
  int channels_, rate_;
  std::vector<char> block_;
  std::size_t frameBytes_ = 4;
  std::size_t at_ = 0, filled_ = 0;
  bool ended_ = false;
};

// What a callback stream reads ahead at least, in ms (see CallbackRingFrames):
// 16384 frames at 44.1 and 48 kHz once the ring rounds it up. Measured with
// bench/plugins/callback_underrun_bench.cpp on two loaded cores, the stream's
// thread was held up for up to 190 ms; with a ring of 8192 frames (186 ms,
// refilled from half) the mix found it empty now and then, with 16384 never.
// The file streams' rings are twice as long.
constexpr int kCallbackReadAheadMs = 300;

}  // namespace

std::size_t CallbackRingFrames(int mixRate, int blockFrames) {
  // The decoding thread writes 1024-frame chunks and the mixer takes whole
  // blocks, so a ring holds at least a few of each.
  std::size_t frames = static_cast<std::size_t>(mixRate) * kCallbackReadAheadMs / 1000;
  return std::max<std::size_t>({frames, static_cast<std::size_t>(blockFrames) * 4, 4096});
}

std::unique_ptr<Source> MakeCallbackSource(SoundStream* stream, StreamCallback callback,
                                           int lengthBytes, unsigned mode, int sampleRate,
                                           void* userData) {
  if (!callback || sampleRate < 1000 || sampleRate > 384000) return nullptr;
  bool eightBit = (mode & kStream8Bits) && !(mode & kStream16Bits);
  int channels = (mode & kStreamMono) && !(mode & kStreamStereo) ? 1 : 2;
  int frameBytes = (eightBit ? 1 : 2) * channels;
  if (lengthBytes < frameBytes) return nullptr;
  return std::make_unique<CallbackSource>(stream, callback, lengthBytes, eightBit,
                                          (mode & kStreamUnsigned) != 0, channels, sampleRate,
                                          userData);
}

}  // namespace qmb::engine
