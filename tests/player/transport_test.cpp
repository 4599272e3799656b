// The transport and the end of a track: stop and close after the current
// track, pause and resume, the fade-out, mute on a module.
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
  bool Ended() {
    return TickUntil(
        [&] { return playback.st.state == kStopped || playback.st.currentIndex != 0; });
  }
};

TEST_F(TransportTest, StopAfterCurrentStopsAtTheEndAndClearsItsMark) {
  checks.stopAfterCurrent.SetChecked(true);
  playback.PlayEntry(Restart::No, kCursorRow, RepeatReset::Yes);
  ASSERT_TRUE(Ended());
  EXPECT_EQ(playback.st.state, kStopped);
  EXPECT_EQ(playback.st.currentIndex, 0);
  EXPECT_FALSE(checks.stopAfterCurrent.Checked());
}

TEST_F(TransportTest, CloseAfterCurrentEndsTheProgramOnlyWithAutomaticAdvance) {
  checks.closeAfterCurrent.SetChecked(true);
  panel.autoAdvance.SetChecked(false);
  playback.PlayEntry(Restart::No, kCursorRow, RepeatReset::Yes);
  ASSERT_TRUE(Ended());
  EXPECT_EQ(exits, 0);
  EXPECT_EQ(playback.st.state, kStopped);

  panel.autoAdvance.SetChecked(true);
  playback.PlayEntry(Restart::No, kCursorRow, RepeatReset::Yes);
  EXPECT_TRUE(TickUntil([&] { return exits > 0; }));
  EXPECT_TRUE(checks.closeAfterCurrent.Checked()) << "the mark stays";
}

TEST_F(TransportTest, PlayResumesAPausedTrackInsteadOfRestartingIt) {
  playback.PlayEntry(Restart::No, kCursorRow, RepeatReset::Yes);
  ASSERT_TRUE(TickUntil([&] { return FSOUND_Stream_GetTime(playback.st.stream) > 200; }));
  playback.TogglePause();
  EXPECT_EQ(playback.st.state, kPaused);
  int paused = FSOUND_Stream_GetTime(playback.st.stream);
  MixProbe probe;
  ASSERT_TRUE(probe.Wait(9));  // 200 ms of mixing
  EXPECT_NEAR(FSOUND_Stream_GetTime(playback.st.stream), paused, 30) << "time stands still";
  playback.PlayEntry(Restart::No, kCursorRow, RepeatReset::Yes);
  EXPECT_EQ(playback.st.state, kPlaying);
  EXPECT_GE(FSOUND_Stream_GetTime(playback.st.stream), paused);
  EXPECT_EQ(Field(0, kTimesPlayed), "1") << "resumed, not played again";
}

TEST_F(TransportTest, FadeOutStepsTheVolumeDownThenStops) {
  playback.PlayEntry(Restart::No, kCursorRow, RepeatReset::Yes);
  running.sliders[kVolumeSlider].value = 3.0f;
  desktop.sleeps = 0;
  playback.StopWithFadeout();
  EXPECT_EQ(desktop.sleeps, 1) << "one volume step from 3";
  EXPECT_EQ(playback.st.state, kStopped);
  EXPECT_EQ(running.sliders[kVolumeSlider].value, 3.0f);

  running.sliders[kVolumeSlider].value = 200.0f;
  playback.PlayEntry(Restart::No, kCursorRow, RepeatReset::Yes);
  desktop.sleeps = 0;
  playback.StopWithFadeout();
  EXPECT_EQ(desktop.sleeps, 41);
}

TEST_F(TransportTest, MutingAModuleMovesTheVolumeSliderAndUnmutingRestoresIt) {
  EXPECT_EQ(playback.PlayPath(Fixture("orders.mod"), {.track = false}), 1);
  playback.ToggleMute();
  EXPECT_TRUE(checks.mute.Checked());
  EXPECT_EQ(running.sliders[kVolumeSlider].value, 0.0f);
  EXPECT_EQ(desktop.sleeps, 0);
  playback.ToggleMute();
  EXPECT_FALSE(checks.mute.Checked());
  EXPECT_EQ(running.sliders[kVolumeSlider].value, 200.0f);
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
