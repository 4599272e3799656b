#include "engine/stream.h"

#include <algorithm>
#include <chrono>

namespace qmb {

namespace {
constexpr std::uint64_t kNoFlush = ~std::uint64_t{0};
constexpr std::size_t kChunkFrames = 1024;
// Modules report their order per chunk, so theirs are short.
constexpr std::size_t kModuleChunkFrames = 256;
}  // namespace

SoundStream::SoundStream(int rate, std::size_t ringFrames) : mixRate(rate), ring(ringFrames) {
  sample.owner = this;
}

SoundStream::~SoundStream() {
  StopDecoding();
}

void SoundStream::SetSource(std::unique_ptr<engine::Source> source) {
  source_ = std::move(source);
  PublishInfo();
}

void SoundStream::PublishInfo() {
  module_ = isModule ? static_cast<engine::ModuleSource*>(source_.get()) : nullptr;
  sourceRate = std::max(1, source_->SampleRate());
  lengthFrames = source_->LengthFrames();
  lengthBytes = source_->LengthBytes();
  bitRate = source_->BitRateKbps();
  if (module_) numOrders = module_->NumOrders();
  resampler_ = std::make_unique<engine::Resampler>(sourceRate, mixRate);
  if (module_) PushMarker(module_->CurrentOrder());
  PublishMetadata();
}

void SoundStream::PublishMetadata() {
  std::string station;
  std::string title;
  if (!source_->TakeMetadata(station, title)) return;
  std::lock_guard lock(metadataMutex_);
  metadata_.station = std::move(station);
  metadata_.title = std::move(title);
  ++metadata_.serial;
}

StreamMetadata SoundStream::Metadata() const {
  std::lock_guard lock(metadataMutex_);
  return metadata_;
}

void SoundStream::StartOpening(Opener opener) {
  openState.store(kOpenConnecting, std::memory_order_release);
  stop_.store(false);
  progress.abort.store(false);
  thread_ = std::thread([this, opener = std::move(opener)]() mutable { Run(std::move(opener)); });
}

void SoundStream::StartDecoding() {
  if (thread_.joinable() || !source_) return;
  stop_.store(false);
  progress.abort.store(false);
  thread_ = std::thread([this] { Run(nullptr); });
}

void SoundStream::StopDecoding() {
  if (!thread_.joinable()) return;
  stop_.store(true);
  progress.abort.store(true);
  Wake();
  thread_.join();
}

void SoundStream::ResetPlayback() {
  ring.Reset();
  pending_.clear();
  pendingAt_ = 0;
  endOfData.store(false);
  finishedMark.store(0);
  std::uint32_t asked = seekAsked.load();
  seekHandled_ = asked;
  flushAnswer.store(asked);
  flushApplied.store(asked);
  positionUs.store(0);
  mix = MixState{};
  if (resampler_) resampler_->Reset();
  std::lock_guard lock(markerMutex_);
  markers_.clear();
}

void SoundStream::Run(Opener opener) {
  if (opener) {
    auto source = opener(progress);
    if (!source) {
      openState.store(kOpenFailed, std::memory_order_release);
      return;
    }
    source_ = std::move(source);
    PublishInfo();
    openState.store(kOpenReady, std::memory_order_release);
  }
  Decode();
}

void SoundStream::Decode() {
  const std::size_t chunk = module_ ? kModuleChunkFrames : kChunkFrames;
  const int channels = std::clamp(source_->Channels(), 1, 2);
  std::vector<float> input(chunk * 2);
  std::vector<float> stereo(chunk * 2);
  // Room for one resampled chunk, so the decoder reads only when it can write.
  const std::size_t room =
      static_cast<std::size_t>(chunk * static_cast<double>(mixRate) / sourceRate) + 64;
  bool sourceEnded = false;
  while (!stop_.load(std::memory_order_acquire)) {
    std::uint32_t woken = wake_.load(std::memory_order_acquire);
    std::uint32_t asked = seekAsked.load(std::memory_order_acquire);
    if (asked != seekHandled_) {
      if (HandleSeek(asked)) sourceEnded = false;
      continue;
    }
    if (pendingAt_ < pending_.size()) {
      std::size_t wrote = ring.Write(&pending_[pendingAt_], (pending_.size() - pendingAt_) / 2);
      pendingAt_ += wrote * 2;
      if (pendingAt_ < pending_.size()) {
        wake_.wait(woken, std::memory_order_acquire);
        continue;
      }
      pending_.clear();
      pendingAt_ = 0;
    }
    if (sourceEnded) {
      endOfData.store(true, std::memory_order_release);
      wake_.wait(woken, std::memory_order_acquire);
      continue;
    }
    if (ring.Writable() < room) {
      wake_.wait(woken, std::memory_order_acquire);
      continue;
    }
    std::size_t got = std::min(source_->Read(input.data(), chunk), chunk);
    PublishMetadata();
    if (got > 0) {
      const float* frames = input.data();
      if (channels == 1) {
        for (std::size_t i = 0; i < got; ++i) stereo[i * 2] = stereo[i * 2 + 1] = input[i];
        frames = stereo.data();
      }
      if (module_) PushMarker(module_->CurrentOrder());
      resampler_->Process(frames, got, pending_);
    }
    if (got == 0 || (module_ && module_->Finished())) {
      resampler_->Flush(pending_);
      sourceEnded = true;
    }
  }
}

bool SoundStream::HandleSeek(std::uint32_t asked) {
  seekHandled_ = asked;
  int order = seekTargetOrder_.load(std::memory_order_relaxed);
  std::int64_t frame = seekTargetFrame_.load(std::memory_order_relaxed);
  bool ok = module_ && order >= 0 ? module_->JumpToOrder(order) : source_->Seek(frame);
  if (ok) {
    resampler_->Reset();
    pending_.clear();
    pendingAt_ = 0;
    endOfData.store(false, std::memory_order_release);
    std::uint64_t at = ring.WritePos();
    flushBaseUs.store(module_ ? 0 : frame * 1000000 / sourceRate, std::memory_order_relaxed);
    flushPos.store(at, std::memory_order_relaxed);
    if (module_) {
      std::lock_guard lock(markerMutex_);
      markers_.emplace_back(at, module_->CurrentOrder());
    }
  } else {
    flushPos.store(kNoFlush, std::memory_order_relaxed);
  }
  flushAnswer.store(asked, std::memory_order_release);
  return ok;
}

void SoundStream::PushMarker(int order) {
  std::uint64_t at = ring.WritePos() + (pending_.size() - pendingAt_) / 2;
  std::lock_guard lock(markerMutex_);
  if (!markers_.empty() && markers_.back().second == order) return;
  // Forget what has been heard, but keep the marker now in force.
  std::uint64_t heard = ring.ReadPos();
  auto firstKept = std::find_if(markers_.begin(), markers_.end(),
                                [heard](const auto& m) { return m.first > heard; });
  if (firstKept != markers_.begin()) --firstKept;
  markers_.erase(markers_.begin(), firstKept);
  markers_.emplace_back(at, order);
}

void SoundStream::RequestSeek(std::int64_t frame, int order) {
  seekTargetFrame_.store(std::max<std::int64_t>(frame, 0), std::memory_order_relaxed);
  seekTargetOrder_.store(order, std::memory_order_relaxed);
  seekTargetMs.store(order >= 0 ? order * 1000LL : frame * 1000 / std::max(sourceRate, 1),
                     std::memory_order_relaxed);
  seekAsked.fetch_add(1, std::memory_order_release);
  Wake();
}

std::int64_t SoundStream::LengthMs() const {
  return lengthFrames >= 0 ? lengthFrames * 1000 / std::max(sourceRate, 1) : 0;
}

std::int64_t SoundStream::PositionMs() const {
  if (seekAsked.load(std::memory_order_acquire) != flushApplied.load(std::memory_order_acquire))
    return seekTargetMs.load(std::memory_order_relaxed);
  std::int64_t ms = positionUs.load(std::memory_order_acquire) / 1000;
  if (lengthFrames >= 0) {
    std::int64_t length = LengthMs();
    if (Finished() || ms > length) ms = length;
  }
  return ms;
}

int SoundStream::HeardOrder() const {
  if (seekAsked.load(std::memory_order_acquire) != flushApplied.load(std::memory_order_acquire))
    return static_cast<int>(seekTargetMs.load(std::memory_order_relaxed) / 1000);
  std::uint64_t heard = ring.ReadPos();
  std::lock_guard lock(markerMutex_);
  int order = 0;
  for (const auto& [at, o] : markers_) {
    if (at > heard) break;
    order = o;
  }
  return order;
}

void SoundStream::WaitForPrefill(int maxMs) const {
  const std::size_t want = std::min(ring.Capacity() / 4, static_cast<std::size_t>(mixRate / 10));
  auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(maxMs);
  while (thread_.joinable() && ring.Readable() < want && !endOfData.load() &&
         std::chrono::steady_clock::now() < until)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

}  // namespace qmb
