// The sound system's set-up against the engine on the null output: start,
// failure, the device list, "Restore Defaults" and "Reset Sound System".
#include "playback/sound_setup.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <tuple>

#include "core/control_panel_model.h"
#include "core/status_codes.h"
#include "playback/sound_engine.h"
#include "scripted_desktop.h"

namespace qmb {
namespace {

class SoundSetup : public ::testing::Test {
 protected:
  SoundSetup() {
    panel.outputDriver.Select(kOutputNoSound);
    panel.mixerRate.SetPosition(441);
  }
  ~SoundSetup() override { FSOUND_Close(); }
  test::ScriptedDesktop desktop;
  ControlPanelModel panel;
};

// The page lists its eight outputs and the chosen one's devices; the engine
// starts at the slider's rate, and a second start without a close fails as
// the engine says.
TEST_F(SoundSetup, ThePageAndAStartFollowTheControls) {
  EXPECT_EQ(panel.outputDriver.Items(),
            (std::vector<std::string>{"No Sound", "Windows Multimedia Driver", "DirectSound Driver",
                                      "AD3 Driver", "Linux OSS", "Linux ESD", "Linux ALSA",
                                      "ASIO Driver"}));
  EXPECT_EQ(std::tuple(panel.mixerRate.Minimum(), panel.mixerRate.Maximum()), std::tuple(110, 640));
  panel.outputDevice.Select(0);
  PrepareSoundSystemPage(panel);
  EXPECT_EQ(panel.outputDevice.Items(), std::vector<std::string>{"No Sound"});
  EXPECT_EQ(panel.outputDevice.Selection(), 0);
  panel.mixerRate.SetPosition(220);
  ASSERT_EQ(InitSoundSystem(panel), kOk);
  EXPECT_EQ(std::tuple(FSOUND_GetOutputRate(), FSOUND_GetOutput(), FSOUND_GetMixer()),
            std::tuple(22000, kOutputNoSound, kMixerQuality));
  EXPECT_EQ(InitSoundSystem(panel), kSoundInitFailed);
  // Another output chosen: the list starts at 0 and still shows the running
  // output's devices until the next start.
  panel.outputDriver.Select(kOutputAlsa);
  OutputDriverChanged(panel);
  EXPECT_EQ(panel.outputDevice.Items(), std::vector<std::string>{"No Sound"});
  EXPECT_EQ(panel.outputDevice.Selection(), 0);
  FillDeviceList(panel, 3);  // beyond the list: no selection
  EXPECT_EQ(panel.outputDevice.Selection(), -1);
}

TEST_F(SoundSetup, ResetStopsClosesWaitsAndStartsAgain) {
  panel.mixerRate.SetPosition(320);
  ASSERT_EQ(InitSoundSystem(panel), kOk);
  panel.mixerRate.SetPosition(480);
  int stops = 0;
  std::int64_t sleptBefore = desktop.upTimeMs;
  ResetSoundSystem(panel, [&] {
    ++stops;
    EXPECT_EQ(FSOUND_GetOutputRate(), 32000);  // the stop comes before the close
  });
  EXPECT_EQ(stops, 1);
  EXPECT_EQ(desktop.upTimeMs - sleptBefore, 1000);
  EXPECT_EQ(FSOUND_GetOutputRate(), 48000);
  EXPECT_TRUE(desktop.messages.empty());
  EXPECT_EQ(panel.outputDevice.Items(), std::vector<std::string>{"No Sound"});

  // "Restore Defaults" changes only the controls; a reset then starts 44 100 Hz
  // on the default output, device 0 (SDL's dummy driver stands for a sound card).
  ::setenv("SDL_AUDIODRIVER", "dummy", 1);
  RestoreSoundDefaults(panel);
  EXPECT_EQ(panel.mixerRate.Position(), 441);
  EXPECT_EQ(panel.outputDriver.Selection(), 2);
  EXPECT_EQ(panel.outputDevice.HeldSelection(), 0);
  EXPECT_EQ(FSOUND_GetOutputRate(), 48000);
  ResetSoundSystem(panel, {});
  EXPECT_EQ(FSOUND_GetOutput(), kOutputDirectSound);
  EXPECT_EQ(FSOUND_GetOutputRate(), 44100);
  EXPECT_TRUE(desktop.messages.empty());

  // A reset that cannot start the output (a driver SDL does not have: no
  // fallback to another) shows status 23 and goes on silent.
  ::setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
  ResetSoundSystem(panel, {});
  ::unsetenv("SDL_AUDIODRIVER");
  ASSERT_EQ(desktop.messages.size(), 1u);
  EXPECT_EQ(desktop.messages[0].text, "Error initializing the FMOD sound system engine.");
  EXPECT_EQ(FSOUND_GetOutputRate(), 0);
}

}  // namespace
}  // namespace qmb
