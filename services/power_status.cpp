#include "services/power_status.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <vector>

#include "core/text_util.h"
#include "tags/number_text.h"

namespace qmb {

const char* const kBatteryLowText = "Your system battery is low.";
const char* const kBatteryCriticalText = "WARNING: Your system battery is critical.";

namespace {

std::string ReadWord(const std::filesystem::path& file) {
  std::ifstream in(file);
  std::string word;
  std::getline(in, word);
  return std::string(TrimSpace(word));
}

std::optional<int> ReadNumber(const std::filesystem::path& file) {
  std::string text = ReadWord(file);
  if (text.empty()) return std::nullopt;
  char* end = nullptr;
  long value = std::strtol(text.c_str(), &end, 10);
  if (*end != '\0') return std::nullopt;
  return static_cast<int>(std::clamp(value, 0L, 100L));
}

}  // namespace

int BatteryFlag(std::optional<int> percent, const std::string& level, bool charging) {
  int flag = 0;
  if (percent) {
    if (*percent < 5) {
      flag = kBatteryCritical;
    } else if (*percent < 33) {
      flag = kBatteryLow;
    } else if (*percent > 66) {
      flag = kBatteryHigh;
    }
  } else if (level == "Critical") {
    flag = kBatteryCritical;
  } else if (level == "Low") {
    flag = kBatteryLow;
  } else if (level == "High" || level == "Full") {
    flag = kBatteryHigh;
  } else if (level != "Normal") {
    return kBatteryUnknown;
  }
  return flag | (charging ? kBatteryCharging : 0);
}

PowerStatus ReadPowerSupplyFolder(const std::string& folder) {
  namespace fs = std::filesystem;
  PowerStatus status;
  std::error_code error;
  fs::directory_iterator it(folder, error), end;
  if (error) return status;
  int batteries = 0, percentSum = 0, percents = 0;
  bool charging = false, discharging = false, mainsKnown = false, mainsOnline = false;
  std::string level;
  for (; !error && it != end; it.increment(error)) {
    const fs::path& supply = it->path();
    std::string type = ReadWord(supply / "type");
    if (type == "Battery") {
      // A mouse's or headset's battery is no power source of this machine.
      if (ReadWord(supply / "scope") == "Device") continue;
      if (ReadWord(supply / "present") == "0") continue;
      ++batteries;
      if (std::optional<int> p = ReadNumber(supply / "capacity")) {
        percentSum += *p;
        ++percents;
      }
      std::string state = ReadWord(supply / "status");
      charging = charging || state == "Charging";
      discharging = discharging || state == "Discharging";
      if (level.empty()) level = ReadWord(supply / "capacity_level");
    } else if (type == "Mains" || type == "USB" || type == "UPS") {
      mainsKnown = true;
      mainsOnline = mainsOnline || ReadWord(supply / "online") == "1";
    }
  }
  if (batteries == 0) {
    status.batteryFlag = kNoBattery;
    status.lineStatus = mainsKnown && !mainsOnline ? kLineUnknown : kOnMains;
    return status;
  }
  std::optional<int> percent;
  if (percents > 0) percent = percentSum / percents;
  status.batteryFlag = BatteryFlag(percent, level, charging);
  status.lifePercent = percent.value_or(255);
  if (mainsKnown) {
    status.lineStatus = mainsOnline ? kOnMains : kOnBattery;
  } else if (discharging || charging) {
    status.lineStatus = discharging ? kOnBattery : kOnMains;
  }
  return status;
}

PowerStatus FromUPower(const UPowerDevice& device) {
  PowerStatus status;
  status.lineStatus = device.onBattery ? kOnBattery : kOnMains;
  if (!device.present || device.type != 2) {
    status.batteryFlag = kNoBattery;
    return status;
  }
  int percent = static_cast<int>(std::clamp(std::trunc(device.percentage), 0.0, 100.0));
  bool charging = device.state == 1 || device.state == 5;
  int flag = BatteryFlag(percent, {}, charging);
  // UPower's own warning, which follows the desktop's thresholds, wins.
  if (device.warningLevel >= 4) {
    flag = kBatteryCritical | (charging ? kBatteryCharging : 0);
  } else if (device.warningLevel == 3 && !(flag & kBatteryCritical)) {
    flag = kBatteryLow | (charging ? kBatteryCharging : 0);
  }
  status.batteryFlag = flag;
  status.lifePercent = percent;
  return status;
}

PowerAlarm ShowPowerStatus(const PowerStatus& status, EditModel& batteryCaption,
                           EditModel& powerCaption) {
  const int flag = status.batteryFlag;
  const std::string percent = NumberText(status.lifePercent) + "%";
  PowerAlarm alarm = PowerAlarm::kNone;
  if (flag == kBatteryUnknown) {
    batteryCaption.SetText("Battery Status: Unknown");
  } else if (flag == kNoBattery) {
    batteryCaption.SetText("Battery Status: No battery installed");
  } else if (flag >= kBatteryCharging) {
    batteryCaption.SetText("Battery Status: Charging... " + percent);
  } else if (flag >= kBatteryCritical) {
    batteryCaption.SetText("Battery Status: Critical " + percent);
    alarm = PowerAlarm::kCritical;
  } else if (flag >= kBatteryLow) {
    batteryCaption.SetText("Battery Status: Low " + percent);
    alarm = PowerAlarm::kLow;
  } else if (flag == kBatteryHigh) {
    batteryCaption.SetText("Battery Status: Charged " + percent);
  }
  switch (status.lineStatus) {
    case kOnBattery:
      powerCaption.SetText("Power Status: Using battery power");
      break;
    case kOnMains:
      powerCaption.SetText("Power Status: Using AC power");
      break;
    case kLineUnknown:
      powerCaption.SetText("Power Status: Using fusion power or something");
      break;
    default:
      break;
  }
  return alarm;
}

void BatteryWatch::Check() {
  PowerStatus status = source_.Read();
  if (last_ && *last_ == status) return;
  last_ = status;
  PowerAlarm alarm = ShowPowerStatus(status, batteryCaption_, powerCaption_);
  if (alarm != PowerAlarm::kNone && alarm_) alarm_(alarm);
}

}  // namespace qmb
