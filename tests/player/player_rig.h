// Everything playback works with, on the real engine's null output.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <functional>
#include <thread>

#include "core/control_panel_model.h"
#include "core/player_settings.h"
#include "core/running_state.h"
#include "engine/engine_test_support.h"
#include "eq/equalizer.h"
#include "null_engine_suite.h"
#include "playback/playback.h"
#include "playback/sound_engine.h"
#include "player_core_setup.h"
#include "playlist/playlist_editing.h"
#include "playlist/playlist_store.h"
#include "scripted_desktop.h"
#include "tags/tag_record.h"
#include "wait_until.h"

namespace qmb::test {

inline std::string Short(const std::string& name) {
  return std::string(QMB_SHORT_MEDIA "/") + name;
}

// A desktop that really sleeps and can act while a long loop keeps the
// windows alive.
class SleepingDesktop : public ScriptedDesktop {
 public:
  std::function<void()> onPendingEvents;
  void ProcessPendingEvents() override {
    if (onPendingEvents) onPendingEvents();
  }
  void SleepMs(int ms) override {
    ++sleeps;
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
  }
  std::int64_t UpTimeMs() override {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
  }
  int sleeps = 0;
};

// The mix after every other DSP unit: the clock these tests wait on, and
// what the blocks hold.
class MixProbe : public MixCapture {
 public:
  MixProbe() : MixCapture(1000) {}
  // Waits until `blocks` more blocks are mixed; false when the mix stands still.
  bool Wait(int blocks) { return Next(blocks).size() >= Frames(blocks) * 2; }
  // The level of the next `blocks` blocks in dB relative to full scale.
  double LevelDb(int blocks = 12) {
    auto next = Next(blocks);
    double left = Rms(next, 0), right = Rms(next, 1);
    return 10 * std::log10((left * left + right * right) / 2 + 1e-20);
  }
  // The loudest sample of the next `blocks` blocks.
  int Peak(int blocks = 12) {
    int peak = 0;
    for (std::int16_t sample : Next(blocks)) peak = std::max(peak, std::abs(int{sample}));
    return peak;
  }

 private:
  static std::size_t Frames(int blocks) {
    return static_cast<std::size_t>(blocks) * FSOUND_DSP_GetBufferLength();
  }
  std::vector<std::int16_t> Next(int blocks) {
    Clear();
    return Collect(Frames(blocks));
  }
};

class PlayerRig : public NullEngineSuite {
 protected:
  PlayerRig() {
    ApplyStartSettings(DefaultSettings("/nowhere/"), panel, running);
    store.today = [] { return std::string("12/06/26"); };
    playback.exitProgram = [this] { ++exits; };
  }

  void TearDown() override { playback.StopPlayback(CycleReset::No); }

  void Add(const std::string& path) { ASSERT_EQ(AddPlaylistEntry(store, path), 1) << path; }
  // Adds `row` alone to the cue list.
  void Cue(int row) {
    store.list.SelectNone();
    store.list.SetSelected(row, true);
    AddToCue(store, cue);
  }
  // Runs `action` the `n`-th time a long operation lets events through.
  void OnEvent(int n, std::function<void()> action) {
    desktop.onPendingEvents = [n, action, calls = 0]() mutable {
      if (++calls == n) action();
    };
  }

  // Runs the position timer every 40 ms until `done` or `seconds` pass.
  bool TickUntil(const std::function<bool()>& done, double seconds = 10) {
    auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < end) {
      ticked->PositionTick();
      if (done()) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(40));
    }
    return false;
  }
  void Ticks(int count) {
    for (int i = 0; i < count; ++i) playback.PositionTick();
  }
  // The rows that started, in order, while ticking: a new start shows as a
  // new stream or a position that went back.
  std::vector<int> RowsPlayed(int count, double seconds = 12) {
    return Played<int>(
        count, [this] { return playback.st.currentIndex; }, seconds);
  }
  // The titles that started: the now-playing text after its kbps/khz prefix.
  std::vector<std::string> TitlesPlayed(int count, double seconds = 12) {
    return Played<std::string>(
        count,
        [this] {
          const std::string& text = playback.st.nowPlayingText;
          std::size_t at = text.find("khz  ");
          return at == std::string::npos ? text : text.substr(at + 5);
        },
        seconds);
  }
  template <class T>
  std::vector<T> Played(int count, const std::function<T()>& what, double seconds) {
    std::vector<T> rows;
    SoundStream* lastStream = nullptr;
    int lastPosition = 1 << 30;
    TickUntil(
        [&] {
          SoundStream* stream = playback.st.state == kPlaying ? playback.st.stream : nullptr;
          if (stream) {
            int position = FSOUND_Stream_GetTime(stream);
            if (stream != lastStream || position < lastPosition) rows.push_back(what());
            lastPosition = position;
          }
          lastStream = stream;
          return static_cast<int>(rows.size()) >= count;
        },
        seconds);
    return rows;
  }
  std::string Field(int row, int field) { return store.list.Field(row, field); }

  SleepingDesktop desktop;
  ControlPanelModel panel;
  RunningState running;
  PlaylistStore store{panel};
  EntryList cue{kCueFieldCount};
  MenuChecks checks;
  PlaybackDisplays displays;
  Equalizer equalizer;
  NoTagSource tags;
  Playback playback{PlaybackParts{store, cue, panel, running, checks, displays, equalizer, tags}};
  Playback* ticked = &playback;  // the player TickUntil drives
  int exits = 0;
};

}  // namespace qmb::test
