// The engine's entry points: the state behind playback/sound_engine.h. Every
// entry point runs under one mutex that only callers take; the mixing and
// decoding threads never do.
#include "playback/sound_engine.h"

#include <algorithm>
#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "engine/callback_source.h"
#include "engine/mixer.h"
#include "engine/output.h"
#include "engine/raw_pcm_source.h"
#include "engine/stream.h"

namespace qmb {

struct MusicModule {
  std::unique_ptr<SoundStream> stream;
};

namespace {

struct EngineState {
  std::mutex mutex;
  int output = kOutputDirectSound;
  int driver = 0;
  int bufferMs = 100;
  int mixerKind = kMixerQuality;
  std::unique_ptr<engine::Mixer> mixer;
  std::unique_ptr<engine::Output> out;
  std::map<SoundStream*, std::unique_ptr<SoundStream>> streams;
  std::map<MusicModule*, std::unique_ptr<MusicModule>> modules;
  std::map<DspUnit*, std::unique_ptr<DspUnit>> units;
  std::vector<std::string> deviceNames;
  std::atomic<int> blockFrames{0};

  bool Running() const { return mixer != nullptr; }
  ~EngineState() { Shutdown(); }

  void Shutdown() {
    out.reset();  // the output stops pulling first
    streams.clear();
    modules.clear();
    units.clear();
    mixer.reset();
    blockFrames.store(0);
  }

  SoundStream* Find(SoundStream* stream) {
    return stream && streams.count(stream) ? stream : nullptr;
  }
  SoundStream* FindModule(MusicModule* module) {
    return module && modules.count(module) ? module->stream.get() : nullptr;
  }
  engine::ChannelSlot* Slot(int channel) {
    if (!mixer || channel < 0 || channel >= kMaxChannels) return nullptr;
    engine::ChannelSlot& slot = mixer->Channel(channel);
    return slot.stream.load() ? &slot : nullptr;
  }
  std::unique_ptr<SoundStream> NewStream() {
    std::size_t ring = std::max<std::size_t>(static_cast<std::size_t>(mixer->Rate()) / 2,
                                             static_cast<std::size_t>(blockFrames.load()) * 4);
    return std::make_unique<SoundStream>(mixer->Rate(), ring);
  }
  // A callback stream reads ahead no more than keeps it free of drop-outs.
  std::unique_ptr<SoundStream> NewCallbackStream() {
    return std::make_unique<SoundStream>(
        mixer->Rate(), engine::CallbackRingFrames(mixer->Rate(), blockFrames.load()));
  }
  void RebuildChain() {
    std::vector<DspUnit*> chain;
    for (auto& [unit, owned] : units) chain.push_back(unit);
    // Creation order breaks ties between equal priorities.
    std::sort(chain.begin(), chain.end(), [this](DspUnit* a, DspUnit* b) {
      return a->priority != b->priority ? a->priority < b->priority : Serial(a) < Serial(b);
    });
    mixer->SetDspChain(std::move(chain));
  }
  std::map<DspUnit*, long> serials;
  long nextSerial = 0;
  long Serial(DspUnit* unit) { return serials[unit]; }

  int Play(int channel, SoundStream* s) {
    if (channel == kFreeChannel) {
      for (int i = 0; i < kMaxChannels && channel < 0; ++i)
        if (!mixer->Channel(i).stream.load()) channel = i;
      for (int i = 0; i < kMaxChannels && channel < 0; ++i)
        if (mixer->Channel(i).stream.load()->Finished()) channel = i;
    }
    if (channel < 0 || channel >= kMaxChannels) return -1;
    if (s->channel >= 0) mixer->Detach(s->channel);
    if (s->isCallback && !s->Decoding()) s->StartDecoding();
    // A stream played to its end starts again.
    if (s->Finished()) s->RequestSeek(0, s->isModule ? 0 : -1);
    s->WaitForPrefill(200);
    s->mix.gainL = s->mix.gainR = 0;
    mixer->Attach(channel, s);
    return channel;
  }
};

EngineState& State() {
  static EngineState state;
  return state;
}

std::string LowerExtension(const std::string& path) {
  std::size_t slash = path.find_last_of('/');
  std::size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
  std::string ext = path.substr(dot + 1);
  for (char& c : ext)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return ext;
}

bool IsAddress(const std::string& path) {
  return path.rfind("http://", 0) == 0 || path.rfind("https://", 0) == 0;
}

int BlockFramesFor(int rate, int bufferMs) {
  // A quarter of the buffer per block, as a power of two.
  int want = static_cast<int>(static_cast<long>(rate) * bufferMs / 4000);
  int block = 256;
  while (block * 2 <= want && block < 4096) block *= 2;
  return block;
}

}  // namespace

bool FSOUND_SetOutput(int outputType) {
  auto& e = State();
  std::lock_guard lock(e.mutex);
  if (e.Running() || outputType < 0 || outputType >= kOutputTypeCount) return false;
  e.output = outputType;
  e.deviceNames.clear();
  return true;
}

bool FSOUND_SetDriver(int device) {
  auto& e = State();
  std::lock_guard lock(e.mutex);
  if (e.Running()) return false;
  e.driver = std::max(device, 0);
  return true;
}

bool FSOUND_SetBufferSize(int milliseconds) {
  auto& e = State();
  std::lock_guard lock(e.mutex);
  if (e.Running() || milliseconds < 1 || milliseconds > 2000) return false;
  e.bufferMs = milliseconds;
  return true;
}

bool FSOUND_SetMixer(int mixer) {
  auto& e = State();
  std::lock_guard lock(e.mutex);
  if (e.Running()) return false;
  e.mixerKind = mixer;
  return true;
}

int FSOUND_GetOutput() {
  auto& e = State();
  std::lock_guard lock(e.mutex);
  return e.output;
}

int FSOUND_GetMixer() {
  auto& e = State();
  std::lock_guard lock(e.mutex);
  return e.mixerKind;
}

int FSOUND_GetOutputRate() {
  auto& e = State();
  std::lock_guard lock(e.mutex);
  return e.Running() ? e.mixer->Rate() : 0;
}

int FSOUND_Init(int mixRate, int maxChannels, unsigned /*flags*/) {
  auto& e = State();
  std::lock_guard lock(e.mutex);
  if (e.Running() || mixRate < 4000 || mixRate > 192000 || maxChannels < 1) return 0;
  int block = BlockFramesFor(mixRate, e.bufferMs);
  e.mixer = std::make_unique<engine::Mixer>(mixRate, block);
  std::string error;
  e.out = engine::StartOutput(e.output, e.driver, *e.mixer, &error);
  if (!e.out) {
    e.mixer.reset();
    return 0;
  }
  e.blockFrames.store(block);
  e.deviceNames.clear();
  return 1;
}

void FSOUND_Close() {
  auto& e = State();
  std::lock_guard lock(e.mutex);
  e.Shutdown();
  e.serials.clear();
  e.deviceNames.clear();
}

int FSOUND_GetNumDrivers() {
  auto& e = State();
  std::lock_guard lock(e.mutex);
  e.deviceNames = e.Running() ? e.out->Devices() : engine::OutputDevices(e.output);
  return static_cast<int>(e.deviceNames.size());
}

const char* FSOUND_GetDriverName(int index) {
  auto& e = State();
  std::lock_guard lock(e.mutex);
  if (e.deviceNames.empty())
    e.deviceNames = e.Running() ? e.out->Devices() : engine::OutputDevices(e.output);
  if (index < 0 || index >= static_cast<int>(e.deviceNames.size())) return nullptr;
  return e.deviceNames[static_cast<std::size_t>(index)].c_str();
}

SoundStream* FSOUND_Stream_Open(const char* path, unsigned mode, int /*offset*/, int /*length*/) {
  auto& e = State();
  std::lock_guard lock(e.mutex);
  if (!e.Running() || !path || !*path) return nullptr;
  const std::string p = path;
  const std::string ext = LowerExtension(p);
  auto stream = e.NewStream();
  stream->path = p;
  std::string error;

  if (!(mode & kStreamLoadRaw) && (ext == "cue" || p.rfind("/dev/", 0) == 0)) {
    stream->disc = engine::OpenCdDisc(p, &error);
    if (!stream->disc) return nullptr;
    stream->trackCount = std::max(0, stream->disc->TrackCount());
    // The first sub-stream is selected until the caller picks another.
    if (stream->trackCount > 0) {
      if (auto track = stream->disc->OpenTrack(1, &error)) {
        stream->SetSource(std::move(track));
        stream->StartDecoding();
      }
    }
    SoundStream* handle = stream.get();
    e.streams.emplace(handle, std::move(stream));
    return handle;
  }

  SoundStream::Opener opener;
  if (mode & kStreamLoadRaw) {
    opener = [p](engine::OpenProgress&) { return engine::OpenRawPcmSource(p, nullptr); };
  } else if (ext == "sgt" || ext == "fsb") {
    return nullptr;
  } else if (IsAddress(p)) {
    opener = [p](engine::OpenProgress& progress) {
      return engine::OpenNetworkSource(p, progress, nullptr);
    };
  } else if (ext == "mid" || ext == "midi" || ext == "rmi") {
    opener = [p](engine::OpenProgress&) { return engine::OpenMidiSource(p, nullptr); };
  } else {
    opener = [p](engine::OpenProgress&) { return engine::OpenFileSource(p, nullptr); };
  }

  if (mode & kStreamNonBlocking) {
    stream->StartOpening(std::move(opener));
  } else {
    auto source = opener(stream->progress);
    if (!source) return nullptr;
    stream->SetSource(std::move(source));
    stream->StartDecoding();
  }
  SoundStream* handle = stream.get();
  e.streams.emplace(handle, std::move(stream));
  return handle;
}

int FSOUND_Stream_GetOpenState(SoundStream* stream) {
  auto& e = State();
  std::lock_guard lock(e.mutex);
  SoundStream* s = e.Find(stream);
  if (!s) return kOpenInvalid;
  int state = s->openState.load(std::memory_order_acquire);
  if (state == kOpenConnecting && s->progress.buffering.load()) return kOpenBuffering;
  return state;
}

bool FSOUND_Stream_Net_GetStatus(SoundStream* stream, int* status, int* bufferPercent, int* bitRate,
                                 unsigned* flags) {
  auto& e = State();
  std::lock_guard lock(e.mutex);
  SoundStream* s = e.Find(stream);
  if (!s) return false;
  int state = s->openState.load(std::memory_order_acquire);
  int percent = std::clamp(s->progress.fillPercent.load(), 0, 100);
  if (state == kOpenReady)
    percent = static_cast<int>(s->ring.Readable() * 100 / s->ring.Capacity());
  if (bufferPercent) *bufferPercent = percent;
  // Not connected, connecting, buffering, ready, error.
  if (status) {
    *status = state == kOpenReady            ? 3
              : state == kOpenFailed         ? 4
              : s->progress.buffering.load() ? 2
                                             : 1;
  }
  if (bitRate) *bitRate = state == kOpenReady ? s->bitRate : 0;
  if (flags) *flags = 0;
  return true;
}

bool FSOUND_Stream_Net_GetMetadata(SoundStream* stream, StreamMetadata* metadata) {
  auto& e = State();
  std::lock_guard lock(e.mutex);
  SoundStream* s = e.Find(stream);
  if (!s) return false;
  if (metadata) *metadata = s->Metadata();
  return true;
}

int FSOUND_Stream_GetNumSubStreams(SoundStream* stream) {
  auto& e = State();
  std::lock_guard lock(e.mutex);
  SoundStream* s = e.Find(stream);
  return s && s->disc ? s->trackCount : 0;
}

bool FSOUND_Stream_SetSubStream(SoundStream* stream, int index) {
  auto& e = State();
  std::lock_guard lock(e.mutex);
  SoundStream* s = e.Find(stream);
  if (!s || !s->disc || index < 0 || index >= s->trackCount) return false;
  auto track = s->disc->OpenTrack(index + 1, nullptr);
  if (!track) return false;
  if (s->channel >= 0) e.mixer->Detach(s->channel);
  s->StopDecoding();
  s->ResetPlayback();
  s->SetSource(std::move(track));
  s->StartDecoding();
  return true;
}

SoundStream* FSOUND_Stream_Create(StreamCallback callback, int lengthBytes, unsigned mode,
                                  int sampleRate, void* userData) {
  auto& e = State();
  std::lock_guard lock(e.mutex);
  if (!e.Running()) return nullptr;
  auto stream = e.NewCallbackStream();
  auto source =
      engine::MakeCallbackSource(stream.get(), callback, lengthBytes, mode, sampleRate, userData);
  if (!source) return nullptr;
  stream->isCallback = true;
  stream->SetSource(std::move(source));
  // Decoding starts at the first play, so the fill function is not called
  // before its owner has started.
  SoundStream* handle = stream.get();
  e.streams.emplace(handle, std::move(stream));
  return handle;
}

int FSOUND_Stream_Play(int channel, SoundStream* stream) {
  auto& e = State();
  std::lock_guard lock(e.mutex);
  SoundStream* s = e.Find(stream);
  if (!s || s->openState.load(std::memory_order_acquire) != kOpenReady) return -1;
  if (!s->Decoding() && !s->isCallback) return -1;  // a CD without a playable track
  return e.Play(channel, s);
}

bool FSOUND_Stream_Stop(SoundStream* stream) {
  auto& e = State();
  std::lock_guard lock(e.mutex);
  SoundStream* s = e.Find(stream);
  if (!s) return false;
  if (s->channel >= 0) e.mixer->Detach(s->channel);
  return true;
}

bool FSOUND_Stream_Close(SoundStream* stream) {
  auto& e = State();
  std::lock_guard lock(e.mutex);
  SoundStream* s = e.Find(stream);
  if (!s) return false;
  if (s->channel >= 0) e.mixer->Detach(s->channel);
  e.streams.erase(s);  // joins the decoding thread, aborting an open
  return true;
}

namespace {
SoundStream* ReadyStream(EngineState& e, SoundStream* stream) {
  SoundStream* s = e.Find(stream);
  return s && s->openState.load(std::memory_order_acquire) == kOpenReady ? s : nullptr;
}
}  // namespace

int FSOUND_Stream_GetLengthMs(SoundStream* stream) {
  auto& e = State();
  std::lock_guard lock(e.mutex);
  SoundStream* s = ReadyStream(e, stream);
  return s ? static_cast<int>(s->LengthMs()) : 0;
}

int FSOUND_Stream_GetLength(SoundStream* stream) {
  auto& e = State();
  std::lock_guard lock(e.mutex);
  SoundStream* s = ReadyStream(e, stream);
  return s ? static_cast<int>(std::min<std::int64_t>(s->lengthBytes, INT32_MAX)) : 0;
}

int FSOUND_Stream_GetTime(SoundStream* stream) {
  auto& e = State();
  std::lock_guard lock(e.mutex);
  SoundStream* s = ReadyStream(e, stream);
  return s ? static_cast<int>(s->PositionMs()) : 0;
}

bool FSOUND_Stream_SetTime(SoundStream* stream, int ms) {
  auto& e = State();
  std::lock_guard lock(e.mutex);
  SoundStream* s = ReadyStream(e, stream);
  // A callback stream not yet played takes the time when it starts.
  if (!s || (!s->isCallback && !s->Decoding())) return false;
  std::int64_t frame = static_cast<std::int64_t>(std::max(ms, 0)) * s->sourceRate / 1000;
  if (s->lengthFrames >= 0) frame = std::min(frame, s->lengthFrames);
  s->RequestSeek(frame, -1);
  e.mixer->NotifyActivity();
  return true;
}

bool FSOUND_Stream_IsFinished(SoundStream* stream) {
  auto& e = State();
  std::lock_guard lock(e.mutex);
  SoundStream* s = ReadyStream(e, stream);
  return s && s->Finished();
}

SoundSample* FSOUND_Stream_GetSample(SoundStream* stream) {
  auto& e = State();
  std::lock_guard lock(e.mutex);
  SoundStream* s = ReadyStream(e, stream);
  return s && (s->Decoding() || s->isCallback) ? &s->sample : nullptr;
}

bool FSOUND_Sample_GetDefaults(SoundSample* sample, int* frequency, int* volume, int* pan,
                               int* priority) {
  auto& e = State();
  std::lock_guard lock(e.mutex);
  if (!sample || !ReadyStream(e, sample->owner)) return false;
  if (frequency) *frequency = sample->owner->sourceRate;
  if (volume) *volume = 255;
  if (pan) *pan = 127;
  if (priority) *priority = 128;
  return true;
}

bool FSOUND_SetVolume(int channel, int volume) {
  auto& e = State();
  std::lock_guard lock(e.mutex);
  auto* slot = e.Slot(channel);
  if (!slot) return false;
  slot->volume.store(std::clamp(volume, 0, 255));
  return true;
}

bool FSOUND_SetPan(int channel, int pan) {
  auto& e = State();
  std::lock_guard lock(e.mutex);
  auto* slot = e.Slot(channel);
  if (!slot) return false;
  slot->pan.store(std::clamp(pan, 0, 255));
  return true;
}

bool FSOUND_SetMute(int channel, bool mute) {
  auto& e = State();
  std::lock_guard lock(e.mutex);
  auto* slot = e.Slot(channel);
  if (!slot) return false;
  slot->mute.store(mute);
  return true;
}

bool FSOUND_SetPaused(int channel, bool paused) {
  auto& e = State();
  std::lock_guard lock(e.mutex);
  if (channel == kSystemChannel) {
    if (!e.Running()) return false;
    e.mixer->systemPaused.store(paused);
    if (!paused) e.mixer->NotifyActivity();
    return true;
  }
  auto* slot = e.Slot(channel);
  if (!slot) return false;
  slot->paused.store(paused);
  if (!paused) e.mixer->NotifyActivity();
  return true;
}

bool FSOUND_IsPlaying(int channel) {
  auto& e = State();
  std::lock_guard lock(e.mutex);
  auto* slot = e.Slot(channel);
  if (!slot) return false;
  SoundStream* s = slot->stream.load();
  return s && !s->Finished() && !slot->paused.load();
}

MusicModule* FMUSIC_LoadSong(const char* path) {
  auto& e = State();
  std::lock_guard lock(e.mutex);
  if (!e.Running() || !path || !*path) return nullptr;
  std::string ext = LowerExtension(path);
  if (ext == "sgt" || ext == "fsb") return nullptr;
  auto source = engine::OpenModuleSource(path, nullptr);
  if (!source || source->NumOrders() <= 0) return nullptr;
  auto module = std::make_unique<MusicModule>();
  module->stream = e.NewStream();
  module->stream->path = path;
  module->stream->isModule = true;
  module->stream->SetSource(std::move(source));
  module->stream->StartDecoding();
  MusicModule* handle = module.get();
  e.modules.emplace(handle, std::move(module));
  return handle;
}

bool FMUSIC_PlaySong(MusicModule* module) {
  auto& e = State();
  std::lock_guard lock(e.mutex);
  SoundStream* s = e.FindModule(module);
  if (!s) return false;
  if (s->channel >= 0 && !s->Finished()) return true;
  int channel = e.Play(kFreeChannel, s);
  if (channel < 0) return false;
  e.mixer->Channel(channel).volume.store(s->moduleVolume);
  e.mixer->Channel(channel).paused.store(s->modulePaused);
  return true;
}

bool FMUSIC_StopSong(MusicModule* module) {
  auto& e = State();
  std::lock_guard lock(e.mutex);
  SoundStream* s = e.FindModule(module);
  if (!s) return false;
  if (s->channel >= 0) e.mixer->Detach(s->channel);
  return true;
}

bool FMUSIC_FreeSong(MusicModule* module) {
  auto& e = State();
  std::lock_guard lock(e.mutex);
  SoundStream* s = e.FindModule(module);
  if (!s) return false;
  if (s->channel >= 0) e.mixer->Detach(s->channel);
  e.modules.erase(module);
  return true;
}

bool FMUSIC_SetPaused(MusicModule* module, bool paused) {
  auto& e = State();
  std::lock_guard lock(e.mutex);
  SoundStream* s = e.FindModule(module);
  if (!s) return false;
  s->modulePaused = paused;
  if (s->channel >= 0) {
    e.mixer->Channel(s->channel).paused.store(paused);
    if (!paused) e.mixer->NotifyActivity();
  }
  return true;
}

bool FMUSIC_IsFinished(MusicModule* module) {
  auto& e = State();
  std::lock_guard lock(e.mutex);
  SoundStream* s = e.FindModule(module);
  return s && s->Finished();
}

bool FMUSIC_SetMasterVolume(MusicModule* module, int volume) {
  auto& e = State();
  std::lock_guard lock(e.mutex);
  SoundStream* s = e.FindModule(module);
  if (!s) return false;
  s->moduleVolume = std::clamp(volume, 0, 255);
  if (s->channel >= 0) e.mixer->Channel(s->channel).volume.store(s->moduleVolume);
  return true;
}

int FMUSIC_GetNumOrders(MusicModule* module) {
  auto& e = State();
  std::lock_guard lock(e.mutex);
  SoundStream* s = e.FindModule(module);
  return s ? s->numOrders : 0;
}

int FMUSIC_GetOrder(MusicModule* module) {
  auto& e = State();
  std::lock_guard lock(e.mutex);
  SoundStream* s = e.FindModule(module);
  return s ? s->HeardOrder() : 0;
}

bool FMUSIC_SetOrder(MusicModule* module, int order) {
  auto& e = State();
  std::lock_guard lock(e.mutex);
  SoundStream* s = e.FindModule(module);
  if (!s || order < 0 || order >= s->numOrders) return false;
  s->RequestSeek(0, order);
  e.mixer->NotifyActivity();
  return true;
}

DspUnit* FSOUND_DSP_Create(DspCallback callback, int priority, void* userData) {
  auto& e = State();
  std::lock_guard lock(e.mutex);
  if (!e.Running() || !callback) return nullptr;
  auto unit = std::make_unique<DspUnit>();
  unit->callback = callback;
  unit->priority = priority;
  unit->userData = userData;
  DspUnit* handle = unit.get();
  e.serials[handle] = e.nextSerial++;
  e.units.emplace(handle, std::move(unit));
  e.RebuildChain();
  return handle;
}

void FSOUND_DSP_Free(DspUnit* unit) {
  auto& e = State();
  std::lock_guard lock(e.mutex);
  auto it = e.units.find(unit);
  if (it == e.units.end()) return;
  auto owned = std::move(it->second);
  e.units.erase(it);
  e.serials.erase(unit);
  e.RebuildChain();  // waits for a block that may still be calling it
}

void FSOUND_DSP_SetActive(DspUnit* unit, bool active) {
  auto& e = State();
  std::lock_guard lock(e.mutex);
  if (!e.Running() || !unit) return;
  if (unit != &e.mixer->FftUnit() && !e.units.count(unit)) return;
  unit->active.store(active, std::memory_order_release);
  if (!active) e.mixer->WaitForBlock();
}

bool FSOUND_DSP_GetActive(DspUnit* unit) {
  auto& e = State();
  std::lock_guard lock(e.mutex);
  if (!e.Running() || !unit) return false;
  if (unit != &e.mixer->FftUnit() && !e.units.count(unit)) return false;
  return unit->active.load();
}

DspUnit* FSOUND_DSP_GetFFTUnit() {
  auto& e = State();
  std::lock_guard lock(e.mutex);
  return e.Running() ? &e.mixer->FftUnit() : nullptr;
}

const float* FSOUND_DSP_GetSpectrum() {
  auto& e = State();
  std::lock_guard lock(e.mutex);
  if (!e.Running() || !e.mixer->FftUnit().active.load()) return nullptr;
  return e.mixer->LatestSpectrum();
}

int FSOUND_DSP_GetBufferLength() {
  return State().blockFrames.load();
}

int FSOUND_FX_Enable(int channel, unsigned fxType) {
  auto& e = State();
  std::lock_guard lock(e.mutex);
  if (!e.Running() || channel != kSystemChannel || fxType != kFxParamEq) return -1;
  for (int i = 0; i < engine::kMaxEffects; ++i) {
    auto& fx = e.mixer->effects[static_cast<std::size_t>(i)];
    if (fx.enabled.load()) continue;
    fx.center.store(8000);
    fx.bandwidth.store(12);
    fx.gain.store(0);
    fx.version.fetch_add(1, std::memory_order_release);
    fx.enabled.store(true, std::memory_order_release);
    return i;
  }
  return -1;
}

bool FSOUND_FX_Disable(int channel) {
  auto& e = State();
  std::lock_guard lock(e.mutex);
  if (!e.Running() || channel != kSystemChannel) return false;
  for (auto& fx : e.mixer->effects) fx.enabled.store(false, std::memory_order_release);
  return true;
}

bool FSOUND_FX_SetParamEQ(int fxId, float center, float bandwidth, float gain) {
  auto& e = State();
  std::lock_guard lock(e.mutex);
  if (!e.Running() || fxId < 0 || fxId >= engine::kMaxEffects) return false;
  auto& fx = e.mixer->effects[static_cast<std::size_t>(fxId)];
  if (!fx.enabled.load()) return false;
  fx.center.store(center);
  fx.bandwidth.store(bandwidth);
  fx.gain.store(gain);
  fx.version.fetch_add(1, std::memory_order_release);
  return true;
}

}  // namespace qmb
