// The equalizer as playback applies it: band sliders change what is heard,
// "Disable equalizer" takes the effects and the DSP unit away.
#include <cmath>

#include "player_rig.h"
#include "vis/visual_capture.h"

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
  ASSERT_EQ(playback.PlayPath(Fixture("tone_1000_22050_mono.wav"), {.track = false}), 1);
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
  ASSERT_EQ(playback.PlayPath(Fixture("tone_440.wav"), {.track = false}), 1);
  EXPECT_EQ(equalizer.DspUnitHandle(), nullptr);
  TheVisualCapture().Clear();
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  EXPECT_FALSE(TheVisualCapture().HasBlock());
}

TEST_F(EqualizerTest, StoppingSwitchesTheCaptureOff) {
  ASSERT_EQ(playback.PlayPath(Fixture("tone_440.wav"), {.track = false}), 1);
  std::this_thread::sleep_for(std::chrono::milliseconds(150));
  EXPECT_TRUE(TheVisualCapture().HasBlock());
  playback.StopPlayback(CycleReset::No);
  EXPECT_FALSE(FSOUND_DSP_GetActive(equalizer.DspUnitHandle()));
  std::this_thread::sleep_for(std::chrono::milliseconds(150));
  EXPECT_FALSE(TheVisualCapture().HasBlock());
}

}  // namespace
}  // namespace qmb::test
