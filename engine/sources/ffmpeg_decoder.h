// An FFmpeg demuxer and decoder behind the Source interface, shared by file
// streams and network addresses.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <deque>
#include <string>
#include <utility>
#include <vector>

#include "engine/source.h"

extern "C" {
#include <libavutil/channel_layout.h>
}

struct AVCodec;
struct AVCodecContext;
struct AVFormatContext;
struct AVFrame;
struct AVPacket;
struct SwrContext;

namespace qmb::engine {

class FfmpegDecoder final : public Source {
 public:
  FfmpegDecoder() = default;
  ~FfmpegDecoder() override;
  FfmpegDecoder(const FfmpegDecoder&) = delete;
  FfmpegDecoder& operator=(const FfmpegDecoder&) = delete;

  // Opens `url` and decodes its first frame. With `progress` (addresses) the
  // open is abortable and reads ahead before it reports ready. False with
  // `error` set when the input cannot be played.
  bool Open(const std::string& url, OpenProgress* progress, std::string* error);

  int SampleRate() const override { return rate_; }
  int Channels() const override { return channels_; }
  std::size_t Read(float* out, std::size_t frames) override;
  bool Seek(std::int64_t frame) override;
  std::int64_t LengthFrames() const override { return lengthFrames_; }
  std::int64_t LengthBytes() const override { return lengthBytes_; }
  int BitRateKbps() const override { return bitRateKbps_; }
  bool TakeMetadata(std::string& station, std::string& title) override;

 private:
  static int InterruptCallback(void* opaque);
  // Opens the address into `format_` with the options of a network stream.
  int OpenAddress();
  bool OpenCodec(std::string* error);
  // Sets up a decoder for `streamIndex_` of `format_`.
  bool StartDecoder(const AVCodec* decoder);
  // A live stream's lost connection: opened again after 1, 2 and 4 s.
  bool Reconnect();
  bool Aborted() const { return abort_ != nullptr && abort_->load(); }
  // Takes the station's name and the latest StreamTitle from the connection.
  void ReadIcyHeaders();
  void ReadIcyPacket();
  void FindLength(const std::string& url);
  bool ScanMpegPackets(const std::string& url);
  // Moves the demuxer to a place at or before `from`; false when it cannot.
  bool SeekNear(std::int64_t from);
  bool Prebuffer(OpenProgress& progress);
  // Reads the next packet of our stream into `packet_`; false at the end.
  bool NextPacket();
  // Decodes until `pending_` holds samples; false at the end.
  bool DecodeMore();
  // Converts `frame_` into `pending_`, dropping what lies before a seek target.
  void TakeFrame();
  void ResetDecoding();
  // Sets up the conversion from what the decoder gives to our float output.
  bool ConfigureResampler(int format, const AVChannelLayout& layout, int rate);
  // A cut PCM file claims more than it holds; its size tells the truth.
  void LimitPcmLength();

  AVFormatContext* format_ = nullptr;
  AVCodecContext* codec_ = nullptr;
  SwrContext* resampler_ = nullptr;
  AVPacket* packet_ = nullptr;
  AVFrame* frame_ = nullptr;
  int streamIndex_ = -1;
  std::atomic<bool>* abort_ = nullptr;  // the opener's progress, for addresses
  // An address's open gives up at this time (none while reading).
  std::chrono::steady_clock::time_point openDeadline_{};
  std::string url_;
  bool network_ = false;
  // The server named itself a station (icy-* headers): a close is a drop.
  bool station_ = false;
  std::string stationName_;
  std::string streamTitle_;
  std::string lastIcyPacket_;
  bool metadataChanged_ = false;
  std::deque<AVPacket*> readAhead_;

  int rate_ = 0;
  int channels_ = 0;
  // What the resampler takes in; a stream may change it midway.
  int inFormat_ = -1;
  int inRate_ = 0;
  AVChannelLayout inLayout_{};
  std::int64_t lengthFrames_ = -1;
  std::int64_t lengthBytes_ = 0;
  int bitRateKbps_ = 0;
  bool seekable_ = false;

  std::vector<float> pending_;               // converted samples not yet read
  std::size_t pendingPos_ = 0;               // in samples (frames × channels)
  std::int64_t firstTimestamp_ = INT64_MIN;  // stream time of our frame 0
  std::int64_t nextFrame_ = 0;               // index of the next decoded frame
  int firstFrameSize_ = 0;                   // in frames
  std::int64_t firstPacketPos_ = -1;         // byte offset of the audio data
  std::int64_t discardUntil_ = -1;           // seek target still to reach
  bool overshot_ = false;                    // a seek landed past its target
  bool inputEnded_ = false;
  // MPEG files: where each packet's audio starts, by byte position, so that
  // seeks go by bytes and land exactly.
  std::vector<std::pair<std::int64_t, std::int64_t>> packetStarts_;
  bool exactLength_ = false;
  bool byteSeeked_ = false;
};

// Makes FFmpeg quiet and ready for addresses; safe to call more than once.
void InitFfmpegOnce();

}  // namespace qmb::engine
