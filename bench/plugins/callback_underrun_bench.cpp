// How small a callback stream's read-ahead may be: the bundled FFmpeg input
// plug-in pulled through the engine's callback stream and mixed in real time
// by the clocked null output (as the player plays it), while busy threads
// load every core, for several ring sizes. Counts the drop-outs (blocks the
// mixer found short of sound mid-stream) and the ring's lowest fill.
//
//   qmb_callback_underrun_bench [SECONDS] [FILE] [RING_FRAMES...]
//
// SECONDS of sound per run (default 20); FILE a long FLAC (default the 10-minute
// bench fixture). Without ring sizes it tries 2048 to 32768 frames and the
// engine's own choice (CallbackRingFrames). Each ring size runs with no load,
// with two busy threads per core and with four per core.
#include <dlfcn.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "engine/callback_source.h"
#include "engine/mixer.h"
#include "engine/output.h"
#include "engine/stream.h"
#include "playback/sound_engine.h"
#include "plugins/qmb_plugin.h"

namespace {

using namespace qmb;
using Clock = std::chrono::steady_clock;

constexpr int kRate = 44100;
constexpr int kBlockFrames = 1024;  // the player's mix block at 44.1 kHz and 100 ms

intptr_t NoRequests(QmbHost*, uint32_t, uintptr_t, intptr_t) {
  return 0;
}
QmbHost host{&NoRequests};

// The plug-in, pulled as the input route pulls it: a block of GetSample
// calls under one lock.
struct Feed {
  QmbInputModule module{};
  std::mutex lock;

  static int Fill(SoundStream*, void* buffer, int length, void* user) {
    auto* self = static_cast<Feed*>(user);
    if (!buffer) return 0;
    std::lock_guard guard(self->lock);
    auto* out = static_cast<std::int16_t*>(buffer);
    for (int i = 0; i < length / 4; ++i) {
      std::int32_t l = 0, r = 0;
      self->module.GetSample(&l, &r);
      out[i * 2] = static_cast<std::int16_t>(l & 0xffff);
      out[i * 2 + 1] = static_cast<std::int16_t>(r & 0xffff);
    }
    return length;
  }
};

// Threads that keep every core busy with arithmetic, at the player's priority.
class Load {
 public:
  explicit Load(int threads) {
    for (int i = 0; i < threads; ++i) {
      workers_.emplace_back([this, i] {
        volatile double x = 1.0 + i;
        while (!stop_.load(std::memory_order_relaxed)) {
          for (int k = 0; k < 10000; ++k) x = std::sqrt(x * x + 1.0);
        }
      });
    }
  }
  ~Load() {
    stop_ = true;
    for (auto& w : workers_) w.join();
  }

 private:
  std::atomic<bool> stop_{false};
  std::vector<std::thread> workers_;
};

struct RunResult {
  std::uint64_t underruns = 0;
  double lowestMs = 0;  // the ring's lowest fill seen (sampled every ms)
  double playedS = 0;
  double longestGapMs = 0;  // the longest wait between two mix blocks
};

// A DSP unit that times the mix blocks: a long gap is the output's own
// thread held up, which a ring no size can cover when it outlasts it.
struct BlockTimer {
  std::atomic<std::int64_t> lastUs{0};
  std::atomic<std::int64_t> longestUs{0};
  static void* Tick(void*, void* buffer, int, void* user) {
    auto* self = static_cast<BlockTimer*>(user);
    std::int64_t now =
        std::chrono::duration_cast<std::chrono::microseconds>(Clock::now().time_since_epoch())
            .count();
    std::int64_t last = self->lastUs.exchange(now);
    if (last > 0 && now - last > self->longestUs) self->longestUs = now - last;
    return buffer;
  }
};

RunResult Run(Feed& feed, const std::string& file, std::size_t ringFrames, double seconds) {
  RunResult result;
  if (feed.module.Open(file.c_str()) == 1) {
    std::fprintf(stderr, "cannot open %s\n", file.c_str());
    std::exit(1);
  }
  feed.module.Play();
  engine::Mixer mixer(kRate, kBlockFrames);
  auto stream = std::make_unique<SoundStream>(kRate, ringFrames);
  stream->isCallback = true;
  stream->SetSource(engine::MakeCallbackSource(stream.get(), &Feed::Fill,
                                               static_cast<int>(feed.module.bufferBytes),
                                               kStreamCallback16Stereo, kRate, &feed));
  stream->StartDecoding();
  stream->WaitForPrefill(500);
  BlockTimer timer;
  DspUnit unit;
  unit.callback = &BlockTimer::Tick;
  unit.userData = &timer;
  unit.active = true;
  mixer.SetDspChain({&unit});
  mixer.Attach(0, stream.get());
  std::string error;
  auto output = engine::StartOutput(kOutputNoSound, 0, mixer, &error);
  std::size_t lowest = stream->ring.Capacity();
  auto start = Clock::now();
  auto end = start + std::chrono::duration<double>(seconds);
  // The first half second settles the decoder's start.
  auto watchFrom = start + std::chrono::milliseconds(500);
  std::uint64_t before = 0;
  bool watching = false;
  while (Clock::now() < end) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
    if (!watching && Clock::now() >= watchFrom) {
      watching = true;
      before = stream->underruns.load();
      timer.longestUs = 0;
    }
    if (watching) lowest = std::min(lowest, stream->ring.Readable());
  }
  result.underruns = stream->underruns.load() - before;
  result.lowestMs = 1000.0 * static_cast<double>(lowest) / kRate;
  result.playedS = static_cast<double>(stream->positionUs.load()) / 1e6;
  result.longestGapMs = static_cast<double>(timer.longestUs.load()) / 1000.0;
  output.reset();
  mixer.Detach(0);
  stream.reset();
  feed.module.Stop();
  return result;
}

}  // namespace

int main(int argc, char** argv) {
  double seconds = argc > 1 ? std::atof(argv[1]) : 20.0;
  std::string file = argc > 2 && *argv[2] ? argv[2] : QMB_LONG_FLAC;
  std::vector<std::size_t> rings;
  for (int i = 3; i < argc; ++i) rings.push_back(static_cast<std::size_t>(std::atol(argv[i])));
  const std::size_t engineRing = engine::CallbackRingFrames(kRate, kBlockFrames);
  if (rings.empty()) rings = {2048, 4096, 8192, 16384, 32768, engineRing};

  void* library = dlopen(QMB_INPUT_PLUGIN, RTLD_NOW | RTLD_LOCAL);
  auto get =
      library ? reinterpret_cast<QmbGetInputModule>(dlsym(library, QMB_INPUT_ENTRY)) : nullptr;
  if (!get || !get()) {
    std::fprintf(stderr, "cannot load %s\n", QMB_INPUT_PLUGIN);
    return 1;
  }
  Feed feed;
  feed.module = *get();
  feed.module.Init(&host, library);

  const int cores = static_cast<int>(std::max(1L, sysconf(_SC_NPROCESSORS_ONLN)));
  std::printf(
      "nproc %d, %d-frame mix blocks (%.1f ms) at %d Hz, %ld-byte plug-in blocks, "
      "%.0f s per run, engine's ring request %zu frames\n",
      cores, kBlockFrames, 1000.0 * kBlockFrames / kRate, kRate,
      static_cast<long>(feed.module.bufferBytes), seconds, engineRing);
  std::printf("%-12s %-9s %-13s %-10s %-10s %-s\n", "ring frames", "ring ms", "load threads",
              "drop-outs", "lowest ms", "longest gap between mix blocks, ms");
  for (std::size_t ring : rings) {
    std::size_t capacity = engine::FrameRing(ring).Capacity();
    for (int load : {0, 2 * cores, 4 * cores}) {
      Load busy(load);
      RunResult r = Run(feed, file, ring, seconds);
      std::printf("%-12zu %-9.0f %-13d %-10llu %-10.1f %.1f\n", capacity, 1000.0 * capacity / kRate,
                  load, static_cast<unsigned long long>(r.underruns), r.lowestMs, r.longestGapMs);
      std::fflush(stdout);
    }
  }
  if (feed.module.Quit) feed.module.Quit();
  return 0;
}
