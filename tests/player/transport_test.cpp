// The transport and the end of a track: close after the current track, the
// fade-out, mute, and what a stop clears. The equalizer as
// playback applies it: band sliders change what is heard, "Disable
// equalizer" takes the effects and the DSP unit away.
#include "player_rig.h"
#include "vis/visual_capture.h"

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

// A track started while muted is silent, a module through its master volume,
// and the slider keeps its value; muting a playing module moves the slider to
// 0 instead, and unmuting restores it.
TEST_F(TransportTest, MuteSilencesANewTrackAndMovesAPlayingModulesVolumeSlider) {
  MixProbe probe;
  checks.mute.SetChecked(true);
  playback.PlayEntry(Restart::Yes, kCursorRow, RepeatReset::Yes);
  ASSERT_TRUE(probe.Wait(4));  // past the switch
  EXPECT_EQ(probe.Peak(8), 0);
  ASSERT_EQ(playback.PlayPath(Fixture("orders.mod"), {.track = false}), 1);
  ASSERT_TRUE(probe.Wait(4));
  EXPECT_EQ(probe.Peak(8), 0);
  EXPECT_EQ(running.sliders[kVolumeSlider].value, 200.0f);
  checks.mute.SetChecked(false);
  ASSERT_EQ(playback.PlayPath(Fixture("orders.mod"), {.track = false}), 1);
  EXPECT_TRUE(TickUntil([&] { return probe.Peak(1) > 100; })) << "the module is heard unmuted";
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

class EqualizerTest : public PlayerRig {
 protected:
  MixProbe probe;
};

TEST_F(EqualizerTest, ABandSliderRetunesItsBandAtOnce) {
  ASSERT_EQ(playback.PlayPath(Fixture("tone_1000_22050_mono.wav"), {.track = false}), 1);
  ASSERT_NE(equalizer.DspUnitHandle(), nullptr);
  EXPECT_TRUE(FSOUND_DSP_GetActive(equalizer.DspUnitHandle()));
  ASSERT_TRUE(probe.Wait(4));  // past the start
  double flat = probe.LevelDb();
  EXPECT_GT(flat, -40);
  playback.SetSliderApplied(4, 0.0f);  // 1000 Hz band to -15 dB
  ASSERT_TRUE(probe.Wait(10));         // past the change's ramp
  EXPECT_NEAR(probe.LevelDb() - flat, -15.0, 1.0);

  equalizer.DisableEqualizer();
  ASSERT_TRUE(probe.Wait(10));
  EXPECT_NEAR(probe.LevelDb() - flat, 0.0, 0.5) << "no effect left on the mix";
}

TEST_F(EqualizerTest, WithoutTheEqualizerAnEntryGetsNoCaptureAndStoppingSwitchesItOff) {
  panel.equalizerDisabled.SetChecked(true);
  ASSERT_EQ(playback.PlayPath(Fixture("tone_440.wav"), {.track = false}), 1);
  EXPECT_EQ(equalizer.DspUnitHandle(), nullptr);
  TheVisualCapture().Clear();
  ASSERT_TRUE(probe.Wait(8));
  EXPECT_FALSE(TheVisualCapture().HasBlock());

  panel.equalizerDisabled.SetChecked(false);
  ASSERT_EQ(playback.PlayPath(Fixture("tone_440.wav"), {.track = false}), 1);
  EXPECT_TRUE(TickUntil([] { return TheVisualCapture().HasBlock(); }));
  playback.StopPlayback(CycleReset::No);
  EXPECT_FALSE(FSOUND_DSP_GetActive(equalizer.DspUnitHandle()));
  EXPECT_FALSE(TheVisualCapture().HasBlock());
}

}  // namespace
}  // namespace qmb::test
