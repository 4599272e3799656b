// The silence between the end of one track and the first audio of the next,
// with the position timer ticking every 250 ms as it does by default. The
// mix is watched by a DSP unit of its own on the null output.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

#include "core/control_panel_model.h"
#include "core/player_settings.h"
#include "core/running_state.h"
#include "eq/equalizer.h"
#include "playback/playback.h"
#include "playback/sound_engine.h"
#include "playlist/playlist_editing.h"
#include "playlist/playlist_store.h"
#include "tags/tag_record.h"

namespace {

using Clock = std::chrono::steady_clock;

// Times of loud blocks; a pause between two of them longer than a few blocks
// is a gap, whether the engine mixed silence in between or nothing at all.
struct SilenceWatch {
  std::atomic<std::int64_t> lastLoudNs{0};
  std::atomic<int> gaps{0};
  std::int64_t gapNs[256] = {};
};

std::int64_t NowNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch())
      .count();
}

void* Watch(void*, void* buffer, int length, void* user) {
  auto* w = static_cast<SilenceWatch*>(user);
  auto* s = static_cast<const std::int16_t*>(buffer);
  int peak = 0;
  for (int i = 0; i < length * 2; ++i) peak = std::max(peak, std::abs(static_cast<int>(s[i])));
  if (peak <= 64) return buffer;
  std::int64_t now = NowNs();
  std::int64_t last = w->lastLoudNs.exchange(now);
  // A block lasts length / 44.1 ms; anything over three blocks is a gap.
  std::int64_t blockNs = static_cast<std::int64_t>(length) * 1000000000 / 44100;
  int n = w->gaps.load();
  if (last > 0 && now - last > 3 * blockNs && n < 256) {
    w->gapNs[n] = now - last - blockNs;
    w->gaps.store(n + 1);
  }
  return buffer;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s track-a track-b [changes]\n", argv[0]);
    return 2;
  }
  int changes = argc > 3 ? std::atoi(argv[3]) : 20;
  using namespace qmb;
  ControlPanelModel panel;
  RunningState running;
  ApplySettings(DefaultSettings("/nowhere/"), panel, running);
  running.sliders[kVolumeSlider].maximum = 255;
  PlaylistStore store(panel);
  EntryList cue(kCueFieldCount);
  MenuChecks checks;
  PlaybackDisplays displays;
  Equalizer equalizer;
  NoTagSource tags;
  Playback playback(PlaybackParts{store, cue, panel, running, checks, displays, equalizer, tags});
  AddPlaylistEntry(store, argv[1]);
  AddPlaylistEntry(store, argv[2]);
  store.list.SetCursor(0);

  FSOUND_SetOutput(kOutputNoSound);
  if (!FSOUND_Init(44100, 32, 0)) return 1;
  SilenceWatch watch;
  DspUnit* unit = FSOUND_DSP_Create(&Watch, 900, &watch);
  FSOUND_DSP_SetActive(unit, true);

  playback.PlayEntry(Restart::No, kCursorRow, RepeatReset::Yes);
  const int coreDelayMs = 250;
  while (watch.gaps.load() < changes) {
    std::this_thread::sleep_for(std::chrono::milliseconds(coreDelayMs));
    playback.PositionTick();
  }
  std::vector<double> ms;
  for (int i = 0; i < changes; ++i) ms.push_back(watch.gapNs[i] / 1e6);
  std::sort(ms.begin(), ms.end());
  double sum = 0;
  for (double v : ms) sum += v;
  std::printf("track changes: %d, core delay %d ms\n", changes, coreDelayMs);
  std::printf("gap ms: min %.1f  median %.1f  mean %.1f  max %.1f\n", ms.front(), ms[ms.size() / 2],
              sum / ms.size(), ms.back());
  playback.StopPlayback(CycleReset::No);
  FSOUND_DSP_Free(unit);
  FSOUND_Close();
  return 0;
}
