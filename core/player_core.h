// The player's records that live for the whole run: where it is installed,
// the settings image, the control models and the running state.
#pragma once

#include <string>

#include "core/control_panel_model.h"
#include "core/player_settings.h"
#include "core/running_state.h"

namespace qmb {

struct PlayerCore {
  std::string programFolder;  // ends in "/"
  PlayerSettings settings{};
  ControlPanelModel panel;
  RunningState state;
};

PlayerCore& ThePlayer();

}  // namespace qmb
