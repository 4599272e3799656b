// The playlist's windows wired into the player: the playlist window, the Add
// Files window and Send To Media, their commands on the switchboard, drops
// on any window, sorting and moving rows.
#pragma once

#include <QPixmap>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "media/drive_items.h"
#include "media/media_copy.h"
#include "playlist/adding_files.h"
#include "playlist/playlist_order.h"

class QWidget;

namespace qmb {

class AddFilesWindow;
class PlayerMenus;
class PlaylistWindow;
class Switchboard;
struct PlayerCore;
struct PlayerParts;

class PlaylistWindows {
 public:
  // Creates the windows hidden and registers their commands with `board`.
  PlaylistWindows(PlayerCore& core, PlayerParts& parts, Switchboard& board, PlayerMenus& menus);
  ~PlaylistWindows();

  PlaylistWindow& Playlist() { return *playlist_; }
  AddFilesWindow& AddFiles() { return *addFiles_; }
  AddFilesForm& Form() { return form_; }
  FileAdder& Adder() { return adder_; }
  MediaCopier& Copier() { return copier_; }

  // Drops on `window` (the main window) add their files as drops on the
  // playlist window do.
  void AcceptDropsOn(QWidget* window);
  // Dropped paths, handled once the drop has returned to its source.
  void FilesDropped(const std::vector<std::string>& paths);

  // A header click: sorts by that column, ascending then descending.
  void SortBy(int field);
  // Moves the selected rows to before `destination`.
  void MoveSelectedTo(int destination);

  // The mounted volumes offered by "Send To Media"; tests give their own.
  std::function<DriveItemList()> driveItems = CurrentDriveItems;
  // The drive items the context menu shows now.
  const DriveItemList& ShownDrives() const { return drives_; }

 private:
  void RegisterCommands();
  // The current entry, the history, the cue rows and the search results
  // follow rows that moved.
  void FollowRows(const std::vector<int>& newRowOf);
  void CopyTo(const std::string& folder);

  PlayerCore& core_;
  PlayerParts& parts_;
  Switchboard& board_;
  PlayerMenus& menus_;
  std::vector<QPixmap> icons_;
  AddFilesForm form_;
  FileAdder adder_;
  MediaCopier copier_;
  SortState sort_;
  DriveItemList drives_;
  std::unique_ptr<PlaylistWindow> playlist_;
  std::unique_ptr<AddFilesWindow> addFiles_;
  std::vector<QObject*> dropFilters_;
};

}  // namespace qmb
