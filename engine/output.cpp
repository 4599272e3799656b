#include "engine/output.h"

#include <SDL.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <thread>

#include "engine/mixer.h"
#include "playback/sound_engine.h"

namespace qmb::engine {

namespace {

// The null output's single device.
constexpr const char* kNullDeviceName = "No Sound";

// SDL's driver for an output type; null picks SDL's default order (and
// honours SDL_AUDIODRIVER), which is how the Windows-only entries play here.
const char* SdlDriver(int outputType) {
  switch (outputType) {
    case kOutputOss:
      return "dsp";
    case kOutputEsd:
      return "pulseaudio";
    case kOutputAlsa:
      return "alsa";
    default:
      return nullptr;
  }
}

bool InitSdlAudio(int outputType) {
  const char* driver = SdlDriver(outputType);
  if (driver)
    SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, driver, SDL_HINT_OVERRIDE);
  else
    SDL_ResetHint(SDL_HINT_AUDIODRIVER);
  return SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
}

std::vector<std::string> ListSdlDevices() {
  std::vector<std::string> names;
  int count = SDL_GetNumAudioDevices(0);
  for (int i = 0; i < count; ++i) {
    const char* name = SDL_GetAudioDeviceName(i, 0);
    names.emplace_back(name ? name : "");
  }
  return names;
}

// Mixes a block per block period on its own thread and throws it away. It
// keeps an absolute schedule, so positions follow the wall clock without
// drift, and sleeps while nothing plays.
class NullOutput : public Output {
 public:
  explicit NullOutput(Mixer& mixer) : mixer_(mixer) {
    thread_ = std::thread([this] { Run(); });
  }
  ~NullOutput() override {
    stop_.store(true);
    mixer_.NotifyActivity();
    thread_.join();
  }
  std::vector<std::string> Devices() const override { return {kNullDeviceName}; }

 private:
  void Run() {
    using Clock = std::chrono::steady_clock;
    const int block = mixer_.BlockFrames();
    std::vector<std::int16_t> buffer(static_cast<std::size_t>(block) * 2);
    const auto period = std::chrono::duration_cast<Clock::duration>(
        std::chrono::duration<double>(static_cast<double>(block) / mixer_.Rate()));
    auto next = Clock::now();
    while (!stop_.load()) {
      if (!mixer_.HasWork()) {
        std::uint32_t seen = mixer_.Activity().load(std::memory_order_acquire);
        if (!mixer_.HasWork() && !stop_.load()) mixer_.Activity().wait(seen);
        next = Clock::now();
        continue;
      }
      mixer_.Render(buffer.data(), block);
      next += period;
      auto now = Clock::now();
      // Far behind (a stalled machine): start a new schedule instead of racing.
      if (now - next > std::chrono::milliseconds(200)) next = now;
      std::this_thread::sleep_until(next);
    }
  }

  Mixer& mixer_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

class SdlOutput : public Output {
 public:
  SdlOutput(Mixer& mixer) : mixer_(mixer) {}
  ~SdlOutput() override {
    if (device_) SDL_CloseAudioDevice(device_);
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
  }

  bool Open(int device, std::string* error) {
    std::vector<std::string> names = ListSdlDevices();
    devices_ = names;
    const char* name = device >= 0 && device < static_cast<int>(names.size())
                           ? names[static_cast<std::size_t>(device)].c_str()
                           : nullptr;
    SDL_AudioSpec want{};
    want.freq = mixer_.Rate();
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = static_cast<Uint16>(mixer_.BlockFrames());
    want.callback = &SdlOutput::Fill;
    want.userdata = this;
    SDL_AudioSpec have{};
    device_ = SDL_OpenAudioDevice(name, 0, &want, &have, 0);
    if (!device_) {
      if (error) *error = SDL_GetError();
      return false;
    }
    SDL_PauseAudioDevice(device_, 0);
    return true;
  }
  std::vector<std::string> Devices() const override { return devices_; }

 private:
  static void Fill(void* user, Uint8* stream, int length) {
    auto* self = static_cast<SdlOutput*>(user);
    int frames = length / 4;
    if (!self->mixer_.HasWork()) {
      std::memset(stream, 0, static_cast<std::size_t>(length));
      return;
    }
    self->mixer_.Render(reinterpret_cast<std::int16_t*>(stream), frames);
  }

  Mixer& mixer_;
  SDL_AudioDeviceID device_ = 0;
  std::vector<std::string> devices_;
};

}  // namespace

std::unique_ptr<Output> StartOutput(int outputType, int device, Mixer& mixer, std::string* error) {
  if (outputType == kOutputNoSound) return std::make_unique<NullOutput>(mixer);
  if (outputType < 0 || outputType >= kOutputTypeCount) {
    if (error) *error = "no such output";
    return nullptr;
  }
  if (!InitSdlAudio(outputType)) {
    if (error) *error = SDL_GetError();
    return nullptr;
  }
  auto output = std::make_unique<SdlOutput>(mixer);
  if (!output->Open(device, error)) return nullptr;
  return output;
}

std::vector<std::string> OutputDevices(int outputType) {
  if (outputType == kOutputNoSound) return {kNullDeviceName};
  if (outputType < 0 || outputType >= kOutputTypeCount) return {};
  if (!InitSdlAudio(outputType)) return {};
  std::vector<std::string> names = ListSdlDevices();
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
  return names;
}

}  // namespace qmb::engine
