// The menus and the skin buttons' tips: dispatch, check marks, drive items
// and the texts the tips compose.
#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QWidget>
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "ui/menus.h"

namespace qmb {
namespace {

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

// The texts, colours and toggles: tests/ui/skin/button_tips_test.cpp.
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
