#include "ui/tray_icon.h"

#include <QCursor>
#include <QFile>
#include <QIcon>
#include <QMenu>
#include <QPixmap>

namespace qmb {
PlayerTray::PlayerTray(std::string programFolder, QMenu* mainMenu,
                       std::function<void()> showMainWindow)
    : programFolder_(std::move(programFolder)),
      mainMenu_(mainMenu),
      showMainWindow_(std::move(showMainWindow)) {
  icon_.setToolTip("Qumble Player");
  QObject::connect(&icon_, &QSystemTrayIcon::activated,
                   [this](QSystemTrayIcon::ActivationReason reason) { Activated(reason); });
}

void PlayerTray::Add(int number) {
  SetIcon(number);
  // Qt docks the icon into a tray that appears or restarts later.
  icon_.show();
}

void PlayerTray::SetIcon(int number) {
  QString path = QString::fromStdString(programFolder_) + QString("Icons/tray-%1.png").arg(number);
  if (!QFile::exists(path))
    path = QString::fromStdString(programFolder_) + "Icons/qumble-player.png";
  QIcon icon(path);
  if (icon.isNull()) {
    // Some picture, so the tray never shows an empty slot.
    QPixmap plain(32, 32);
    plain.fill(QColor(24, 52, 110));
    icon = QIcon(plain);
  }
  icon_.setIcon(icon);
}

void PlayerTray::Remove() {
  icon_.hide();
}

void PlayerTray::Activated(QSystemTrayIcon::ActivationReason reason) {
  if (reason == QSystemTrayIcon::Context && mainMenu_) {
    mainMenu_->popup(QCursor::pos());
  } else if (reason == QSystemTrayIcon::DoubleClick && showMainWindow_) {
    showMainWindow_();
  }
}

}  // namespace qmb
