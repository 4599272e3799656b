// Opening entries by their routes, the statistics a play writes, and the
// now-playing text.
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <thread>

#include "loopback_http_server.h"
#include "player_rig.h"
#include "temp_folder.h"
#include "vis/visual_capture.h"

namespace qmb::test {
namespace {

namespace fs = std::filesystem;

class RoutesTest : public PlayerRig {};

TEST_F(RoutesTest, APlayWritesTheEntrysStatisticsAndTheNowPlayingText) {
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
}

TEST_F(RoutesTest, APreviewKeepsNoBookkeepingAndNeverEndsATrack) {
  Add(Short("a.wav"));
  store.list.SetCursor(0);
  EXPECT_EQ(playback.PlayPath(Short("a.wav"), {.track = false}), 1);
  EXPECT_EQ(playback.st.trackActive, 0);
  EXPECT_EQ(playback.st.currentIndex, -1);
  EXPECT_EQ(Field(0, kTimesPlayed), "0");
  ASSERT_TRUE(TickUntil([&] { return FSOUND_Stream_IsFinished(playback.st.stream); }));
  Ticks(10);
  EXPECT_EQ(playback.st.state, kPlaying) << "the tick ends only playlist tracks";
}

TEST_F(RoutesTest, ModuleExtensionsGoToTheMusicPlayer) {
  TempFolder folder;
  // A wave file named like a module fails there rather than playing as a stream.
  for (const char* name : {"tone.s3m", "tone.m"}) {
    fs::copy_file(Short("a.wav"), folder.Path() + name);
    EXPECT_EQ(playback.PlayPath(folder.Path() + name, {.track = false}), 3) << name;
  }
  fs::copy_file(Short("a.wav"), folder.Path() + "noextension");
  EXPECT_EQ(playback.PlayPath(folder.Path() + "noextension", {.track = false}), 1);

  EXPECT_EQ(playback.PlayPath(Fixture("orders.mod"), {.track = false}), 1);
  EXPECT_EQ(playback.st.isModule, 1);
}

TEST_F(RoutesTest, UnsupportedFilesPlayAsRawDataOnlyWhenAsked) {
  TempFolder folder;
  folder.Write("noise.xyz", std::string(88200, '\x10'));
  EXPECT_EQ(playback.PlayPath(folder.Path() + "noise.xyz", {.track = false}), 3);
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
  for (int n = 1; n <= 3; ++n) {
    EXPECT_EQ(Field(n - 1, kPath), drive + "/Track" + std::to_string(n) + ".cda");
  }
  EXPECT_EQ(playback.st.currentIndex, 0);
  float first = playback.st.lengthSeconds;

  // A track file names its drive by its folder and its track from its name.
  EXPECT_EQ(playback.PlayPath(drive + "/Track02.cda", {.track = false}), 1);
  EXPECT_NE(playback.st.lengthSeconds, first);
  EXPECT_EQ(playback.PlayPath("/nowhere/Track01.cda", {.track = false}), 3);
}

TEST_F(RoutesTest, AnAddressBuffersThenPlays) {
  LoopbackHttpServer server(ReadFile(Fixture("tone_440.mp3")), LoopbackHttpServer::Mode::kTrickle,
                            "audio/mpeg");
  server.SetTrickle(2048, 50);
  std::vector<std::string> seen;
  desktop.onPendingEvents = [&] {
    if (seen.empty() || seen.back() != playback.st.nowPlayingText) {
      seen.push_back(playback.st.nowPlayingText);
    }
  };
  Add(server.Url("tone.mp3"));
  playback.PlayEntry(Restart::No, kCursorRow, RepeatReset::Yes);
  EXPECT_EQ(playback.st.state, kPlaying);
  EXPECT_TRUE(desktop.messages.empty());
  bool buffered = false;
  for (auto& text : seen) buffered = buffered || text.rfind("Buffering: ", 0) == 0;
  EXPECT_TRUE(buffered);
  EXPECT_TRUE(TickUntil([&] { return FSOUND_Stream_GetTime(playback.st.stream) > 300; }));
}

TEST_F(RoutesTest, AStopWhileAnAddressOpensEndsItSilently) {
  LoopbackHttpServer server("", LoopbackHttpServer::Mode::kSilent);
  int calls = 0;
  desktop.onPendingEvents = [&] {
    if (++calls == 20) playback.StopPlayback(CycleReset::No);
  };
  Add(server.Url());
  playback.PlayEntry(Restart::No, kCursorRow, RepeatReset::Yes);
  EXPECT_EQ(playback.st.state, kStopped);
  EXPECT_TRUE(desktop.messages.empty());
  EXPECT_EQ(playback.historyCount, 0) << "an abandoned open is no play";
}

TEST_F(RoutesTest, AStreamWithoutLengthShowsNoLengthAndIsNotEndedAtOnce) {
  LoopbackHttpServer server(ReadFile(Fixture("tone_440.mp3")), LoopbackHttpServer::Mode::kNoLength,
                            "audio/mpeg");
  Add(server.Url("live.mp3"));
  playback.PlayEntry(Restart::No, kCursorRow, RepeatReset::Yes);
  ASSERT_EQ(playback.st.state, kPlaying);
  if (playback.st.lengthSeconds == 0) {
    EXPECT_EQ(Field(0, kLength), "No Length");
  }
  EXPECT_TRUE(TickUntil([&] { return FSOUND_Stream_GetTime(playback.st.stream) > 500; }));
  EXPECT_EQ(playback.st.state, kPlaying);
  EXPECT_EQ(playback.st.currentIndex, 0);
}

TEST_F(RoutesTest, MuteSilencesANewTrackAndTheVisualizationSeesTheMix) {
  Add(Short("a.wav"));
  playback.PlayEntry(Restart::No, kCursorRow, RepeatReset::Yes);
  std::vector<std::int16_t> block;
  EXPECT_TRUE(TickUntil([&] {
    int peak = 0;
    if (TheVisualCapture().CopyBlock(block)) {
      for (auto s : block) peak = std::max(peak, std::abs(static_cast<int>(s)));
    }
    return peak > 1000;
  }));
  MixProbe probe;
  checks.mute.SetChecked(true);
  playback.PlayEntry(Restart::Yes, kCursorRow, RepeatReset::Yes);
  ASSERT_TRUE(probe.Wait(4));  // past the switch
  EXPECT_EQ(probe.Peak(8), 0);
  EXPECT_EQ(running.sliders[kVolumeSlider].value, 200.0f) << "the slider keeps its value";

  // A module is muted through its master volume.
  ASSERT_EQ(playback.PlayPath(Fixture("orders.mod"), {.track = false}), 1);
  ASSERT_TRUE(probe.Wait(4));
  EXPECT_EQ(probe.Peak(8), 0);
  checks.mute.SetChecked(false);
  ASSERT_EQ(playback.PlayPath(Fixture("orders.mod"), {.track = false}), 1);
  EXPECT_TRUE(TickUntil([&] { return probe.Peak(1) > 100; })) << "the module is heard unmuted";
}

// Every route, timed as a listener meets it: the position near 0 at the
// start, moving with the sound, and the track lasting its length before it
// ends (automatic advance off, so the end stops the player).
class RouteTimingTest : public PlayerRig {
 protected:
  static constexpr int kTickMs = 20;   // the position timer, as a short core delay
  static constexpr int kBlockMs = 24;  // a mix block of the null output

  struct Watched {
    int tookMs = 0;     // from the start to the stop
    int at100 = -1;     // the position 100 ms after the start
    int worstStep = 0;  // the most the position moved ahead of the clock at once
    int back = 0;       // times it went back
    int last = 0;       // the last position before the end
    int length = 0;
    int firstAt1000 = -1;  // when the position first showed 1000 or more
  };

  Watched Watch(const std::string& path, double limitSeconds) {
    using Clock = std::chrono::steady_clock;
    Watched w;
    Add(path);
    store.list.SetCursor(store.list.Count() - 1);
    panel.autoAdvance.SetChecked(false);
    auto start = Clock::now();
    playback.PlayEntry(Restart::Yes, kCursorRow, RepeatReset::Yes);
    EXPECT_EQ(playback.st.state, kPlaying) << path;
    auto since = [&] {
      return static_cast<int>(
          std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
    };
    int lastMs = since();
    int lastPosition = 0;
    bool first = true;
    while (since() < limitSeconds * 1000) {
      playback.PositionTick();
      if (playback.st.state != kPlaying) break;
      int position = 0;
      int now = since();
      playback.ReadPosition(position, w.length);
      if (w.at100 < 0 && now >= 100) w.at100 = position;
      if (w.firstAt1000 < 0 && position >= 1000) w.firstAt1000 = now;
      if (!first) {
        w.back += position < lastPosition;
        w.worstStep = std::max(w.worstStep, (position - lastPosition) - (now - lastMs));
      }
      first = false;
      lastPosition = position;
      lastMs = now;
      w.last = position;
      std::this_thread::sleep_for(std::chrono::milliseconds(kTickMs));
    }
    w.tookMs = since();
    return w;
  }

  // `shownLength` is what the player shows as the length: the track's, or 0
  // for an address that does not tell it.
  void ExpectHeardWhole(const Watched& w, int lengthMs, int shownLength) {
    EXPECT_EQ(w.length, shownLength);
    EXPECT_GE(w.at100, 0);
    EXPECT_LT(w.at100, 300) << "100 ms after the start";
    EXPECT_EQ(w.back, 0);
    // A position read from the decoder runs hundreds of ms ahead in one
    // step; a loaded machine that holds the mixer up can make one of a few.
    EXPECT_LT(w.worstStep, 250) << "a step ahead of the clock";
    EXPECT_GE(w.last, lengthMs - kBlockMs - 2 * kTickMs) << "its end was heard";
    EXPECT_GE(w.tookMs, lengthMs - 20) << "cut short";
    EXPECT_LE(w.tookMs, lengthMs + 600);
  }
};

TEST_F(RouteTimingTest, FileCdMidiAndNetworkStreams) {
  LoopbackHttpServer server(ReadFile(Fixture("tone_440.wav")), LoopbackHttpServer::Mode::kWhole);
  struct Case {
    std::string path;
    double limitSeconds;
    int lengthMs, shownLength;
  } cases[] = {
      {Fixture("tone_440.wav"), 8, 4000, 4000},
      {Fixture("disc.cue") + "/Track01.cda", 6, 2000, 2000},  // a track of a disc image
      {Fixture("three_seconds.mid"), 7, 3000, 3000},
      // A wave file read as it arrives has no length to show; it ends with its data.
      {server.Url("tone.wav"), 8, 4000, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    ExpectHeardWhole(Watch(c.path, c.limitSeconds), c.lengthMs, c.shownLength);
  }
}

// A module counts an order as a second: the position shows the
// order heard, which changes when its sound does, 1.92 s into this one, not
// when the decoder reaches it; the module ends after its four orders' sound.
TEST_F(RouteTimingTest, AModuleShowsTheOrderHeardAndPlaysToItsEnd) {
  Watched w = Watch(Fixture("orders.mod"), 12);
  EXPECT_EQ(w.length, 4000);
  EXPECT_EQ(w.at100, 0);
  EXPECT_EQ(w.back, 0);
  EXPECT_GE(w.firstAt1000, 1920 - kBlockMs);
  EXPECT_LE(w.firstAt1000, 1920 + kBlockMs + 2 * kTickMs + 200);
  EXPECT_EQ(w.last, 3000);
  EXPECT_GE(w.tookMs, 4 * 1920 - 20) << "cut short";
  EXPECT_LE(w.tookMs, 4 * 1920 + 600);
}

}  // namespace
}  // namespace qmb::test
