// Network stations on the real engine: their titles in the now-playing text,
// a dropped connection taken up again, and a station that never answers.
#include "icy_station.h"
#include "player_rig.h"
#include "temp_folder.h"

namespace qmb::test {
namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

class StationsTest : public PlayerRig {
 protected:
  static IcyStation::Options Station() {
    IcyStation::Options options;
    options.body = ReadFile(Fixture("station.mp3"));
    // Twice the rate it plays at, so the titles come round quickly.
    options.bytesPerSecond = 32000;
    return options;
  }
  bool Shows(const std::string& title) {
    return TickUntil([&] {
      const std::string& text = playback.st.nowPlayingText;
      return text.size() >= title.size() && text.ends_with(title) && displays.titleText == text;
    });
  }
};

TEST_F(StationsTest, TheNowPlayingTextFollowsTheStationWhileTheEntryKeepsItsTitle) {
  IcyStation::Options named = Station();  // no titles: its name stands in
  IcyStation::Options titled = Station();
  titled.titles = {"Artist One - First Song", "Caf\xe9 del Mar - \xc9t\xe9"};  // Latin-1
  for (const IcyStation::Options& options : {named, titled}) {
    IcyStation station(options);
    store.list.RemoveAll();
    Add(station.Url());
    std::string stored = Field(0, kTitle);
    playback.PlayEntry(Restart::No, kCursorRow, RepeatReset::Yes);
    ASSERT_EQ(playback.st.state, kPlaying);
    if (options.titles.empty()) {
      EXPECT_TRUE(Shows("Loopback FM"));
    } else {
      EXPECT_TRUE(Shows("Artist One - First Song"));
      EXPECT_TRUE(Shows("Café del Mar - Été"));
      EXPECT_TRUE(Shows("Artist One - First Song")) << "in turn";
    }
    EXPECT_EQ(Field(0, kTitle), stored);
    EXPECT_EQ(Field(0, kTimesPlayed), "1");
  }
}

// 48 KB are three seconds of sound: playing well past them takes a second
// connection. The ticks never wait for the reconnection.
TEST_F(StationsTest, ADroppedConnectionIsTakenUpAgainAndStaysOnePlay) {
  IcyStation::Options options = Station();
  options.titles = {"Song"};
  options.dropAfter = 48000;
  IcyStation station(options);
  Add(station.Url());
  playback.PlayEntry(Restart::No, kCursorRow, RepeatReset::Yes);
  ASSERT_EQ(playback.st.state, kPlaying);
  auto last = Clock::now();
  auto longest = 0ms;
  EXPECT_TRUE(TickUntil(
      [&] {
        auto now = Clock::now();
        longest =
            std::max(longest, std::chrono::duration_cast<std::chrono::milliseconds>(now - last));
        last = now;
        return station.Connections() == 2 && FSOUND_Stream_GetTime(playback.st.stream) > 6000;
      },
      20));
  EXPECT_EQ(playback.st.state, kPlaying);
  EXPECT_EQ(playback.st.currentIndex, 0);
  EXPECT_EQ(Field(0, kTimesPlayed), "1");
  EXPECT_EQ(playback.historyCount, 1);
  EXPECT_LT(longest, 1000ms) << "a tick waited for the station";
}

// After 1, 2 and 4 s of refused connections the track ends as any other.
TEST_F(StationsTest, AStationGoneForGoodEndsItsTrackAfterThreeTries) {
  IcyStation::Options options = Station();
  options.titles = {"Song"};
  options.dropAfter = 32000;
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
  auto last = Clock::now();
  auto longest = 0ms;
  desktop.onPendingEvents = [&] {
    auto now = Clock::now();
    longest = std::max(longest, std::chrono::duration_cast<std::chrono::milliseconds>(now - last));
    last = now;
  };
  auto start = Clock::now();
  playback.PlayEntry(Restart::No, kCursorRow, RepeatReset::Yes);
  EXPECT_LT(Clock::now() - start, 10s);
  EXPECT_EQ(playback.st.state, kStopped);
  EXPECT_EQ(desktop.Texts(),
            std::vector<std::string>{"No input plug-ins could be found to play the file."});
  EXPECT_LT(longest, 1000ms) << "the windows froze while it opened";
}

}  // namespace
}  // namespace qmb::test
