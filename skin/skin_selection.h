// Which skin is shown: the installed skins' list, the stages of the main
// window, the inverted drawing mode and the random pick on play. No windows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/status_codes.h"

namespace qmb {

class CheckModel;
struct RunningState;

// One row of the control panel's skin list.
struct SkinRow {
  std::string description;  // [Info] Name, empty when there is none
  std::string filename;     // the folder, without a trailing "/"
};

// Every name under programFolder + "Skins/" but "." and "..", files
// included, in the order the file system gives them.
std::vector<SkinRow> EnumerateSkins(const std::string& programFolder);

// The stage SetSkinStage selects: a negative request advances; anything at
// or past numStages wraps to 0.
int NextSkinStage(int activeStage, int requested, int numStages);
// skinFolder + "region" + stage + ".txt"; skinFolder ends in "/".
std::string StageRegionPath(const std::string& skinFolder, int stage);

// Switches between normal and inverted drawing and ticks "Invert skin" to
// match; 1, or kInversionRefused when the skin has DisableInverse=1.
[[nodiscard]] int ToggleInversion(std::uint8_t disableInverse, RunningState& state,
                                  CheckModel& invertBox);

// The row "Random skin on play" loads, from a generator reseeded from the
// clock; -1 for an empty list.
int RandomSkinRow(std::size_t rowCount);

}  // namespace qmb
