#include "core/control_panel_model.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "core/text_util.h"

namespace qmb {

const std::array<const char*, 8> kOutputNames = {"No Sound",           "Windows Multimedia Driver",
                                                 "DirectSound Driver", "AD3 Driver",
                                                 "Linux OSS",          "Linux ESD",
                                                 "Linux ALSA",         "ASIO Driver"};
const std::array<const char*, 2> kBatteryStateNames = {"Low", "Critical"};
const std::array<const char*, 4> kBatteryActionNames = {"Do Nothing", "Shutdown QMB",
                                                        "Save Settings", "Stop playback"};

ControlPanelModel::ControlPanelModel() {
  outputDriver.SetItems({kOutputNames.begin(), kOutputNames.end()});
  for (auto& combo : batteryState)
    combo.SetItems({kBatteryStateNames.begin(), kBatteryStateNames.end()});
  for (auto& combo : batteryAction)
    combo.SetItems({kBatteryActionNames.begin(), kBatteryActionNames.end()});
}

int RepeatCountValue(const std::string& text) {
  // The leading decimal number counts ("2.9x" is 2.9); letters give nothing.
  std::string_view rest = TrimSpace(text);
  bool negative = false;
  if (!rest.empty() && (rest[0] == '+' || rest[0] == '-')) {
    negative = rest[0] == '-';
    rest.remove_prefix(1);
  }
  if (rest.empty() || !((rest[0] >= '0' && rest[0] <= '9') || rest[0] == '.')) return 0;
  double value = 0;
  auto [end, error] = std::from_chars(rest.data(), rest.data() + rest.size(), value);
  if (error != std::errc() || !std::isfinite(value)) return 0;
  if (negative) value = -value;
  if (value >= static_cast<double>(std::numeric_limits<int>::max()))
    return std::numeric_limits<int>::max();
  if (value <= static_cast<double>(std::numeric_limits<int>::min()))
    return std::numeric_limits<int>::min();
  return static_cast<int>(value);
}

}  // namespace qmb
