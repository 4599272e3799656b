// Opening entries by their routes, the statistics a play writes, and the
// now-playing text.
#include <algorithm>
#include <chrono>
#include <thread>
#include <tuple>

#include "loopback_http_server.h"
#include "player_rig.h"
#include "temp_folder.h"

namespace qmb::test {
namespace {

class RoutesTest : public PlayerRig {};

// A play writes the entry's statistics and the now-playing text; a preview
// keeps no bookkeeping and is never ended by the tick.
TEST_F(RoutesTest, APlayWritesTheEntrysStatisticsAndTheNowPlayingTextAndAPreviewNothing) {
  Add(Short("b.mp3"));
  store.list.SetField(0, kTimesPlayed, "1,233");
  playback.PlayEntry(Restart::No, kCursorRow, RepeatReset::Yes);
  ASSERT_EQ(playback.st.state, kPlaying);
  EXPECT_EQ(Field(0, kTimesPlayed), "1,234");
  EXPECT_EQ(Field(0, kDatePlayed), "12/06/26");
  EXPECT_EQ(Field(0, kLength).substr(0, 9), "00:00:00.");
  EXPECT_EQ(Field(0, kPlayedThisCycle), "No") << "random play is off";
  EXPECT_EQ(playback.st.trackActive, 1);
  EXPECT_NEAR(running.sliders[kPositionSlider].maximum, 0.6, 0.1);
  // " 128kbps |  44khz  b": bit rate and whole kilohertz with their blanks.
  const std::string& text = playback.st.nowPlayingText;
  EXPECT_NE(text.find("kbps | "), std::string::npos) << text;
  EXPECT_NE(text.find(" 44khz  b"), std::string::npos) << text;
  ASSERT_TRUE(playback.st.info);
  EXPECT_EQ(playback.st.info->frequency, 44100);

  EXPECT_EQ(playback.PlayPath(Short("b.mp3"), {.track = false}), 1);
  EXPECT_EQ(std::tuple(playback.st.trackActive, playback.st.currentIndex, Field(0, kTimesPlayed)),
            std::tuple(0, -1, "1,234"));
  ASSERT_TRUE(TickUntil([&] { return FSOUND_Stream_IsFinished(playback.st.stream); }));
  Ticks(10);
  EXPECT_EQ(playback.st.state, kPlaying) << "the tick ends only playlist tracks";
}

// A wave file named like a module fails there rather than playing as a
// stream; what no route takes plays as raw data only when asked.
TEST_F(RoutesTest, ExtensionsPickTheRoute) {
  TempFolder folder;
  for (const char* name : {"tone.s3m", "tone.m", "noextension"})
    folder.Write(name, ReadFile(Short("a.wav")));
  folder.Write("noise.xyz", std::string(88200, '\x10'));
  for (auto [name, status] :
       {std::pair{"tone.s3m", 3}, {"tone.m", 3}, {"noextension", 1}, {"noise.xyz", 3}})
    EXPECT_EQ(playback.PlayPath(folder.Path() + name, {.track = false}), status) << name;
  EXPECT_EQ(playback.PlayPath(Fixture("orders.mod"), {.track = false}), 1);
  EXPECT_EQ(playback.st.isModule, 1);
  panel.rawPcmUnsupported.SetChecked(true);
  EXPECT_EQ(playback.PlayPath(folder.Path() + "noise.xyz", {.track = false}), 1);
  EXPECT_NEAR(playback.st.lengthSeconds, 0.5, 0.02);
}

TEST_F(RoutesTest, ACdAddressReplacesThePlaylistWithItsTracks) {
  Add(Short("a.wav"));
  std::string drive = Fixture("disc.cue");
  store.list.SetCursor(0);
  EXPECT_EQ(playback.PlayPath("cda://" + drive), 1);
  ASSERT_EQ(store.list.Count(), 3);
  for (int n = 1; n <= 3; ++n)
    EXPECT_EQ(Field(n - 1, kPath), drive + "/Track" + std::to_string(n) + ".cda");
  EXPECT_EQ(playback.st.currentIndex, 0);
  float first = playback.st.lengthSeconds;

  // A track file names its drive by its folder and its track from its name.
  EXPECT_EQ(playback.PlayPath(drive + "/Track02.cda", {.track = false}), 1);
  EXPECT_NE(playback.st.lengthSeconds, first);
  EXPECT_EQ(playback.PlayPath("/nowhere/Track01.cda", {.track = false}), 3);
}

// A stop among the events of an address still opening ends it silently.
TEST_F(RoutesTest, AnAddressBuffersThenPlaysAndAStopWhileOneOpensEndsItSilently) {
  LoopbackHttpServer server(ReadFile(Fixture("tone_440.mp3")), LoopbackHttpServer::Mode::kTrickle,
                            "audio/mpeg");
  server.SetTrickle(2048, 50);
  bool buffered = false;
  desktop.onPendingEvents = [&] {
    buffered = buffered || playback.st.nowPlayingText.starts_with("Buffering: ");
  };
  Add(server.Url("tone.mp3"));
  playback.PlayEntry(Restart::No, kCursorRow, RepeatReset::Yes);
  EXPECT_EQ(playback.st.state, kPlaying);
  EXPECT_TRUE(buffered);
  EXPECT_TRUE(TickUntil([&] { return FSOUND_Stream_GetTime(playback.st.stream) > 300; }));
  EXPECT_EQ(playback.historyCount, 1);

  LoopbackHttpServer silent("", LoopbackHttpServer::Mode::kSilent);
  OnEvent(20, [&] { playback.StopPlayback(CycleReset::No); });
  Add(silent.Url());
  store.list.SetCursor(1);
  playback.PlayEntry(Restart::Yes, kCursorRow, RepeatReset::Yes);
  EXPECT_EQ(playback.st.state, kStopped);
  EXPECT_TRUE(desktop.messages.empty());
  EXPECT_EQ(playback.historyCount, 1) << "an abandoned open is no play";
}

// Every route timed as a listener meets it, automatic advance off so the end
// stops the player: the position near 0 at the start, never going back nor
// far ahead of the clock, and the track lasting its length. A module counts an order as a second,
// shown when its sound is heard (1.92 s into this one), not when the decoder reaches it.
TEST_F(RoutesTest, EveryRouteLastsItsLengthAndItsPositionFollowsTheSound) {
  using Clock = std::chrono::steady_clock;
  constexpr int kTickMs = 20;   // the position timer, as a short core delay
  constexpr int kBlockMs = 24;  // a mix block of the null output
  constexpr int kEndMs = kBlockMs + 2 * kTickMs;
  LoopbackHttpServer server(ReadFile(Fixture("tone_440.wav")), LoopbackHttpServer::Mode::kWhole);
  panel.autoAdvance.SetChecked(false);
  const std::tuple<std::string, int, int, int> cases[] = {
      {Fixture("tone_440.wav"), 4000, 4000, 4000 - kEndMs},
      {Fixture("disc.cue") + "/Track01.cda", 2000, 2000, 2000 - kEndMs},
      {Fixture("three_seconds.mid"), 3000, 3000, 3000 - kEndMs},
      {Fixture("three_seconds.rmi"), 3000, 3000, 3000 - kEndMs},
      // A wave file read as it arrives has no length to show; it ends with its data.
      {server.Url("tone.wav"), 4000, 0, 4000 - kEndMs},
      {Fixture("orders.mod"), 4 * 1920, 4000, 3000},
  };
  for (const auto& [path, heardMs, shownMs, lastMs] : cases) {
    SCOPED_TRACE(path);
    Add(path);
    const int row = store.list.Count() - 1;
    store.list.SetCursor(row);
    const auto start = Clock::now();
    auto since = [&] {
      return static_cast<int>(
          std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
    };
    playback.PlayEntry(Restart::Yes, kCursorRow, RepeatReset::Yes);
    EXPECT_EQ(playback.st.state, kPlaying);
    EXPECT_EQ(Field(row, kLength).starts_with("No Length"), shownMs == 0);
    int position = 0, length = 0, last = 0, lastAt = since();
    int at100 = -1, firstAt1000 = -1, back = 0, worstStep = 0;
    while (since() < heardMs + 4000) {
      playback.PositionTick();
      if (playback.st.state != kPlaying) break;
      const int now = since();
      playback.ReadPosition(position, length);
      if (at100 < 0 && now >= 100) at100 = position;
      if (firstAt1000 < 0 && position >= 1000) firstAt1000 = now;
      back += position < last;
      worstStep = std::max(worstStep, (position - last) - (now - lastAt));
      last = position;
      lastAt = now;
      std::this_thread::sleep_for(std::chrono::milliseconds(kTickMs));
    }
    const int took = since();
    EXPECT_EQ(length, shownMs);
    EXPECT_GE(at100, 0);
    EXPECT_LT(at100, 300) << "100 ms after the start";
    EXPECT_EQ(back, 0);
    EXPECT_GE(last, lastMs) << "its end was heard";
    EXPECT_GE(took, heardMs - 20) << "cut short";
    EXPECT_LE(took, heardMs + 600);
    if (path.ends_with(".mod")) {
      EXPECT_GE(firstAt1000, 1920 - kBlockMs);
      EXPECT_LE(firstAt1000, 1920 + kEndMs + 200);
    } else {
      // A position read from the decoder runs hundreds of ms ahead in one
      // step; a loaded machine that holds the mixer up can make one of a few.
      EXPECT_LT(worstStep, 250) << "a step ahead of the clock";
    }
  }
}

}  // namespace
}  // namespace qmb::test
