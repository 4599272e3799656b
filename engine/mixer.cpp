#include "engine/mixer.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <thread>

namespace qmb::engine {

namespace {

constexpr std::uint64_t kNoFlush = ~std::uint64_t{0};
constexpr int kFreshBit = 4;
thread_local bool onMixingThread = false;

// Balance: the centre plays both sides fully; moving off it lowers the other side.
void PanGains(int pan, float& left, float& right) {
  pan = std::clamp(pan, 0, 255);
  left = std::min(1.0f, (255 - pan) / 128.0f);
  right = std::min(1.0f, pan / 127.0f);
}

float Approach(float value, float target, float step) {
  if (value < target) return std::min(target, value + step);
  return std::max(target, value - step);
}

}  // namespace

Mixer::Mixer(int rate, int blockFrames)
    : rate_(rate),
      block_(blockFrames),
      rampStep_(1.0f / std::max(1.0f, rate * 0.005f)),
      mix_(static_cast<std::size_t>(blockFrames) * 2),
      original_(static_cast<std::size_t>(blockFrames) * 2),
      buffer_(static_cast<std::size_t>(blockFrames) * 2),
      carry_(static_cast<std::size_t>(blockFrames) * 2) {
  fftUnit_.isFft = true;
  chain_.store(new std::vector<DspUnit*>());
}

Mixer::~Mixer() {
  delete chain_.load();
}

void Mixer::WaitForBlock() const {
  if (onMixingThread) return;
  std::uint64_t state = mixing_.load(std::memory_order_seq_cst);
  if (!(state & 1)) return;
  while (mixing_.load(std::memory_order_seq_cst) == state) std::this_thread::yield();
}

void Mixer::Attach(int channel, SoundStream* stream) {
  ChannelSlot& slot = channels_[channel];
  Detach(channel);
  slot.volume.store(255);
  slot.pan.store(127);
  slot.mute.store(false);
  slot.paused.store(false);
  stream->channel = channel;
  slot.stream.store(stream, std::memory_order_seq_cst);
  NotifyActivity();
}

void Mixer::Detach(int channel) {
  ChannelSlot& slot = channels_[channel];
  SoundStream* old = slot.stream.exchange(nullptr, std::memory_order_seq_cst);
  if (!old) return;
  WaitForBlock();
  old->channel = -1;
}

void Mixer::SetDspChain(std::vector<DspUnit*> units) {
  std::stable_sort(units.begin(), units.end(),
                   [](const DspUnit* a, const DspUnit* b) { return a->priority < b->priority; });
  auto* fresh = new std::vector<DspUnit*>(std::move(units));
  std::vector<DspUnit*>* old = chain_.exchange(fresh, std::memory_order_seq_cst);
  WaitForBlock();
  delete old;
}

bool Mixer::HasWork() {
  // Streams are looked at as in a block, so a caller cannot free one meanwhile.
  mixing_.fetch_add(1, std::memory_order_seq_cst);
  bool work = false;
  for (const auto& slot : channels_) {
    SoundStream* s = slot.stream.load(std::memory_order_seq_cst);
    if (s && !s->Finished()) {
      work = true;
      break;
    }
  }
  mixing_.fetch_add(1, std::memory_order_seq_cst);
  return work;
}

const float* Mixer::LatestSpectrum() {
  if (latest_.load(std::memory_order_acquire) & kFreshBit) {
    front_ = latest_.exchange(front_, std::memory_order_acq_rel) & 3;
    readerAnalyzer_.ComputeFrom(windows_[front_], spectrum_);
    spectrumValid_ = true;
  }
  return spectrumValid_ ? spectrum_.data() : nullptr;
}

void Mixer::Render(std::int16_t* out, int frames) {
  while (frames > 0) {
    if (carryAt_ == carryLength_) {
      MixBlock();
      carryAt_ = 0;
      carryLength_ = block_;
    }
    int take = std::min(frames, carryLength_ - carryAt_);
    std::memcpy(out, carry_.data() + carryAt_ * 2, sizeof(std::int16_t) * take * 2);
    out += take * 2;
    frames -= take;
    carryAt_ += take;
  }
}

void Mixer::MixBlock() {
  onMixingThread = true;
  mixing_.fetch_add(1, std::memory_order_seq_cst);
  std::fill(mix_.begin(), mix_.end(), 0.0f);

  bool paused = systemPaused.load(std::memory_order_relaxed);
  if (!(paused && systemGain_ == 0)) {
    for (auto& slot : channels_) {
      SoundStream* stream = slot.stream.load(std::memory_order_seq_cst);
      if (stream) MixStream(slot, *stream);
    }
  }
  // The system channel's pause ramps the whole mix.
  float target = paused ? 0.0f : 1.0f;
  if (systemGain_ != target || target == 0) {
    for (int i = 0; i < block_; ++i) {
      systemGain_ = Approach(systemGain_, target, rampStep_);
      mix_[i * 2] *= systemGain_;
      mix_[i * 2 + 1] *= systemGain_;
    }
  }
  ApplyEffects(block_);

  for (int i = 0; i < block_ * 2; ++i) {
    float v = std::clamp(mix_[i] * 32768.0f, -32768.0f, 32767.0f);
    buffer_[i] = static_cast<std::int16_t>(std::lrint(v));
  }
  std::memcpy(original_.data(), buffer_.data(), buffer_.size() * sizeof(std::int16_t));
  void* current = buffer_.data();
  for (DspUnit* unit : *chain_.load(std::memory_order_seq_cst)) {
    if (!unit->active.load(std::memory_order_acquire) || !unit->callback) continue;
    void* result = unit->callback(original_.data(), current, block_, unit->userData);
    if (result) current = result;
  }
  const auto* final = static_cast<const std::int16_t*>(current);
  if (fftUnit_.active.load(std::memory_order_acquire)) {
    analyzer_.Push(final, block_);
    analyzer_.Snapshot(windows_[back_]);
    back_ = latest_.exchange(back_ | kFreshBit, std::memory_order_acq_rel) & 3;
  }
  std::memcpy(carry_.data(), final, carry_.size() * sizeof(std::int16_t));
  mixing_.fetch_add(1, std::memory_order_seq_cst);
}

void Mixer::ApplyEffects(int frames) {
  ParamEq* live[kMaxEffects];
  int count = 0;
  for (auto& fx : effects) {
    if (!fx.enabled.load(std::memory_order_acquire)) {
      fx.live = false;
      continue;
    }
    std::uint32_t version = fx.version.load(std::memory_order_acquire);
    if (!fx.live || version != fx.seenVersion) {
      if (!fx.live) fx.filter.Reset();
      fx.filter.Configure(rate_, fx.center.load(std::memory_order_relaxed),
                          fx.bandwidth.load(std::memory_order_relaxed),
                          fx.gain.load(std::memory_order_relaxed));
      fx.seenVersion = version;
      fx.live = true;
    }
    live[count++] = &fx.filter;
  }
  ParamEq::ProcessCascade(live, count, mix_.data(), frames);
}

void Mixer::MixStream(ChannelSlot& slot, SoundStream& s) {
  auto& m = s.mix;
  float* out = mix_.data();
  int room = block_;
  FrameRing& ring = s.ring;

  std::uint32_t answer = s.flushAnswer.load(std::memory_order_acquire);
  if (answer != s.flushApplied.load(std::memory_order_relaxed)) {
    std::uint64_t pos = s.flushPos.load(std::memory_order_relaxed);
    if (pos != kNoFlush) {
      // Fade out what was playing, then jump to the new data.
      if (m.started) {
        std::size_t before = static_cast<std::size_t>(pos - ring.ReadPos());
        int fade = static_cast<int>(std::min<std::size_t>(
            {before, ring.Readable(), static_cast<std::size_t>(1.0f / rampStep_),
             static_cast<std::size_t>(room)}));
        for (int i = 0; i < fade; ++i) {
          m.gainL = Approach(m.gainL, 0, rampStep_);
          m.gainR = Approach(m.gainR, 0, rampStep_);
          const float* f = ring.Peek(i);
          out[i * 2] += f[0] * m.gainL;
          out[i * 2 + 1] += f[1] * m.gainR;
        }
        out += fade * 2;
        room -= fade;
      }
      ring.SkipTo(pos);
      m.segmentStart = pos;
      m.segmentBaseUs = s.flushBaseUs.load(std::memory_order_relaxed);
      m.gainL = m.gainR = 0;
    }
    s.flushApplied.store(answer, std::memory_order_release);
  }
  if (s.Finished()) return;

  float targetL = 0, targetR = 0;
  bool paused = slot.paused.load(std::memory_order_relaxed);
  if (!paused && !slot.mute.load(std::memory_order_relaxed)) {
    float volume = std::clamp(slot.volume.load(std::memory_order_relaxed), 0, 255) / 255.0f;
    PanGains(slot.pan.load(std::memory_order_relaxed), targetL, targetR);
    targetL *= volume;
    targetR *= volume;
  }
  if (!m.started) {
    m.started = true;
    m.segmentStart = ring.ReadPos();
  }
  bool endOfData = s.endOfData.load(std::memory_order_acquire);
  std::size_t available = ring.Readable();
  std::size_t take = std::min<std::size_t>(available, static_cast<std::size_t>(room));
  if (paused) {
    // Play on only while the pause fades out.
    float fadeFrames = std::max(m.gainL, m.gainR) / rampStep_;
    take = std::min(take, static_cast<std::size_t>(std::ceil(fadeFrames)));
  }
  std::size_t i = 0;
  if (m.gainL != targetL || m.gainR != targetR) {
    for (; i < take && (m.gainL != targetL || m.gainR != targetR); ++i) {
      m.gainL = Approach(m.gainL, targetL, rampStep_);
      m.gainR = Approach(m.gainR, targetR, rampStep_);
      const float* f = ring.Peek(i);
      out[i * 2] += f[0] * m.gainL;
      out[i * 2 + 1] += f[1] * m.gainR;
    }
  }
  if (m.gainL != 0 || m.gainR != 0) {
    const float gl = m.gainL, gr = m.gainR;
    while (i < take) {
      const float* f = ring.Peek(i);
      std::size_t run = std::min(
          take - i,
          ring.Capacity() - static_cast<std::size_t>((ring.ReadPos() + i) & (ring.Capacity() - 1)));
      for (std::size_t k = 0; k < run; ++k) {
        out[(i + k) * 2] += f[k * 2] * gl;
        out[(i + k) * 2 + 1] += f[k * 2 + 1] * gr;
      }
      i += run;
    }
  }
  std::uint32_t asked = s.seekAsked.load(std::memory_order_acquire);
  // Short of sound while playing on: a drop-out, unless the stream is at its
  // end, has not begun this segment yet (start, seek) or is being moved.
  if (take < static_cast<std::size_t>(room) && !paused && !endOfData && asked == answer &&
      ring.ReadPos() != m.segmentStart)
    s.underruns.fetch_add(1, std::memory_order_relaxed);
  ring.Skip(take);
  if (endOfData && asked == answer && take == available && take < static_cast<std::size_t>(room))
    s.finishedMark.store(asked + 1, std::memory_order_release);
  s.positionUs.store(m.segmentBaseUs + static_cast<std::int64_t>(ring.ReadPos() - m.segmentStart) *
                                           1000000 / rate_,
                     std::memory_order_release);
  if (ring.Readable() < ring.Capacity() / 2) s.Wake();
}

}  // namespace qmb::engine
