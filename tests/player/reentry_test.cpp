// Long operations that keep the windows alive while they run, entered again
// from the events they let through.
#include <map>
#include <tuple>

#include "core/status_codes.h"
#include "loopback_http_server.h"
#include "player_rig.h"
#include "playlist/entry_title.h"

namespace qmb::test {
namespace {

using ReentryTest = PlayerRig;

// A double click on another entry while an address opens: that entry is the
// one play, counted once; the address is dropped without a word.
TEST_F(ReentryTest, APlayStartedWhileAnAddressOpensIsTheOnlyPlay) {
  LoopbackHttpServer server("", LoopbackHttpServer::Mode::kSilent);
  Add(server.Url());
  Add(Short("b.mp3"));
  const std::string unplayed = Field(0, kTimesPlayed);
  OnEvent(5, [&] {
    store.list.SetCursor(1);
    playback.PlayEntry(Restart::Yes, kCursorRow, RepeatReset::Yes);
  });
  store.list.SetCursor(0);
  playback.PlayEntry(Restart::No, kCursorRow, RepeatReset::Yes);
  desktop.onPendingEvents = nullptr;
  EXPECT_EQ(std::tuple(playback.st.state, playback.st.currentIndex, Field(1, kTimesPlayed),
                       Field(0, kTimesPlayed), playback.historyCount, playback.history[0]),
            std::tuple(kPlaying, 1, "1", unplayed, 1, 1));
  EXPECT_TRUE(desktop.messages.empty());
  EXPECT_TRUE(TickUntil([&] { return FSOUND_Stream_GetTime(playback.st.stream) > 100; }));
}

// Cue rows b, address, c: while the address opens, b is double clicked in the
// cue list. b plays and leaves the queue, the address leaves it too, c stays.
TEST_F(ReentryTest, ACueRowPlayedWhileAnAddressOpensLeavesTheRestOfTheQueue) {
  LoopbackHttpServer server("", LoopbackHttpServer::Mode::kSilent);
  Add(Short("b.mp3"));
  Add(server.Url());
  Add(Short("c.ogg"));
  for (int row = 0; row < 3; ++row) Cue(row);
  OnEvent(5, [&] { playback.PlayCueHead(0); });
  playback.PlayCueHead(1);
  desktop.onPendingEvents = nullptr;
  EXPECT_EQ(playback.st.state, kPlaying);
  ASSERT_EQ(cue.Count(), 1);
  EXPECT_NE(cue.Field(0, 1).find("c.ogg"), std::string::npos) << cue.Field(0, 1);
}

// Tags counted per path: a second analysis asked for between rows is
// refused, so no file is read twice.
TEST_F(ReentryTest, AnAnalysisAskedForDuringAnotherIsRefused) {
  struct CountingTags : TagSource {
    std::map<std::string, int> reads;
    std::optional<TagRecord> ReadTags(const std::string& path) override {
      ++reads[path];
      return std::nullopt;
    }
  } tags;
  for (const char* name : {"a.wav", "b.mp3", "c.ogg"}) Add(Short(name));
  int nested = 0;
  OnEvent(1, [&] { nested = AnalyzeAllFiles(store.list, tags, "%1"); });
  EXPECT_EQ(AnalyzeAllFiles(store.list, tags, "%1"), kOk);
  desktop.onPendingEvents = nullptr;
  EXPECT_EQ(nested, -1);
  ASSERT_EQ(tags.reads.size(), 3u);
  for (auto& [path, count] : tags.reads) EXPECT_EQ(count, 1) << path;
  EXPECT_EQ(AnalyzeAllFiles(store.list, tags, "%1"), kOk) << "the guard is released";
}

}  // namespace
}  // namespace qmb::test
