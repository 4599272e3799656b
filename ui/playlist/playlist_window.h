// The "Playlist" window: the playlist as a nine-column list over the store's
// rows, the transport strip with the progress bar and "Locate Current", the
// status bar, and the search and cue panels on the right. Every reaction goes
// out through the hooks (the switchboard); the window shows the models.
#pragma once

#include <QObject>
#include <QPixmap>
#include <QPoint>
#include <functional>
#include <string>
#include <vector>

#include "core/window_geometry.h"
#include "playback/playback_state.h"
#include "playlist/entry_list.h"
#include "playlist/playlist_editing.h"

class QComboBox;
class QKeyEvent;
class QLineEdit;
class QMenuBar;
class QProgressBar;
class QPushButton;
class QStatusBar;
class QTreeView;
class QWidget;

namespace qmb {

class EntryListModel;

// Where LayoutPlaylistWindow puts the controls in a client area of W x H.
struct PlaylistLayout {
  Rect playlist, searchText, category, results, cue;
  Rect play, pause, stop, progress, locate;
};
PlaylistLayout LayoutPlaylistWindow(int width, int height, bool searchShown, bool cueShown);

// The column headers and widths of the playlist (the path's width is 0).
extern const char* const kPlaylistHeaders[9];
extern const int kPlaylistWidths[9];

struct PlaylistWindowModels {
  EntryList& playlist;
  EntryList& cue;
  SearchPanel& search;
  EditModel& title;
  PlaybackDisplays& displays;
};

struct PlaylistWindowHooks {
  std::function<void(int id)> command;
  std::function<void()> clicked;
  std::function<void()> doubleClicked;
  std::function<void(bool enter, bool del)> key;
  std::function<void()> cueActivated;  // double click or Enter
  std::function<void()> cueDelete;
  std::function<void(int row)> resultDoubleClicked;
  std::function<void(int row)> resultEnter;
  std::function<void(QPoint global)> contextMenu;
  std::function<void(const std::vector<std::string>& paths)> filesDropped;
  std::function<void(int field)> headerClicked;
  std::function<void(int destination)> rowsMoved;
  // The row that plays, drawn red.
  std::function<int()> currentRow;
};

class PlaylistWindow : public QObject {
 public:
  PlaylistWindow(PlaylistWindowModels models, PlaylistWindowHooks hooks, QMenuBar* menuBar,
                 const std::vector<QPixmap>* icons);
  ~PlaylistWindow() override;

  QWidget* Window() const { return window_; }
  QWidget* Client() const { return client_; }

  // Shows or hides a side panel; the other one closes first.
  void ToggleSearchPanel();
  void ToggleCuePanel();
  // Ctrl+F: the search panel, with the keyboard in the search text.
  void FocusSearch();
  bool SearchPanelShown() const { return searchShown_; }
  bool CuePanelShown() const { return cueShown_; }
  // The sort column's arrow in the header.
  void ShowSortOrder(int field, bool ascending);
  // The row that plays may have changed: repaint its colour.
  void CheckCurrentRow();

  QTreeView* PlaylistView() const { return playlist_; }
  QTreeView* CueView() const { return cue_; }
  QTreeView* ResultsView() const { return results_; }
  QLineEdit* SearchText() const { return searchText_; }
  QComboBox* Category() const { return category_; }
  QProgressBar* Progress() const { return progress_; }
  QStatusBar* StatusBar() const { return status_; }
  QPushButton* Button(int id) const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Layout();
  void ShowDisplays();
  bool PlaylistKey(QKeyEvent* key);

  PlaylistWindowModels models_;
  PlaylistWindowHooks hooks_;
  QWidget* window_ = nullptr;
  QMenuBar* menuBar_ = nullptr;
  QWidget* client_ = nullptr;
  QTreeView* playlist_ = nullptr;
  QTreeView* cue_ = nullptr;
  QTreeView* results_ = nullptr;
  QLineEdit* searchText_ = nullptr;
  QComboBox* category_ = nullptr;
  QProgressBar* progress_ = nullptr;
  QStatusBar* status_ = nullptr;
  std::vector<QPushButton*> buttons_;
  EntryListModel* playlistModel_ = nullptr;
  EntryListModel* cueModel_ = nullptr;
  EntryListModel* resultsModel_ = nullptr;
  bool searchShown_ = false;
  bool cueShown_ = false;
  int titleConnection_ = 0;
  int displaysConnection_ = 0;
  std::string shownStatus_;
};

}  // namespace qmb
