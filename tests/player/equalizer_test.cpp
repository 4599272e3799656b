// The equalizer as playback applies it: band sliders change what is heard,
// "Disable equalizer" takes the effects and the DSP unit away.
#include <cmath>

#include "player_rig.h"
#include "vis/visual_capture.h"
#include "vis/visual_frame.h"

namespace qmb::test {
namespace {

class EqualizerTest : public PlayerRig {
 protected:
  // The level of the newest mixed blocks, in dB relative to full scale.
  double LevelDb() {
    std::vector<std::int16_t> block;
    double sum = 0;
    std::size_t count = 0;
    for (int i = 0; i < 6; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(60));
      if (!TheVisualCapture().CopyBlock(block)) continue;
      for (auto s : block) sum += static_cast<double>(s) * s;
      count += block.size();
    }
    if (count == 0) return -200;
    return 10 * std::log10(sum / count / (32768.0 * 32768.0) + 1e-20);
  }
};

TEST_F(EqualizerTest, ABandSliderRetunesItsBandAtOnce) {
  ASSERT_EQ(playback.PlayPath(Fixture("tone_1000_22050_mono.wav"), 0, 0, 0), 1);
  ASSERT_NE(equalizer.DspUnitHandle(), nullptr);
  EXPECT_TRUE(FSOUND_DSP_GetActive(equalizer.DspUnitHandle()));
  double flat = LevelDb();
  EXPECT_GT(flat, -40);
  playback.SetSliderApplied(4, 0.0f);  // 1000 Hz band to -15 dB
  TheVisualCapture().Clear();
  std::this_thread::sleep_for(std::chrono::milliseconds(250));
  EXPECT_NEAR(LevelDb() - flat, -15.0, 1.0);

  equalizer.DisableEqualizer();
  std::this_thread::sleep_for(std::chrono::milliseconds(250));
  EXPECT_NEAR(LevelDb() - flat, 0.0, 0.5) << "no effect left on the mix";
}

TEST_F(EqualizerTest, WithTheEqualizerDisabledAnEntryGetsNoDspUnit) {
  panel.equalizerDisabled.SetChecked(true);
  ASSERT_EQ(playback.PlayPath(Fixture("tone_440.wav"), 0, 0, 0), 1);
  EXPECT_EQ(equalizer.DspUnitHandle(), nullptr);
  TheVisualCapture().Clear();
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  EXPECT_FALSE(TheVisualCapture().HasBlock());
}

TEST_F(EqualizerTest, StoppingSwitchesTheCaptureOff) {
  ASSERT_EQ(playback.PlayPath(Fixture("tone_440.wav"), 0, 0, 0), 1);
  std::this_thread::sleep_for(std::chrono::milliseconds(150));
  EXPECT_TRUE(TheVisualCapture().HasBlock());
  playback.StopPlayback(0);
  EXPECT_FALSE(FSOUND_DSP_GetActive(equalizer.DspUnitHandle()));
  std::this_thread::sleep_for(std::chrono::milliseconds(150));
  EXPECT_FALSE(TheVisualCapture().HasBlock());
}

// The Add Files window's preview plays with the mix captured, yet the visual
// timer draws nothing for it.
TEST_F(EqualizerTest, APreviewIsCapturedButNeverDrawn) {
  TheVisualCapture().Clear();
  ASSERT_EQ(playback.PlayPath(Fixture("tone_440.wav"), 0, 0, 0), 1);
  auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!TheVisualCapture().HasBlock() && std::chrono::steady_clock::now() < until)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  ASSERT_TRUE(TheVisualCapture().HasBlock());
  EXPECT_EQ(playback.st.trackActive, 0);
  EXPECT_FALSE(PlanVisualTick(playback.st.trackActive == 1, true, true, false, true).run);
}

}  // namespace
}  // namespace qmb::test
