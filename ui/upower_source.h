// The power status from UPower on the system bus. Its properties are asked
// for without waiting and kept; a change UPower signals is fetched again
// and then reported, so reading never blocks the windows.
#pragma once

#include <QObject>
#include <functional>
#include <memory>

#include "services/power_status.h"

class QTimer;

namespace qmb {

class UPowerSource final : public QObject, public PowerSource {
 public:
  // Null when UPower does not run on the system bus.
  static std::unique_ptr<UPowerSource> Connect(std::function<void()> changed);

  PowerStatus Read() override { return FromUPower(device_); }

 private:
  explicit UPowerSource(std::function<void()> changed);
  void Fetch();

  std::function<void()> changed_;
  QTimer* refetch_ = nullptr;
  UPowerDevice device_;
};

}  // namespace qmb
