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
  // Where qmb.dat, QMB.typ and QMB.qpl are kept; empty for the program folder.
  std::string dataFolder;
  PlayerSettings settings{};
  ControlPanelModel panel;
  RunningState state;
};

PlayerCore& ThePlayer();

// The folder of the files the player writes: the program folder when the
// user may write there (a copied or built player), else
// $XDG_CONFIG_HOME/qumble-player/ (an installed one), created when missing.
// Ends in "/".
std::string ChooseDataFolder(const std::string& programFolder);
// The folder in use: dataFolder, or the program folder.
inline const std::string& DataFolder(const PlayerCore& player) {
  return player.dataFolder.empty() ? player.programFolder : player.dataFolder;
}

}  // namespace qmb
