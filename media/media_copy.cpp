#include "media/media_copy.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "core/desktop.h"
#include "core/status_codes.h"
#include "core/text_util.h"
#include "playlist/playlist_store.h"
#include "tags/number_text.h"

namespace qmb {
namespace {

// Large enough for the disk's speed, small enough that "Cancel" is seen
// within a few milliseconds.
constexpr std::size_t kChunk = 4 << 20;
constexpr std::uint64_t kProgressLimit = 65535;

class FileHandle {
 public:
  explicit FileHandle(int fd) : fd_(fd) {}
  ~FileHandle() {
    if (fd_ >= 0) ::close(fd_);
  }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  int Get() const { return fd_; }
  bool Close() {
    int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
  }

 private:
  int fd_;
};

bool WriteAll(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    ssize_t written = ::write(fd, data, size);
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += written;
    size -= static_cast<std::size_t>(written);
  }
  return true;
}

// One chunk: the kernel's copy when it can, else read and write. The
// number of bytes copied, 0 at the end, -1 on failure.
ssize_t CopyChunk(int in, int out, bool& kernelCopy, std::vector<char>& buffer) {
  if (kernelCopy) {
    ssize_t copied = ::copy_file_range(in, nullptr, out, nullptr, kChunk, 0);
    if (copied >= 0) return copied;
    if (errno == EINTR) return CopyChunk(in, out, kernelCopy, buffer);
    // Older kernels and some file systems cannot; the plain way can.
    if (errno != ENOSYS && errno != EXDEV && errno != EINVAL && errno != EOPNOTSUPP) return -1;
    kernelCopy = false;
  }
  buffer.resize(kChunk);
  ssize_t got;
  do {
    got = ::read(in, buffer.data(), buffer.size());
  } while (got < 0 && errno == EINTR);
  if (got <= 0) return got;
  return WriteAll(out, buffer.data(), static_cast<std::size_t>(got)) ? got : -1;
}

}  // namespace

CopyResult CopyFileInChunks(
    const std::string& source, const std::string& target,
    const std::function<bool(std::uint64_t done, std::uint64_t total)>& progress) {
  // Not blocking: a named pipe in the playlist must not hang the player.
  FileHandle in(::open(source.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  struct stat st {};
  if (in.Get() < 0 || ::fstat(in.Get(), &st) != 0 || !S_ISREG(st.st_mode)) {
    return CopyResult::kFailed;
  }
  // O_EXCL: an existing file of that name is never touched.
  FileHandle out(::open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                        (st.st_mode & 0777) | S_IWUSR));
  if (out.Get() < 0) return CopyResult::kFailed;
  auto total = static_cast<std::uint64_t>(st.st_size);
  std::uint64_t done = 0;
  CopyResult result = CopyResult::kDone;
  bool kernelCopy = true;
  std::vector<char> buffer;
  if (progress && !progress(done, total)) result = CopyResult::kCancelled;
  while (result == CopyResult::kDone) {
    ssize_t copied = CopyChunk(in.Get(), out.Get(), kernelCopy, buffer);
    if (copied < 0) {
      result = CopyResult::kFailed;
    } else if (copied == 0) {
      break;
    } else {
      done += static_cast<std::uint64_t>(copied);
      if (progress && !progress(done, total > done ? total : done)) {
        result = CopyResult::kCancelled;
      }
    }
  }
  // A full disk may only show when the file is closed.
  if (!out.Close() && result == CopyResult::kDone) result = CopyResult::kFailed;
  if (result != CopyResult::kDone) ::unlink(target.c_str());
  return result;
}

std::string CopiedAmountText(std::uint64_t done, std::uint64_t total) {
  return NumberText(static_cast<double>(done / 1024)) + " Of" +
         NumberText(static_cast<double>(total / 1024)) + " Kilobytes copied so far...";
}

FileProgress ScaledFileProgress(std::uint64_t done, std::uint64_t total) {
  std::uint64_t totalKb = total / 1024;
  std::uint64_t doneKb = done / 1024;
  std::uint64_t scale =
      totalKb > kProgressLimit ? (totalKb + kProgressLimit - 1) / kProgressLimit : 1;
  return {static_cast<int>(totalKb / scale), static_cast<int>(doneKb / scale)};
}

int MediaCopier::CopySelectionTo(const EntryList& list, const std::string& destination) {
  // The flag, not the window, marks a copy: a cancelled copy is still
  // unwinding after its window went.
  if (running_) return kCopyInProgress;
  running_ = true;
  cancel_ = false;
  std::vector<std::string> paths;
  for (int row : list.SelectedRows()) paths.push_back(EntryPath(list, row));
  std::string folder(TrimSpace(destination));
  if (folder.empty() || folder.back() != '/') folder += '/';
  window_ = openWindow ? openWindow() : nullptr;
  if (window_) window_->SetBatchRange(static_cast<int>(paths.size()));
  int status = kOk;
  for (std::size_t i = 0; i < paths.size() && status == kOk; ++i) {
    const std::string& path = paths[i];
    std::string target = folder + path.substr(path.rfind('/') + 1);
    CopyResult result =
        CopyFileInChunks(path, target, [this, &target](std::uint64_t done, std::uint64_t total) {
          if (window_) {
            window_->SetAmountLine(CopiedAmountText(done, total));
            window_->SetDestinationLine(target);
            window_->SetFileProgress(ScaledFileProgress(done, total));
          }
          TheDesktop().ProcessPendingEvents();
          return !cancel_;
        });
    if (window_) window_->SetBatchPosition(static_cast<int>(i + 1));
    if (result != CopyResult::kDone) status = cancel_ ? kCopyCanceled : kCopyFailed;
  }
  window_.reset();
  running_ = false;
  return status;
}

void MediaCopier::Cancel() {
  if (!running_) return;
  cancel_ = true;
  window_.reset();
}

}  // namespace qmb
