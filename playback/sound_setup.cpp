#include "playback/sound_setup.h"

#include <string>
#include <vector>

#include "core/desktop.h"
#include "core/status_codes.h"
#include "core/text_util.h"
#include "playback/sound_engine.h"

namespace qmb {

namespace {
constexpr int kResetWaitMs = 1000;

int DeviceSelection(const ControlPanelModel& panel) {
  return panel.outputDevice.HeldSelection();
}
}  // namespace

int InitSoundSystem(ControlPanelModel& panel) {
  FSOUND_SetOutput(panel.outputDriver.Selection());
  FSOUND_SetBufferSize(kSoundBufferMs);
  FSOUND_SetMixer(kMixerQuality);
  FSOUND_SetDriver(DeviceSelection(panel));
  unsigned flags = kInitUseDefaultMidiSynth | kInitEnableSystemChannelFx | kInitAccurateVuLevels;
  int ok = FSOUND_Init(panel.mixerRate.Position() * 100, kSoundChannels, flags);
  return ok ? kOk : kSoundInitFailed;
}

void FillDeviceList(ControlPanelModel& panel, int selection) {
  std::vector<std::string> names;
  int count = FSOUND_GetNumDrivers();
  for (int i = 0; i < count; ++i) {
    const char* name = FSOUND_GetDriverName(i);
    names.push_back(CutUtf8Copy(name ? name : "", kDeviceNameBytes));
  }
  panel.outputDevice.SetItems(std::move(names));
  panel.outputDevice.Select(selection);
}

void PrepareSoundSystemPage(ControlPanelModel& panel) {
  FSOUND_SetOutput(panel.outputDriver.Selection());
  FillDeviceList(panel, DeviceSelection(panel));
  FSOUND_SetDriver(DeviceSelection(panel));
}

void RestoreSoundDefaults(ControlPanelModel& panel) {
  panel.mixerRate.SetPosition(kDefaultMixerRate);
  panel.outputDriver.Select(kDefaultOutput);
  panel.outputDevice.Select(kDefaultDevice);
}

void ResetSoundSystem(ControlPanelModel& panel, const std::function<void()>& stopWithCycleReset) {
  if (stopWithCycleReset) stopWithCycleReset();
  FSOUND_Close();
  TheDesktop().SleepMs(kResetWaitMs);
  ShowErrorCode(InitSoundSystem(panel));
  FillDeviceList(panel, DeviceSelection(panel));
}

void OutputDriverChanged(ControlPanelModel& panel) {
  FillDeviceList(panel, 0);
}

}  // namespace qmb
