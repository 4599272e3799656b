#include "app/playlist_windows.h"

#include <QApplication>
#include <QDropEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QTimer>
#include <QWidget>

#include "app/player_parts.h"
#include "app/switchboard.h"
#include "core/command_ids.h"
#include "core/desktop.h"
#include "core/player_core.h"
#include "core/status_codes.h"
#include "ui/menus.h"
#include "ui/playlist/add_files_window.h"
#include "ui/playlist/copy_window.h"
#include "ui/playlist/entry_list_model.h"
#include "ui/playlist/playlist_window.h"

namespace qmb {
namespace {

// Takes the files dropped on a window that is not the playlist's.
class DropFilter : public QObject {
 public:
  DropFilter(PlaylistWindows& windows, QObject* parent) : QObject(parent), windows_(windows) {}

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    switch (event->type()) {
      case QEvent::DragEnter:
      case QEvent::DragMove: {
        auto* drag = static_cast<QDropEvent*>(event);
        if (!drag->mimeData()->hasUrls()) return false;
        drag->acceptProposedAction();
        return true;
      }
      case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        std::vector<std::string> paths = DroppedPaths(drop->mimeData());
        if (paths.empty()) return false;
        drop->acceptProposedAction();
        windows_.FilesDropped(paths);
        return true;
      }
      default:
        return false;
    }
  }

 private:
  PlaylistWindows& windows_;
};

void ShowWindow(QWidget* window) {
  window->show();
  window->raise();
  window->activateWindow();
  window->update();
}

}  // namespace

PlaylistWindows::PlaylistWindows(PlayerCore& core, PlayerParts& parts, Switchboard& board,
                                 PlayerMenus& menus)
    : core_(core), parts_(parts), board_(board), menus_(menus), adder_(parts.playlist) {
  icons_ = LoadTypeIcons(core_.programFolder);
  PlaylistWindowHooks hooks;
  hooks.command = [this](int id) { board_.Command(id); };
  hooks.clicked = [this] { board_.PlaylistClicked(); };
  hooks.doubleClicked = [this] { board_.PlaylistDoubleClicked(); };
  hooks.key = [this](bool enter, bool del) { board_.PlaylistKey(enter, del); };
  hooks.cueActivated = [this] { board_.CueListDoubleClicked(); };
  hooks.cueDelete = [this] { board_.CueListKey(false, true); };
  hooks.resultDoubleClicked = [this](int row) { board_.ResultDoubleClicked(row); };
  hooks.resultEnter = [this](int row) { board_.ResultEnter(row); };
  hooks.contextMenu = [this](QPoint at) { board_.PlaylistRightClicked(at.x(), at.y()); };
  hooks.filesDropped = [this](const std::vector<std::string>& paths) { FilesDropped(paths); };
  hooks.headerClicked = [this](int field) { SortBy(field); };
  hooks.rowsMoved = [this](int destination) { MoveSelectedTo(destination); };
  hooks.currentRow = [this] { return parts_.playback.st.currentIndex; };
  playlist_ = std::make_unique<PlaylistWindow>(
      PlaylistWindowModels{parts_.playlist.list, parts_.cueList, parts_.search,
                           parts_.playlistTitle, parts_.displays},
      std::move(hooks), menus_.playlistBar, &icons_);

  board_.openPlaylistMenu = [this](int x, int y) {
    drives_ = driveItems ? driveItems() : DriveItemList{};
    menus_.SetDriveItems(drives_);
    menus_.playlistContext->popup(QPoint(x, y));
  };

  addFiles_ =
      std::make_unique<AddFilesWindow>(form_, AddFilesHooks{[this](int id) { board_.Command(id); },
                                                            [this](const std::string& folder) {
                                                              ChooseFolder(form_, folder);
                                                              core_.state.browseFolder = folder;
                                                            }});
  form_.currentFolder = core_.state.browseFolder;
  RefreshFileList(form_);
  addFiles_->SelectFolder(core_.state.browseFolder);

  copier_.openWindow = [this] {
    return std::make_unique<CopyProgressWindow>([this] { board_.Command(command::kCancelCopy); });
  };
  RegisterCommands();
}

PlaylistWindows::~PlaylistWindows() {
  board_.openPlaylistMenu = nullptr;
  for (QObject* filter : dropFilters_) delete filter;
}

void PlaylistWindows::RegisterCommands() {
  Switchboard& b = board_;
  PlaylistStore& store = parts_.playlist;
  b.Register(command::kShowPlaylist, [this] { ShowWindow(playlist_->Window()); });
  auto showAddFiles = [this] { ShowWindow(addFiles_->Window()); };
  b.Register(command::kOpen, showAddFiles);
  b.Register(command::kAddFiles, showAddFiles);
  b.Register(command::kAddUrl, [&store] {
    int status = AddUrl(store);
    // A cancelled box says nothing.
    if (status != kUrlCanceled) ShowErrorCode(status);
  });
  b.Register(command::kSearchWindow, [this] { playlist_->ToggleSearchPanel(); });
  b.Register(command::kCueList, [this] { playlist_->ToggleCuePanel(); });

  // Add Files.
  b.Register(command::kAddFilesDoubleClick, [this] { AddFileUnderCursor(adder_, form_); });
  b.Register(command::kAddSelected, [this] { AddSelectedFiles(adder_, form_); });
  b.Register(command::kAddAll, [this] { AddAllFiles(adder_, form_); });
  b.Register(command::kAddDirectories, [this] { AddDirectories(adder_, form_); });
  b.Register(command::kCloseAddFiles, [this] { addFiles_->Window()->hide(); });
  b.Register(command::kAddFilesOpen, [this, &store] { OpenChosenFile(store, form_); });
  b.Register(command::kAddFilesPreview, [this] {
    std::string path = ChosenFilePath(form_);
    if (path.empty()) return;
    ShowErrorCode(parts_.playback.PlayPath(path, {.track = false}));
  });

  // Send To Media.
  b.Register(command::kChooseDestination, [this] {
    std::string folder = TheDesktop().ChooseFolderPath("Choose destination path", "");
    if (!folder.empty()) CopyTo(folder);
  });
  for (int id = command::kFirstDrive; id <= command::kLastDrive; ++id) {
    b.Register(id, [this, id] {
      for (const auto& [itemId, folder] : drives_) {
        if (itemId == id) CopyTo(folder);
      }
    });
  }
  b.Register(command::kCancelCopy, [this] { copier_.Cancel(); });
}

void PlaylistWindows::CopyTo(const std::string& folder) {
  // Shown on both paths: a copy that failed or was refused must not pass for done.
  ShowErrorCode(copier_.CopySelectionTo(parts_.playlist.list, folder));
}

void PlaylistWindows::AcceptDropsOn(QWidget* window) {
  window->setAcceptDrops(true);
  auto* filter = new DropFilter(*this, nullptr);
  window->installEventFilter(filter);
  dropFilters_.push_back(filter);
}

void PlaylistWindows::FilesDropped(const std::vector<std::string>& paths) {
  // The source of the drop waits until the drop returns; the add runs after.
  QTimer::singleShot(0, playlist_->Window(), [this, paths] {
    if (!adder_.DropPaths(paths)) QApplication::beep();
  });
}

void PlaylistWindows::SortBy(int field) {
  EntryList& list = parts_.playlist.list;
  if (field < 0 || field >= list.FieldCount()) return;
  NextSortState(sort_, field);
  FollowRows(ApplyOrder(list, SortedOrder(list, field, sort_.ascending)));
  playlist_->ShowSortOrder(sort_.field, sort_.ascending);
}

void PlaylistWindows::MoveSelectedTo(int destination) {
  EntryList& list = parts_.playlist.list;
  if (list.SelectedCount() == 0) return;
  // The user's order is no column's order.
  sort_ = SortState{};
  FollowRows(ApplyOrder(list, MovedOrder(list, destination)));
  playlist_->ShowSortOrder(-1, true);
}

void PlaylistWindows::FollowRows(const std::vector<int>& newRowOf) {
  if (newRowOf.empty()) return;
  Playback& playback = parts_.playback;
  playback.st.currentIndex = FollowRow(newRowOf, playback.st.currentIndex);
  for (int& row : playback.history) row = FollowRow(newRowOf, row);
  RenumberReferences(parts_.cueList, newRowOf);
  // Results name rows by number: they are found anew.
  if (!parts_.search.text.Text().empty()) board_.Command(command::kSearchTextChanged);
  playlist_->CheckCurrentRow();
}

}  // namespace qmb
