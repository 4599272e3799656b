// The keyboard's media keys while one of the player's windows has the focus;
// elsewhere the desktop routes them to the player through its MPRIS bridge.
#pragma once

#include <QObject>
#include <functional>

namespace qmb {

// The command a media key runs while the player is in `playState` (1 stopped,
// 2 playing, 3 paused); 0 for none. Play and Pause never toggle back.
int MediaKeyCommand(int qtKey, int playState);

// Installed on the application: takes media key presses meant for any of its
// widgets and runs their commands.
class MediaKeys : public QObject {
 public:
  MediaKeys(std::function<void(int id)> command, std::function<int()> playState,
            QObject* parent = nullptr);

 protected:
  bool eventFilter(QObject* object, QEvent* event) override;

 private:
  std::function<void(int)> command_;
  std::function<int()> playState_;
};

}  // namespace qmb
