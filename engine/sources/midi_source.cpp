#include "engine/sources/midi_source.h"

#include <fluidsynth.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <mutex>

#include "engine/sources/midi_file.h"

namespace qmb::engine {

namespace {

constexpr int kRate = 44100;
// FluidSynth's default gain of 0.2 leaves General MIDI far quieter than
// other files; this brings it near their level without clipping full chords.
constexpr double kGain = 0.6;
constexpr std::size_t kMaxMidiBytes = 64 << 20;

// FluidSynth shares loaded soundfont samples between synths behind locks of
// its own; creating and destroying synths one at a time keeps that simple.
std::mutex& SynthLifetimeMutex() {
  static std::mutex mutex;
  return mutex;
}

void SilenceFluidSynthOnce() {
  static std::once_flag once;
  std::call_once(once, [] {
    for (int level = FLUID_PANIC; level < LAST_LOG_LEVEL; ++level) {
      fluid_set_log_function(level, nullptr, nullptr);
    }
  });
}

bool FileExists(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return file.good();
}

class MidiSource final : public Source {
 public:
  MidiSource(MidiTimeline timeline, std::vector<std::uint8_t> smf)
      : timeline_(std::move(timeline)), smf_(std::move(smf)) {
    lengthFrames_ = std::llround(timeline_.LengthSeconds() * kRate);
  }
  ~MidiSource() override {
    std::lock_guard lock(SynthLifetimeMutex());
    if (player_ != nullptr) {
      fluid_player_stop(player_);
      delete_fluid_player(player_);
    }
    if (synth_ != nullptr) delete_fluid_synth(synth_);
    if (settings_ != nullptr) delete_fluid_settings(settings_);
  }
  MidiSource(const MidiSource&) = delete;
  MidiSource& operator=(const MidiSource&) = delete;

  bool Start(const std::string& soundfont, std::string* error) {
    std::lock_guard lock(SynthLifetimeMutex());
    settings_ = new_fluid_settings();
    if (settings_ == nullptr) return Fail("cannot set up FluidSynth", error);
    fluid_settings_setnum(settings_, "synth.sample-rate", kRate);
    fluid_settings_setnum(settings_, "synth.gain", kGain);
    // The player follows the samples we render, not the wall clock.
    fluid_settings_setstr(settings_, "player.timing-source", "sample");
    // Load only the instruments a file uses, which is much quicker to open.
    fluid_settings_setint(settings_, "synth.dynamic-sample-loading", 1);
    synth_ = new_fluid_synth(settings_);
    if (synth_ == nullptr) return Fail("cannot set up FluidSynth", error);
    if (fluid_synth_sfload(synth_, soundfont.c_str(), 1) == FLUID_FAILED) {
      return Fail("cannot load the soundfont " + soundfont, error);
    }
    player_ = new_fluid_player(synth_);
    if (player_ == nullptr || fluid_player_add_mem(player_, smf_.data(), smf_.size()) != FLUID_OK ||
        fluid_player_play(player_) != FLUID_OK) {
      return Fail("FluidSynth cannot play this MIDI file", error);
    }
    // The player loads its file on its first tick and cannot seek before;
    // one silent frame gets it there.
    float first[2];
    fluid_synth_write_float(synth_, 1, first, 0, 2, first, 1, 2);
    return true;
  }

  int SampleRate() const override { return kRate; }
  int Channels() const override { return 2; }
  std::int64_t LengthFrames() const override { return lengthFrames_; }
  std::int64_t LengthBytes() const override { return static_cast<std::int64_t>(smf_.size()); }

  std::size_t Read(float* out, std::size_t frames) override {
    std::int64_t left = std::max<std::int64_t>(0, lengthFrames_ - position_);
    std::size_t n = static_cast<std::size_t>(std::min<std::int64_t>(left, frames));
    // FluidSynth renders at most this many frames per call without complaint.
    constexpr std::size_t kChunk = 4096;
    for (std::size_t done = 0; done < n;) {
      int chunk = static_cast<int>(std::min(kChunk, n - done));
      float* at = out + done * 2;
      if (fluid_synth_write_float(synth_, chunk, at, 0, 2, at, 1, 2) != FLUID_OK) {
        std::fill(at, at + chunk * 2, 0.0f);
      }
      done += chunk;
    }
    position_ += static_cast<std::int64_t>(n);
    return n;
  }

  bool Seek(std::int64_t frame) override {
    if (frame < 0) return false;
    frame = std::min(frame, lengthFrames_);
    int tick = static_cast<int>(std::min<std::int64_t>(
        timeline_.SecondsToTick(static_cast<double>(frame) / kRate), INT32_MAX));
    if (fluid_player_get_status(player_) != FLUID_PLAYER_PLAYING) fluid_player_play(player_);
    if (fluid_player_seek(player_, tick) != FLUID_OK) return false;
    fluid_synth_all_sounds_off(synth_, -1);
    position_ = frame;
    return true;
  }

 private:
  static bool Fail(const std::string& text, std::string* error) {
    if (error != nullptr) *error = text;
    return false;
  }

  MidiTimeline timeline_;
  std::vector<std::uint8_t> smf_;
  std::int64_t lengthFrames_ = 0;
  std::int64_t position_ = 0;
  fluid_settings_t* settings_ = nullptr;
  fluid_synth_t* synth_ = nullptr;
  fluid_player_t* player_ = nullptr;
};

}  // namespace

const std::vector<std::string>& DefaultSoundfonts() {
  static const std::vector<std::string> soundfonts = {"/usr/share/sounds/sf2/TimGM6mb.sf2",
                                                      "/usr/share/sounds/sf2/default-GM.sf2"};
  return soundfonts;
}

std::unique_ptr<Source> OpenMidiSourceWith(const std::string& path,
                                           const std::vector<std::string>& soundfonts,
                                           std::string* error) {
  std::string ignored;
  if (error == nullptr) error = &ignored;
  auto soundfont = std::find_if(soundfonts.begin(), soundfonts.end(), FileExists);
  if (soundfont == soundfonts.end()) {
    *error = "no General MIDI soundfont found (install timgm6mb-soundfont)";
    return nullptr;
  }
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    *error = "cannot open " + path;
    return nullptr;
  }
  std::vector<std::uint8_t> bytes;
  bytes.reserve(1 << 16);
  char buffer[1 << 16];
  while (file.read(buffer, sizeof buffer) || file.gcount() > 0) {
    bytes.insert(bytes.end(), buffer, buffer + file.gcount());
    if (bytes.size() > kMaxMidiBytes) {
      *error = "too large for a MIDI file";
      return nullptr;
    }
  }
  std::vector<std::uint8_t> smf;
  auto timeline = MidiTimeline::Parse(bytes, &smf, error);
  if (!timeline) return nullptr;
  SilenceFluidSynthOnce();
  auto source = std::make_unique<MidiSource>(std::move(*timeline), std::move(smf));
  if (!source->Start(*soundfont, error)) return nullptr;
  return source;
}

std::unique_ptr<Source> OpenMidiSource(const std::string& path, std::string* error) {
  return OpenMidiSourceWith(path, DefaultSoundfonts(), error);
}

}  // namespace qmb::engine
