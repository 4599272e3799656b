// The player's own windows and menus on a real (offscreen) desktop: the
// factories (the controls' ids and commands are the control panel's test), the
// "Load Qumble Equalizer File" window, the media keys pressed in a window in
// each play state, the menus' dispatch, check marks and drive items, and the
// skin buttons' tips.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QWidget>
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "core/command_ids.h"
#include "ui/control_factory.h"
#include "ui/eq_preset_window.h"
#include "ui/media_keys.h"
#include "ui/menus.h"

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

struct Built {
  MenuChecks checks;
  std::vector<int> dispatched;
  PlayerMenus menus{checks, [this](int id) { dispatched.push_back(id); }};
};

// The items of a menu in order: "id text", "-" for a separator, "Title{...}"
// for a submenu; choosing each item must dispatch the id it carries.
std::string Describe(const QList<QAction*>& actions, Built& b) {
  std::string text;
  for (QAction* action : actions) {
    if (!text.empty()) text += "|";
    if (action->isSeparator()) {
      text += "-";
    } else if (action->menu()) {
      text += action->text().toStdString() + "{" + Describe(action->menu()->actions(), b) + "}";
    } else {
      b.dispatched.clear();
      action->trigger();
      text += std::to_string(action->data().toInt()) + " " + action->text().toStdString();
      EXPECT_EQ(b.dispatched, std::vector<int>{action->data().toInt()}) << text;
    }
  }
  return text;
}

// Which id each item has is the switchboard's test (tests/app/menu_commands_test.cpp).
TEST(PlayerMenus, EveryItemDispatchesItsIdAndNamedMenusAreTheirs) {
  Built b;
  const PlayerMenus& m = b.menus;
  for (QMenu* menu : {m.main, m.equalizer, m.visual, m.playlistContext, m.seek, m.volume, m.balance,
                      m.stop, m.previous, m.exit}) {
    EXPECT_FALSE(Describe(menu->actions(), b).empty());
  }
  ASSERT_TRUE(m.playlistBar);
  Describe(m.playlistBar->actions(), b);
  std::string titles;
  for (QMenu* menu : {m.configuration, m.playback, m.visualization, m.sendToMedia, m.playlistFile,
                      m.edit, m.add, m.remove, m.selection, m.tags, m.view})
    titles += menu->title().toStdString() + "|";
  EXPECT_EQ(titles,
            "Configuration|Playback|Visualization|Send To Media|Playlist|Edit|Add|Delete|Selection|"
            "Tags|View|");
}

TEST(PlayerMenus, CheckMarksShowTheModelsAndChoosingGoesThroughDispatch) {
  MenuChecks checks;
  checks.closeAfterCurrent.SetChecked(true);
  // The switchboard's part: the command toggles the model.
  PlayerMenus menus(checks, [&checks](int id) {
    if (id == 5036) checks.mute.SetChecked(!checks.mute.Checked());
    if (id == 5041) checks.stopAfterCurrent.SetChecked(!checks.stopAfterCurrent.Checked());
  });
  QAction* mute = PlayerMenus::FindItem(menus.volume, 5036);
  QAction* stopAfter = PlayerMenus::FindItem(menus.stop, 5041);
  QAction* closeAfter = PlayerMenus::FindItem(menus.stop, 5042);
  EXPECT_TRUE(closeAfter->isChecked()) << "a model set before the menus were built";

  for (bool on : {true, false}) {
    stopAfter->trigger();
    EXPECT_EQ(std::pair(stopAfter->isChecked(), checks.stopAfterCurrent.Checked()),
              std::pair(on, on));
  }
  checks.mute.SetChecked(true);
  EXPECT_TRUE(mute->isChecked()) << "muting elsewhere shows in the menu";
  mute->trigger();
  EXPECT_FALSE(mute->isChecked() || checks.mute.Checked());

  // A command that does not toggle leaves the mark as the model has it.
  closeAfter->trigger();
  EXPECT_TRUE(closeAfter->isChecked());
  checks.closeAfterCurrent.SetChecked(false);
  EXPECT_FALSE(closeAfter->isChecked());
}

TEST(PlayerMenus, DriveItemsAreRebuiltBehindChoose) {
  Built b;
  b.menus.SetDriveItems({{10000, "/media/ann/USB"}, {10003, "/media/ann/Tom & Jerry"}});
  b.menus.SetDriveItems({{10001, "/media/ann/STICK"},
                         {9999, "/media/ann/low"},
                         {10026, "/media/ann/choose"},
                         {10025, "/run/media/ann/LAST"},
                         {5044, "/media/ann/exit"}});
  EXPECT_EQ(Describe(b.menus.sendToMedia->actions(), b),
            "10026 Choose...|-|10001 /media/ann/STICK|10025 /run/media/ann/LAST")
      << "old drives gone, strays skipped";
  b.menus.SetDriveItems({{10002, "Tom & Jerry"}});
  EXPECT_EQ(PlayerMenus::FindItem(b.menus.sendToMedia, 10002)->text(), "Tom && Jerry")
      << "shown with its ampersand, not as a mnemonic";
  b.menus.SetDriveItems({});
  EXPECT_EQ(Describe(b.menus.sendToMedia->actions(), b), "10026 Choose...|-");
}

TEST(PlayerMenus, LetGoOfTheirModelsAndOfABarAWindowTook) {
  MenuChecks checks;
  int calls = 0;
  auto window = std::make_unique<QWidget>();
  QAction* cue;
  {
    PlayerMenus menus(checks, [&calls](int) { ++calls; });
    menus.playlistBar->setParent(window.get());
    cue = PlayerMenus::FindItem(menus.view, 5015);
  }
  checks.mute.SetChecked(true);  // no handler of the gone menus runs
  cue->trigger();                // the bar lives on with its window
  EXPECT_EQ(calls, 0);
}

// The texts, colours and toggles: ControlsTest.TipsFollowTheTogglesWhileTheyAreOn.
TEST(SkinToolTips, SkipMissingButtons) {
  std::array<QWidget, 15> owned;
  std::vector<QWidget*> buttons;
  for (QWidget& w : owned) buttons.push_back(&w);
  buttons[5] = nullptr;  // a skin without that button
  SkinToolTips tips;
  tips.Build(buttons, true, {}, Qt::yellow, Qt::darkBlue);
  EXPECT_TRUE(owned[9].testAttribute(Qt::WA_AlwaysShowToolTips));
  EXPECT_TRUE(owned[5].toolTip().isEmpty());
}

}  // namespace
}  // namespace qmb
