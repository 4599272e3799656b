// Damaged media as a user meets them: every route's files cut short, garbled,
// empty or misnamed (tests/fixtures/make_damaged_media) go through the
// player's own opening, tag reading and end of track with the bundled
// plug-ins loaded. Each plays to its end or fails with a status.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <filesystem>

#include "core/status_codes.h"
#include "playlist/entry_title.h"
#include "plugin_rig.h"

namespace qmb::test {
namespace {

// However a file is damaged, it ends within this: a MIDI file played from
// its start (its silence limit holds it), anything else once sought to just
// before the end it claims (a module's last order).
constexpr double kEndDeadlineSeconds = 30;

std::vector<std::string> DamagedFiles() {
  std::vector<std::string> names;
  std::error_code missing;  // no folder: no cases, which the suite reports
  for (const auto& entry : std::filesystem::directory_iterator(QMB_DAMAGED_DIR, missing)) {
    std::string name = entry.path().filename().string();
    if (name != "stamp" && entry.path().extension() != ".bin") names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  return names;
}

class DamagedMedia : public PluginRig, public ::testing::WithParamInterface<std::string> {
 protected:
  void SetUp() override {
    LoadBundled();
    if (HasFatalFailure()) return;
    // A track that ends stops the player instead of starting the list again.
    panel.autoAdvance.SetChecked(false);
    player.inputRoute = &route;
    ticked = &player;
  }
  void TearDown() override {
    player.StopPlayback(CycleReset::No);
    PluginRig::TearDown();
  }
  // Reads tags through the bundled plug-in as playing does.
  Playback player{PlaybackParts{store, cue, panel, running, checks, displays, equalizer, manager}};
};

TEST_P(DamagedMedia, PlaysToItsEndOrFailsWithAStatus) {
  std::string name = GetParam();
  std::string path = std::string(QMB_DAMAGED_DIR "/") + name;
  if (name.ends_with(".cue")) path += "/Track01.cda";
  // Tags as "Analyze" and playing read them; the entry may be refused as unsupported.
  if (AddPlaylistEntry(store, path) == 1) {
    int tags = FormatEntryTitle(store.list, manager, panel.tagFormat.Text(), path, 0);
    EXPECT_TRUE(tags == kOk || tags == kNoFilePlugin) << tags;
  }

  int status = player.PlayPath(path);
  float length = player.st.lengthSeconds;
  RecordProperty("play_status", status);
  if (status != kOk) {
    EXPECT_NE(player.st.state, kPlaying);
    return;
  }
  ASSERT_EQ(player.st.state, kPlaying);
  EXPECT_TRUE(std::isfinite(length) && length >= 0) << length;
  bool midi = name.ends_with(".mid") || name.ends_with(".rmi");
  auto stopped = [&] { return player.st.state != kPlaying; };
  if (!midi && !TickUntil(stopped, 0.3)) player.SeekTo(std::max(0.0f, length - 1));
  EXPECT_TRUE(TickUntil(stopped, kEndDeadlineSeconds))
      << "still playing after " << kEndDeadlineSeconds << " s";
}

INSTANTIATE_TEST_SUITE_P(EveryRoute, DamagedMedia, ::testing::ValuesIn(DamagedFiles()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                           std::string name = info.param;
                           for (char& c : name)
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           return name;
                         });

}  // namespace
}  // namespace qmb::test
