// Screenshots of the playlist's windows as the player builds them:
//   xvfb-run -a build/tools/playlist/qmb_playlist_screenshots build/QMB docs/screenshots
// The playlist with twenty entries of mixed types (the one that plays red),
// the search panel with results, the cue panel, the Add Files window and
// the copy window.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPixmap>
#include <QThread>
#include <QTreeView>
#include <QWidget>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/control_panel_model.h"
#include "media/media_copy.h"
#include "playlist/adding_files.h"
#include "playlist/playlist_editing.h"
#include "playlist/playlist_store.h"
#include "ui/menus.h"
#include "ui/playlist/add_files_window.h"
#include "ui/playlist/copy_window.h"
#include "ui/playlist/entry_list_model.h"
#include "ui/playlist/playlist_window.h"

namespace {

struct Entry {
  const char* path;
  const char* title;
  const char* length;
  const char* played;
  const char* added;
  const char* lastPlayed;
};

const Entry kEntries[] = {
    {"/home/ann/Music/Lumen/Harbour Lights.mp3", "Lumen - Harbour Lights", "00:04:12.53", "7",
     "03/14/26", "12/01/26"},
    {"/home/ann/Music/Lumen/Paper Boats.mp3", "Lumen - Paper Boats", "00:03:48.10", "5", "03/14/26",
     "11/30/26"},
    {"/home/ann/Music/Field Notes/Morning Rain.ogg", "Field Notes - Morning Rain", "00:06:01.77",
     "12", "01/02/26", "12/05/26"},
    {"/home/ann/Music/Field Notes/Low Tide.ogg", "Field Notes - Low Tide", "00:05:20.00", "3",
     "01/02/26", "10/17/26"},
    {"/home/ann/Music/Chips/space_cadet.xm", "space cadet", "00:02:55.31", "21", "08/09/25",
     "12/06/26"},
    {"/home/ann/Music/Chips/lost in the mines.mod", "lost in the mines", "00:03:33.00", "9",
     "08/09/25", "11/11/26"},
    {"/home/ann/Music/Chips/overdrive.it", "overdrive", "00:04:40.25", "2", "08/09/25", "09/02/26"},
    {"/home/ann/Music/Samples/waltz.mid", "waltz", "00:01:12.00", "1", "12/06/26", "12/06/26"},
    {"/home/ann/Music/Samples/melody.ogg", "melody", "00:00:21.00", "4", "12/06/26", "12/06/26"},
    {"/home/ann/Music/Old Rips/Nightshift.wma", "Nightshift", "00:04:02.00", "0", "05/05/24",
     "Never Played"},
    {"/home/ann/Music/Old Rips/Sundown.wma", "Sundown", "00:03:59.00", "1", "05/05/24", "06/06/24"},
    {"/home/ann/Recordings/voice memo 12.wav", "voice memo 12", "00:00:48.90", "2", "11/21/26",
     "11/22/26"},
    {"http://radio.example/live.mp3", "Radio Example (live)", "No Length", "14", "02/10/26",
     "12/06/26"},
    {"cda://sr0/Track02.cda", "Track02", "00:03:17.00", "0", "12/02/26", "Never Played"},
    {"/home/ann/Music/Lossless/Glass Garden.flac", "Glass Garden", "Unknown", "0", "12/06/26",
     "Never Played"},
    {"/home/ann/Music/Lumen/Tidal Lock.mp3", "Lumen - Tidal Lock", "00:05:05.05", "6", "03/14/26",
     "12/02/26"},
    {"/home/ann/Music/Field Notes/Lanterns.ogg", "Field Notes - Lanterns", "00:04:44.44", "8",
     "01/02/26", "12/04/26"},
    {"/home/ann/Music/Chips/boss rush.s3m", "boss rush", "00:02:02.02", "13", "08/09/25",
     "12/03/26"},
    {"/home/ann/Music/Old Rips/Last Call.mp2", "Last Call", "00:03:21.00", "0", "05/05/24",
     "Never Played"},
    {"/home/ann/Music/Lumen/Slow Orbit.mp3", "Lumen - Slow Orbit", "00:06:36.60", "4", "03/14/26",
     "11/28/26"},
};

constexpr int kPlayingRow = 2;

bool Save(QWidget* window, const QString& path) {
  QApplication::processEvents();
  bool saved = window->grab().save(path);
  if (!saved) std::fprintf(stderr, "could not write %s\n", qPrintable(path));
  return saved;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: qmb_playlist_screenshots <program folder> <output folder>\n");
    return 2;
  }
  QApplication application(argc, argv);
  std::string programFolder = std::string(argv[1]) + "/";
  QString out = QString::fromLocal8Bit(argv[2]) + "/";
  QDir().mkpath(out);

  qmb::ControlPanelModel panel;
  qmb::PlaylistStore store(panel);
  for (const Entry& e : kEntries) {
    qmb::AddPlaylistEntry(store, e.path, {e.title, e.length, e.played, e.added, e.lastPlayed});
  }
  store.list.SetField(kPlayingRow, qmb::kPlayedThisCycle, "Yes");
  qmb::EntryList cue(qmb::kCueFieldCount);
  qmb::SearchPanel search;
  qmb::EditModel title;
  title.SetText("Playlist - Item  3 /  20");
  qmb::PlaybackDisplays displays;
  displays.statusBarText = "Field Notes - Morning Rain";
  displays.progressMaximum = 361;
  displays.progressValue = 140;
  qmb::MenuChecks checks;
  qmb::PlayerMenus menus(checks, [](int) {});
  std::vector<QPixmap> icons = qmb::LoadTypeIcons(programFolder);
  qmb::PlaylistWindowHooks hooks;
  hooks.command = [](int) {};
  hooks.currentRow = [] { return kPlayingRow; };
  qmb::PlaylistWindow window({store.list, cue, search, title, displays}, hooks, menus.playlistBar,
                             &icons);
  window.Window()->resize(720, 420 + window.Window()->height() - 300);
  store.list.SetCursor(7);
  store.list.SetSelected(7, true);
  window.CheckCurrentRow();
  window.Window()->show();
  bool ok = Save(window.Window(), out + "playlist-window.png");

  window.FocusSearch();
  window.SearchText()->setText("lumen");
  search.text.SetText("lumen");
  qmb::Search(store, search, "lumen");
  ok = Save(window.Window(), out + "playlist-search.png") && ok;

  store.list.SelectNone();
  for (int row : {4, 17, 12}) store.list.SetSelected(row, true);
  qmb::AddToCue(store, cue);
  window.ToggleCuePanel();
  ok = Save(window.Window(), out + "playlist-cue.png") && ok;

  // The Add Files window on a music folder of its own, shown as the tree's top.
  std::string root = (std::filesystem::temp_directory_path() / "qmb-screens").string();
  std::string folder = root + "/Music/";
  for (const char* artist : {"Lumen", "Field Notes", "Chips", "Old Rips"}) {
    std::filesystem::create_directories(folder + artist);
  }
  for (const char* name : {"Harbour Lights.mp3", "Paper Boats.mp3", "Slow Orbit.mp3",
                           "Tidal Lock.mp3", "cover.jpg", "notes.txt"}) {
    std::ofstream(folder + "Lumen/" + name) << "x";
  }
  qmb::AddFilesForm form;
  qmb::AddFilesWindow addFiles(
      form, {[](int) {}, [&form](const std::string& f) { qmb::ChooseFolder(form, f); }});
  addFiles.SelectFolder(folder + "Lumen");
  auto* tree = static_cast<QFileSystemModel*>(addFiles.Tree()->model());
  addFiles.Tree()->setRootIndex(tree->index(QString::fromStdString(root)));
  addFiles.FileList()->item(1)->setSelected(true);
  addFiles.FileList()->item(3)->setSelected(true);
  form.caption.SetText("Add Files To Playlist - Took  0.042 Seconds to complete process.");
  form.progress.SetRange(0, 4);
  form.progress.SetValue(3);
  form.clearFirst.SetChecked(true);
  addFiles.Window()->show();
  // The folder tree fills and sorts itself in the background.
  QElapsedTimer filling;
  filling.start();
  while (filling.elapsed() < 700) {
    QApplication::processEvents();
    QThread::msleep(10);
  }
  ok = Save(addFiles.Window(), out + "add-files.png") && ok;
  std::filesystem::remove_all(root);

  qmb::CopyProgressWindow copy(nullptr);
  copy.SetBatchRange(4);
  copy.SetBatchPosition(1);
  copy.SetAmountLine(qmb::CopiedAmountText(2650112, 6062080));
  copy.SetDestinationLine("/media/ann/MY STICK/Paper Boats.mp3");
  copy.SetFileProgress(qmb::ScaledFileProgress(2650112, 6062080));
  ok = Save(copy.Window(), out + "copy-window.png") && ok;
  return ok ? 0 : 1;
}
