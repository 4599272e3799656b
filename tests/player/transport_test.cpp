// The transport and the end of a track: close after the current track, the
// fade-out, mute on a module, and what a stop clears.
#include "player_rig.h"

namespace qmb::test {
namespace {

class TransportTest : public PlayerRig {
 protected:
  void SetUp() override {
    Add(Short("a.wav"));
    Add(Short("b.mp3"));
    store.list.SetCursor(0);
  }
};

// With automatic advance the program ends: the plug-in suite's after-current
// test covers that and "Stop After Current".
TEST_F(TransportTest, CloseAfterCurrentWithoutAutomaticAdvanceOnlyStops) {
  checks.closeAfterCurrent.SetChecked(true);
  panel.autoAdvance.SetChecked(false);
  playback.PlayEntry(Restart::No, kCursorRow, RepeatReset::Yes);
  ASSERT_TRUE(TickUntil([&] { return playback.st.state == kStopped; }));
  EXPECT_EQ(exits, 0);
  EXPECT_TRUE(checks.closeAfterCurrent.Checked()) << "the mark stays";
}

TEST_F(TransportTest, FadeOutStepsTheVolumeDownThenStops) {
  for (float volume : {3.0f, 200.0f}) {
    running.sliders[kVolumeSlider].value = volume;
    playback.PlayEntry(Restart::No, kCursorRow, RepeatReset::Yes);
    desktop.sleeps = 0;
    playback.StopWithFadeout();
    EXPECT_EQ(desktop.sleeps, volume == 3.0f ? 1 : 41) << "a step per 5 of the volume";
    EXPECT_EQ(playback.st.state, kStopped);
    EXPECT_EQ(running.sliders[kVolumeSlider].value, volume);
  }
}

TEST_F(TransportTest, MutingAModuleMovesTheVolumeSliderAndUnmutingRestoresIt) {
  EXPECT_EQ(playback.PlayPath(Fixture("orders.mod"), {.track = false}), 1);
  for (bool muted : {true, false}) {
    playback.ToggleMute();
    EXPECT_EQ(checks.mute.Checked(), muted);
    EXPECT_EQ(running.sliders[kVolumeSlider].value, muted ? 0.0f : 200.0f);
  }
  EXPECT_EQ(desktop.sleeps, 0);
}

TEST_F(TransportTest, StopClearsEverythingTheTrackShowed) {
  playback.PlayEntry(Restart::No, kCursorRow, RepeatReset::Yes);
  playback.PositionTick();
  playback.StopPlayback(CycleReset::Yes);
  EXPECT_EQ(playback.st.nowPlayingText, "Qumble Player");
  EXPECT_EQ(running.sliders[kPositionSlider].maximum, 0.0f);
  EXPECT_EQ(displays.progressMaximum, 0);
  playback.PositionTick();
  EXPECT_EQ(displays.titleText, "Qumble Player");
  EXPECT_EQ(displays.timeText.size(), 12u) << displays.timeText;  // "hh:mm:ss: AM"
}

}  // namespace
}  // namespace qmb::test
