// The power status the battery captions and the power rules read: battery
// flags, life percentage and line status in the values the settings' rules
// were made for, read from sysfs or mapped from UPower's properties.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "core/control_models.h"

namespace qmb {

// Battery flag bits, and the whole-value flags.
constexpr int kBatteryHigh = 1;
constexpr int kBatteryLow = 2;
constexpr int kBatteryCritical = 4;
constexpr int kBatteryCharging = 8;
constexpr int kNoBattery = 128;
constexpr int kBatteryUnknown = 255;
// Line status.
constexpr int kOnBattery = 0;
constexpr int kOnMains = 1;
constexpr int kLineUnknown = 255;

struct PowerStatus {
  int batteryFlag = kBatteryUnknown;
  int lifePercent = 255;
  int lineStatus = kLineUnknown;
  bool operator==(const PowerStatus&) const = default;
};

// Where the status comes from: UPower over D-Bus, sysfs, or a test's own.
class PowerSource {
 public:
  virtual ~PowerSource() = default;
  virtual PowerStatus Read() = 0;
};

// The flag of one battery from its percentage (high above 66, low below 33,
// critical below 5), the kernel's or UPower's level word when there is no
// percentage ("Critical", "Low", "High", "Full", ...) and whether it charges.
int BatteryFlag(std::optional<int> percent, const std::string& level, bool charging);

// The system batteries and mains supplies under `folder` (normally
// /sys/class/power_supply). A folder that cannot be read gives unknown; no
// system battery gives kNoBattery, and a machine without a battery runs on
// mains unless a supply says otherwise.
PowerStatus ReadPowerSupplyFolder(const std::string& folder);

class SysfsPowerSource final : public PowerSource {
 public:
  explicit SysfsPowerSource(std::string folder = "/sys/class/power_supply")
      : folder_(std::move(folder)) {}
  PowerStatus Read() override { return ReadPowerSupplyFolder(folder_); }

 private:
  std::string folder_;
};

// UPower's display device and daemon properties.
struct UPowerDevice {
  bool present = false;
  unsigned type = 0;   // 2: battery
  unsigned state = 0;  // 1 charging, 2 discharging, 4 fully charged, ...
  double percentage = 0;
  unsigned warningLevel = 0;  // 3 low, 4 critical, 5 action
  bool onBattery = false;
};
PowerStatus FromUPower(const UPowerDevice& device);

// What the battery check asks of the player after it wrote the captions.
enum class PowerAlarm { kNone, kLow, kCritical };

extern const char* const kBatteryLowText;
extern const char* const kBatteryCriticalText;

// Writes the battery and power captions for `status` (a flag or line value
// outside the table leaves its caption as it is) and tells which rule
// state the battery is in.
PowerAlarm ShowPowerStatus(const PowerStatus& status, EditModel& batteryCaption,
                           EditModel& powerCaption);

// The battery check: reads the source and, when the status changed since
// the last look, writes the captions and raises a low or critical alarm.
class BatteryWatch {
 public:
  BatteryWatch(PowerSource& source, EditModel& batteryCaption, EditModel& powerCaption,
               std::function<void(PowerAlarm)> alarm)
      : source_(source),
        batteryCaption_(batteryCaption),
        powerCaption_(powerCaption),
        alarm_(std::move(alarm)) {}
  void Check();

 private:
  PowerSource& source_;
  EditModel& batteryCaption_;
  EditModel& powerCaption_;
  std::function<void(PowerAlarm)> alarm_;
  std::optional<PowerStatus> last_;
};

}  // namespace qmb
