// Network stations on the real engine: their titles in the now-playing text,
// a dropped connection taken up again, and a station that never answers.
#include <tuple>

#include "icy_station.h"
#include "player_rig.h"
#include "temp_folder.h"

namespace qmb::test {
namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

class StationsTest : public PlayerRig {
 protected:
  static IcyStation::Options Station(std::vector<std::string> titles, std::size_t dropAfter = 0) {
    IcyStation::Options options;
    options.body = ReadFile(Fixture("station.mp3"));
    options.titles = std::move(titles);
    options.dropAfter = dropAfter;
    // Twice the rate it plays at, so the titles come round quickly.
    options.bytesPerSecond = 32000;
    return options;
  }
  // The longest time between two calls of Mark.
  struct LongestGap {
    Clock::time_point last = Clock::now();
    Clock::duration longest{};
    void Mark() {
      longest = std::max(longest, Clock::now() - last);
      last = Clock::now();
    }
  };
  bool Shows(const std::string& title) {
    return TickUntil([&] {
      const std::string& text = playback.st.nowPlayingText;
      return text.ends_with(title) && displays.titleText == text;
    });
  }
};

// Without titles the station's name stands in; titles come in Latin-1 and
// show in turn.
TEST_F(StationsTest, TheNowPlayingTextFollowsTheStationWhileTheEntryKeepsItsTitle) {
  const std::pair<std::vector<std::string>, std::vector<std::string>> cases[] = {
      {{}, {"Loopback FM"}},
      {{"Artist One - First Song", "Caf\xe9 del Mar - \xc9t\xe9"},
       {"Artist One - First Song", "Café del Mar - Été", "Artist One - First Song"}}};
  for (const auto& [titles, shown] : cases) {
    IcyStation station(Station(titles));
    store.list.RemoveAll();
    Add(station.Url());
    std::string stored = Field(0, kTitle);
    playback.PlayEntry(Restart::No, kCursorRow, RepeatReset::Yes);
    ASSERT_EQ(playback.st.state, kPlaying);
    for (const std::string& title : shown) EXPECT_TRUE(Shows(title)) << title;
    EXPECT_EQ(std::tuple(Field(0, kTitle), Field(0, kTimesPlayed)), std::tuple(stored, "1"));
  }
}

// 48 KB are three seconds of sound: playing well past them takes a second
// connection. The ticks never wait for the reconnection.
TEST_F(StationsTest, ADroppedConnectionIsTakenUpAgainAndStaysOnePlay) {
  IcyStation station(Station({"Song"}, 48000));
  Add(station.Url());
  playback.PlayEntry(Restart::No, kCursorRow, RepeatReset::Yes);
  ASSERT_EQ(playback.st.state, kPlaying);
  LongestGap ticks;
  EXPECT_TRUE(TickUntil(
      [&] {
        ticks.Mark();
        return station.Connections() == 2 && FSOUND_Stream_GetTime(playback.st.stream) > 6000;
      },
      20));
  EXPECT_EQ(std::tuple(playback.st.state, playback.st.currentIndex, Field(0, kTimesPlayed),
                       playback.historyCount),
            std::tuple(kPlaying, 0, "1", 1));
  EXPECT_LT(ticks.longest, 1000ms) << "a tick waited for the station";
}

// After 1, 2 and 4 s of refused connections the track ends as any other.
TEST_F(StationsTest, AStationGoneForGoodEndsItsTrackAfterThreeTries) {
  IcyStation::Options options = Station({"Song"}, 32000);
  options.onlyOnce = true;
  IcyStation station(options);
  Add(station.Url());
  checks.stopAfterCurrent.SetChecked(true);
  playback.PlayEntry(Restart::No, kCursorRow, RepeatReset::Yes);
  ASSERT_EQ(playback.st.state, kPlaying);
  EXPECT_TRUE(TickUntil([&] { return playback.st.state == kStopped; }, 30));
  EXPECT_EQ(Field(0, kTimesPlayed), "1");
  EXPECT_TRUE(desktop.messages.empty());
}

TEST_F(StationsTest, AStationThatNeverAnswersFailsWithinTenSecondsAndTheWindowsAnswer) {
  IcyStation::Options options;
  options.silent = true;
  IcyStation station(options);
  Add(station.Url());
  LongestGap events;
  desktop.onPendingEvents = [&] { events.Mark(); };
  auto start = Clock::now();
  playback.PlayEntry(Restart::No, kCursorRow, RepeatReset::Yes);
  EXPECT_LT(Clock::now() - start, 10s);
  EXPECT_EQ(playback.st.state, kStopped);
  EXPECT_EQ(desktop.Texts(),
            std::vector<std::string>{"No input plug-ins could be found to play the file."});
  EXPECT_LT(events.longest, 1000ms) << "the windows froze while it opened";
}

}  // namespace
}  // namespace qmb::test
