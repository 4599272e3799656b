// What plays next and how on real short tracks: order and wrap, previous,
// random cycles, the repeat count and the cue list; close after the current
// track, the fade-out, mute and what a stop clears; the equalizer as playback
// applies it, where "Disable equalizer" takes the effects and the DSP unit away.
#include <tuple>

#include "player_rig.h"
#include "vis/visual_capture.h"

namespace qmb::test {
namespace {

class TransportTest : public PlayerRig {
 protected:
  void SetUp() override {
    for (const char* name : {"a.wav", "b.mp3", "c.ogg"}) Add(Short(name));
    store.list.SetCursor(0);
  }
  int MarkedRows() {
    int marked = 0;
    for (int row = 0; row < 3; ++row) marked += Field(row, kPlayedThisCycle) == "Yes";
    return marked;
  }
};

TEST_F(TransportTest, PlaysThroughInOrderAndWrapsToRowZero) {
  playback.PlayEntry(Restart::No, kCursorRow, RepeatReset::Yes);
  EXPECT_EQ(RowsPlayed(4), (std::vector<int>{0, 1, 2, 0}));
  EXPECT_EQ(std::tuple(Field(0, kTimesPlayed), Field(1, kTimesPlayed)), std::tuple("2", "1"));
}

TEST_F(TransportTest, PreviousGoesBackThroughTheHistoryAndFromRowZeroToTheLast) {
  playback.PlayEntry(Restart::No, kCursorRow, RepeatReset::Yes);
  playback.PreviousEntry(1);
  EXPECT_EQ(store.list.Cursor(), 2) << "from row 0 to the last row";
  EXPECT_EQ(playback.st.currentIndex, 2);

  for (int row : {0, 2, 1}) {
    store.list.SetCursor(row);
    playback.PlayEntry(Restart::Yes, kCursorRow, RepeatReset::Yes);
  }
  playback.PreviousEntry(1);
  EXPECT_EQ(playback.st.currentIndex, 2) << "the entry played before";
}

// Without loop every row plays once, then the stop holds; with loop, play
// goes on into a new cycle.
TEST_F(TransportTest, RandomPlaysEveryRowOnceThenStopsOrLoops) {
  running.shuffle = true;
  for (bool loop : {false, true}) {
    SCOPED_TRACE(loop);
    running.loop = loop;
    playback.RandomNext();
    playback.PlayEntry(Restart::Yes, kCursorRow, RepeatReset::Yes);
    std::vector<int> rows = RowsPlayed(loop ? 5 : 3);
    ASSERT_EQ(rows.size(), loop ? 5u : 3u);
    std::sort(rows.begin(), rows.begin() + 3);
    EXPECT_EQ(std::vector<int>(rows.begin(), rows.begin() + 3), (std::vector<int>{0, 1, 2}));
    if (loop) break;
    ASSERT_TRUE(TickUntil([&] { return playback.st.state == kStopped; }));
    EXPECT_EQ(std::tuple(MarkedRows(), playback.playedThisCycle), std::tuple(0, 0));
    Ticks(10);
    EXPECT_EQ(playback.st.state, kStopped);
  }
  EXPECT_EQ(playback.st.state, kPlaying);
}

TEST_F(TransportTest, RandomPickNeverSpinsWhenEveryRowIsMarked) {
  running.shuffle = true;
  playback.playedThisCycle = 1;  // out of step with the marks
  // Loop on starts a new cycle (its first row marked); loop off ends the cycle.
  for (bool loop : {true, false}) {
    for (int row = 0; row < 3; ++row) store.list.SetField(row, kPlayedThisCycle, "Yes");
    running.loop = loop;
    EXPECT_EQ(playback.RandomNext(), loop);
    EXPECT_EQ(MarkedRows(), loop ? 1 : 0) << loop;
  }
}

TEST_F(TransportTest, RepeatCountPlaysTheEntryOneTimeMoreThanItSays) {
  // A plain count is the plug-in suite's; here the ends of its range.
  const std::pair<const char*, std::vector<int>> cases[] = {{"-1", {0, 0, 0, 0, 0}},
                                                            {"many", {0, 1}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.first);
    panel.repeatCount.SetText(c.first);
    store.list.SetCursor(0);
    playback.PlayEntry(Restart::Yes, kCursorRow, RepeatReset::Yes);
    EXPECT_EQ(RowsPlayed(static_cast<int>(c.second.size())), c.second);
    playback.StopPlayback(CycleReset::No);
  }
}

TEST_F(TransportTest, CueRowsPlayFirstThenThePlaylistGoesOnAfterTheCurrentEntry) {
  for (int row : {2, 0}) Cue(row);
  ASSERT_EQ(cue.Count(), 2);
  store.list.SetCursor(0);
  playback.PlayEntry(Restart::Yes, kCursorRow, RepeatReset::Yes);  // current entry 0
  EXPECT_EQ(TitlesPlayed(4), (std::vector<std::string>{"a", "c", "a", "b"}));
  EXPECT_EQ(std::tuple(cue.Count(), playback.st.currentIndex), std::tuple(0, 1));
  EXPECT_EQ(Field(2, kTimesPlayed), "0") << "a cue play keeps no statistics";
}

TEST_F(TransportTest, AFailingEntryIsReportedOnceAndStopsThePlayer) {
  store.list.SetField(1, kPath, "/nowhere/missing.mp3");
  playback.PlayEntry(Restart::Yes, kCursorRow, RepeatReset::Yes);
  ASSERT_TRUE(TickUntil([&] { return playback.st.state == kStopped; }));
  Ticks(10);
  EXPECT_EQ(desktop.Texts(),
            std::vector<std::string>{"No input plug-ins could be found to play the file."});
  EXPECT_EQ(playback.st.state, kStopped);
}

TEST_F(TransportTest, CloseAfterCurrentEndsTheProgramOnlyWithAutomaticAdvance) {
  checks.closeAfterCurrent.SetChecked(true);
  panel.autoAdvance.SetChecked(false);
  playback.PlayEntry(Restart::No, kCursorRow, RepeatReset::Yes);
  ASSERT_TRUE(TickUntil([&] { return playback.st.state == kStopped; }));
  EXPECT_EQ(exits, 0);

  panel.autoAdvance.SetChecked(true);
  playback.PlayEntry(Restart::No, kCursorRow, RepeatReset::Yes);
  EXPECT_TRUE(TickUntil([&] { return exits > 0; }));
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

TEST_F(TransportTest, ABandSliderRetunesItsBandAtOnce) {
  MixProbe probe;
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

TEST_F(TransportTest, WithoutTheEqualizerAnEntryGetsNoCaptureAndStoppingSwitchesItOff) {
  MixProbe probe;
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
