// Soak: track changes through every route (FFmpeg files, a module, MIDI, a
// CD image's track, the bundled input plug-in, tags through the bundled tag
// plug-in), each track played for a moment on the null output. Prints the
// resident set once every route has played twice, every 100 changes and at
// the end. Built in the sanitizer preset too, where LeakSanitizer reports at
// exit (its quarantine then grows the resident set on its own; measure that
// in the normal build).
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
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
#include "plugins/input_plugin_route.h"
#include "plugins/plugin_use.h"

namespace {

long ResidentKb() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
  }
  return -1;
}

intptr_t NoAnswer(QmbHost*, uint32_t, uintptr_t, intptr_t) {
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  int changes = argc > 1 ? std::atoi(argv[1]) : 1000;
  using namespace qmb;
  FSOUND_SetOutput(kOutputNoSound);
  if (!FSOUND_Init(44100, 32, 0)) return 1;
  ControlPanelModel panel;
  RunningState running;
  ApplySettings(DefaultSettings("/nowhere/"), panel, running);
  running.sliders[kVolumeSlider].value = 100;
  running.sliders[kVolumeSlider].maximum = 255;
  PlaylistStore store(panel);
  EntryList cue(kCueFieldCount);
  MenuChecks checks;
  PlaybackDisplays displays;
  Equalizer equalizer;
  QmbHost host{&NoAnswer};
  PluginManager manager;
  manager.host = &host;
  manager.Load(QMB_PROGRAM_FOLDER "/");
  PluginInputRoute route(manager.registry);
  store.inputPlugins.find = [&](const std::string& path) { return route.Find(path); };
  Playback playback(
      PlaybackParts{store, cue, panel, running, checks, displays, equalizer, manager});
  playback.inputRoute = &route;

  const char* files[] = {
      "tone_440.mp3",         "tone_440.ogg",  "tone_440.wav",  "orders.mod", "three_seconds.mid",
      "disc.cue/Track02.cda", "tone_440.flac", "tone_440.opus", "tagged.m4a", "tagged.mp3"};
  for (const char* file : files) AddPlaylistEntry(store, std::string(QMB_FIXTURE_DIR "/") + file);
  const int routes = store.list.Count();

  long startKb = 0;
  int failed = 0;
  auto begin = std::chrono::steady_clock::now();
  for (int change = 0; change < changes; ++change) {
    store.list.SetCursor(change % routes);
    playback.PlayEntry(Restart::Yes, kCursorRow, RepeatReset::Yes);
    if (playback.st.state != kPlaying) ++failed;
    for (int tick = 0; tick < 3; ++tick) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
      playback.PositionTick();
    }
    if (change + 1 == 2 * routes) startKb = ResidentKb();
    if ((change + 1) % 100 == 0) std::printf("%5d changes: %ld kB\n", change + 1, ResidentKb());
  }
  playback.StopPlayback(CycleReset::No);
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
  long endKb = ResidentKb();
  std::printf("%d track changes over %d routes in %.1f s, %d failed to start\n", changes, routes,
              seconds, failed);
  std::printf("resident set after %d changes: %ld kB; at the end: %ld kB\n", 2 * routes, startKb,
              endKb);
  manager.Unload();
  FSOUND_Close();
  return failed == 0 ? 0 : 1;
}
