#include "engine/raw_pcm_source.h"

#include <cstdio>
#include <vector>

#include "playback/sound_engine.h"

namespace qmb::engine {

namespace {

class RawPcmSource : public Source {
 public:
  RawPcmSource(std::FILE* file, std::int64_t bytes) : file_(file), bytes_(bytes) {}
  ~RawPcmSource() override { std::fclose(file_); }

  int SampleRate() const override { return kRawSampleRate; }
  int Channels() const override { return 2; }
  std::int64_t LengthFrames() const override { return bytes_ / 4; }
  std::int64_t LengthBytes() const override { return bytes_; }
  int BitRateKbps() const override { return kRawSampleRate * 32 / 1000; }

  std::size_t Read(float* out, std::size_t frames) override {
    std::int64_t left = LengthFrames() - frame_;
    if (left <= 0) return 0;
    if (static_cast<std::int64_t>(frames) > left) frames = static_cast<std::size_t>(left);
    raw_.resize(frames * 4);
    std::size_t got = std::fread(raw_.data(), 4, frames, file_);
    for (std::size_t i = 0; i < got * 2; ++i) {
      auto lo = raw_[i * 2], hi = raw_[i * 2 + 1];
      auto v = static_cast<std::int16_t>(static_cast<std::uint16_t>(lo | (hi << 8)));
      out[i] = v / 32768.0f;
    }
    frame_ += static_cast<std::int64_t>(got);
    return got;
  }

  bool Seek(std::int64_t frame) override {
    if (frame < 0 || frame > LengthFrames()) return false;
    if (std::fseek(file_, static_cast<long>(frame * 4), SEEK_SET) != 0) return false;
    frame_ = frame;
    return true;
  }

 private:
  std::FILE* file_;
  std::int64_t bytes_;
  std::int64_t frame_ = 0;
  std::vector<unsigned char> raw_;
};

}  // namespace

std::unique_ptr<Source> OpenRawPcmSource(const std::string& path, std::string* error) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) {
    if (error) *error = "cannot open the file";
    return nullptr;
  }
  std::int64_t bytes = -1;
  if (std::fseek(file, 0, SEEK_END) == 0) bytes = std::ftell(file);
  if (bytes < 4 || std::fseek(file, 0, SEEK_SET) != 0) {
    std::fclose(file);
    if (error) *error = "no sound data";
    return nullptr;
  }
  return std::make_unique<RawPcmSource>(file, bytes);
}

}  // namespace qmb::engine
