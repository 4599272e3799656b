// The player's records as start-up leaves them: default settings applied to
// the controls and the running state, and the sliders' ranges set.
#pragma once

#include <string>

#include "core/player_core.h"

namespace qmb::test {

inline void SetUpPlayerCore(PlayerCore& core, const std::string& programFolder) {
  core.programFolder = programFolder;
  core.settings = DefaultSettings(programFolder);
  ApplySettings(core.settings, core.panel, core.state);
  for (int i = 0; i < 10; ++i) core.state.sliders[i].maximum = 30.0f;
  core.state.sliders[kVolumeSlider].maximum = 255.0f;
  core.state.sliders[kBalanceSlider].maximum = 255.0f;
}

}  // namespace qmb::test
