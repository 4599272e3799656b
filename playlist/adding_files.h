// Adding files to the playlist: the folder walk, dropped files and folders,
// an address typed into the input box, and the Add Files window's state and
// buttons. Long adds let pending window events through, so the windows stay
// alive and the player keeps playing; while one runs, another is refused.
#pragma once

#include <chrono>
#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "core/control_models.h"
#include "playlist/playlist_store.h"

namespace qmb {

// A progress bar's state: range, position and the marquee of an add whose
// length is not known.
struct ProgressState {
  int minimum = 0;
  int maximum = 100;
  int value = 0;
  bool marquee = false;
  ChangeSignal changed;

  void SetRange(int low, int high);
  void SetValue(int position);
  void SetMarquee(bool on);
};

// The folders a walk has entered, by device and inode.
using FolderIds = std::set<std::pair<unsigned long, unsigned long>>;

// Runs the adds of one playlist, one at a time.
class FileAdder {
 public:
  explicit FileAdder(PlaylistStore& store) : store_(store) {}

  PlaylistStore& Store() { return store_; }
  // An add is running (its pending events may start another, which is refused).
  bool Busy() const { return busy_; }

  // Adds every file below `folder`, depth first, each folder's entries in
  // name order (letter case aside). A folder reached twice (a symbolic-link loop) is walked
  // once; one that cannot be read adds nothing. Returns the files offered
  // to the store, or -1 when refused because an add is running.
  int AddFolderTree(const std::string& folder);

  // Adds `folder` + each of `names`; `done(i)` after the i-th (from 0).
  // -1 when refused.
  int AddFiles(const std::string& folder, const std::vector<std::string>& names,
               const std::function<void(int index)>& done);

  // Dropped paths, in order: a folder is walked, a playlist file is loaded
  // (its status shown) and ends the drop at once, anything else is added;
  // after the last, the cursor's entry plays. False when refused.
  bool DropPaths(const std::vector<std::string>& paths);

 private:
  friend class AddGuard;
  int Walk(const std::string& folder, FolderIds& seen);
  // Lets pending events through, at most about every frame.
  void LetEventsThrough();

  PlaylistStore& store_;
  bool busy_ = false;
  std::chrono::steady_clock::time_point lastEvents_{};
};

// "Add Url": the address from the input box. 12 when the box was cancelled
// or left empty, otherwise the store's answer (1, or 16 for a refused one).
[[nodiscard]] int AddUrl(PlaylistStore& store);

// The names of the files (not folders) in `folder`, in name order (letter
// case aside). Entries whose type cannot be read count as folders.
std::vector<std::string> ListFolderFiles(const std::string& folder);

// `folder` with a "/" at its end.
std::string WithSlash(std::string folder);

// The Add Files window's state: the folder shown, the files listed, the
// list's selection and cursor, the two check boxes, the caption of the
// "Add Files To Playlist" box and the progress bar.
struct AddFilesForm {
  AddFilesForm();

  std::string currentFolder;
  std::vector<std::string> files;
  std::vector<int> selected;  // indexes into `files`, ascending
  int cursor = -1;            // the file under the list's cursor
  CheckModel clearFirst;      // "Clear playlist first"
  CheckModel closeWhenDone;   // "Close when finished"
  EditModel caption;
  ProgressState progress;
  ChangeSignal filesChanged;
  // Hides the window ("Close when finished").
  std::function<void()> hide;
};

// The folder chosen in the tree: shown, remembered and listed. An empty
// text changes nothing.
void ChooseFolder(AddFilesForm& form, const std::string& folder);
void RefreshFileList(AddFilesForm& form);
// The path of the file under the cursor, else of the first selected; empty without.
std::string ChosenFilePath(const AddFilesForm& form);

// The window's buttons. Each add returns what FileAdder returned (-1 refused).
int AddFileUnderCursor(FileAdder& adder, AddFilesForm& form);  // a double click
int AddSelectedFiles(FileAdder& adder, AddFilesForm& form);
int AddAllFiles(FileAdder& adder, AddFilesForm& form);
int AddDirectories(FileAdder& adder, AddFilesForm& form);
// "Open": adds the chosen file and plays it; a refusal shows
// "No plug-in could be found to play the file.".
void OpenChosenFile(PlaylistStore& store, const AddFilesForm& form);

}  // namespace qmb
