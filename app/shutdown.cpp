#include "app/shutdown.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "core/player_core.h"
#include "core/type_list.h"

namespace qmb {
namespace {

template <class F>
std::vector<F>& Steps() {
  static std::vector<F> steps;
  return steps;
}

struct BeforeSaving {
  std::function<void()> step;
};
struct AfterSaving {
  std::function<void()> step;
};
struct Gather {
  std::function<void(PlayerCore&)> step;
};
struct Save {
  std::function<void(PlayerCore&)> step;
};

enum PowerAction { kDoNothing = 0, kShutdownQmb = 1, kSaveSettings = 2, kStopPlayback = 3 };

bool savingAllowed = true;

}  // namespace

void AllowSaving(bool allowed) {
  savingAllowed = allowed;
}

void AddGatherStep(std::function<void(PlayerCore&)> step) {
  Steps<Gather>().push_back({std::move(step)});
}
void AddSaveStep(std::function<void(PlayerCore&)> step) {
  Steps<Save>().push_back({std::move(step)});
}
void AddShutdownStep(std::function<void()> step, bool beforeSaving) {
  if (beforeSaving) {
    Steps<BeforeSaving>().push_back({std::move(step)});
  } else {
    Steps<AfterSaving>().push_back({std::move(step)});
  }
}

void SaveSettingsNow(PlayerCore& player) {
  for (auto& gather : Steps<Gather>()) gather.step(player);
  SaveSettings(player.settings, DataFolder(player), player.panel, player.state);
}

void SaveEverything(PlayerCore& player) {
  if (!savingAllowed) return;
  SaveSettingsNow(player);
  WriteTypeList(DataFolder(player) + kTypeListFileName, player.panel.fileTypes);
  for (auto& save : Steps<Save>()) save.step(player);
}

void Shutdown(bool save) {
  for (auto& s : Steps<BeforeSaving>()) s.step();
  // Everything is saved before playback stops, so the saved state is the
  // one the user left.
  if (save) SaveEverything(ThePlayer());
  for (auto& s : Steps<AfterSaving>()) s.step();
  std::fflush(nullptr);
  // The process takes its windows with it; nothing is torn down one by one.
  std::_Exit(0);
}

void ApplyPowerRules(int state, PlayerCore& player, const PowerActions& actions) {
  for (int rule = 0; rule < 2; ++rule) {
    if (player.panel.batteryState[rule].Selection() != state) continue;
    switch (player.panel.batteryAction[rule].Selection()) {
      case kShutdownQmb:
        Shutdown(true);
      case kSaveSettings:
        SaveSettingsNow(player);
        break;
      case kStopPlayback:
        if (actions.stopPlayback) actions.stopPlayback();
        break;
      default:
        break;
    }
  }
}

}  // namespace qmb
