// The media keys pressed in one of the player's windows, in each play state.
#include "ui/media_keys.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>

#include "core/command_ids.h"

namespace qmb {
namespace {

TEST(MediaKeys, RunTheirCommandsInEveryStateAndLeaveOtherKeysAlone) {
  constexpr int kStopped = 1, kPlaying = 2, kPaused = 3;
  struct Case {
    int key;
    int state;
    int command;  // 0: none runs
  } cases[] = {
      {Qt::Key_MediaTogglePlayPause, kStopped, command::kPlay},
      {Qt::Key_MediaTogglePlayPause, kPlaying, command::kPause},
      {Qt::Key_MediaTogglePlayPause, kPaused, command::kPause},
      {Qt::Key_MediaPlay, kPaused, command::kPlay},
      {Qt::Key_MediaPlay, kPlaying, 0},
      {Qt::Key_MediaPause, kPlaying, command::kPause},
      {Qt::Key_MediaPause, kPaused, 0},
      {Qt::Key_MediaStop, kPlaying, command::kStop},
      {Qt::Key_MediaNext, kStopped, command::kNext},
      {Qt::Key_MediaPrevious, kPaused, command::kPrevious},
  };
  int state = kStopped;
  std::vector<int> ran;
  MediaKeys keys([&ran](int id) { ran.push_back(id); }, [&state] { return state; });
  qApp->installEventFilter(&keys);
  QLineEdit focused;  // a widget that would otherwise take any key
  for (const Case& c : cases) {
    SCOPED_TRACE(c.key);
    state = c.state;
    ran.clear();
    QKeyEvent press(QEvent::KeyPress, c.key, Qt::NoModifier);
    QApplication::sendEvent(&focused, &press);
    EXPECT_EQ(ran, c.command ? std::vector<int>{c.command} : std::vector<int>{});
  }
  ran.clear();
  QKeyEvent letter(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a");
  QApplication::sendEvent(&focused, &letter);
  EXPECT_TRUE(ran.empty());
  EXPECT_EQ(focused.text(), "a");
  qApp->removeEventFilter(&keys);
}

}  // namespace
}  // namespace qmb
