// The power status from folders laid out as sysfs lays them out, from
// UPower's values, and the captions the battery check writes.
#include <gtest/gtest.h>

#include <filesystem>

#include "services/power_status.h"
#include "temp_folder.h"

namespace qmb::test {
namespace {

class FixedPower final : public PowerSource {
 public:
  PowerStatus status;
  PowerStatus Read() override { return status; }
};

struct CaptionCase {
  int flag, percent, line;
  const char* battery;  // empty: unchanged
  const char* power;
  PowerAlarm alarm;
};

TEST(PowerStatus, CaptionsAndAlarmsFollowTheFlagAndTheLine) {
  const CaptionCase kCases[] = {
      {255, 255, 1, "Battery Status: Unknown", "Power Status: Using AC power", PowerAlarm::kNone},
      {128, 255, 0, "Battery Status: No battery installed", "Power Status: Using battery power",
       PowerAlarm::kNone},
      {9, 80, 1, "Battery Status: Charging...  80%", "Power Status: Using AC power",
       PowerAlarm::kNone},
      {12, 3, 255, "Battery Status: Charging...  3%",
       "Power Status: Using fusion power or something", PowerAlarm::kNone},
      {4, 3, 0, "Battery Status: Critical  3%", "Power Status: Using battery power",
       PowerAlarm::kCritical},
      {6, 2, 0, "Battery Status: Critical  2%", "Power Status: Using battery power",
       PowerAlarm::kCritical},
      {2, 20, 0, "Battery Status: Low  20%", "Power Status: Using battery power", PowerAlarm::kLow},
      {1, 90, 7, "Battery Status: Charged  90%", "", PowerAlarm::kNone},
      {0, 50, 1, "", "Power Status: Using AC power", PowerAlarm::kNone},
  };
  for (const CaptionCase& c : kCases) {
    EditModel battery, power;
    battery.SetText("before");
    power.SetText("before");
    FixedPower source;
    source.status = {c.flag, c.percent, c.line};
    std::vector<PowerAlarm> alarms;
    BatteryWatch watch(source, battery, power, [&](PowerAlarm a) { alarms.push_back(a); });
    watch.Check();
    watch.Check();  // the same status again raises nothing more
    SCOPED_TRACE(c.flag);
    EXPECT_EQ(battery.Text(), *c.battery ? c.battery : "before");
    EXPECT_EQ(power.Text(), *c.power ? c.power : "before");
    EXPECT_EQ(alarms, c.alarm == PowerAlarm::kNone ? std::vector<PowerAlarm>{}
                                                   : std::vector<PowerAlarm>{c.alarm});
  }
}

// A supply folder with its attribute files.
void Supply(const TempFolder& root, const std::string& name,
            std::initializer_list<std::pair<const char*, const char*>> files) {
  std::filesystem::create_directories(root.Path() + name);
  for (const auto& [file, value] : files) root.Write(name + "/" + file, std::string(value) + "\n");
}

TEST(PowerStatus, SysfsSuppliesGiveTheFlagsPercentAndLine) {
  EXPECT_EQ(ReadPowerSupplyFolder("/no/such/folder"), (PowerStatus{255, 255, 255}));
  TempFolder empty;
  EXPECT_EQ(ReadPowerSupplyFolder(empty.Path()), (PowerStatus{kNoBattery, 255, kOnMains}));

  TempFolder mouse;  // a peripheral's battery powers no machine
  Supply(mouse, "hid-mouse", {{"type", "Battery"}, {"scope", "Device"}, {"capacity", "4"}});
  EXPECT_EQ(ReadPowerSupplyFolder(mouse.Path()).batteryFlag, kNoBattery);

  TempFolder laptop;
  Supply(laptop, "AC", {{"type", "Mains"}, {"online", "0"}});
  Supply(laptop, "BAT0",
         {{"type", "Battery"}, {"present", "1"}, {"capacity", "3"}, {"status", "Discharging"}});
  EXPECT_EQ(ReadPowerSupplyFolder(laptop.Path()), (PowerStatus{kBatteryCritical, 3, kOnBattery}));
  Supply(laptop, "AC", {{"online", "1"}});
  Supply(laptop, "BAT0", {{"capacity", "80"}, {"status", "Charging"}});
  EXPECT_EQ(ReadPowerSupplyFolder(laptop.Path()),
            (PowerStatus{kBatteryHigh | kBatteryCharging, 80, kOnMains}));

  TempFolder levelOnly;  // no percentage, only the kernel's word
  Supply(levelOnly, "BAT1",
         {{"type", "Battery"}, {"capacity_level", "Low"}, {"status", "Discharging"}});
  EXPECT_EQ(ReadPowerSupplyFolder(levelOnly.Path()), (PowerStatus{kBatteryLow, 255, kOnBattery}));
}

TEST(PowerStatus, UPowerValuesMapToTheSameFlags) {
  EXPECT_EQ(FromUPower({.present = false, .type = 0}).batteryFlag, kNoBattery);
  EXPECT_EQ(FromUPower({true, 2, 2, 50.0, 3, true}), (PowerStatus{kBatteryLow, 50, kOnBattery}));
  EXPECT_EQ(FromUPower({true, 2, 1, 96.4, 1, false}),
            (PowerStatus{kBatteryHigh | kBatteryCharging, 96, kOnMains}));
  EXPECT_EQ(FromUPower({true, 2, 2, 8.0, 4, true}).batteryFlag, kBatteryCritical);
}

}  // namespace
}  // namespace qmb::test
