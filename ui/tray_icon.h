// The player's icon in the system tray: its tip, the main menu on the right
// button and the main window on a double click. Without a tray nothing
// shows; when a tray appears later (or a tray restarts) the icon joins it.
#pragma once

#include <QObject>
#include <QSystemTrayIcon>
#include <functional>
#include <string>

class QMenu;

namespace qmb {

class PlayerTray : public QObject {
 public:
  // Tray icons are program folder + "Icons/tray-<number>.png".
  PlayerTray(std::string programFolder, QMenu* mainMenu, std::function<void()> showMainWindow);

  // Adds the icon with picture `number` (200-204) to the tray.
  void Add(int number);
  void SetIcon(int number);
  void Remove();
  QSystemTrayIcon& Icon() { return icon_; }

 private:
  void Activated(QSystemTrayIcon::ActivationReason reason);

  std::string programFolder_;
  QMenu* mainMenu_;
  std::function<void()> showMainWindow_;
  QSystemTrayIcon icon_;
};

}  // namespace qmb
