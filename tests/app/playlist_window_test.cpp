// The playlist's windows offscreen with simulated input, wired to the real
// switchboard, playing real tracks on the engine's null output.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <QUrl>
#include <filesystem>
#include <fstream>

#include "app/player_parts.h"
#include "app/playlist_windows.h"
#include "app/switchboard.h"
#include "core/command_ids.h"
#include "core/player_core.h"
#include "null_engine_suite.h"
#include "playback/sound_engine.h"
#include "player_core_setup.h"
#include "scripted_desktop.h"
#include "temp_folder.h"
#include "ui/menus.h"
#include "ui/playlist/add_files_window.h"
#include "ui/playlist/playlist_window.h"

namespace qmb {
namespace {

namespace fs = std::filesystem;
using namespace command;

std::string Media(const std::string& name) {
  return std::string(QMB_SHORT_MEDIA "/") + name;
}

class PlaylistWindowTest : public test::NullEngineSuite {
 public:
  PlaylistWindowTest() {
    test::SetUpPlayerCore(core, folder.Path());
    // Events keep flowing while the player's long loops run.
    desktop.onProcessEvents = [] { QApplication::processEvents(); };
    core.state.browseFolder = folder.Path();
    for (int i = 0; i < 10; ++i) AddPlaylistEntry(parts.playlist, Media(kNames[i % 3]));
    windows = std::make_unique<PlaylistWindows>(core, parts, board, menus);
    Window().show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&Window()));
    QApplication::processEvents();
  }
  ~PlaylistWindowTest() override {
    parts.playback.StopPlayback(CycleReset::No);
    windows.reset();
  }

  QWidget& Window() { return *Win().Window(); }
  PlaylistWindow& Win() { return windows->Playlist(); }
  QTreeView* View() { return Win().PlaylistView(); }
  EntryList& List() { return parts.playlist.list; }
  QPoint RowPoint(QTreeView* view, int row) {
    return view->visualRect(view->model()->index(row, 0)).center();
  }
  void Click(int row, Qt::KeyboardModifiers keys = {}) {
    QTest::mouseClick(View()->viewport(), Qt::LeftButton, keys, RowPoint(View(), row));
  }
  // Press, release, the double click, release: what the desktop sends.
  void DoubleClick(QTreeView* view, int row) {
    QPoint at = RowPoint(view, row);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
    QMouseEvent twice(QEvent::MouseButtonDblClick, at, view->viewport()->mapToGlobal(at),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view->viewport(), &twice);
    QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, at);
  }
  // The drag enters, then drops, as the desktop delivers a drop.
  void Drop(QWidget* target, const std::vector<std::string>& paths) {
    QMimeData data;
    QList<QUrl> urls;
    // Encoded from the bytes, as a file manager sends names that are no UTF-8.
    for (const std::string& path : paths) {
      urls.append(
          QUrl::fromEncoded("file://" + QByteArray::fromStdString(path).toPercentEncoding("/")));
    }
    data.setUrls(urls);
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
  }

  static constexpr const char* kNames[] = {"a.wav", "b.mp3", "c.ogg"};
  test::TempFolder folder;
  test::ScriptedDesktop desktop;
  PlayerCore core;
  PlayerParts parts{core};
  Switchboard board{core, parts};
  PlayerMenus menus{parts.checks, [this](int id) { board.Command(id); }};
  std::unique_ptr<PlaylistWindows> windows;
};

TEST_F(PlaylistWindowTest, ClicksTitleTheWindowAndDoubleClickAndEnterPlayTheCursorRow) {
  Click(0);
  Click(2, Qt::ControlModifier);
  Click(5, Qt::ControlModifier);
  EXPECT_EQ(Window().windowTitle(), "Playlist - Selected  3");
  Click(3);
  EXPECT_EQ(Window().windowTitle(), "Playlist - Item  4 /  10");

  DoubleClick(View(), 1);
  EXPECT_EQ(parts.playback.st.currentIndex, 1);
  EXPECT_EQ(parts.playback.st.state, kPlaying);
  parts.playback.PositionTick();
  EXPECT_EQ(Win().StatusBar()->currentMessage().toStdString(), parts.playback.st.nowPlayingText);

  Click(6);
  QTest::keyClick(View(), Qt::Key_Return);
  EXPECT_EQ(parts.playback.st.currentIndex, 6);
}

TEST_F(PlaylistWindowTest, KeysEditTheListAndDeletingEveryRowKeepsItShown) {
  Click(0);
  QTest::keyClick(View(), Qt::Key_X, Qt::ControlModifier);
  EXPECT_EQ(List().Count(), 9);
  Click(8);
  QTest::keyClick(View(), Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(List().Count(), 10);
  EXPECT_EQ(List().Field(9, kTitle), "a") << "pasted after the last row";
  Click(1);
  QTest::keyClick(View(), Qt::Key_Delete);
  EXPECT_EQ(List().Count(), 9);

  QTest::keyClick(View(), Qt::Key_A, Qt::ControlModifier);
  EXPECT_EQ(List().SelectedCount(), 9);
  QTest::keyClick(View(), Qt::Key_Delete);
  EXPECT_EQ(List().Count(), 0);
  EXPECT_TRUE(View()->isVisible());
  EXPECT_TRUE(View()->updatesEnabled());

  QTest::keyClick(View(), Qt::Key_F, Qt::ControlModifier);
  EXPECT_TRUE(Win().SearchPanelShown());
  EXPECT_TRUE(Win().SearchText()->hasFocus());
}

TEST_F(PlaylistWindowTest, RightClickRebuildsTheDriveItemsAndTheCopyWindowCancels) {
  test::TempFolder drive;
  windows->driveItems = [&] { return DriveItemList{{10000, drive.Path()}, {10001, "/media/x"}}; };
  Click(0);
  Click(1, Qt::ControlModifier);
  QPoint at = RowPoint(View(), 1);
  QContextMenuEvent menu(QContextMenuEvent::Mouse, at, View()->viewport()->mapToGlobal(at));
  QApplication::sendEvent(View()->viewport(), &menu);
  ASSERT_TRUE(menus.playlistContext->isVisible());
  QAction* item = PlayerMenus::FindItem(menus.sendToMedia, 10001);
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(item->text(), "/media/x");
  menus.playlistContext->hide();

  // Cancelled from its window, the copy leaves nothing of a file (copying
  // itself is the media suite's).
  QTimer::singleShot(0, [] {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (w->windowTitle() == "Copying Files..." && w->isVisible())
        QTest::mouseClick(w->findChild<QPushButton*>(), Qt::LeftButton);
    }
  });
  PlayerMenus::FindItem(menus.sendToMedia, 10000)->trigger();
  ASSERT_EQ(desktop.Texts(), std::vector<std::string>{"User canceled copy operation."});
  EXPECT_TRUE(drive.Entries().empty());
}

TEST_F(PlaylistWindowTest, SearchRunsAsYouTypeAndAMatchLocatesItsRow) {
  QTest::keyClick(View(), Qt::Key_F, Qt::ControlModifier);
  QTest::keyClicks(Win().SearchText(), "b");
  EXPECT_EQ(parts.search.results.Count(), 3);
  Win().Category()->setCurrentIndex(8);  // "File Type"
  QTest::keyClick(Win().SearchText(), Qt::Key_Backspace);
  QTest::keyClicks(Win().SearchText(), "og");
  ASSERT_EQ(parts.search.results.Count(), 3);
  EXPECT_EQ(parts.search.results.Field(1, 0), "5: c");

  QTreeView* results = Win().ResultsView();
  DoubleClick(results, 1);
  EXPECT_EQ(List().Cursor(), 5);
  EXPECT_EQ(List().SelectedRows(), std::vector<int>{5});
}

TEST_F(PlaylistWindowTest, HeaderClicksSortAndRowsFollow) {
  List().SetCursor(4);  // b
  board.PlaylistDoubleClicked();
  List().SetSelected(4, true);
  board.Command(kAddToCue);
  QHeaderView* header = View()->header();
  auto clickHeader = [&](int field) {
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(field) + 5, header->height() / 2));
  };
  clickHeader(kFileType);  // mp3, ogg, wav
  EXPECT_EQ(List().Field(0, kFileType), "mp3");
  EXPECT_EQ(ReferencedRow(parts.cueList.Field(0, 0)), parts.playback.st.currentIndex);
  clickHeader(kFileType);
  EXPECT_EQ(List().Field(0, kFileType), "wav") << "the second click sorts descending";
  EXPECT_EQ(List().Field(parts.playback.st.currentIndex, kFileType), "mp3");

  // Dragged rows land where they are dropped.
  List().SelectNone();
  List().SetSelected(9, true);
  QAbstractItemModel* model = View()->model();
  std::unique_ptr<QMimeData> rows(model->mimeData({model->index(9, 0)}));
  model->dropMimeData(rows.get(), Qt::MoveAction, 0, 0, {});
  EXPECT_EQ(List().Field(0, kFileType), "mp3");
  EXPECT_EQ(List().SelectedRows(), std::vector<int>{0});
}

// A drop on the list adds as one on the window does (the order of what a
// drop adds is the adder's), then plays what it added.
TEST_F(PlaylistWindowTest, ADropOnTheListAddsAndPlays) {
  Drop(View()->viewport(), {Media("b.mp3")});
  ASSERT_TRUE(QTest::qWaitFor([&] { return List().Count() == 11; }, 20000));
  EXPECT_EQ(parts.playback.st.currentIndex, 10);
}

TEST_F(PlaylistWindowTest, TenThousandDroppedFilesLetTheWindowsWork) {
  fs::create_directory(folder.Path() + "many");
  std::vector<std::string> paths;
  for (int i = 0; i < 10000; ++i) {
    paths.push_back(folder.Path() + "many/" + std::to_string(i) + ".mp3");
    std::ofstream(paths.back()).put('x');
  }
  for (const char* odd : {"name\nwith newline.mp3", "bad\xff.mp3"}) {
    paths.push_back(folder.Path() + odd);
    folder.Write(odd, "x");
  }
  int seenDuringAdd = -1;
  Drop(&Window(), paths);
  QTimer::singleShot(0, [&] { seenDuringAdd = List().Count(); });
  ASSERT_TRUE(QTest::qWaitFor([&] { return List().Count() == 10012; }, 120000));
  EXPECT_LT(seenDuringAdd, 10012) << "events ran while the files were added";
  QString shown = View()->model()->data(View()->model()->index(10010, kPath)).toString();
  EXPECT_FALSE(shown.contains('\n'));
  EXPECT_EQ(EntryPath(List(), 10011), folder.Path() + "bad\xff.mp3");
}

TEST_F(PlaylistWindowTest, AddFilesWindowAndAddUrl) {
  fs::create_directories(folder.Path() + "music/deeper");
  for (const char* name : {"music/2.mp3", "music/1.ogg", "music/deeper/3.wav"})
    folder.Write(name, "x");
  board.Command(kOpen);
  AddFilesWindow& add = windows->AddFiles();
  EXPECT_TRUE(add.Window()->isVisible());
  add.SelectFolder(folder.Path() + "music");
  ASSERT_EQ(add.FileList()->count(), 2);
  EXPECT_EQ(add.FileList()->item(0)->text(), "1.ogg");
  add.FileList()->item(1)->setSelected(true);
  QTest::mouseClick(add.Button(kAddSelected), Qt::LeftButton);
  EXPECT_EQ(List().Field(10, kTitle), "2");
  QTest::mouseClick(add.Button(kAddDirectories), Qt::LeftButton);
  EXPECT_EQ(List().Count(), 14);
  QTest::mouseClick(add.CloseWhenDone(), Qt::LeftButton);
  QTest::mouseClick(add.Button(kAddAll), Qt::LeftButton);
  EXPECT_EQ(List().Count(), 16);
  EXPECT_FALSE(add.Window()->isVisible());

  desktop.textAnswers = {std::string("http://radio.example/live"), std::nullopt};
  board.Command(kAddUrl);
  board.Command(kAddUrl);
  EXPECT_EQ(List().Count(), 17);
  EXPECT_TRUE(desktop.messages.empty());
}

}  // namespace
}  // namespace qmb
