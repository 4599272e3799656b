#include "app/shutdown.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "app/player_core.h"
#include "app/type_list.h"

namespace qmb {
namespace {

std::vector<std::function<void()>>& ShutdownSteps() {
  static std::vector<std::function<void()>> steps;
  return steps;
}

std::vector<std::function<void(PlayerCore&)>>& SaveSteps() {
  static std::vector<std::function<void(PlayerCore&)>> steps;
  return steps;
}

}  // namespace

PlayerCore& ThePlayer() {
  static PlayerCore player;
  return player;
}

void SaveEverything(PlayerCore& player) {
  SaveSettings(player.settings, player.programFolder, player.panel, player.state);
  WriteTypeList(player.programFolder + kTypeListFileName, player.panel.fileTypes);
  for (auto& step : SaveSteps()) step(player);
}

void AddShutdownStep(std::function<void()> step) {
  ShutdownSteps().push_back(std::move(step));
}
void AddSaveStep(std::function<void(PlayerCore&)> step) {
  SaveSteps().push_back(std::move(step));
}

void Shutdown(bool save) {
  // Everything is saved before anything lets go, so the saved state is the
  // one the user left.
  if (save) SaveEverything(ThePlayer());
  for (auto& step : ShutdownSteps()) step();
  std::fflush(nullptr);
  // The process takes its windows with it; nothing is torn down one by one.
  std::_Exit(0);
}

}  // namespace qmb
