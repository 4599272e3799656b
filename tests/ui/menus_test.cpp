// The menus and the skin buttons' tips, against the player's own tables.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QIcon>
#include <QImage>
#include <QMenu>
#include <QMenuBar>
#include <QThread>
#include <QToolTip>
#include <QWidget>
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "core/command_ids.h"
#include "ui/menus.h"

namespace qmb {
namespace {

// A menu as lines: "id text", "-" for a separator, "[title]" for a submenu
// whose lines follow with a "· " in front.
std::vector<std::string> Lines(const QMenu* menu, const std::string& indent = "") {
  std::vector<std::string> lines;
  for (QAction* action : menu->actions()) {
    if (action->isSeparator()) {
      lines.push_back(indent + "-");
    } else if (action->menu()) {
      lines.push_back(indent + "[" + action->text().toStdString() + "]");
      auto inner = Lines(action->menu(), indent + "· ");
      lines.insert(lines.end(), inner.begin(), inner.end());
    } else {
      lines.push_back(indent + std::to_string(action->data().toInt()) + " " +
                      action->text().toStdString());
    }
  }
  return lines;
}

std::vector<std::string> BarLines(const QMenuBar* bar) {
  std::vector<std::string> lines;
  for (QAction* action : bar->actions()) {
    lines.push_back("[" + action->text().toStdString() + "]");
    auto inner = Lines(action->menu(), "· ");
    lines.insert(lines.end(), inner.begin(), inner.end());
  }
  return lines;
}

// clang-format off
const std::vector<std::string> kMain = {
    "1 About Qumble Player", "2 Check For Update", "-",
    "[Configuration]", "· 3 Control Panel...", "· 4 Choose Skin...", "· 5 Refresh Skin",
    "[Playback]", "· 6 Previous", "· 7 Play", "· 8 Pause", "· 9 Stop", "· 10 Next", "· -",
    "· 11 Open", "· -", "· 12 Random", "· 13 Loop", "-",
    "14 Show Playlist", "15 QMB5 Help", "-", "17 Save Settings", "18 Exit",
};
const std::vector<std::string> kEqualizer = {
    "5000 Load QEQ File...", "5001 Save QEQ File...", "-", "5002 Raise Eq + 3",
    "5003 Lower Eq - 3", "-", "5004 Normalize", "5005 Randomize"};
const std::vector<std::string> kVisual = {
    "5018 Start Plug-in", "5019 Select Plug-in", "5020 Configure Plug-in", "5021 Stop Plug-in",
    "-", "5022 Detach Visual Window", "5023 Attach Visual Window", "-",
    "[Visualization]", "· 5024 Spectrum Fire Mode", "· 5025 Spectrum Dot Mode",
    "· 5026 Spectrum Voice Mode", "· -", "· 5027 Scope Line Mode", "· 5028 Scope Dot Mode",
    "· 5029 Scope Wave Mode"};
const std::vector<std::string> kPlaylistBar = {
    "[Playlist]", "· 10031 Save Playlist...", "· 10032 Load Playlist...",
    "[Edit]", "· 10027 Cut Items", "· 10028 Paste Items",
    "[Add]", "· 5007 Add Files...", "· 5008 Add URL...",
    "[Delete]", "· 5009 Delete Selected", "· 5010 Delete All",
    "[Selection]", "· 5011 Select All", "· 5012 Invert Selection", "· 5013 Select None",
    "[Tags]", "· 5016 Analyze All Files", "· 5017 Analyze Selected Files",
    "[View]", "· 5014 Search Window", "· 5015 Cue List"};
const std::vector<std::string> kPlaylistContext = {
    "[Send To Media]", "· 10026 Choose...", "· -", "-", "10027 Cut Items", "10028 Paste Items",
    "-", "10029 Add To Cue", "-", "10030 Properties..."};
const std::vector<std::string> kSeek = {"5030 Seek To Start", "5031 Seek To Middle",
                                        "5032 Seek To End"};
const std::vector<std::string> kVolume = {"5033 Volume High", "5034 Volume Medium",
                                          "5035 Volume Low", "-", "5036 Mute"};
const std::vector<std::string> kBalance = {"5037 Pan Left", "5038 Center", "5039 Pan Right"};
const std::vector<std::string> kStop = {"5040 Stop With Fadeout", "5041 Stop After Current",
                                        "5042 Close After Current"};
const std::vector<std::string> kPrevious = {"5043 Previous 5 Tracks"};
const std::vector<std::string> kExit = {"5044 Exit Without Saving Settings"};
// clang-format on

struct Built {
  MenuChecks checks;
  std::vector<int> dispatched;
  PlayerMenus menus{checks, [this](int id) { dispatched.push_back(id); }};
};

struct MenuCase {
  const char* name;
  QMenu* PlayerMenus::*menu;
  const std::vector<std::string>* lines;
};

const MenuCase kPopups[] = {
    {"main", &PlayerMenus::main, &kMain},
    {"equalizer", &PlayerMenus::equalizer, &kEqualizer},
    {"visual", &PlayerMenus::visual, &kVisual},
    {"playlist context", &PlayerMenus::playlistContext, &kPlaylistContext},
    {"seek", &PlayerMenus::seek, &kSeek},
    {"volume", &PlayerMenus::volume, &kVolume},
    {"balance", &PlayerMenus::balance, &kBalance},
    {"stop", &PlayerMenus::stop, &kStop},
    {"previous", &PlayerMenus::previous, &kPrevious},
    {"exit", &PlayerMenus::exit, &kExit},
};

// The ids of a table's items in order.
std::vector<int> Ids(const std::vector<std::string>& lines) {
  std::vector<int> ids;
  for (std::string line : lines) {
    while (line.rfind("· ", 0) == 0) line.erase(0, std::string("· ").size());
    if (!line.empty() && std::isdigit(static_cast<unsigned char>(line[0])))
      ids.push_back(std::stoi(line));
  }
  return ids;
}

TEST(PlayerMenus, HaveTheTextsIdsAndOrderOfTheTables) {
  Built b;
  for (const MenuCase& c : kPopups) EXPECT_EQ(Lines(b.menus.*c.menu), *c.lines) << c.name;
  ASSERT_TRUE(b.menus.playlistBar);
  EXPECT_EQ(BarLines(b.menus.playlistBar), kPlaylistBar);
  // The named members are the menus they say.
  const PlayerMenus& m = b.menus;
  // clang-format off
  const std::pair<QMenu*, const char*> named[] = {
      {m.configuration, "Configuration"}, {m.playback, "Playback"},
      {m.visualization, "Visualization"}, {m.sendToMedia, "Send To Media"},
      {m.playlistFile, "Playlist"}, {m.edit, "Edit"}, {m.add, "Add"}, {m.remove, "Delete"},
      {m.selection, "Selection"}, {m.tags, "Tags"}, {m.view, "View"}};
  // clang-format on
  for (auto [menu, title] : named) EXPECT_EQ(menu->title(), title);
}

TEST(PlayerMenus, ChoosingAnItemDispatchesItsId) {
  Built b;
  std::vector<int> expected;
  for (const MenuCase& c : kPopups) {
    for (int id : Ids(*c.lines)) {
      QAction* action = PlayerMenus::FindItem(b.menus.*c.menu, id);
      ASSERT_NE(action, nullptr) << id;
      action->trigger();
      expected.push_back(id);
    }
  }
  for (QAction* top : b.menus.playlistBar->actions()) {
    for (QAction* action : top->menu()->actions()) {
      action->trigger();
      expected.push_back(action->data().toInt());
    }
  }
  EXPECT_EQ(b.dispatched, expected);
  EXPECT_EQ(PlayerMenus::FindItem(b.menus.main, 16), nullptr) << "16 has no item";
}

TEST(PlayerMenus, MainMenuPicturesAreOwnAndOnlyOnTheirItems) {
  Built b;
  std::vector<QImage> pictures;
  for (int id : Ids(kMain)) {
    QIcon icon = PlayerMenus::FindItem(b.menus.main, id)->icon();
    bool wanted = id == 1 || id == 2 || id == 4 || id == 5 || id == 18;
    EXPECT_EQ(!icon.isNull(), wanted) << id;
    if (!wanted) continue;
    QImage picture = icon.pixmap(16, 16).toImage();
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
  std::vector<std::string> expected = {"10026 Choose...", "-", "10001 /media/ann/STICK",
                                       "10025 /run/media/ann/LAST"};
  EXPECT_EQ(Lines(b.menus.sendToMedia), expected) << "old drives gone, strays skipped";
  PlayerMenus::FindItem(b.menus.sendToMedia, 10025)->trigger();
  PlayerMenus::FindItem(b.menus.sendToMedia, 10026)->trigger();
  EXPECT_EQ(b.dispatched, (std::vector<int>{10025, 10026}));

  b.menus.SetDriveItems({{10002, "Tom & Jerry"}});
  EXPECT_EQ(PlayerMenus::FindItem(b.menus.sendToMedia, 10002)->text(), "Tom && Jerry")
      << "shown with its ampersand, not as a mnemonic";
  b.menus.SetDriveItems({});
  EXPECT_EQ(Lines(b.menus.sendToMedia), (std::vector<std::string>{"10026 Choose...", "-"}));
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

TEST(SkinToolTips, ComeBackWithTheCurrentTextsAndShowAfterTheDelay) {
  std::array<QWidget, 15> owned;
  std::vector<QWidget*> buttons;
  for (QWidget& w : owned) buttons.push_back(&w);
  buttons[5] = nullptr;  // a skin without that button
  SkinToolTips tips;
  ToolTipState state;
  tips.Build(buttons, true, state, Qt::yellow, Qt::darkBlue);
  EXPECT_TRUE(owned[9].toolTip().contains("Playlist randomization is off"));
  EXPECT_TRUE(owned[9].testAttribute(Qt::WA_AlwaysShowToolTips));
  EXPECT_TRUE(owned[5].toolTip().isEmpty());

  tips.Build(buttons, false, state, Qt::yellow, Qt::darkBlue);
  EXPECT_TRUE(owned[9].toolTip().isEmpty());
  state = {.random = true, .loop = true, .stage = 2};
  tips.UpdateTip(buttons[10], SkinButtonToolTip(10, state));
  EXPECT_TRUE(owned[10].toolTip().isEmpty()) << "no tips while they are off";
  tips.Build(buttons, true, state, Qt::yellow, Qt::darkBlue);
  EXPECT_TRUE(owned[9].toolTip().contains("Playlist randomization is on"));
  EXPECT_TRUE(owned[10].toolTip().contains("Playlist looping is on"));
  EXPECT_TRUE(owned[14].toolTip().contains("Skin expansion stage:  2"));

  // The pointer enters the random button: its tip follows, not at once.
  owned[9].setGeometry(QCursor::pos().x() - 5, QCursor::pos().y() - 5, 10, 10);
  owned[9].show();
  owned[9].setAttribute(Qt::WA_UnderMouse);
  QEvent enter(QEvent::Enter);
  QApplication::sendEvent(&owned[9], &enter);
  EXPECT_FALSE(QToolTip::isVisible());
  for (int i = 0; i < 200 && !QToolTip::isVisible(); ++i) {
    QApplication::processEvents(QEventLoop::AllEvents, 10);
    QThread::msleep(10);
  }
  EXPECT_TRUE(QToolTip::isVisible());
  EXPECT_TRUE(QToolTip::text().contains("Playlist randomization is on"));
  EXPECT_EQ(QToolTip::palette().color(QPalette::ToolTipBase), QColor(Qt::darkBlue));
}

}  // namespace
}  // namespace qmb
