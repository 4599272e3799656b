// The plug-ins we ship, loaded by the player from a program folder: tags of
// a real MP3 into its title, and a FLAC admitted and played through the
// engine with the equalizer acting on it.
#include <gtest/gtest.h>

#include <cmath>

#include "playlist/entry_title.h"
#include "plugin_rig.h"
#include "vis/visual_capture.h"

namespace qmb::test {
namespace {

class BundledPlugins : public PluginRig {
 protected:
  void SetUp() override {
    for (const char* file : {"taglib_tags.qfp", "ffmpeg_input.qip"}) {
      std::filesystem::copy_file(std::string(QMB_PROGRAM_FOLDER "/Plugins/") + file,
                                 folder.Path() + "Plugins/" + file);
    }
    Load();
    ASSERT_TRUE(desktop.messages.empty()) << desktop.messages.front().text;
  }

  // The loudness of the newest mixed block.
  double MixedRms() {
    std::vector<std::int16_t> block;
    double rms = -1;
    TickUntil(
        [&] {
          if (!TheVisualCapture().CopyBlock(block) || block.empty()) return false;
          double sum = 0;
          for (std::int16_t s : block) sum += static_cast<double>(s) * s;
          rms = std::sqrt(sum / static_cast<double>(block.size()));
          return true;
        },
        5);
    return rms;
  }
};

TEST_F(BundledPlugins, ATaggedMp3ShowsArtistAndTitleAfterPlayAndAfterAnalysis) {
  Add(Fixture("tagged.mp3"));
  Add(Fixture("tagged.mp3"));
  EXPECT_EQ(Field(0, kTitle), "tagged");
  AnalyzeAllFiles(store.list, manager, panel.tagFormat.Text());
  EXPECT_EQ(Field(0, kTitle), "Test Artist - Test Title");
  EXPECT_EQ(Field(1, kTitle), "Test Artist - Test Title");

  // Playing formats the title from the tags as well.
  store.list.SetField(1, kTitle, "tagged");
  PlaybackParts parts{store, cue, panel, running, checks, displays, equalizer, manager};
  Playback tagged(parts);
  tagged.inputRoute = &route;
  store.list.SetCursor(1);
  tagged.PlayEntry(Restart::No, kCursorRow, RepeatReset::Yes);
  EXPECT_EQ(Field(1, kTitle), "Test Artist - Test Title");
  tagged.StopPlayback(CycleReset::No);
}

TEST_F(BundledPlugins, AFlacIsAdmittedAndPlaysWithTheEqualizerActing) {
  ASSERT_TRUE(panel.skipUnsupported.Checked());
  Add(Fixture("tone_440.flac"));
  store.list.SetCursor(0);
  playback.PlayEntry(Restart::No, kCursorRow, RepeatReset::Yes);
  ASSERT_EQ(playback.st.state, kPlaying);
  EXPECT_EQ(playback.st.usingPlugin, 1);
  EXPECT_NE(playback.st.stream, nullptr);
  EXPECT_NEAR(playback.st.lengthSeconds, 4.0f, 0.05f);
  double flat = MixedRms();
  ASSERT_GT(flat, 1000);
  for (int band = 0; band < 10; ++band) playback.SetSliderApplied(band, 0.0f);
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  double cut = MixedRms();
  EXPECT_LT(cut, flat * 0.5) << "flat " << flat << ", cut " << cut;
  // The position comes from the plug-in and moves on.
  int position = 0;
  int length = 0;
  ASSERT_TRUE(TickUntil(
      [&] {
        playback.ReadPosition(position, length);
        return position > 300;
      },
      5));
  EXPECT_NEAR(length, 4000, 50);
}

}  // namespace
}  // namespace qmb::test
