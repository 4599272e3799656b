#include "ui/media_keys.h"

#include <QKeyEvent>

#include "core/command_ids.h"

namespace qmb {
namespace {

constexpr int kStopped = 1;
constexpr int kPlaying = 2;

bool IsMediaKey(int key) {
  switch (key) {
    case Qt::Key_MediaTogglePlayPause:
    case Qt::Key_MediaPlay:
    case Qt::Key_MediaPause:
    case Qt::Key_MediaStop:
    case Qt::Key_MediaNext:
    case Qt::Key_MediaPrevious:
      return true;
    default:
      return false;
  }
}

}  // namespace

int MediaKeyCommand(int qtKey, int playState) {
  switch (qtKey) {
    case Qt::Key_MediaTogglePlayPause:
      return playState == kStopped ? command::kPlay : command::kPause;
    case Qt::Key_MediaPlay:
      return playState == kPlaying ? 0 : command::kPlay;
    case Qt::Key_MediaPause:
      return playState == kPlaying ? command::kPause : 0;
    case Qt::Key_MediaStop:
      return command::kStop;
    case Qt::Key_MediaNext:
      return command::kNext;
    case Qt::Key_MediaPrevious:
      return command::kPrevious;
    default:
      return 0;
  }
}

MediaKeys::MediaKeys(std::function<void(int id)> command, std::function<int()> playState,
                     QObject* parent)
    : QObject(parent), command_(std::move(command)), playState_(std::move(playState)) {}

bool MediaKeys::eventFilter(QObject* object, QEvent* event) {
  // A key reaches its window first and then the widget; take it once.
  if (event->type() != QEvent::KeyPress || !object->isWidgetType()) return false;
  auto* key = static_cast<QKeyEvent*>(event);
  if (!IsMediaKey(key->key())) return false;
  int id = MediaKeyCommand(key->key(), playState_());
  if (id != 0 && !key->isAutoRepeat()) command_(id);
  return true;
}

}  // namespace qmb
