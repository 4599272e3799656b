// Every item of every menu the started player builds reaches an operation,
// except the ones whose windows are not built yet: the list below names them
// exactly, so a feature that lands must take its ids out of it. The
// equalizer's and the visual window's items then act on the started player.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>
#include <cstdlib>
#include <filesystem>
#include <set>

#include "app/player_parts.h"
#include "app/shutdown.h"
#include "app/startup.h"
#include "app/switchboard.h"
#include "app/system_services.h"
#include "core/command_ids.h"
#include "core/player_core.h"
#include "eq/eq_presets.h"
#include "scripted_desktop.h"
#include "services/about.h"
#include "temp_folder.h"
#include "ui/eq_preset_window.h"
#include "ui/menus.h"
#include "ui/skin/visual_window.h"
#include "ui/tray_icon.h"

namespace qmb::test {
namespace {

using namespace qmb::command;

// Menu ids whose windows or features are still to come: none today. A menu
// item added before its feature is listed here until the feature lands.
const std::set<int> kWaiting = {};

void CollectIds(const QMenu* menu, std::set<int>& ids) {
  for (QAction* action : menu->actions()) {
    if (action->menu()) {
      CollectIds(action->menu(), ids);
    } else if (!action->isSeparator()) {
      ids.insert(action->data().toInt());
    }
  }
}

TEST(MenuCommands, EveryItemReachesAnOperationOrIsListedAsWaiting) {
  PlayerWindows& windows = TheWindows();
  ASSERT_NE(windows.menus, nullptr);
  ASSERT_NE(windows.board, nullptr);
  const PlayerMenus& menus = *windows.menus;
  std::set<int> ids;
  for (const QMenu* menu :
       {menus.main, menus.equalizer, menus.visual, menus.playlistContext, menus.seek, menus.volume,
        menus.balance, menus.stop, menus.previous, menus.exit}) {
    ASSERT_NE(menu, nullptr);
    CollectIds(menu, ids);
  }
  ASSERT_NE(menus.playlistBar, nullptr);
  for (const QAction* action : menus.playlistBar->actions()) CollectIds(action->menu(), ids);
  ASSERT_GT(ids.size(), 60u);

  std::set<int> unhandled;
  for (int id : ids) {
    if (!windows.board->Handles(id)) unhandled.insert(id);
  }
  EXPECT_EQ(unhandled, kWaiting);
  // The skin's middle button is no menu item but has its operation.
  EXPECT_TRUE(windows.board->Handles(kMiddleButton));
}

std::vector<float> Bands() {
  std::vector<float> values;
  for (int band = 0; band < kEqBandCount; ++band)
    values.push_back(ThePlayer().state.sliders[band].value);
  return values;
}

TEST(MenuCommands, TheEqualizerMenuMovesTheSlidersAndOpensThePresets) {
  Switchboard& board = *TheWindows().board;
  const std::string& title = TheParts().displays.titleText;
  ASSERT_TRUE(board.Command(kNormalizeEq));
  EXPECT_EQ(Bands(), std::vector<float>(10, 15.0f));
  EXPECT_EQ(title, "Equalizer  9:  15");
  ASSERT_TRUE(board.Command(kLowerEq));
  EXPECT_EQ(Bands(), std::vector<float>(10, 13.0f));

  EqBands preset{};
  preset.fill(21.0f);
  SaveEqPreset(ThePlayer().programFolder + "QEQ/Twenty One.qeq", preset);
  EqPresetWindow& window = *TheWindows().presetWindow;
  ASSERT_TRUE(board.Command(kLoadEqPreset));
  QPointer<QWidget> first = window.Window();
  ASSERT_TRUE(first && first->isVisible());
  ASSERT_EQ(window.List()->count(), 1);
  window.List()->setCurrentRow(0);
  EXPECT_EQ(Bands(), std::vector<float>(10, 21.0f));
  EXPECT_TRUE(first->isVisible()) << "the window stays for the next choice";
  ASSERT_TRUE(board.Command(kClosePresetWindow));
  EXPECT_EQ(window.Window(), nullptr);
}

TEST(MenuCommands, TheVisualMenuSetsTheModeAndDetachesTheWindow) {
  Switchboard& board = *TheWindows().board;
  VisualRenderer& visual = *TheWindows().visual;
  struct Case {
    int id;
    int kind, spectrum, scope;
  } cases[] = {{kSpectrumVoiceMode, 0, 2, 0}, {kScopeWaveMode, 1, 2, 2}};
  for (const Case& c : cases) {
    ASSERT_TRUE(board.Command(c.id));
    const VisualState& s = visual.state;
    EXPECT_EQ(std::tuple(s.visKind, s.spectrumStyle, s.scopeStyle),
              std::tuple(c.kind, c.spectrum, c.scope))
        << c.id;
  }
  QWidget* detached = visual.DetachedWindow();
  ASSERT_NE(detached, nullptr);
  EXPECT_FALSE(detached->isVisible()) << "hidden at start-up";
  ASSERT_TRUE(board.Command(kDetachVisualWindow));
  EXPECT_TRUE(detached->isVisible());
  EXPECT_EQ(detached->windowTitle(), "Visualization Window");
  ASSERT_TRUE(board.Command(kAttachVisualWindow));
  EXPECT_FALSE(detached->isVisible());
  // The mode the menu chose is kept for the next start.
  SaveSettingsNow(ThePlayer());
  PlayerSettings saved = ReadSettings(ThePlayer().programFolder);
  EXPECT_EQ(std::tuple(saved.visKind, saved.spectrumStyle, saved.scopeStyle), std::tuple(1, 2, 2));
  EXPECT_FALSE(TheWindows().visualTimer->isActive()) << "nothing plays: no visual timer";
  AddPlaylistEntry(TheParts().playlist, QMB_FIXTURE_DIR "/loud_noise_3s.wav");
  ASSERT_TRUE(board.Command(kPlay));
  EXPECT_TRUE(TheWindows().visualTimer->isActive()) << "a track plays: the picture can change";
  ASSERT_TRUE(board.Command(kStop));
  EXPECT_FALSE(TheWindows().visualTimer->isActive());
}

// The tray icon shows the picture its trackbar picks; a double click on it
// shows the main window again.
TEST(MenuCommands, TrayIconFollowsItsTrackbarAndADoubleClickShowsTheMainWindow) {
  PlayerTray* tray = TheTray();
  ASSERT_NE(tray, nullptr);
  EXPECT_EQ(tray->Icon().toolTip(), "Qumble Player");
  auto picture = [tray] { return tray->Icon().icon().pixmap(32, 32).toImage(); };
  QImage before = picture();
  ThePlayer().panel.trayIcon.SetPosition(203);
  EXPECT_NE(picture(), before);
  TheWindows().main->hide();
  emit tray->Icon().activated(QSystemTrayIcon::DoubleClick);
  EXPECT_TRUE(TheWindows().main->isVisible());
}

// The about box names the version, the processors and their type number.
TEST(MenuCommands, AboutShowsTheVersionAndThisMachinesProcessors) {
  auto& desktop = static_cast<ScriptedDesktop&>(TheDesktop());
  desktop.messages.clear();
  ASSERT_TRUE(TheWindows().board->Command(kAbout));
  ASSERT_EQ(desktop.messages.size(), 1u);
  EXPECT_EQ(desktop.messages[0].caption, "About...");
  const std::string& text = desktop.messages[0].text;
  EXPECT_EQ(text.rfind("Qumble Player 4.99\r\n", 0), 0u) << text;
  std::string processors = "\r\nNumber of processors:\t " + std::to_string(ProcessorCount());
  EXPECT_NE(text.find(processors + "\r\nProcessor Type:\t\t "), std::string::npos) << text;
}

}  // namespace
}  // namespace qmb::test

// The whole player starts in this process from a program folder of its own:
// the picture library, the bundled skins and the icons of the build, nothing
// else.
int main(int argc, char** argv) {
  qmb::test::TempFolder folder;
  qmb::test::TempFolder runtime;
  setenv("XDG_RUNTIME_DIR", runtime.Path().c_str(), 1);
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  std::filesystem::copy_file(QMB_PROGRAM_FOLDER "/image.so", folder.Path() + "image.so");
  std::filesystem::create_directory_symlink(QMB_PROGRAM_FOLDER "/Skins", folder.Path() + "Skins");
  std::filesystem::create_directory(folder.Path() + "QEQ");
  std::filesystem::create_directory_symlink(QMB_PROGRAM_FOLDER "/Icons", folder.Path() + "Icons");
  QApplication application(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);
  qmb::test::ScriptedDesktop desktop;
  ::testing::InitGoogleTest(&argc, argv);
  qmb::StartPlayer("QMB", folder.Path());
  int result = RUN_ALL_TESTS();
  // The player's parts live for the process; end it as the player does.
  std::error_code ignored;
  std::filesystem::remove_all(folder.Path(), ignored);
  std::filesystem::remove_all(runtime.Path(), ignored);
  std::fflush(nullptr);
  std::_Exit(result);
}
