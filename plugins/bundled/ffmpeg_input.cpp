// The input plug-in on FFmpeg: decodes what the engine's own list leaves out and hands it over
// frame by frame as 44100 Hz stereo signed 16-bit.
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/dict.h>
#include <libavutil/mathematics.h>
#include <libswresample/swresample.h>
}

#include "qmb_plugin.h"

namespace qmb {
namespace {

constexpr int kOutputRate = 44100;
// 1024 frames (23 ms) per stream callback, the engine's own chunk: the player's lock on this
// plug-in is held for little more than a millisecond at a time.
constexpr intptr_t kBufferBytes = 4096;

// Everything the decoder owns. The stream thread pulls samples while the user-interface thread
// seeks and asks for the position, so every entry takes `lock`.
struct Decoder {
  std::mutex lock;
  AVFormatContext* format = nullptr;
  AVCodecContext* codec = nullptr;
  SwrContext* resampler = nullptr;
  AVPacket* packet = nullptr;
  AVFrame* frame = nullptr;
  int streamIndex = -1;
  int64_t startPts = 0;  // the stream's first timestamp, in its time base

  // What the resampler was set up for; a frame that differs sets it up again.
  int inRate = 0;
  int inFormat = -1;
  AVChannelLayout inLayout{};

  std::vector<int16_t> samples;  // interleaved stereo, decoded and not yet delivered
  size_t readFrame = 0;
  int64_t nextFrame = 0;    // output frame number of the next frame GetSample delivers
  int64_t pendingDrop = 0;  // output frames still to drop to land on a seek target
  bool aligning = false;    // the next decoded frame fixes nextFrame from its timestamp
  bool inputEnded = false;  // the decoder has been told there are no more packets
  bool drained = false;     // decoder and resampler have nothing more
  int32_t lengthMs = 0;
  QmbStreamInfo info{};
};

Decoder decoder;

void CloseLocked(Decoder& d) {
  swr_free(&d.resampler);
  avcodec_free_context(&d.codec);
  avformat_close_input(&d.format);
  av_packet_free(&d.packet);
  av_frame_free(&d.frame);
  av_channel_layout_uninit(&d.inLayout);
  d.streamIndex = -1;
  d.inRate = 0;
  d.inFormat = -1;
  d.samples.clear();
  d.readFrame = 0;
  d.nextFrame = 0;
  d.pendingDrop = 0;
  d.aligning = false;
  d.inputEnded = false;
  d.drained = true;
  d.lengthMs = 0;
  d.info = QmbStreamInfo{};
}

bool SetUpResampler(Decoder& d, const AVFrame& f) {
  AVChannelLayout in{};
  if (f.ch_layout.order == AV_CHANNEL_ORDER_UNSPEC || f.ch_layout.nb_channels <= 0) {
    if (f.ch_layout.nb_channels <= 0) return false;
    av_channel_layout_default(&in, f.ch_layout.nb_channels);
  } else if (av_channel_layout_copy(&in, &f.ch_layout) < 0) {
    return false;
  }
  AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
  swr_free(&d.resampler);
  int result =
      swr_alloc_set_opts2(&d.resampler, &stereo, AV_SAMPLE_FMT_S16, kOutputRate, &in,
                          static_cast<AVSampleFormat>(f.format), f.sample_rate, 0, nullptr);
  if (result < 0 || swr_init(d.resampler) < 0) {
    swr_free(&d.resampler);
    av_channel_layout_uninit(&in);
    return false;
  }
  av_channel_layout_uninit(&d.inLayout);
  d.inLayout = in;
  d.inRate = f.sample_rate;
  d.inFormat = f.format;
  return true;
}

bool FrameMatchesResampler(const Decoder& d, const AVFrame& f) {
  return d.resampler && f.sample_rate == d.inRate && f.format == d.inFormat &&
         f.ch_layout.nb_channels == d.inLayout.nb_channels;
}

// Appends `produced` frames just written at the end of `samples`, dropping the ones a seek skips.
void KeepProduced(Decoder& d, size_t before, int produced) {
  size_t count = produced > 0 ? static_cast<size_t>(produced) : 0;
  d.samples.resize(before + count * 2);
  if (d.pendingDrop <= 0 || count == 0) return;
  size_t drop = std::min<size_t>(count, static_cast<size_t>(d.pendingDrop));
  d.samples.erase(d.samples.begin() + static_cast<ptrdiff_t>(before),
                  d.samples.begin() + static_cast<ptrdiff_t>(before + drop * 2));
  d.pendingDrop -= static_cast<int64_t>(drop);
}

void ConvertFrame(Decoder& d, AVFrame& f) {
  if (f.nb_samples <= 0 || f.sample_rate <= 0) return;
  if (!FrameMatchesResampler(d, f) && !SetUpResampler(d, f)) return;
  if (d.aligning) {
    // After a seek the resampler starts afresh, so its first output is this frame's first sample.
    d.aligning = false;
    int64_t pts = f.best_effort_timestamp;
    if (pts != AV_NOPTS_VALUE) {
      AVRational base = d.format->streams[d.streamIndex]->time_base;
      int64_t at = av_rescale_q(pts - d.startPts, base, AVRational{1, kOutputRate});
      int64_t target = d.nextFrame;
      if (at < target) {
        d.pendingDrop = target - at;
      } else {
        d.pendingDrop = 0;
        d.nextFrame = at;
      }
    }
  }
  int room = swr_get_out_samples(d.resampler, f.nb_samples);
  if (room <= 0) return;
  size_t before = d.samples.size();
  d.samples.resize(before + static_cast<size_t>(room) * 2);
  uint8_t* out = reinterpret_cast<uint8_t*>(d.samples.data() + before);
  int produced = swr_convert(d.resampler, &out, room, const_cast<const uint8_t**>(f.extended_data),
                             f.nb_samples);
  KeepProduced(d, before, produced);
}

void FlushResampler(Decoder& d) {
  if (!d.resampler) return;
  int room = swr_get_out_samples(d.resampler, 0);
  if (room <= 0) return;
  size_t before = d.samples.size();
  d.samples.resize(before + static_cast<size_t>(room) * 2);
  uint8_t* out = reinterpret_cast<uint8_t*>(d.samples.data() + before);
  KeepProduced(d, before, swr_convert(d.resampler, &out, room, nullptr, 0));
}

// Decodes until there are frames to deliver or nothing is left.
void RefillLocked(Decoder& d) {
  if (d.readFrame * 2 >= d.samples.size()) {
    d.samples.clear();
    d.readFrame = 0;
  }
  while (d.samples.empty() && !d.drained && d.codec) {
    int result = avcodec_receive_frame(d.codec, d.frame);
    if (result == 0) {
      ConvertFrame(d, *d.frame);
      av_frame_unref(d.frame);
      continue;
    }
    if (result == AVERROR(EAGAIN) && !d.inputEnded) {
      int read = av_read_frame(d.format, d.packet);
      if (read < 0) {
        d.inputEnded = true;
        avcodec_send_packet(d.codec, nullptr);
        continue;
      }
      // A damaged packet is skipped; the next one may decode.
      if (d.packet->stream_index == d.streamIndex) avcodec_send_packet(d.codec, d.packet);
      av_packet_unref(d.packet);
      continue;
    }
    FlushResampler(d);
    d.drained = true;
  }
}

int64_t FramesToMs(int64_t frames) {
  return frames * 1000 / kOutputRate;
}

// How far the player has pulled: the time of the frame GetSample delivers next. The player
// plays through the engine and shows the time it has heard, not this.
int32_t PositionLocked(const Decoder& d) {
  return static_cast<int32_t>(std::min<int64_t>(FramesToMs(d.nextFrame), INT32_MAX));
}

int32_t LengthOf(const AVFormatContext& format, const AVStream& stream) {
  int64_t us = AV_NOPTS_VALUE;
  if (stream.duration > 0) us = av_rescale_q(stream.duration, stream.time_base, AV_TIME_BASE_Q);
  if (us == AV_NOPTS_VALUE && format.duration > 0) us = format.duration;
  if (us == AV_NOPTS_VALUE || us <= 0) return 0;
  return static_cast<int32_t>(std::min<int64_t>(us / 1000, INT32_MAX));
}

bool IsPlainFile(const char* path) {
  if (!path || !*path || std::strstr(path, "://")) return false;
  struct stat st {};
  return stat(path, &st) == 0 && S_ISREG(st.st_mode);
}

bool OpenLocked(Decoder& d, const char* path) {
  // The "file:" prefix and the whitelist keep a path from ever reaching another protocol.
  std::string url = std::string("file:") + path;
  AVDictionary* options = nullptr;
  av_dict_set(&options, "protocol_whitelist", "file", 0);
  int result = avformat_open_input(&d.format, url.c_str(), nullptr, &options);
  av_dict_free(&options);
  if (result < 0) return false;
  if (avformat_find_stream_info(d.format, nullptr) < 0) return false;
  const AVCodec* codec = nullptr;
  d.streamIndex = av_find_best_stream(d.format, AVMEDIA_TYPE_AUDIO, -1, -1, &codec, 0);
  if (d.streamIndex < 0 || !codec) return false;
  AVStream* stream = d.format->streams[d.streamIndex];
  d.codec = avcodec_alloc_context3(codec);
  if (!d.codec || avcodec_parameters_to_context(d.codec, stream->codecpar) < 0) return false;
  d.codec->pkt_timebase = stream->time_base;
  if (avcodec_open2(d.codec, codec, nullptr) < 0) return false;
  d.packet = av_packet_alloc();
  d.frame = av_frame_alloc();
  if (!d.packet || !d.frame) return false;
  for (unsigned i = 0; i < d.format->nb_streams; ++i)
    if (static_cast<int>(i) != d.streamIndex) d.format->streams[i]->discard = AVDISCARD_ALL;
  d.startPts = stream->start_time != AV_NOPTS_VALUE ? stream->start_time : 0;
  d.lengthMs = LengthOf(*d.format, *stream);
  d.drained = false;
  int64_t bitRate = d.codec->bit_rate > 0 ? d.codec->bit_rate : d.format->bit_rate;
  d.info = QmbStreamInfo{1, d.codec->sample_rate, static_cast<int32_t>(bitRate / 1000), d.lengthMs};
  // Decoding the first block here finds a file that opens but never decodes.
  RefillLocked(d);
  return !d.samples.empty();
}

int32_t Init(QmbHost*, void*) {
  return 0;
}

int32_t Open(const char* path) {
  std::lock_guard guard(decoder.lock);
  CloseLocked(decoder);
  if (!IsPlainFile(path) || !OpenLocked(decoder, path)) {
    CloseLocked(decoder);
    return 1;
  }
  return 0;
}

void Play() {}

void Stop() {
  std::lock_guard guard(decoder.lock);
  CloseLocked(decoder);
}

void Quit() {
  Stop();
}

// The engine stops pulling while paused; nothing here depends on it.
void Pause(int32_t) {}

void Seek(int32_t milliseconds) {
  std::lock_guard guard(decoder.lock);
  Decoder& d = decoder;
  if (!d.format) return;
  int64_t ms = std::max<int32_t>(milliseconds, 0);
  if (d.lengthMs > 0) ms = std::min<int64_t>(ms, d.lengthMs);
  int64_t target = ms * kOutputRate / 1000;
  int64_t when = av_rescale(ms, AV_TIME_BASE, 1000);
  if (d.format->start_time != AV_NOPTS_VALUE) when += d.format->start_time;
  if (av_seek_frame(d.format, -1, when, AVSEEK_FLAG_BACKWARD) >= 0) {
    avcodec_flush_buffers(d.codec);
    if (d.resampler) swr_init(d.resampler);
    d.aligning = true;
  } else if (target >= d.nextFrame + static_cast<int64_t>(d.samples.size() / 2 - d.readFrame)) {
    // A file that cannot seek still moves forward by decoding and dropping.
    d.pendingDrop = target - d.nextFrame - static_cast<int64_t>(d.samples.size() / 2 - d.readFrame);
  } else {
    return;
  }
  d.samples.clear();
  d.readFrame = 0;
  d.nextFrame = target;
  d.inputEnded = false;
  d.drained = false;
  RefillLocked(d);
}

int32_t GetTypeIcon(const char* extension) {
  // Lossless and Ogg-family files look like wav/ogg rows; compressed ones like mp3 rows.
  static const char* const kWaveLike[] = {"flac", "aiff", "aif",  "aifc", "ape", "wv",
                                          "tta",  "oga",  "opus", "spx",  "au",  "voc",
                                          "w64",  "caf",  "wav",  "ogg"};
  std::string ext = extension ? extension : "";
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  for (const char* known : kWaveLike)
    if (ext == known) return 2;
  return 0;
}

int32_t GetLength() {
  std::lock_guard guard(decoder.lock);
  return decoder.lengthMs;
}

int32_t GetPosition() {
  std::lock_guard guard(decoder.lock);
  return PositionLocked(decoder);
}

void GetSample(int32_t* left, int32_t* right) {
  std::lock_guard guard(decoder.lock);
  Decoder& d = decoder;
  if (d.readFrame * 2 >= d.samples.size()) RefillLocked(d);
  if (d.readFrame * 2 >= d.samples.size()) {
    *left = 0;
    *right = 0;
    return;
  }
  *left = d.samples[d.readFrame * 2];
  *right = d.samples[d.readFrame * 2 + 1];
  ++d.readFrame;
  ++d.nextFrame;
}

const QmbStreamInfo* GetStreamInfo() {
  std::lock_guard guard(decoder.lock);
  return decoder.info.valid ? &decoder.info : nullptr;
}

QmbInputModule module = {
    .description = "Qumble FFmpeg Input",
    .extensions =
        "flac;opus;m4a;aac;mp4;aiff;aif;aifc;ape;wv;mpc;tta;oga;spx;ac3;dts;mka;webm;caf;au;voc;"
        "w64",
    .pattern = "",
    .reserved3 = 0,
    .bufferBytes = kBufferBytes,
    .sampleRate = kOutputRate,
    .usesEngineOutput = 1,
    .Init = Init,
    .Configure = nullptr,
    .Quit = Quit,
    .Open = Open,
    .Play = Play,
    .Stop = Stop,
    .Pause = Pause,
    .reserved14 = 0,
    // The engine applies volume, pan, mute and the equalizer to what this plug-in delivers.
    .SetVolume = nullptr,
    .SetPan = nullptr,
    .SetMute = nullptr,
    .SetEq = nullptr,
    .Seek = Seek,
    .GetTypeIcon = GetTypeIcon,
    .GetLength = GetLength,
    .GetPosition = GetPosition,
    .GetSample = GetSample,
    .GetStreamInfo = GetStreamInfo,
};

}  // namespace
}  // namespace qmb

extern "C" QMB_EXPORT QmbInputModule* GetQMBInputModule(void) {
  return &qmb::module;
}

extern "C" QMB_EXPORT int32_t QmbPluginApiVersion(void) {
  return QMB_PLUGIN_API_VERSION;
}
