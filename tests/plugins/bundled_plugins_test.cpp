// The plug-ins we ship, loaded by the player from a program folder: tags of
// a real MP3 into its title, and a FLAC admitted and played through the
// engine with the equalizer acting on it.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>

#include "playlist/entry_title.h"
#include "plugin_rig.h"

namespace qmb::test {
namespace {

class BundledPlugins : public PluginRig {
 protected:
  void SetUp() override { LoadBundled(); }
};

TEST_F(BundledPlugins, ATaggedMp3ShowsArtistAndTitleAfterPlayAndAfterAnalysis) {
  Add(Fixture("tagged.mp3"));
  Add(Fixture("tagged.mp3"));
  EXPECT_EQ(Field(0, kTitle), "tagged");
  AnalyzeAllFiles(store.list, manager, panel.tagFormat.Text());
  EXPECT_EQ(Field(0, kTitle), "Test Artist - Test Title");
  EXPECT_EQ(Field(1, kTitle), "Test Artist - Test Title");

  // Playing formats the title from the tags as well.
  store.list.SetField(1, kTitle, "tagged");
  PlaybackParts parts{store, cue, panel, running, checks, displays, equalizer, manager};
  Playback tagged(parts);
  tagged.inputRoute = &route;
  store.list.SetCursor(1);
  tagged.PlayEntry(Restart::No, kCursorRow, RepeatReset::Yes);
  EXPECT_EQ(Field(1, kTitle), "Test Artist - Test Title");
  tagged.StopPlayback(CycleReset::No);
}

TEST_F(BundledPlugins, AFlacIsAdmittedAndPlaysWithTheEqualizerActing) {
  ASSERT_TRUE(panel.skipUnsupported.Checked());
  Add(Fixture("tone_440.flac"));
  store.list.SetCursor(0);
  playback.PlayEntry(Restart::No, kCursorRow, RepeatReset::Yes);
  ASSERT_EQ(playback.st.state, kPlaying);
  EXPECT_EQ(playback.st.usingPlugin, 1);
  EXPECT_NE(playback.st.stream, nullptr);
  EXPECT_NEAR(playback.st.lengthSeconds, 4.0f, 0.05f);
  MixProbe probe;
  ASSERT_TRUE(probe.Wait(4));  // past the start
  double flat = probe.LevelDb();
  ASSERT_GT(flat, -40);
  for (int band = 0; band < 10; ++band) playback.SetSliderApplied(band, 0.0f);
  ASSERT_TRUE(probe.Wait(10));  // past the change's ramp
  EXPECT_LT(probe.LevelDb(), flat - 6);
}

// Counts the mixed frames that carry sound.
struct SoundCounter {
  std::atomic<long> frames{0};
  static void* Count(void*, void* buffer, int length, void* user) {
    const auto* samples = static_cast<const std::int16_t*>(buffer);
    long sound = 0;
    for (int i = 0; i < length; ++i) sound += samples[i * 2] != 0 || samples[i * 2 + 1] != 0;
    static_cast<SoundCounter*>(user)->frames += sound;
    return buffer;
  }
};

TEST_F(BundledPlugins, AOneSecondFlacIsHeardWholeAndShowsTheTimeHeard) {
  Add(Fixture("tone_1s.flac"));
  panel.autoAdvance.SetChecked(false);  // the end stops the player
  SoundCounter counter;
  DspUnit* unit = FSOUND_DSP_Create(&SoundCounter::Count, 1000, &counter);
  FSOUND_DSP_SetActive(unit, true);
  store.list.SetCursor(0);
  playback.PlayEntry(Restart::No, kCursorRow, RepeatReset::Yes);
  ASSERT_EQ(playback.st.state, kPlaying);
  int position = -1;
  int length = -1;
  playback.ReadPosition(position, length);
  EXPECT_LT(position, 100);
  EXPECT_EQ(length, 1000);
  int pulledAhead = 0;
  int last = 0;
  ASSERT_TRUE(TickUntil(
      [&] {
        if (playback.st.state != kPlaying) return true;
        playback.ReadPosition(position, length);
        EXPECT_GE(position, last);
        pulledAhead = std::max(pulledAhead, route.GetPosition(0) - position);
        last = position;
        return false;
      },
      5));
  FSOUND_DSP_Free(unit);
  // The plug-in was pulled ahead of the sound; the time shown was the sound's.
  EXPECT_GT(pulledAhead, 50);
  EXPECT_GE(last, 1000 - 100);
  // Every sample was mixed, and no more: 44 100 frames, less the sine's zero
  // at the start.
  EXPECT_GE(counter.frames.load(), 44100 - 10);
  EXPECT_LE(counter.frames.load(), 44100);
}

// The switches and the repeat count act at the end of what was heard, as for
// the engine's own streams: each second of sound is mixed whole first.
TEST_F(BundledPlugins, TheRepeatCountAndTheAfterCurrentSwitchesActWhenATrackHasBeenHeard) {
  constexpr long kHeardWhole = 44100 - 10;  // less the sine's zero at the start
  SoundCounter counter;
  DspUnit* unit = FSOUND_DSP_Create(&SoundCounter::Count, 1000, &counter);
  FSOUND_DSP_SetActive(unit, true);
  Add(Fixture("tone_1s.flac"));
  Add(Fixture("tone_1s.flac"));
  panel.repeatCount.SetText("1");
  store.list.SetCursor(0);
  playback.PlayEntry(Restart::Yes, kCursorRow, RepeatReset::Yes);
  EXPECT_EQ(RowsPlayed(3, 6), (std::vector<int>{0, 0, 1}));
  EXPECT_GE(counter.frames.load(), 2 * kHeardWhole) << "twice a whole second";
  playback.StopPlayback(CycleReset::No);

  panel.repeatCount.SetText("0");
  checks.stopAfterCurrent.SetChecked(true);
  store.list.SetCursor(0);
  counter.frames = 0;
  playback.PlayEntry(Restart::Yes, kCursorRow, RepeatReset::Yes);
  ASSERT_TRUE(TickUntil([&] { return playback.st.state == kStopped; }, 3));
  EXPECT_GE(counter.frames.load(), kHeardWhole);
  EXPECT_FALSE(checks.stopAfterCurrent.Checked());

  checks.closeAfterCurrent.SetChecked(true);
  counter.frames = 0;
  playback.PlayEntry(Restart::Yes, kCursorRow, RepeatReset::Yes);
  ASSERT_TRUE(TickUntil([&] { return exits > 0; }, 3));
  EXPECT_GE(counter.frames.load(), kHeardWhole);
  FSOUND_DSP_Free(unit);
}

}  // namespace
}  // namespace qmb::test
