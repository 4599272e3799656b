// The player's records as start-up leaves them: default settings applied to
// the controls and the running state, and the sliders' ranges set.
#pragma once

#include <string>

#include "core/player_core.h"

namespace qmb::test {

inline void ApplyStartSettings(const PlayerSettings& settings, ControlPanelModel& panel,
                               RunningState& state) {
  ApplySettings(settings, panel, state);
  for (int i = 0; i < 10; ++i) state.sliders[i].maximum = 30.0f;
  state.sliders[kVolumeSlider].maximum = 255.0f;
  state.sliders[kBalanceSlider].maximum = 255.0f;
}

inline void SetUpPlayerCore(PlayerCore& core, const std::string& programFolder) {
  core.programFolder = programFolder;
  core.settings = DefaultSettings(programFolder);
  ApplyStartSettings(core.settings, core.panel, core.state);
}

}  // namespace qmb::test
