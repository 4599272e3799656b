#include "ui/upower_source.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QTimer>
#include <QVariantMap>

namespace qmb {
namespace {

const char* const kService = "org.freedesktop.UPower";
const char* const kDaemonPath = "/org/freedesktop/UPower";
const char* const kDisplayPath = "/org/freedesktop/UPower/devices/DisplayDevice";
const char* const kProperties = "org.freedesktop.DBus.Properties";

}  // namespace

std::unique_ptr<UPowerSource> UPowerSource::Connect(std::function<void()> changed) {
  QDBusConnection bus = QDBusConnection::systemBus();
  if (!bus.isConnected() || !bus.interface() ||
      !bus.interface()->isServiceRegistered(kService).value()) {
    return nullptr;
  }
  std::unique_ptr<UPowerSource> source(new UPowerSource(std::move(changed)));
  // A change starts the short timer, whose end fetches the properties; a
  // burst of changes is fetched once.
  for (const char* path : {kDaemonPath, kDisplayPath}) {
    bus.connect(kService, path, kProperties, "PropertiesChanged", source->refetch_, SLOT(start()));
  }
  return source;
}

UPowerSource::UPowerSource(std::function<void()> changed) : changed_(std::move(changed)) {
  refetch_ = new QTimer(this);
  refetch_->setSingleShot(true);
  refetch_->setInterval(100);
  QObject::connect(refetch_, &QTimer::timeout, [this] { Fetch(); });
  Fetch();
}

void UPowerSource::Fetch() {
  QDBusConnection bus = QDBusConnection::systemBus();
  for (const char* path : {kDaemonPath, kDisplayPath}) {
    QDBusMessage ask = QDBusMessage::createMethodCall(kService, path, kProperties, "GetAll");
    ask << QString(path == kDaemonPath ? "org.freedesktop.UPower"
                                       : "org.freedesktop.UPower.Device");
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(ask), this);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, [this, path](auto* call) {
      QDBusPendingReply<QVariantMap> reply = *call;
      call->deleteLater();
      if (reply.isError()) return;
      QVariantMap values = reply.value();
      if (path == kDaemonPath) {
        device_.onBattery = values.value("OnBattery").toBool();
      } else {
        device_.present = values.value("IsPresent").toBool();
        device_.type = values.value("Type").toUInt();
        device_.state = values.value("State").toUInt();
        device_.percentage = values.value("Percentage").toDouble();
        device_.warningLevel = values.value("WarningLevel").toUInt();
      }
      if (changed_) changed_();
    });
  }
}

}  // namespace qmb
