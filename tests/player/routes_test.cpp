// Opening entries by their routes, the statistics a play writes, and the
// now-playing text.
#include <filesystem>
#include <fstream>

#include "loopback_http_server.h"
#include "player_rig.h"
#include "temp_folder.h"
#include "vis/visual_capture.h"

namespace qmb::test {
namespace {

namespace fs = std::filesystem;

class RoutesTest : public PlayerRig {};

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

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
  EXPECT_GT(playback.st.lengthSeconds, 1.0f) << "an order counts as a second";
  EXPECT_EQ(playback.st.lengthSeconds, static_cast<int>(playback.st.lengthSeconds));
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

}  // namespace
}  // namespace qmb::test
