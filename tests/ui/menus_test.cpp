// The menus and the skin buttons' tips: their texts, ids and behaviour.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QIcon>
#include <QImage>
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

// A menu as one line: "id text" per item with the id its choice dispatches,
// "-" for a separator, "Title{...}" for a submenu.
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
      text += (b.dispatched.size() == 1 ? std::to_string(b.dispatched[0]) : "?") + " " +
              action->text().toStdString();
      EXPECT_EQ(action->data().toInt(), b.dispatched.empty() ? -1 : b.dispatched[0]);
    }
  }
  return text;
}

TEST(PlayerMenus, ItemsHaveTheirTextsIdsAndOrder) {
  Built b;
  const std::pair<QMenu * PlayerMenus::*, const char*> menus[] = {
      {&PlayerMenus::main,
       "1 About Qumble Player|2 Check For Update|-|Configuration{3 Control Panel...|4 Choose "
       "Skin...|5 Refresh Skin}|Playback{6 Previous|7 Play|8 Pause|9 Stop|10 Next|-|11 Open|-|12 "
       "Random|13 Loop}|-|14 Show Playlist|15 QMB5 Help|-|17 Save Settings|18 Exit"},
      {&PlayerMenus::equalizer,
       "5000 Load QEQ File...|5001 Save QEQ File...|-|5002 Raise Eq + 3|5003 Lower Eq - 3|-|5004 "
       "Normalize|5005 Randomize"},
      {&PlayerMenus::visual,
       "5018 Start Plug-in|5019 Select Plug-in|5020 Configure Plug-in|5021 Stop Plug-in|-|5022 "
       "Detach Visual Window|5023 Attach Visual Window|-|Visualization{5024 Spectrum Fire "
       "Mode|5025 Spectrum Dot Mode|5026 Spectrum Voice Mode|-|5027 Scope Line Mode|5028 Scope "
       "Dot Mode|5029 Scope Wave Mode}"},
      {&PlayerMenus::playlistContext,
       "Send To Media{10026 Choose...|-}|-|10027 Cut Items|10028 Paste Items|-|10029 Add To "
       "Cue|-|10030 Properties..."},
      {&PlayerMenus::seek, "5030 Seek To Start|5031 Seek To Middle|5032 Seek To End"},
      {&PlayerMenus::volume, "5033 Volume High|5034 Volume Medium|5035 Volume Low|-|5036 Mute"},
      {&PlayerMenus::balance, "5037 Pan Left|5038 Center|5039 Pan Right"},
      {&PlayerMenus::stop,
       "5040 Stop With Fadeout|5041 Stop After Current|5042 Close After Current"},
      {&PlayerMenus::previous, "5043 Previous 5 Tracks"},
      {&PlayerMenus::exit, "5044 Exit Without Saving Settings"},
  };
  for (auto [menu, text] : menus) EXPECT_EQ(Describe((b.menus.*menu)->actions(), b), text);
  ASSERT_TRUE(b.menus.playlistBar);
  EXPECT_EQ(Describe(b.menus.playlistBar->actions(), b),
            "Playlist{10031 Save Playlist...|10032 Load Playlist...}|Edit{10027 Cut Items|10028 "
            "Paste Items}|Add{5007 Add Files...|5008 Add URL...}|Delete{5009 Delete Selected|5010 "
            "Delete All}|Selection{5011 Select All|5012 Invert Selection|5013 Select "
            "None}|Tags{5016 Analyze All Files|5017 Analyze Selected Files}|View{5014 Search "
            "Window|5015 Cue List}");
  // The named submenus are the menus they say.
  const PlayerMenus& m = b.menus;
  const std::pair<QMenu*, const char*> named[] = {{m.configuration, "Configuration"},
                                                  {m.playback, "Playback"},
                                                  {m.visualization, "Visualization"},
                                                  {m.sendToMedia, "Send To Media"},
                                                  {m.playlistFile, "Playlist"},
                                                  {m.edit, "Edit"},
                                                  {m.add, "Add"},
                                                  {m.remove, "Delete"},
                                                  {m.selection, "Selection"},
                                                  {m.tags, "Tags"},
                                                  {m.view, "View"}};
  for (auto [menu, title] : named) EXPECT_EQ(menu->title(), title);
}

TEST(PlayerMenus, MainMenuPicturesAreOwnAndOnlyOnTheirItems) {
  Built b;
  std::vector<QImage> pictures;
  for (int id = 1; id <= 18; ++id) {
    QAction* action = PlayerMenus::FindItem(b.menus.main, id);
    ASSERT_EQ(action == nullptr, id == 16) << id;
    if (!action) continue;
    bool wanted = id == 1 || id == 2 || id == 4 || id == 5 || id == 18;
    EXPECT_EQ(!action->icon().isNull(), wanted) << id;
    if (!wanted) continue;
    QImage picture = action->icon().pixmap(16, 16).toImage();
    EXPECT_EQ(picture.size(), QSize(16, 16)) << id;
    int painted = 0;
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x) painted += qAlpha(picture.pixel(x, y)) > 0;
    EXPECT_GT(painted, 40) << id << " is drawn";
    for (const QImage& other : pictures) EXPECT_NE(picture, other) << id << " looks its own";
    pictures.push_back(picture);
  }
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
  for (QAction* a : {mute, stopAfter, closeAfter}) EXPECT_TRUE(a->isCheckable());
  EXPECT_FALSE(PlayerMenus::FindItem(menus.stop, 5040)->isCheckable());
  EXPECT_TRUE(closeAfter->isChecked()) << "a model set before the menus were built";

  stopAfter->trigger();
  EXPECT_TRUE(stopAfter->isChecked());
  EXPECT_TRUE(checks.stopAfterCurrent.Checked());
  stopAfter->trigger();
  EXPECT_FALSE(stopAfter->isChecked());

  checks.mute.SetChecked(true);
  EXPECT_TRUE(mute->isChecked()) << "muting elsewhere shows in the menu";
  mute->trigger();
  EXPECT_FALSE(mute->isChecked());
  EXPECT_FALSE(checks.mute.Checked());

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

TEST(SkinButtonToolTip, HasTheTitleAndTextOfEachButton) {
  const std::array<std::pair<const char*, const char*>, 15> table = {{
      {"Main Menu", "Open the main context menu"},
      {"Hide", "Remove Qumble from sight"},
      {"Exit", "Close the program"},
      {"Previous", "Goto the last song that was played"},
      {"Play", "Play the current file"},
      {"Pause", "Pause the file"},
      {"Stop", "Stop the file"},
      {"Next", "Goto the next song in the playlist"},
      {"Open", "Open a file"},
      {"Random", "Playlist randomization is off"},
      {"Loop", "Playlist looping is off"},
      {"About", "Show the about dialog box"},
      {"Equalizer", "Open equalizer presets"},
      {"Playlist", "Show the playlist"},
      {"Expand / Retract", "Skin expansion stage:  0"},
  }};
  for (int i = 0; i < 15; ++i) {
    ToolTipText tip = SkinButtonToolTip(i, {});
    EXPECT_EQ(tip.title, table[i].first) << i;
    EXPECT_EQ(tip.text, table[i].second) << i;
  }
  ToolTipState state{.random = true, .loop = true, .stage = 12};
  EXPECT_EQ(SkinButtonToolTip(9, state).text, "Playlist randomization is on");
  EXPECT_EQ(SkinButtonToolTip(10, state).text, "Playlist looping is on");
  EXPECT_EQ(SkinButtonToolTip(14, state).text, "Skin expansion stage:  12");
  EXPECT_EQ(SkinButtonToolTip(14, {.stage = -1}).text, "Skin expansion stage: -1");
  for (int outside : {-1, 15, 1000}) EXPECT_TRUE(SkinButtonToolTip(outside, state).text.isEmpty());
}

// Shown on hover: tests/ui/skin/button_tips_test.cpp, on the real skin buttons.
TEST(SkinToolTips, SkipMissingButtonsAndStayAwayWhileOff) {
  std::array<QWidget, 15> owned;
  std::vector<QWidget*> buttons;
  for (QWidget& w : owned) buttons.push_back(&w);
  buttons[5] = nullptr;  // a skin without that button
  SkinToolTips tips;
  tips.Build(buttons, true, {}, Qt::yellow, Qt::darkBlue);
  EXPECT_TRUE(owned[9].toolTip().contains("Playlist randomization is off"));
  EXPECT_TRUE(owned[9].testAttribute(Qt::WA_AlwaysShowToolTips));
  EXPECT_TRUE(owned[5].toolTip().isEmpty());
  tips.Build(buttons, false, {}, Qt::yellow, Qt::darkBlue);
  EXPECT_TRUE(owned[9].toolTip().isEmpty());
  tips.UpdateTip(buttons[10], SkinButtonToolTip(10, {.loop = true}));
  EXPECT_TRUE(owned[10].toolTip().isEmpty()) << "no tips while they are off";
}

}  // namespace
}  // namespace qmb
