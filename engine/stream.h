// An engine stream: its source, the decoding thread that fills its ring at the
// mixer's rate, and the state the mixer and the caller share. The source is
// touched only by the decoding thread once that runs.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "engine/frame_ring.h"
#include "engine/resampler.h"
#include "engine/source.h"
#include "playback/sound_engine.h"

namespace qmb {

struct SoundSample {
  SoundStream* owner = nullptr;
};

struct SoundStream {
  using Opener = std::function<std::unique_ptr<engine::Source>(engine::OpenProgress&)>;

  SoundStream(int mixRate, std::size_t ringFrames);
  ~SoundStream();
  SoundStream(const SoundStream&) = delete;
  SoundStream& operator=(const SoundStream&) = delete;

  // Takes a source that is already open.
  void SetSource(std::unique_ptr<engine::Source> source);
  // Opens on the decoding thread (a non-blocking open).
  void StartOpening(Opener opener);
  // Starts decoding a source given with SetSource.
  void StartDecoding();
  // Stops the decoding thread and waits for it (and for a fill callback under way).
  void StopDecoding();
  bool Decoding() const { return thread_.joinable(); }
  // Empties the ring and positions; the mixer must not be reading it.
  void ResetPlayback();

  // Asks the decoding thread to move to `frame` source frames, or to a
  // module's `order` when `order` is 0 or more.
  void RequestSeek(std::int64_t frame, int order);
  // The position in ms (the asked position while a seek is pending).
  std::int64_t PositionMs() const;
  // The order being heard, for a module.
  int HeardOrder() const;
  std::int64_t LengthMs() const;
  // Blocks (briefly) until some sound is ready or decoding stopped.
  void WaitForPrefill(int maxMs) const;
  // The source's ICY texts as the decoding thread last saw them.
  StreamMetadata Metadata() const;
  // Wakes the decoding thread after the mixer consumed.
  void Wake() {
    wake_.fetch_add(1, std::memory_order_release);
    wake_.notify_one();
  }

  // Set before decoding starts (or before openState becomes ready).
  std::string path;
  int mixRate;
  int sourceRate = 0;
  std::int64_t lengthFrames = -1;
  std::int64_t lengthBytes = 0;
  int bitRate = 0;
  int numOrders = 0;
  bool isModule = false;
  bool isCallback = false;
  SoundSample sample;

  // A CD: the tracks are sub-streams.
  std::unique_ptr<engine::CdDisc> disc;
  int trackCount = 0;

  engine::OpenProgress progress;
  std::atomic<int> openState{kOpenReady};

  engine::FrameRing ring;
  std::atomic<bool> endOfData{false};  // the decoder produced its last frame
  // The mixer played the last frame: it stores seekAsked + 1, so a later seek
  // ends the finished state without racing the mixer.
  std::atomic<std::uint32_t> finishedMark{0};
  bool Finished() const {
    return finishedMark.load(std::memory_order_acquire) ==
           seekAsked.load(std::memory_order_acquire) + 1;
  }

  // Seeking: the caller asks, the decoder answers with a flush, the mixer applies it.
  std::atomic<std::uint32_t> seekAsked{0};
  std::atomic<std::int64_t> seekTargetMs{0};
  std::atomic<std::uint64_t> flushPos{0};      // ring position of the new data; ~0 = none
  std::atomic<std::int64_t> flushBaseUs{0};    // source time at flushPos
  std::atomic<std::uint32_t> flushAnswer{0};   // the request the flush answers
  std::atomic<std::uint32_t> flushApplied{0};  // set by the mixer
  std::atomic<std::int64_t> positionUs{0};     // published by the mixer
  // Blocks the mixer found short of sound in the middle of the stream (the
  // decoding thread fell behind): drop-outs a listener hears.
  std::atomic<std::uint64_t> underruns{0};

  // Mixing thread only.
  struct MixState {
    bool started = false;
    float gainL = 0, gainR = 0;
    std::uint64_t segmentStart = 0;  // ring position of segmentBaseUs
    std::int64_t segmentBaseUs = 0;
  } mix;

  // Channel state (caller's side; the channel slot holds the live values).
  int channel = -1;
  int moduleVolume = 255;
  bool modulePaused = false;

 private:
  void Run(Opener opener);
  void Decode();
  bool HandleSeek(std::uint32_t asked);
  void PublishInfo();
  void PushMarker(int order);
  void PublishMetadata();

  std::unique_ptr<engine::Source> source_;
  engine::ModuleSource* module_ = nullptr;
  std::unique_ptr<engine::Resampler> resampler_;
  std::thread thread_;
  std::atomic<bool> stop_{false};
  std::atomic<std::uint32_t> wake_{0};
  std::atomic<std::int64_t> seekTargetFrame_{0};
  std::atomic<int> seekTargetOrder_{-1};
  std::uint32_t seekHandled_ = 0;  // decoding thread only
  std::vector<float> pending_;     // resampled frames waiting for ring space
  std::size_t pendingAt_ = 0;

  mutable std::mutex metadataMutex_;
  StreamMetadata metadata_;

  // Order changes by ring position, for the order being heard.
  mutable std::mutex markerMutex_;
  std::vector<std::pair<std::uint64_t, int>> markers_;
};

}  // namespace qmb
