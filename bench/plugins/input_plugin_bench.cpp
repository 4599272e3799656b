// Measures the bundled FFmpeg input plug-in on a long file, one way per run so
// that the peak resident set belongs to that way alone:
//   direct FILE [QIP]  dlopen the plug-in and pull every frame with GetSample
//                      in blocks of 4096 under a mutex, as the input route
//                      does (with the plug-in's bufferBytes / 4 frames);
//   engine FILE [QIP]  the same pulled by the engine: the input route's stream
//                      callback feeding a callback stream and the mixer,
//                      rendered as fast as it goes (the engine benchmark's
//                      offline method);
//   peer CMD ARGS...   runs a peer (ffmpeg) to its end and reports it alike.
// QIP is another build of the plug-in to compare (default: the bundled one).
// Each prints one "RESULT" line: way, wall s, cpu s, peak RSS KiB, × real time.
#include <dlfcn.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "engine/callback_source.h"
#include "engine/mixer.h"
#include "engine/stream.h"
#include "playback/sound_engine.h"
#include "plugins/input_plugin_route.h"
#include "plugins/plugin_registry.h"
#include "plugins/qmb_plugin.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
using namespace qmb;

constexpr int kBlockFrames = 4096;

double Seconds(const timeval& t) {
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
}

double SelfCpu() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return Seconds(u.ru_utime) + Seconds(u.ru_stime);
}

double ThreadCpu() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

long PeakRssKiB() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return u.ru_maxrss;
}

void Result(const std::string& way, double media, double wall, double cpu, long rssKiB) {
  std::printf("RESULT %s %.3f %.3f %ld %.1f\n", way.c_str(), wall, cpu, rssKiB,
              media > 0 ? media / wall : 0.0);
}

intptr_t NoRequests(QmbHost*, uint32_t, uintptr_t, intptr_t) {
  return 0;
}
QmbHost host{&NoRequests};

struct Plugin {
  void* library = nullptr;
  QmbInputModule module{};
};

std::string pluginPath = QMB_INPUT_PLUGIN;

bool LoadPlugin(Plugin& p) {
  p.library = dlopen(pluginPath.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!p.library) {
    std::fprintf(stderr, "cannot load %s: %s\n", pluginPath.c_str(), dlerror());
    return false;
  }
  auto get = reinterpret_cast<QmbGetInputModule>(dlsym(p.library, QMB_INPUT_ENTRY));
  if (!get || !get()) return false;
  p.module = *get();  // the player copies the table, and so do we
  return p.module.Init(&host, p.library) == 0;
}

// Frames of the plug-in's 44100 Hz output for its reported length.
std::int64_t LengthFrames(const QmbInputModule& m) {
  return static_cast<std::int64_t>(m.GetLength()) * m.sampleRate / 1000;
}

int Direct(const std::string& path) {
  Plugin p;
  if (!LoadPlugin(p)) return 1;
  const QmbInputModule& m = p.module;
  long rssBefore = PeakRssKiB();
  double cpu0 = SelfCpu();
  auto start = Clock::now();
  if (m.Open(path.c_str()) == 1) {
    std::fprintf(stderr, "cannot open %s\n", path.c_str());
    return 1;
  }
  m.Play();
  const std::int64_t total = LengthFrames(m);
  std::mutex pullMutex;
  std::vector<std::int16_t> block(kBlockFrames * 2);
  std::uint64_t sum = 0;  // keeps the copies from being optimised away
  std::int64_t pulled = 0;
  while (pulled < total) {
    {
      std::lock_guard lock(pullMutex);
      for (int i = 0; i < kBlockFrames; ++i) {
        std::int32_t left = 0, right = 0;
        m.GetSample(&left, &right);
        block[2 * i] = static_cast<std::int16_t>(static_cast<std::uint16_t>(left & 0xffff));
        block[2 * i + 1] = static_cast<std::int16_t>(static_cast<std::uint16_t>(right & 0xffff));
      }
    }
    sum += static_cast<std::uint16_t>(block[kBlockFrames]);
    pulled += kBlockFrames;
  }
  double wall = std::chrono::duration<double>(Clock::now() - start).count();
  double cpu = SelfCpu() - cpu0;
  long rss = PeakRssKiB();
  double media = static_cast<double>(total) / static_cast<double>(m.sampleRate);
  int position = m.GetPosition();
  int length = m.GetLength();

  // The same number of calls once the file is drained: what the calls cost
  // (function pointer, the plug-in's lock, the refill check) without decoding.
  auto idleStart = Clock::now();
  for (std::int64_t done = 0; done < pulled; done += kBlockFrames) {
    std::lock_guard lock(pullMutex);
    for (int i = 0; i < kBlockFrames; ++i) {
      std::int32_t left = 0, right = 0;
      m.GetSample(&left, &right);
      sum += static_cast<std::uint32_t>(left);
    }
  }
  double idle = std::chrono::duration<double>(Clock::now() - idleStart).count();
  // Of that, what one uncontended lock and unlock costs here, as the plug-in takes per frame.
  std::mutex frameMutex;
  auto lockStart = Clock::now();
  for (std::int64_t done = 0; done < pulled; ++done) {
    std::lock_guard lock(frameMutex);
    sum += static_cast<std::uint64_t>(done);
  }
  double locking = std::chrono::duration<double>(Clock::now() - lockStart).count();
  m.Stop();
  std::printf("direct, %s: %.1f s of sound, %lld frames pulled, position %d / %d ms\n",
              path.c_str(), media, static_cast<long long>(pulled), position, length);
  std::printf(
      "  peak RSS %ld KiB (%ld before Open); %lld calls on the drained file: %.3f s "
      "(%.1f ns a call, of which %.1f ns an uncontended lock)%s\n",
      rss, rssBefore, static_cast<long long>(pulled), idle,
      idle * 1e9 / static_cast<double>(pulled), locking * 1e9 / static_cast<double>(pulled),
      sum == 1 ? " " : "");
  Result("plugin-direct", media, wall, cpu, rss);
  return 0;
}

int Engine(const std::string& path) {
  Plugin p;
  if (!LoadPlugin(p)) return 1;
  FSOUND_SetOutput(kOutputNoSound);
  if (!FSOUND_Init(44100, 32, 0)) return 1;
  PluginRegistry registry;
  registry.input.push_back(PluginSlot<QmbInputModule>{p.library, p.module});
  registry.List(kInputPlugins).Append({p.module.description, "ffmpeg_input.qip", true});
  PluginInputRoute route(registry);
  const int plugin = route.Find(path);
  if (plugin != 0 || !route.UsesEngineOutput(plugin)) {
    std::fprintf(stderr, "the plug-in does not claim %s\n", path.c_str());
    return 1;
  }
  long rssBefore = PeakRssKiB();
  double cpu0 = SelfCpu();
  double mixCpu0 = ThreadCpu();
  auto start = Clock::now();
  if (route.Open(plugin, path) != 0) {
    std::fprintf(stderr, "cannot open %s\n", path.c_str());
    return 1;
  }
  route.Play(plugin);
  // The player's stream: it also marks the plug-in as the one being pulled.
  // The engine's null output is clocked, so that stream is only created;
  // the pull runs through the same callback on a stream mixed flat out.
  SoundStream* played = route.CreateStream(plugin);
  if (!played) return 1;
  const std::int64_t total = static_cast<std::int64_t>(route.GetLength(plugin)) * 44100 / 1000;
  const int rate = FSOUND_GetOutputRate();
  const int block = 1024;
  engine::Mixer mixer(rate, block);
  // A deeper ring than playback needs, as in the engine's offline benchmark.
  auto stream = std::make_unique<SoundStream>(rate, static_cast<std::size_t>(rate) * 4);
  stream->isCallback = true;
  const QmbInputModule& m = registry.input[0].module;
  stream->SetSource(engine::MakeCallbackSource(
      stream.get(), &PluginInputRoute::StreamCallback, static_cast<int>(m.bufferBytes),
      kStreamCallback16Stereo, static_cast<int>(m.sampleRate), &route));
  stream->StartDecoding();
  mixer.Attach(0, stream.get());
  std::vector<std::int16_t> out(block * 2);
  std::uint64_t sum = 0;
  std::int64_t mixed = 0;
  while (mixed < total) {
    // The route ends the stream at the plug-in's length; the last block is short.
    bool last =
        stream->endOfData.load() && stream->ring.Readable() < static_cast<std::size_t>(block);
    if (!last && stream->ring.Readable() < static_cast<std::size_t>(block)) {
      stream->Wake();
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
      continue;
    }
    mixer.Render(out.data(), block);
    sum += static_cast<std::uint16_t>(out[block]);
    mixed += last ? static_cast<std::int64_t>(total - mixed) : block;
  }
  double wall = std::chrono::duration<double>(Clock::now() - start).count();
  double cpu = SelfCpu() - cpu0;
  double mixCpu = ThreadCpu() - mixCpu0;
  long rss = PeakRssKiB();
  int position = route.GetPosition(plugin);
  mixer.Detach(0);
  stream.reset();
  route.Stop(plugin);
  FSOUND_Stream_Close(played);
  FSOUND_Close();
  double media = static_cast<double>(total) / 44100.0;
  std::printf("engine, %s: %.1f s of sound, %lld frames mixed at %d Hz, plug-in position %d ms%s\n",
              path.c_str(), media, static_cast<long long>(mixed), rate, position,
              sum == 1 ? " " : "");
  std::printf(
      "  peak RSS %ld KiB (%ld before Open); cpu of the mixing thread %.3f s, of the stream "
      "thread (GetSample, conversion to float, the ring) %.3f s\n",
      rss, rssBefore, mixCpu, cpu - mixCpu);
  Result("plugin-engine", media, wall, cpu, rss);
  return 0;
}

// Runs a peer to its end with its output discarded.
int Peer(const std::string& way, double media, char** args) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  auto start = Clock::now();
  pid_t pid = 0;
  int failed = posix_spawnp(&pid, args[0], &actions, nullptr, args, environ);
  posix_spawn_file_actions_destroy(&actions);
  if (failed) return 1;
  int status = 0;
  rusage u{};
  wait4(pid, &status, 0, &u);
  double wall = std::chrono::duration<double>(Clock::now() - start).count();
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return 1;
  Result(way, media, wall, Seconds(u.ru_utime) + Seconds(u.ru_stime), u.ru_maxrss);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::string what = argc > 1 ? argv[1] : "";
  std::string file = argc > 2 && argv[2][0] ? argv[2] : QMB_FIXTURE_DIR "/noise_600s_44100.flac";
  if (argc > 3 && argv[3][0] && what != "peer") pluginPath = argv[3];
  if (what == "direct") return Direct(file);
  if (what == "engine") return Engine(file);
  // peer WAY SECONDS CMD ARGS...
  if (what == "peer" && argc > 4) return Peer(argv[2], std::atof(argv[3]), argv + 4);
  std::fprintf(
      stderr,
      "usage: %s direct [FILE [QIP]] | engine [FILE [QIP]] | peer WAY SECONDS CMD [ARGS...]\n",
      argv[0]);
  return 2;
}
