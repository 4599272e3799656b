// Fuzzes the settings image (qmb.dat): any 0 to 10,000 bytes load, reach the
// controls and come back as an image that survives the same trip unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "core/control_panel_model.h"
#include "core/player_settings.h"
#include "core/running_state.h"
#include "fuzz_file.h"

namespace {

qmb::PlayerSettings Trip(const qmb::PlayerSettings& loaded) {
  qmb::ControlPanelModel panel;
  qmb::RunningState running;
  qmb::ApplySettings(loaded, panel, running);
  qmb::PlayerSettings gathered = loaded;
  qmb::GatherSettings(gathered, panel, running);
  return gathered;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > 10000) return -1;
  qmb::fuzz::WriteFuzzFile(qmb::kSettingsFileName, data, size);
  qmb::PlayerSettings loaded = qmb::ReadSettings(qmb::fuzz::FuzzFolder());
  qmb::PlayerSettings once = Trip(loaded);
  qmb::PlayerSettings twice = Trip(once);
  if (std::memcmp(&once, &twice, sizeof once) != 0) std::abort();
  return 0;
}
