// Measures the engine against peer players on the same files, in one run:
//   chain FILE [RATE]   decode, resample, mix, equalizer, a DSP unit and the
//                       FFT as fast as possible, against ffmpeg and mpv
//                       decoding flat out;
//   realtime FILE       plays FILE on the null output with the equalizer and
//                       spectrum on, against mpv on its null output;
//   idle SECONDS        the engine initialised with nothing to play.
// Peers missing from PATH are skipped.
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "engine/mixer.h"
#include "engine/source.h"
#include "engine/stream.h"
#include "playback/sound_engine.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
using namespace qmb;

constexpr double kBands[10] = {80, 170, 310, 600, 1000, 3000, 6000, 12000, 14000, 16000};
constexpr float kGains[10] = {6, 4, 2, 0, -2, -4, 3, 5, -6, 1};

struct Cost {
  double wall = 0;  // seconds
  double cpu = 0;   // user + system seconds
};

double Seconds(const timeval& t) {
  return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6;
}

double ThreadCpu() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + t.tv_nsec / 1e9;
}

double SelfCpu() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return Seconds(u.ru_utime) + Seconds(u.ru_stime);
}

// Runs a peer to its end; nothing when it is not installed or fails.
bool RunPeer(const std::vector<std::string>& args, Cost& cost) {
  std::vector<char*> argv;
  for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  auto start = Clock::now();
  pid_t pid = 0;
  int failed = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (failed) return false;
  int status = 0;
  rusage u{};
  wait4(pid, &status, 0, &u);
  cost.wall = std::chrono::duration<double>(Clock::now() - start).count();
  cost.cpu = Seconds(u.ru_utime) + Seconds(u.ru_stime);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// What the player's visualization callback does: keep the newest block.
std::int16_t captured[8192 * 2];
void* CaptureBlock(void*, void* buffer, int length, void*) {
  std::memcpy(captured, buffer, sizeof(std::int16_t) * 2 * static_cast<std::size_t>(length));
  return buffer;
}

void Report(const char* name, double mediaSeconds, const Cost& c) {
  std::printf("  %-28s wall %7.2f s  cpu %7.2f s  speed %7.1fx real time\n", name, c.wall, c.cpu,
              mediaSeconds / c.wall);
}

int Chain(const std::string& path, int rate) {
  std::string error;
  auto source = engine::OpenFileSource(path, &error);
  if (!source) {
    std::fprintf(stderr, "cannot open %s: %s\n", path.c_str(), error.c_str());
    return 1;
  }
  double media = static_cast<double>(source->LengthFrames()) / source->SampleRate();
  const int block = 1024;
  engine::Mixer mixer(rate, block);
  for (int i = 0; i < 10; ++i) {
    auto& fx = mixer.effects[static_cast<std::size_t>(i)];
    fx.center = static_cast<float>(kBands[i]);
    fx.bandwidth = 18;
    fx.gain = kGains[i];
    fx.version.fetch_add(1);
    fx.enabled = true;
  }
  DspUnit unit;
  unit.callback = &CaptureBlock;
  unit.priority = 400;
  unit.active = true;
  mixer.SetDspChain({&unit});
  mixer.FftUnit().active = true;
  // A deeper ring than playback needs: the two threads then rarely wait on each other.
  auto stream = std::make_unique<SoundStream>(rate, static_cast<std::size_t>(rate) * 4);

  double cpu0 = SelfCpu();
  double mixCpu0 = ThreadCpu();
  auto start = Clock::now();
  stream->SetSource(std::move(source));
  stream->StartDecoding();
  mixer.Attach(0, stream.get());
  std::vector<std::int16_t> out(block * 2);
  const int spectrumEvery = rate * 30 / 1000;
  int sinceSpectrum = 0;
  long spectra = 0;
  while (!stream->Finished()) {
    // Flat out, but the mixer never outruns the decoder into silence.
    // Waits in steps of 2 ms (the ring holds half a second) so the two
    // threads do not spend their time switching.
    if (stream->ring.Readable() < static_cast<std::size_t>(block) && !stream->endOfData.load()) {
      stream->Wake();
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
      continue;
    }
    mixer.Render(out.data(), block);
    // The spectrum is transformed when it is read: as often as the
    // visualization reads it, once per 30 ms of sound.
    sinceSpectrum += block;
    if (sinceSpectrum >= spectrumEvery) {
      sinceSpectrum -= spectrumEvery;
      if (mixer.LatestSpectrum()) ++spectra;
    }
  }
  Cost ours{std::chrono::duration<double>(Clock::now() - start).count(), SelfCpu() - cpu0};
  double mixCpu = ThreadCpu() - mixCpu0;
  mixer.Detach(0);
  stream.reset();

  std::printf("offline chain, %s (%.0f s), mixer at %d Hz\n", path.c_str(), media, rate);
  Report("qmb engine", media, ours);
  std::printf(
      "    of which the mixing thread (mix, equalizer, DSP unit, FFT reads): cpu %.2f s;\n"
      "    the stream thread (decode, resample): cpu %.2f s; spectra read: %ld\n",
      mixCpu, ours.cpu - mixCpu, spectra);
  Cost ffmpeg, mpv;
  double best = 0;
  if (RunPeer({"ffmpeg", "-nostdin", "-v", "error", "-i", path, "-f", "null", "-"}, ffmpeg)) {
    Report("ffmpeg -f null", media, ffmpeg);
    best = std::max(best, media / ffmpeg.wall);
  }
  if (RunPeer({"mpv", "--no-config", "--no-video", "--ao=null", "--ao-null-untimed", path}, mpv)) {
    Report("mpv --ao-null-untimed", media, mpv);
    best = std::max(best, media / mpv.wall);
  }
  if (best > 0)
    std::printf("  ratio to the faster peer: %.2f (target >= 0.80)\n", media / ours.wall / best);
  return 0;
}

int Realtime(const std::string& path) {
  FSOUND_SetOutput(kOutputNoSound);
  if (!FSOUND_Init(44100, 32, 0)) return 1;
  SoundStream* s = FSOUND_Stream_Open(path.c_str(), kStreamNormal, 0, 0);
  if (!s) return 1;
  double media = FSOUND_Stream_GetLengthMs(s) / 1000.0;
  for (int i = 0; i < 10; ++i)
    FSOUND_FX_SetParamEQ(FSOUND_FX_Enable(kSystemChannel, kFxParamEq),
                         static_cast<float>(kBands[i]), 18, kGains[i]);
  DspUnit* unit = FSOUND_DSP_Create(&CaptureBlock, 400, nullptr);
  FSOUND_DSP_SetActive(unit, true);
  FSOUND_DSP_SetActive(FSOUND_DSP_GetFFTUnit(), true);
  double cpu0 = SelfCpu();
  auto start = Clock::now();
  FSOUND_Stream_Play(0, s);
  // The visualization's timer reads the spectrum every 30 ms.
  float sink = 0;
  while (!FSOUND_Stream_IsFinished(s)) {
    if (const float* spectrum = FSOUND_DSP_GetSpectrum()) sink += spectrum[10];
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
  }
  Cost ours{std::chrono::duration<double>(Clock::now() - start).count(), SelfCpu() - cpu0};
  FSOUND_Close();
  std::printf("real-time playback, %s (%.1f s), equalizer, DSP unit and spectrum on%s\n",
              path.c_str(), media, sink < 0 ? " " : "");
  Report("qmb engine, null output", media, ours);
  Cost mpv;
  if (RunPeer({"mpv", "--no-config", "--no-video", "--ao=null", path}, mpv)) {
    Report("mpv --ao=null", media, mpv);
    std::printf("  cpu ratio to mpv: %.2f (target <= 1.00)\n", ours.cpu / mpv.cpu);
  }
  return 0;
}

int Idle(int seconds) {
  struct Output {
    const char* name;
    int type;
  };
  for (Output o : {Output{"null output", kOutputNoSound}, Output{"SDL dummy driver", 2}}) {
    if (o.type != kOutputNoSound) setenv("SDL_AUDIODRIVER", "dummy", 1);
    FSOUND_SetOutput(o.type);
    if (!FSOUND_Init(44100, 32, 0)) {
      std::printf("idle, %s: cannot start\n", o.name);
      continue;
    }
    double cpu0 = SelfCpu();
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    double cpu = SelfCpu() - cpu0;
    FSOUND_Close();
    std::printf("idle, %s, %d s: cpu %.4f s (%.3f %% of one core)\n", o.name, seconds, cpu,
                cpu * 100 / seconds);
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  auto arg = [&](int i, const std::string& otherwise) {
    return argc > i && argv[i][0] ? std::string(argv[i]) : otherwise;
  };
  std::string what = arg(1, "");
  std::string dir = QMB_FIXTURE_DIR;
  if (what == "chain") return Chain(arg(2, dir + "/noise_600s.mp3"), std::stoi(arg(3, "44100")));
  if (what == "realtime") return Realtime(arg(2, dir + "/noise_60s.mp3"));
  if (what == "idle") return Idle(std::stoi(arg(2, "10")));
  std::fprintf(stderr, "usage: %s chain [FILE [RATE]] | realtime [FILE] | idle [SECONDS]\n",
               argv[0]);
  return 2;
}
