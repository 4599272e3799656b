#include "skin/skin_selection.h"

#include <filesystem>
#include <system_error>

#include "core/control_models.h"
#include "core/desktop.h"
#include "core/profile_file.h"
#include "core/random_generator.h"
#include "core/running_state.h"
#include "skin/skin_definition.h"

namespace qmb {

std::vector<SkinRow> EnumerateSkins(const std::string& programFolder) {
  namespace fs = std::filesystem;
  std::vector<SkinRow> rows;
  std::string skins = programFolder + "Skins/";
  std::error_code error;
  fs::directory_iterator it(skins, error), end;
  for (; !error && it != end; it.increment(error)) {
    std::string name = it->path().filename().string();
    if (name == "." || name == "..") continue;
    ProfileFile ini = ProfileFile::Load(skins + name + "/skin.ini");
    rows.push_back({ini.GetString("Info", "Name", {}, kSkinValueBytes), skins + name});
  }
  return rows;
}

int NextSkinStage(int activeStage, int requested, int numStages) {
  int stage = requested < 0 ? activeStage + 1 : requested;
  // A stage stored by another skin may lie past this one's last.
  if (stage < 0 || stage >= numStages) stage = 0;
  return stage;
}

std::string StageRegionPath(const std::string& skinFolder, int stage) {
  return skinFolder + "region" + std::to_string(stage) + ".txt";
}

int ToggleInversion(std::uint8_t disableInverse, RunningState& state, CheckModel& invertBox) {
  if (disableInverse == 1) return kInversionRefused;
  bool invert = state.rasterOp == kSourceCopy;
  state.rasterOp = invert ? kInvertedSourceCopy : kSourceCopy;
  invertBox.SetChecked(invert);
  return 1;
}

int RandomSkinRow(std::size_t rowCount) {
  if (rowCount == 0) return -1;
  RandomSeed(TheDesktop().UpTimeMs() / 1000);
  auto row = static_cast<std::size_t>(RandomNumber() * static_cast<double>(rowCount));
  return static_cast<int>(row < rowCount ? row : rowCount - 1);
}

}  // namespace qmb
