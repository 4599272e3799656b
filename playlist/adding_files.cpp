#include "playlist/adding_files.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>

#include "core/desktop.h"
#include "core/status_codes.h"
#include "core/text_util.h"
#include "playlist/playlist_editing.h"
#include "playlist/playlist_files.h"
#include "tags/number_text.h"

namespace qmb {

// Marks the adder busy for one add.
class AddGuard {
 public:
  explicit AddGuard(FileAdder& adder) : adder_(adder), entered_(!adder.busy_) {
    adder_.busy_ = true;
  }
  ~AddGuard() {
    if (entered_) adder_.busy_ = false;
  }
  bool Entered() const { return entered_; }

 private:
  FileAdder& adder_;
  bool entered_;
};

namespace {

constexpr const char* kAddCaption = "Add Files To Playlist";
// Often enough for a smooth window, rarely enough that painting a long list
// does not slow the walk.
constexpr auto kEventInterval = std::chrono::milliseconds(15);

bool IsFolder(const std::string& path) {
  struct stat st {};
  // An entry whose type cannot be read counts as a folder.
  return ::stat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode);
}

// The entries of a folder other than "." and "..", in name order; false when
// it cannot be read.
bool FolderEntries(const std::string& folder, std::vector<std::string>& names) {
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return false;
  while (dirent* entry = ::readdir(dir)) {
    std::string_view name = entry->d_name;
    if (name != "." && name != "..") names.emplace_back(name);
  }
  ::closedir(dir);
  // The order a file manager shows: letter case aside, then byte for byte.
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    std::string foldedA = ToLowerAscii(a), foldedB = ToLowerAscii(b);
    return foldedA != foldedB ? foldedA < foldedB : a < b;
  });
  return true;
}

void ReportTime(AddFilesForm& form, std::int64_t startMs) {
  double elapsed = static_cast<double>(TheDesktop().UpTimeMs() - startMs) / 1000.0;
  form.caption.SetText(std::string(kAddCaption) + " - Took " + NumberText(elapsed) +
                       " Seconds to complete process.");
}

void Finish(AddFilesForm& form, std::int64_t startMs) {
  form.progress.SetValue(0);
  ReportTime(form, startMs);
  if (form.closeWhenDone.Checked() && form.hide) form.hide();
}

}  // namespace

void ProgressState::SetRange(int low, int high) {
  minimum = low;
  maximum = high;
  changed.Emit();
}

void ProgressState::SetValue(int position) {
  if (value == position) return;
  value = position;
  changed.Emit();
}

void ProgressState::SetMarquee(bool on) {
  marquee = on;
  changed.Emit();
}

std::string WithSlash(std::string folder) {
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

void FileAdder::LetEventsThrough() {
  auto now = std::chrono::steady_clock::now();
  if (now - lastEvents_ < kEventInterval) return;
  lastEvents_ = now;
  TheDesktop().ProcessPendingEvents();
}

int FileAdder::Walk(const std::string& folder, FolderIds& seen) {
  struct stat st {};
  if (::stat(folder.c_str(), &st) != 0) return 0;
  if (!seen.insert({st.st_dev, st.st_ino}).second) return 0;
  std::vector<std::string> names;
  if (!FolderEntries(folder, names)) return 0;
  int offered = 0;
  for (const std::string& name : names) {
    std::string path = folder + name;
    struct stat entry {};
    if (::stat(path.c_str(), &entry) == 0 && S_ISDIR(entry.st_mode)) {
      offered += Walk(path + "/", seen);
      continue;
    }
    LetEventsThrough();
    static_cast<void>(AddPlaylistEntry(store_, path));
    ++offered;
  }
  return offered;
}

int FileAdder::AddFolderTree(const std::string& folder) {
  AddGuard guard(*this);
  if (!guard.Entered()) return -1;
  // Every folder on the way: a link back up is not followed again.
  FolderIds seen;
  return Walk(WithSlash(folder), seen);
}

int FileAdder::AddFiles(const std::string& folder, const std::vector<std::string>& names,
                        const std::function<void(int index)>& done) {
  AddGuard guard(*this);
  if (!guard.Entered()) return -1;
  std::string prefix = WithSlash(folder);
  for (std::size_t i = 0; i < names.size(); ++i) {
    LetEventsThrough();
    static_cast<void>(AddPlaylistEntry(store_, prefix + names[i]));
    if (done) done(static_cast<int>(i));
  }
  return static_cast<int>(names.size());
}

bool FileAdder::DropPaths(const std::vector<std::string>& paths) {
  {
    AddGuard guard(*this);
    if (!guard.Entered()) return false;
    for (const std::string& path : paths) {
      LetEventsThrough();
      if (IsFolder(path)) {
        FolderIds seen;
        Walk(WithSlash(path), seen);
      } else if (PlaylistFormatOf(path) != PlaylistFormat::kNone) {
        // A playlist ends the drop: what came with it is not added, nothing plays.
        static_cast<void>(LoadPlaylist(store_, path, 1));
        return true;
      } else {
        static_cast<void>(AddPlaylistEntry(store_, path));
      }
    }
  }
  if (store_.playEntry) store_.playEntry(0, -1, 1);
  return true;
}

int AddUrl(PlaylistStore& store) {
  std::optional<std::string> text =
      TheDesktop().AskText("Add Url", "Type the url in the box below", "");
  if (!text || text->empty()) return kUrlCanceled;
  return AddPlaylistEntry(store, *text);
}

std::vector<std::string> ListFolderFiles(const std::string& folder) {
  std::vector<std::string> names;
  std::string prefix = WithSlash(folder);
  if (!FolderEntries(prefix, names)) return names;
  std::erase_if(names, [&prefix](const std::string& name) { return IsFolder(prefix + name); });
  return names;
}

AddFilesForm::AddFilesForm() {
  caption.SetText(kAddCaption);
}

void ChooseFolder(AddFilesForm& form, const std::string& folder) {
  if (folder.empty()) return;
  form.currentFolder = folder;
  RefreshFileList(form);
}

void RefreshFileList(AddFilesForm& form) {
  form.files = ListFolderFiles(form.currentFolder);
  form.selected.clear();
  form.cursor = -1;
  form.filesChanged.Emit();
}

std::string ChosenFilePath(const AddFilesForm& form) {
  int index = form.selected.empty() ? form.cursor : form.selected.front();
  if (index < 0 || index >= static_cast<int>(form.files.size())) return {};
  return WithSlash(form.currentFolder) + form.files[index];
}

int AddFileUnderCursor(FileAdder& adder, AddFilesForm& form) {
  if (form.cursor < 0 || form.cursor >= static_cast<int>(form.files.size())) return 0;
  if (adder.Busy()) return -1;
  if (form.clearFirst.Checked()) DeleteAll(adder.Store().list);
  int added = adder.AddFiles(form.currentFolder, {form.files[form.cursor]}, nullptr);
  if (form.closeWhenDone.Checked() && form.hide) form.hide();
  return added;
}

int AddSelectedFiles(FileAdder& adder, AddFilesForm& form) {
  if (adder.Busy()) return -1;
  if (form.clearFirst.Checked()) DeleteAll(adder.Store().list);
  std::int64_t start = TheDesktop().UpTimeMs();
  std::vector<std::string> names;
  for (int index : form.selected) {
    if (index >= 0 && index < static_cast<int>(form.files.size()))
      names.push_back(form.files[index]);
  }
  form.progress.SetRange(0, static_cast<int>(names.size()));
  // The position counts the files added before the current one.
  int added = adder.AddFiles(form.currentFolder, names,
                             [&form](int index) { form.progress.SetValue(index); });
  Finish(form, start);
  return added;
}

int AddAllFiles(FileAdder& adder, AddFilesForm& form) {
  if (adder.Busy()) return -1;
  if (form.clearFirst.Checked()) DeleteAll(adder.Store().list);
  std::int64_t start = TheDesktop().UpTimeMs();
  // The names are copied: the pending events may list another folder meanwhile.
  std::vector<std::string> names = form.files;
  form.progress.SetRange(0, static_cast<int>(names.size()) - 1);
  int added = adder.AddFiles(form.currentFolder, names,
                             [&form](int index) { form.progress.SetValue(index); });
  Finish(form, start);
  return added;
}

int AddDirectories(FileAdder& adder, AddFilesForm& form) {
  if (adder.Busy()) return -1;
  if (form.clearFirst.Checked()) DeleteAll(adder.Store().list);
  std::int64_t start = TheDesktop().UpTimeMs();
  form.progress.SetMarquee(true);
  int added = adder.AddFolderTree(form.currentFolder);
  form.progress.SetMarquee(false);
  Finish(form, start);
  return added;
}

void OpenChosenFile(PlaylistStore& store, const AddFilesForm& form) {
  std::string path = ChosenFilePath(form);
  if (path.empty()) return;
  if (AddPlaylistEntry(store, path) == kUnsupportedFile) {
    TheDesktop().ShowMessage("No plug-in could be found to play the file.", "Error",
                             MessageIcon::Error, MessageButtons::Ok);
    return;
  }
  if (store.playEntry) store.playEntry(1, -1, 1);
}

}  // namespace qmb
