// Every item of every menu the started player builds reaches an operation,
// except the ones whose windows are not built yet: the list below names them
// exactly, so a feature that lands must take its ids out of it.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <cstdlib>
#include <filesystem>
#include <set>

#include "app/startup.h"
#include "app/switchboard.h"
#include "app/system_services.h"
#include "core/command_ids.h"
#include "core/player_core.h"
#include "scripted_desktop.h"
#include "services/about.h"
#include "temp_folder.h"
#include "ui/control_panel/control_panel.h"
#include "ui/menus.h"
#include "ui/tray_icon.h"

namespace qmb::test {
namespace {

using namespace qmb::command;

// Menu ids whose windows or features are still to come.
const std::set<int> kWaiting = {
    kOpen,
    kShowPlaylist,
    kLoadEqPreset,
    kSaveEqPreset,
    kRaiseEq,
    kLowerEq,
    kNormalizeEq,
    kRandomizeEq,
    kAddFiles,
    kAddUrl,
    kSearchWindow,
    kCueList,
    kChooseDestination,
    kDetachVisualWindow,
    kAttachVisualWindow,
    kSpectrumFireMode,
    kSpectrumDotMode,
    kSpectrumVoiceMode,
    kScopeLineMode,
    kScopeDotMode,
    kScopeWaveMode,
};

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

// "Select Plug-in" opens the control panel on its visual plug-ins page.
TEST(MenuCommands, SelectPluginOpensTheVisualPluginsPage) {
  ControlPanel* panel = TheControlPanel();
  ASSERT_NE(panel, nullptr);
  ASSERT_TRUE(TheWindows().board->Command(kSelectPlugin));
  EXPECT_TRUE(panel->Window()->isVisible());
  EXPECT_EQ(panel->Page(), kVisualPluginsPage);
  int shown = 0;
  for (QWidget* child : panel->Window()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    QVariant page = child->property("qmbPage");
    if (!page.isValid() || !child->isVisible()) continue;
    EXPECT_EQ(page.toInt(), kVisualPluginsPage) << child->objectName().toStdString();
    ++shown;
  }
  EXPECT_EQ(shown, 4);
  ASSERT_TRUE(TheWindows().board->Command(kClosePanel));
  EXPECT_FALSE(panel->Window()->isVisible());
}

// The tray icon shows the picture its trackbar picks; a double click on it
// brings the main window back.
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
