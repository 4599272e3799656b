// What plays next: order and wrap, next and previous, random cycles, the
// repeat count and the cue list, on real short tracks.
#include "player_rig.h"

namespace qmb::test {
namespace {

class NavigationTest : public PlayerRig {
 protected:
  void SetUp() override {
    for (const char* name : {"a.wav", "b.mp3", "c.ogg"}) Add(Short(name));
    store.list.SetCursor(0);
  }
  int MarkedRows() {
    int marked = 0;
    for (int row = 0; row < store.list.Count(); ++row)
      marked += Field(row, kPlayedThisCycle) == "Yes";
    return marked;
  }
};

TEST_F(NavigationTest, PlaysThroughInOrderAndWrapsToRowZero) {
  playback.PlayEntry(Restart::No, kCursorRow, RepeatReset::Yes);
  EXPECT_EQ(RowsPlayed(4), (std::vector<int>{0, 1, 2, 0}));
  EXPECT_EQ(Field(0, kTimesPlayed), "2");
  EXPECT_EQ(Field(1, kTimesPlayed), "1");
}

TEST_F(NavigationTest, PreviousGoesBackThroughTheHistoryAndFromRowZeroToTheLast) {
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
TEST_F(NavigationTest, RandomPlaysEveryRowOnceThenStopsOrLoops) {
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
    EXPECT_EQ(MarkedRows(), 0);
    EXPECT_EQ(playback.playedThisCycle, 0);
    Ticks(10);
    EXPECT_EQ(playback.st.state, kStopped);
  }
  EXPECT_EQ(playback.st.state, kPlaying);
}

TEST_F(NavigationTest, RandomPickNeverSpinsWhenEveryRowIsMarked) {
  running.shuffle = true;
  for (int row = 0; row < 3; ++row) store.list.SetField(row, kPlayedThisCycle, "Yes");
  playback.playedThisCycle = 1;  // out of step with the marks
  running.loop = true;
  EXPECT_TRUE(playback.RandomNext()) << "loop on: a new cycle";
  EXPECT_EQ(MarkedRows(), 1);
  for (int row = 0; row < 3; ++row) store.list.SetField(row, kPlayedThisCycle, "Yes");
  running.loop = false;
  EXPECT_FALSE(playback.RandomNext()) << "loop off: the cycle ends";
  EXPECT_EQ(MarkedRows(), 0);
}

TEST_F(NavigationTest, RepeatCountPlaysTheEntryOneTimeMoreThanItSays) {
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

TEST_F(NavigationTest, CueRowsPlayFirstThenThePlaylistGoesOnAfterTheCurrentEntry) {
  store.list.SetSelected(2, true);
  AddToCue(store, cue);
  store.list.SelectNone();
  store.list.SetSelected(0, true);
  AddToCue(store, cue);
  ASSERT_EQ(cue.Count(), 2);
  store.list.SetCursor(0);
  playback.PlayEntry(Restart::Yes, kCursorRow, RepeatReset::Yes);  // current entry 0
  EXPECT_EQ(TitlesPlayed(4), (std::vector<std::string>{"a", "c", "a", "b"}));
  EXPECT_EQ(cue.Count(), 0);
  EXPECT_EQ(playback.st.currentIndex, 1);
  EXPECT_EQ(Field(2, kTimesPlayed), "0") << "a cue play keeps no statistics";
}

TEST_F(NavigationTest, AFailingEntryIsReportedOnceAndStopsThePlayer) {
  store.list.SetField(1, kPath, "/nowhere/missing.mp3");
  playback.PlayEntry(Restart::Yes, kCursorRow, RepeatReset::Yes);
  ASSERT_TRUE(TickUntil([&] { return playback.st.state == kStopped; }));
  Ticks(10);
  EXPECT_EQ(desktop.Texts(),
            std::vector<std::string>{"No input plug-ins could be found to play the file."});
  EXPECT_EQ(playback.st.state, kStopped);
}

}  // namespace
}  // namespace qmb::test
