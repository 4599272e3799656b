// The player's own windows on a real (offscreen) desktop: the factories (the
// controls' ids and commands are the control panel's test), the "Load Qumble
// Equalizer File" window, and the media keys pressed in a window in each play
// state.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <memory>

#include "core/command_ids.h"
#include "ui/control_factory.h"
#include "ui/eq_preset_window.h"
#include "ui/media_keys.h"

namespace qmb {
namespace {

TEST(CreateTopWindow, GivesTheAskedClientSizeAtTheAskedPlaceTimesTheScale) {
  std::unique_ptr<QWidget> window(CreateTopWindow("Test", 40, 50, 300, 140, 0, 0));
  EXPECT_EQ(QRect(window->pos(), window->size()), QRect(40, 50, 300, 140));
  EXPECT_EQ(window->windowTitle(), "Test");
  EXPECT_FALSE(window->isVisible()) << "shown by its owner when ready";
  EXPECT_EQ(WindowStyleOf(window.get(), false), kStyleDefaultTop);
  EXPECT_FALSE(window->windowFlags() & Qt::FramelessWindowHint);
  TheFactoryScale() = FactoryScale{2.0, 0.5};
  window.reset(CreateTopWindow("", 10, 10, 100, 100, kStylePopup, 0));
  TheFactoryScale() = FactoryScale{};
  EXPECT_EQ(QRect(window->pos(), window->size()), QRect(20, 5, 200, 50));
  EXPECT_TRUE(window->windowFlags() & Qt::FramelessWindowHint) << "a pop-up has no caption";
}

TEST(SetWindowStyleBits, AddsAndRemovesWithoutMovingTheWindow) {
  std::unique_ptr<QWidget> window(CreateTopWindow("", 30, 30, 120, 80, kStylePopup, 0));
  window->show();
  EXPECT_TRUE(SetWindowStyleBits(window.get(), kExTopmost | kExAcceptFiles, 0, true));
  EXPECT_TRUE(window->windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_TRUE(window->acceptDrops());
  EXPECT_TRUE(window->isVisible() && window->geometry().size() == QSize(120, 80));
  EXPECT_TRUE(SetWindowStyleBits(window.get(), 0, kExTopmost, true));
  EXPECT_FALSE(window->windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_EQ(WindowStyleOf(window.get(), true), static_cast<std::uint32_t>(kExAcceptFiles));
  EXPECT_FALSE(SetWindowStyleBits(nullptr, 1, 0, false));
}

TEST(EqPresetWindow, ListsTheNamesAndSendsItsCommandsAndASecondShowReplacesIt) {
  std::vector<int> sent;
  EqPresetWindow presets([&sent](int id) { sent.push_back(id); });
  // A name that is not UTF-8 still comes back as it was given.
  const std::vector<std::string> names = {"a.b", "Bass", "rock", "caf\xe9"};
  presets.Show(names);
  QPointer<QWidget> first = presets.Window();
  ASSERT_TRUE(first);
  EXPECT_EQ(first->windowTitle(), "Load Qumble Equalizer File");
  QListWidget* list = presets.List();
  ASSERT_EQ(list->count(), 4);
  EXPECT_EQ(presets.Selected(), "");

  list->setCurrentRow(3);
  EXPECT_EQ(sent, std::vector<int>{command::kPresetList});
  EXPECT_EQ(presets.Selected(), names[3]);
  auto* close = first->findChild<QPushButton*>();
  ASSERT_NE(close, nullptr);
  EXPECT_EQ(close->text(), "Close");
  close->click();
  EXPECT_EQ(sent.back(), command::kClosePresetWindow);

  presets.Show({"only"});
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(first.isNull()) << "the first window is gone";
  EXPECT_EQ(presets.List()->count(), 1);
  presets.Close();
  EXPECT_EQ(presets.Window(), nullptr);
  EXPECT_EQ(presets.Selected(), "");
}

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
