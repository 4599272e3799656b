#include "engine/sources/ffmpeg_decoder.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <thread>

#include "core/text_util.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

namespace qmb::engine {

namespace {

// Reading the whole file for an exact length is worth it up to this size.
constexpr std::int64_t kLengthScanLimitBytes = 256 << 20;
// Audio an address reads ahead before it reports ready.
constexpr double kPrebufferSeconds = 1.5;
constexpr std::size_t kPrebufferMaxPackets = 2000;
// Consecutive packets the decoder may reject before the stream counts as ended.
constexpr int kMaxBadPackets = 500;
// An address that has not answered with its headers by then has failed.
constexpr auto kOpenLimit = std::chrono::milliseconds(9000);
// A connection that stalls this long counts as gone (microseconds).
constexpr const char* kStallLimitUs = "8000000";
// The waits before each new connection of a live stream that dropped.
constexpr int kReconnectDelaysMs[] = {1000, 2000, 4000};

// The value of StreamTitle='...'; in an ICY metadata block; a title may
// itself hold quotes, so it ends at the quote before the next ';' field.
std::string StreamTitleOf(const std::string& packet) {
  const std::string key = "StreamTitle='";
  std::size_t start = packet.find(key);
  if (start == std::string::npos) return {};
  start += key.size();
  std::size_t end = packet.find("';", start);
  if (end == std::string::npos) end = packet.rfind('\'');
  if (end == std::string::npos || end < start) end = packet.size();
  return packet.substr(start, end - start);
}

// One header's value from the "name: value" lines FFmpeg keeps of them.
std::string HeaderValue(const std::string& headers, const std::string& name) {
  std::size_t at = 0;
  while (at < headers.size()) {
    std::size_t end = headers.find('\n', at);
    if (end == std::string::npos) end = headers.size();
    std::string line = headers.substr(at, end - at);
    std::size_t colon = line.find(':');
    if (colon != std::string::npos && ToLowerAscii(line.substr(0, colon)) == name) {
      return std::string(TrimSpace(line.substr(colon + 1)));
    }
    at = end + 1;
  }
  return {};
}

std::string ErrorText(int code) {
  char text[AV_ERROR_MAX_STRING_SIZE] = {};
  av_strerror(code, text, sizeof text);
  return text;
}

bool IsMpegAudioDemuxer(const AVFormatContext* format) {
  return std::strcmp(format->iformat->name, "mp3") == 0;
}

}  // namespace

void InitFfmpegOnce() {
  static std::once_flag once;
  std::call_once(once, [] {
    av_log_set_level(AV_LOG_QUIET);
    avformat_network_init();
  });
}

FfmpegDecoder::~FfmpegDecoder() {
  for (AVPacket* p : readAhead_) av_packet_free(&p);
  av_frame_free(&frame_);
  av_packet_free(&packet_);
  swr_free(&resampler_);
  av_channel_layout_uninit(&inLayout_);
  avcodec_free_context(&codec_);
  avformat_close_input(&format_);
}

int FfmpegDecoder::InterruptCallback(void* opaque) {
  auto* self = static_cast<FfmpegDecoder*>(opaque);
  if (self->Aborted()) return 1;
  bool late = self->openDeadline_ != std::chrono::steady_clock::time_point{} &&
              std::chrono::steady_clock::now() > self->openDeadline_;
  return late ? 1 : 0;
}

int FfmpegDecoder::OpenAddress() {
  if (format_ == nullptr) format_ = avformat_alloc_context();
  if (format_ == nullptr) return AVERROR(ENOMEM);
  format_->interrupt_callback = {&FfmpegDecoder::InterruptCallback, this};
  AVDictionary* options = nullptr;
  // Stations are played from start to end; range requests only confuse them.
  av_dict_set(&options, "seekable", "0", 0);
  av_dict_set(&options, "user_agent", "Qumble Player", 0);
  av_dict_set(&options, "icy", "1", 0);
  av_dict_set(&options, "rw_timeout", kStallLimitUs, 0);
  openDeadline_ = std::chrono::steady_clock::now() + kOpenLimit;
  int result = avformat_open_input(&format_, url_.c_str(), nullptr, &options);
  if (result >= 0) result = avformat_find_stream_info(format_, nullptr);
  openDeadline_ = {};
  av_dict_free(&options);
  return result;
}

bool FfmpegDecoder::Open(const std::string& url, OpenProgress* progress, std::string* error) {
  InitFfmpegOnce();
  std::string ignored;
  if (error == nullptr) error = &ignored;
  format_ = avformat_alloc_context();
  packet_ = av_packet_alloc();
  frame_ = av_frame_alloc();
  if (format_ == nullptr || packet_ == nullptr || frame_ == nullptr) {
    *error = "out of memory";
    return false;
  }
  url_ = url;
  network_ = progress != nullptr;
  int result = 0;
  if (network_) {
    abort_ = &progress->abort;
    result = OpenAddress();
  } else {
    result = avformat_open_input(&format_, url.c_str(), nullptr, nullptr);
    if (result >= 0) result = avformat_find_stream_info(format_, nullptr);
  }
  if (result < 0) {
    *error = (format_ == nullptr ? "cannot open: " : "no stream information: ") + ErrorText(result);
    return false;  // a failed avformat_open_input freed the context
  }
  if (!OpenCodec(error)) return false;
  ReadIcyHeaders();
  seekable_ = progress == nullptr && format_->pb != nullptr && (format_->pb->seekable != 0);
  if (format_->pb != nullptr) lengthBytes_ = std::max<std::int64_t>(0, avio_size(format_->pb));
  if (progress == nullptr) FindLength(url);
  if (progress != nullptr && !Prebuffer(*progress)) {
    *error = progress->abort ? "aborted" : "the stream ended while buffering";
    return false;
  }
  if (!DecodeMore()) {
    *error = "no audio could be decoded";
    return false;
  }
  LimitPcmLength();
  if (format_->bit_rate > 0) {
    bitRateKbps_ = static_cast<int>(format_->bit_rate / 1000);
  } else if (codec_->bit_rate > 0) {
    bitRateKbps_ = static_cast<int>(codec_->bit_rate / 1000);
  }
  return true;
}

bool FfmpegDecoder::OpenCodec(std::string* error) {
  const AVCodec* decoder = nullptr;
  streamIndex_ = av_find_best_stream(format_, AVMEDIA_TYPE_AUDIO, -1, -1, &decoder, 0);
  if (streamIndex_ < 0 || decoder == nullptr) {
    *error = "no audio stream";
    return false;
  }
  if (!StartDecoder(decoder)) {
    *error = "cannot open the decoder";
    return false;
  }
  rate_ = codec_->sample_rate;
  int inChannels = codec_->ch_layout.nb_channels;
  if (rate_ <= 0 || rate_ > 768000 || inChannels <= 0) {
    *error = "bad audio parameters";
    return false;
  }
  channels_ = inChannels == 1 ? 1 : 2;
  if (!ConfigureResampler(codec_->sample_fmt, codec_->ch_layout, rate_)) {
    *error = "cannot convert the samples";
    return false;
  }
  return true;
}

bool FfmpegDecoder::StartDecoder(const AVCodec* decoder) {
  for (unsigned i = 0; i < format_->nb_streams; ++i) {
    if (static_cast<int>(i) != streamIndex_) format_->streams[i]->discard = AVDISCARD_ALL;
  }
  AVStream* stream = format_->streams[streamIndex_];
  avcodec_free_context(&codec_);
  codec_ = avcodec_alloc_context3(decoder);
  if (codec_ == nullptr || avcodec_parameters_to_context(codec_, stream->codecpar) < 0)
    return false;
  codec_->pkt_timebase = stream->time_base;
  return avcodec_open2(codec_, decoder, nullptr) >= 0;
}

void FfmpegDecoder::ReadIcyHeaders() {
  if (!network_ || format_->pb == nullptr) return;
  std::uint8_t* value = nullptr;
  if (av_opt_get(format_->pb, "icy_metadata_headers", AV_OPT_SEARCH_CHILDREN, &value) < 0) return;
  std::string headers = value != nullptr ? reinterpret_cast<const char*>(value) : "";
  av_free(value);
  station_ = !headers.empty();
  std::string name = Utf8FromUtf8OrLatin1(HeaderValue(headers, "icy-name"));
  if (name != stationName_) {
    stationName_ = name;
    metadataChanged_ = true;
  }
  ReadIcyPacket();
}

void FfmpegDecoder::ReadIcyPacket() {
  if (!station_ || format_ == nullptr || format_->pb == nullptr) return;
  std::uint8_t* value = nullptr;
  if (av_opt_get(format_->pb, "icy_metadata_packet", AV_OPT_SEARCH_CHILDREN, &value) < 0) return;
  std::string packet = value != nullptr ? reinterpret_cast<const char*>(value) : "";
  av_free(value);
  if (packet.empty() || packet == lastIcyPacket_) return;
  lastIcyPacket_ = packet;
  std::string title = Utf8FromUtf8OrLatin1(StreamTitleOf(packet));
  if (title == streamTitle_) return;
  streamTitle_ = title;
  metadataChanged_ = true;
}

bool FfmpegDecoder::TakeMetadata(std::string& station, std::string& title) {
  if (!metadataChanged_) return false;
  metadataChanged_ = false;
  station = stationName_;
  title = streamTitle_;
  return true;
}

bool FfmpegDecoder::Reconnect() {
  for (int delayMs : kReconnectDelaysMs) {
    for (int waited = 0; waited < delayMs; waited += 50) {
      if (Aborted()) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    avformat_close_input(&format_);
    if (OpenAddress() < 0) {
      avformat_close_input(&format_);
      continue;
    }
    const AVCodec* decoder = nullptr;
    streamIndex_ = av_find_best_stream(format_, AVMEDIA_TYPE_AUDIO, -1, -1, &decoder, 0);
    if (streamIndex_ < 0 || decoder == nullptr || !StartDecoder(decoder)) {
      avformat_close_input(&format_);
      continue;
    }
    // The new connection counts its time from zero; the output's format
    // follows in TakeFrame.
    firstTimestamp_ = INT64_MIN;
    lastIcyPacket_.clear();
    ReadIcyHeaders();
    return true;
  }
  return false;
}

// MPEG audio states its length only as an estimate that includes the
// encoder's delay and padding, and its seek table is coarse. Counting the
// packets and the skips the demuxer marks on them gives the decoded length
// exactly, and where every packet's audio starts.
bool FfmpegDecoder::ScanMpegPackets(const std::string& url) {
  AVFormatContext* scan = nullptr;
  if (avformat_open_input(&scan, url.c_str(), format_->iformat, nullptr) != 0) return false;
  if (static_cast<int>(scan->nb_streams) <= streamIndex_) {
    avformat_close_input(&scan);
    return false;
  }
  AVRational base = scan->streams[streamIndex_]->time_base;
  AVPacket* packet = av_packet_alloc();
  std::vector<std::pair<std::int64_t, std::int64_t>> packets;  // position, duration
  std::int64_t skipStart = 0;
  std::int64_t skipEnd = 0;
  std::int64_t knownDuration = 0;
  while (packet != nullptr && av_read_frame(scan, packet) >= 0) {
    if (packet->stream_index == streamIndex_) {
      packets.emplace_back(packet->pos, packet->duration);
      if (knownDuration == 0 && packet->duration > 0) knownDuration = packet->duration;
      std::size_t size = 0;
      const std::uint8_t* skip = av_packet_get_side_data(packet, AV_PKT_DATA_SKIP_SAMPLES, &size);
      if (skip != nullptr && size >= 8) {
        std::uint32_t start = 0;
        std::uint32_t end = 0;
        std::memcpy(&start, skip, 4);
        std::memcpy(&end, skip + 4, 4);
        skipStart += start;
        skipEnd += end;
      }
    }
    av_packet_unref(packet);
  }
  av_packet_free(&packet);
  avformat_close_input(&scan);
  if (packets.empty() || knownDuration == 0) return false;
  // The first packets may come before the parser knows their duration.
  std::int64_t total = 0;
  packetStarts_.clear();
  packetStarts_.reserve(packets.size());
  for (const auto& [position, duration] : packets) {
    std::int64_t first = av_rescale_q(total, base, AVRational{1, rate_}) - skipStart;
    if (position >= 0) packetStarts_.emplace_back(position, first);
    total += duration > 0 ? duration : knownDuration;
  }
  std::sort(packetStarts_.begin(), packetStarts_.end());
  std::int64_t frames = av_rescale_q(total, base, AVRational{1, rate_});
  lengthFrames_ = std::max<std::int64_t>(0, frames - skipStart - skipEnd);
  exactLength_ = true;
  return true;
}

void FfmpegDecoder::FindLength(const std::string& url) {
  AVStream* stream = format_->streams[streamIndex_];
  if (IsMpegAudioDemuxer(format_) && lengthBytes_ > 0 && lengthBytes_ <= kLengthScanLimitBytes &&
      ScanMpegPackets(url)) {
    return;
  }
  if (stream->duration > 0 && stream->duration != AV_NOPTS_VALUE) {
    lengthFrames_ = av_rescale_q(stream->duration, stream->time_base, AVRational{1, rate_});
  } else if (format_->duration > 0 && format_->duration != AV_NOPTS_VALUE) {
    lengthFrames_ = av_rescale_q(format_->duration, AV_TIME_BASE_Q, AVRational{1, rate_});
  }
}

// Reads ahead so that playback of an address does not stall at once; the
// percentage is what the caller shows while it waits.
bool FfmpegDecoder::Prebuffer(OpenProgress& progress) {
  AVStream* stream = format_->streams[streamIndex_];
  std::int64_t wanted = av_rescale_q(static_cast<std::int64_t>(kPrebufferSeconds * 1000),
                                     AVRational{1, 1000}, stream->time_base);
  std::int64_t queued = 0;
  progress.fillPercent = 0;
  progress.buffering = true;
  bool ended = false;
  while (queued < wanted && readAhead_.size() < kPrebufferMaxPackets) {
    if (progress.abort) break;
    if (av_read_frame(format_, packet_) < 0) {
      ended = true;
      break;
    }
    ReadIcyPacket();
    if (packet_->stream_index != streamIndex_) {
      av_packet_unref(packet_);
      continue;
    }
    std::int64_t duration = packet_->duration;
    if (duration <= 0) duration = wanted / 50;  // unknown: count a packet as a share
    queued += duration;
    readAhead_.push_back(av_packet_clone(packet_));
    av_packet_unref(packet_);
    progress.fillPercent = static_cast<int>(std::min<std::int64_t>(99, queued * 100 / wanted));
  }
  progress.buffering = false;
  if (progress.abort) return false;
  progress.fillPercent = 100;
  return !readAhead_.empty() || !ended;
}

bool FfmpegDecoder::ConfigureResampler(int format, const AVChannelLayout& layout, int rate) {
  swr_free(&resampler_);
  av_channel_layout_uninit(&inLayout_);
  if (layout.order == AV_CHANNEL_ORDER_UNSPEC) {
    av_channel_layout_default(&inLayout_, layout.nb_channels);
  } else if (av_channel_layout_copy(&inLayout_, &layout) < 0) {
    return false;
  }
  AVChannelLayout outLayout{};
  av_channel_layout_default(&outLayout, channels_);
  int result = swr_alloc_set_opts2(&resampler_, &outLayout, AV_SAMPLE_FMT_FLT, rate_, &inLayout_,
                                   static_cast<AVSampleFormat>(format), rate, 0, nullptr);
  if (result < 0 || swr_init(resampler_) < 0) {
    swr_free(&resampler_);
    inFormat_ = -1;
    return false;
  }
  inFormat_ = format;
  inRate_ = rate;
  return true;
}

void FfmpegDecoder::LimitPcmLength() {
  int bits = av_get_bits_per_sample(codec_->codec_id);
  int inChannels = codec_->ch_layout.nb_channels;
  if (bits <= 0 || !seekable_ || lengthBytes_ <= 0 || firstPacketPos_ < 0) return;
  std::int64_t bytesPerFrame = static_cast<std::int64_t>(bits) * inChannels / 8;
  if (bytesPerFrame <= 0 || codec_->sample_rate != rate_) return;
  std::int64_t held = std::max<std::int64_t>(0, lengthBytes_ - firstPacketPos_) / bytesPerFrame;
  if (lengthFrames_ < 0 || held < lengthFrames_) lengthFrames_ = held;
}

bool FfmpegDecoder::NextPacket() {
  if (!readAhead_.empty()) {
    AVPacket* queued = readAhead_.front();
    readAhead_.pop_front();
    av_packet_move_ref(packet_, queued);
    av_packet_free(&queued);
    return true;
  }
  while (format_ != nullptr) {
    int result = av_read_frame(format_, packet_);
    if (result >= 0) {
      ReadIcyPacket();
      if (packet_->stream_index == streamIndex_) return true;
      av_packet_unref(packet_);
      continue;
    }
    // A live stream that drops is reconnected. FFmpeg reports the close of a
    // body without a length as an I/O error, so for anything but a station
    // only a reset or a stall counts as a drop; a station never ends by itself.
    bool dropped = station_ || (result != AVERROR_EOF && result != AVERROR(EIO));
    bool live = network_ && lengthBytes_ <= 0 && lengthFrames_ < 0;
    if (!live || !dropped || Aborted() || !Reconnect()) return false;
  }
  return false;
}

bool FfmpegDecoder::DecodeMore() {
  // A station that could not be reached again has no decoder left to drain.
  if (codec_ == nullptr) return false;
  int badPackets = 0;
  while (pendingPos_ >= pending_.size()) {
    int result = avcodec_receive_frame(codec_, frame_);
    if (result == 0) {
      TakeFrame();
      av_frame_unref(frame_);
      if (overshot_) return false;
      continue;
    }
    if (result != AVERROR(EAGAIN) || inputEnded_) return false;
    if (!NextPacket()) {
      avcodec_send_packet(codec_, nullptr);  // drain what the decoder holds
      inputEnded_ = true;
      continue;
    }
    if (firstPacketPos_ < 0) firstPacketPos_ = packet_->pos;
    // After a byte seek the demuxer takes the next packet for the first
    // one and marks skips that do not belong there.
    if (byteSeeked_) av_packet_shrink_side_data(packet_, AV_PKT_DATA_SKIP_SAMPLES, 0);
    result = avcodec_send_packet(codec_, packet_);
    av_packet_unref(packet_);
    if (result < 0 && result != AVERROR(EAGAIN)) {
      if (++badPackets > kMaxBadPackets) return false;
    } else {
      badPackets = 0;
    }
  }
  return true;
}

void FfmpegDecoder::TakeFrame() {
  if (frame_->nb_samples <= 0 || frame_->sample_rate <= 0) return;
  std::int64_t stamp = frame_->best_effort_timestamp;
  if (stamp != AV_NOPTS_VALUE && firstTimestamp_ == INT64_MIN) firstTimestamp_ = stamp;
  std::int64_t at = nextFrame_;
  if (byteSeeked_) {
    auto found = std::lower_bound(packetStarts_.begin(), packetStarts_.end(),
                                  std::make_pair(frame_->pkt_pos, INT64_MIN));
    if (found != packetStarts_.end() && found->first == frame_->pkt_pos) at = found->second;
  } else if (stamp != AV_NOPTS_VALUE && format_ != nullptr) {
    AVRational base = format_->streams[streamIndex_]->time_base;
    at = av_rescale_q(stamp - firstTimestamp_, base, AVRational{1, rate_});
    // ASF counts in milliseconds, too coarse for a sample; its frames all
    // have one size, so the frame grid gives the exact place.
    int size = frame_->nb_samples;
    if (firstFrameSize_ == 0) firstFrameSize_ = size;
    if (static_cast<std::int64_t>(base.num) * rate_ > base.den && size == firstFrameSize_) {
      at = (at + size / 2) / size * size;
    }
  }
  // The stream may change its format midway; the output keeps ours.
  if (frame_->sample_rate != inRate_ || frame_->format != inFormat_ ||
      av_channel_layout_compare(&frame_->ch_layout, &inLayout_) != 0) {
    if (!ConfigureResampler(frame_->format, frame_->ch_layout, frame_->sample_rate)) return;
  }
  if (resampler_ == nullptr) return;
  int capacity = swr_get_out_samples(resampler_, frame_->nb_samples);
  if (capacity <= 0) return;
  pending_.resize(static_cast<std::size_t>(capacity) * channels_);
  pendingPos_ = 0;
  auto* out = reinterpret_cast<std::uint8_t*>(pending_.data());
  int made =
      swr_convert(resampler_, &out, capacity,
                  const_cast<const std::uint8_t**>(frame_->extended_data), frame_->nb_samples);
  if (made <= 0) {
    pending_.clear();
    return;
  }
  // Without the demuxer's own skips after a byte seek, the encoder's
  // padding at the end is cut here.
  if (exactLength_ && at + made > lengthFrames_) {
    made = static_cast<int>(std::max<std::int64_t>(0, lengthFrames_ - at));
  }
  pending_.resize(static_cast<std::size_t>(made) * channels_);
  nextFrame_ = at + made;
  if (discardUntil_ >= 0) {
    if (at > discardUntil_) {
      overshot_ = true;
      pending_.clear();
      return;
    }
    std::int64_t drop = std::min<std::int64_t>(made, discardUntil_ - at);
    pendingPos_ = static_cast<std::size_t>(drop) * channels_;
    if (at + made > discardUntil_) discardUntil_ = -1;
  }
}

std::size_t FfmpegDecoder::Read(float* out, std::size_t frames) {
  std::size_t done = 0;
  while (done < frames) {
    if (pendingPos_ >= pending_.size() && !DecodeMore()) break;
    std::size_t available = (pending_.size() - pendingPos_) / channels_;
    std::size_t n = std::min(frames - done, available);
    std::memcpy(out + done * channels_, pending_.data() + pendingPos_,
                n * channels_ * sizeof(float));
    pendingPos_ += n * channels_;
    done += n;
  }
  return done;
}

void FfmpegDecoder::ResetDecoding() {
  for (AVPacket* p : readAhead_) av_packet_free(&p);
  readAhead_.clear();
  avcodec_flush_buffers(codec_);
  if (resampler_ != nullptr) swr_init(resampler_);  // drops what it held
  pending_.clear();
  pendingPos_ = 0;
  inputEnded_ = false;
  overshot_ = false;
}

bool FfmpegDecoder::SeekNear(std::int64_t from) {
  if (!packetStarts_.empty()) {
    // The packet that starts last at or before `from`, by its byte position.
    std::int64_t position = packetStarts_.front().first;
    for (const auto& [pos, first] : packetStarts_) {
      if (first <= from && pos > position) position = pos;
    }
    byteSeeked_ = av_seek_frame(format_, streamIndex_, position, AVSEEK_FLAG_BYTE) >= 0;
    return byteSeeked_;
  }
  AVStream* stream = format_->streams[streamIndex_];
  std::int64_t stamp =
      firstTimestamp_ + av_rescale_q(from, AVRational{1, rate_}, stream->time_base);
  return av_seek_frame(format_, streamIndex_, stamp, AVSEEK_FLAG_BACKWARD) >= 0;
}

bool FfmpegDecoder::Seek(std::int64_t frame) {
  if (frame < 0 || !seekable_ || firstTimestamp_ == INT64_MIN) return false;
  if (lengthFrames_ >= 0) frame = std::min(frame, lengthFrames_);
  // Decoders need some audio before the target to settle (MPEG's bit
  // reservoir, Vorbis' overlap); small VBR frames need a good part of a
  // second. A seek that lands late tries further back.
  const std::int64_t prerolls[] = {rate_ / 2, rate_ * 2, rate_ * 10, -1};
  for (std::int64_t preroll : prerolls) {
    std::int64_t from = preroll < 0 ? 0 : std::max<std::int64_t>(0, frame - preroll);
    if (!SeekNear(from)) continue;
    ResetDecoding();
    nextFrame_ = from;
    discardUntil_ = frame;
    DecodeMore();
    if (!overshot_) {
      discardUntil_ = -1;
      return true;
    }
  }
  discardUntil_ = -1;
  overshot_ = false;
  return false;
}

std::unique_ptr<Source> OpenFileSource(const std::string& path, std::string* error) {
  // A path must never be taken for a protocol ("http:", "pipe:", ...).
  std::string url = "file:" + path;
  auto decoder = std::make_unique<FfmpegDecoder>();
  if (!decoder->Open(url, nullptr, error)) return nullptr;
  return decoder;
}

std::unique_ptr<Source> OpenNetworkSource(const std::string& url, OpenProgress& progress,
                                          std::string* error) {
  if (url.rfind("http://", 0) != 0 && url.rfind("https://", 0) != 0) {
    if (error != nullptr) *error = "not an http:// or https:// address";
    return nullptr;
  }
  auto decoder = std::make_unique<FfmpegDecoder>();
  if (!decoder->Open(url, &progress, error)) return nullptr;
  return decoder;
}

}  // namespace qmb::engine
