// "Send To Media": copying the selected playlist entries to a drive or a
// folder, one file after another, with a progress window and "Cancel".
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "playlist/entry_list.h"

namespace qmb {

enum class CopyResult { kDone, kCancelled, kFailed };

// Copies `source` to `target`, which must not exist yet, in chunks. Calls
// `progress(done, total)` in bytes before the first chunk and after each;
// an answer of false cancels. A cancelled or failed copy removes what it
// wrote; an existing target is never opened for writing.
CopyResult CopyFileInChunks(
    const std::string& source, const std::string& target,
    const std::function<bool(std::uint64_t done, std::uint64_t total)>& progress);

// "N Of M Kilobytes copied so far...": whole kilobytes, numbers in the
// player's form (a blank before each).
std::string CopiedAmountText(std::uint64_t done, std::uint64_t total);

// A file progress bar's range and position in kilobytes, scaled down so
// that the range fits 16 bits.
struct FileProgress {
  int maximum = 0;
  int value = 0;
};
FileProgress ScaledFileProgress(std::uint64_t done, std::uint64_t total);

// The "Copying Files..." window as the copy drives it.
class CopyWindow {
 public:
  virtual ~CopyWindow() = default;
  virtual void SetBatchRange(int files) = 0;
  virtual void SetBatchPosition(int filesDone) = 0;
  virtual void SetAmountLine(const std::string& text) = 0;
  virtual void SetDestinationLine(const std::string& text) = 0;
  virtual void SetFileProgress(const FileProgress& progress) = 0;
};

class MediaCopier {
 public:
  // Creates and shows the progress window of a batch; it goes when the
  // returned object is destroyed.
  std::function<std::unique_ptr<CopyWindow>()> openWindow;

  bool Copying() const { return running_; }

  // Copies the paths of the selected rows, in row order, into
  // `destination`: 1 done, 13 a copy is already running, 14 cancelled, 15 a
  // copy failed (the files before it stay copied).
  [[nodiscard]] int CopySelectionTo(const EntryList& list, const std::string& destination);

  // "Cancel": the running copy stops and its window goes.
  void Cancel();

 private:
  std::unique_ptr<CopyWindow> window_;
  bool running_ = false;
  bool cancel_ = false;
};

}  // namespace qmb
