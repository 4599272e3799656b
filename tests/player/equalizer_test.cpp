// The equalizer as playback applies it: band sliders change what is heard,
// "Disable equalizer" takes the effects and the DSP unit away.
#include "player_rig.h"
#include "vis/visual_capture.h"

namespace qmb::test {
namespace {

class EqualizerTest : public PlayerRig {
 protected:
  MixProbe probe;
};

TEST_F(EqualizerTest, ABandSliderRetunesItsBandAtOnce) {
  ASSERT_EQ(playback.PlayPath(Fixture("tone_1000_22050_mono.wav"), {.track = false}), 1);
  ASSERT_NE(equalizer.DspUnitHandle(), nullptr);
  EXPECT_TRUE(FSOUND_DSP_GetActive(equalizer.DspUnitHandle()));
  ASSERT_TRUE(probe.Wait(4));  // past the start
  double flat = probe.LevelDb();
  EXPECT_GT(flat, -40);
  playback.SetSliderApplied(4, 0.0f);  // 1000 Hz band to -15 dB
  ASSERT_TRUE(probe.Wait(10));         // past the change's ramp
  EXPECT_NEAR(probe.LevelDb() - flat, -15.0, 1.0);

  equalizer.DisableEqualizer();
  ASSERT_TRUE(probe.Wait(10));
  EXPECT_NEAR(probe.LevelDb() - flat, 0.0, 0.5) << "no effect left on the mix";
}

TEST_F(EqualizerTest, WithoutTheEqualizerAnEntryGetsNoCaptureAndStoppingSwitchesItOff) {
  panel.equalizerDisabled.SetChecked(true);
  ASSERT_EQ(playback.PlayPath(Fixture("tone_440.wav"), {.track = false}), 1);
  EXPECT_EQ(equalizer.DspUnitHandle(), nullptr);
  TheVisualCapture().Clear();
  ASSERT_TRUE(probe.Wait(8));
  EXPECT_FALSE(TheVisualCapture().HasBlock());

  panel.equalizerDisabled.SetChecked(false);
  ASSERT_EQ(playback.PlayPath(Fixture("tone_440.wav"), {.track = false}), 1);
  EXPECT_TRUE(TickUntil([] { return TheVisualCapture().HasBlock(); }));
  playback.StopPlayback(CycleReset::No);
  EXPECT_FALSE(FSOUND_DSP_GetActive(equalizer.DspUnitHandle()));
  EXPECT_FALSE(TheVisualCapture().HasBlock());
}

}  // namespace
}  // namespace qmb::test
