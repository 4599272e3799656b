// Times the playlist's bulk operations on large lists of real files and
// measures the store's memory per entry. Run: qmb_playlist_bench [entries].
#include <malloc.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/desktop.h"
#include "playlist/playlist_editing.h"
#include "playlist/playlist_files.h"

namespace {

using Clock = std::chrono::steady_clock;

// A desktop that answers Yes and shows nothing, so no message box stalls a run.
class QuietDesktop : public qmb::Desktop {
 public:
  qmb::MessageAnswer ShowMessage(const std::string&, const std::string&, qmb::MessageIcon,
                                 qmb::MessageButtons) override {
    return qmb::MessageAnswer::Yes;
  }
  std::vector<std::string> ChooseFiles(const std::string&, const std::string&, bool, bool,
                                       const std::string&, const std::string&) override {
    return {};
  }
  std::string ChooseFolderPath(const std::string&, const std::string&) override { return {}; }
  std::optional<std::string> AskText(const std::string&, const std::string&,
                                     const std::string&) override {
    return std::nullopt;
  }
  void ProcessPendingEvents() override {}
  void SleepMs(int) override {}
  std::int64_t UpTimeMs() override { return 0; }
  bool OpenUrl(const std::string&) override { return false; }
};

// Wall time; the processor time of the same work is added to `cpuTotal`, so a
// busy machine shows up as wall time well above it.
double cpuTotal = 0;
double wallTotal = 0;

template <typename F>
double Seconds(F&& work) {
  std::clock_t cpuStart = std::clock();
  auto start = Clock::now();
  work();
  double wall = std::chrono::duration<double>(Clock::now() - start).count();
  cpuTotal += static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
  wallTotal += wall;
  return wall;
}

std::size_t HeapInUse() {
  return mallinfo2().uordblks;
}

long PeakRssMb() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss / 1024;
}

// Sparse files with sizes spread over a few megabytes, in folders of 1000.
std::vector<std::string> MakeFiles(const std::string& root, int count) {
  const char* types[] = {"mp3", "ogg", "wav", "xm", "mid", "wma"};
  std::vector<std::string> paths;
  for (int i = 0; i < count; ++i) {
    std::string folder = root + "Artist " + std::to_string(i / 1000) + "/";
    if (i % 1000 == 0) std::filesystem::create_directories(folder);
    std::string path = folder + "Song number " + std::to_string(i) + "." + types[i % 6];
    std::ofstream(path).close();
    std::filesystem::resize_file(path, 1000000 + (i % 4000) * 1024);
    paths.push_back(path);
  }
  return paths;
}

void Run(int count, const std::string& root) {
  cpuTotal = wallTotal = 0;
  qmb::ControlPanelModel panel;
  std::vector<std::string> paths = MakeFiles(root + std::to_string(count) + "/", count);

  qmb::PlaylistStore store(panel);
  std::size_t heapBefore = HeapInUse();
  double add = Seconds([&] {
    for (const std::string& p : paths) qmb::AddPlaylistEntry(store, p);
  });
  double perEntry = static_cast<double>(HeapInUse() - heapBefore) / count;

  std::string qpl = root + "bench.qpl";
  std::string m3u = root + "bench.m3u";
  // The files are saved and loaded three times; the best run counts, since
  // other work on a shared machine only ever adds time.
  double saveQpl = 1e9, saveM3u = 1e9, loadQpl = 1e9, loadM3u = 1e9;
  for (int run = 0; run < 3; ++run) {
    saveQpl = std::min(saveQpl, Seconds([&] { qmb::SaveQpl(store.list, qpl); }));
    saveM3u = std::min(saveM3u, Seconds([&] { qmb::SaveM3u(store.list, m3u); }));
    qmb::PlaylistStore fromQpl(panel);
    loadQpl = std::min(loadQpl, Seconds([&] { qmb::LoadQpl(fromQpl, qpl); }));
    qmb::PlaylistStore fromM3u(panel);
    loadM3u = std::min(loadM3u, Seconds([&] { qmb::LoadM3u(fromM3u, m3u); }));
  }

  qmb::SearchPanel search;
  double searchTitle = Seconds([&] { qmb::Search(store, search, "number 99"); });
  int found = search.results.Count();

  for (int row = 0; row < store.list.Count(); row += 2) store.list.SetSelected(row, true);
  double deleteHalf = Seconds([&] { qmb::DeleteSelected(store.list); });

  store.list.SelectNone();
  int cutCount = count / 10;
  int step = store.list.Count() / cutCount;
  for (int i = 0; i < cutCount; ++i) store.list.SetSelected(i * step, true);
  qmb::EntryClipboard clipboard;
  double cut = Seconds([&] { static_cast<void>(qmb::CutItems(store, clipboard)); });
  store.list.SetCursor(0);
  double paste = Seconds([&] { static_cast<void>(qmb::PasteItems(store, clipboard)); });

  std::printf("%7d entries: add %.3f s (%.0f/s), %.0f bytes/entry\n", count, add, count / add,
              perEntry);
  std::printf("         QPL save %.3f s, load %.3f s (%.0f/s); M3U save %.3f s, load %.3f s\n",
              saveQpl, loadQpl, count / loadQpl, saveM3u, loadM3u);
  std::printf(
      "         search %.1f ms (%d found), delete every other %.1f ms, "
      "cut %d %.1f ms, paste at row 0 %.1f ms\n",
      searchTitle * 1000, found, deleteHalf * 1000, cutCount, cut * 1000, paste * 1000);
  std::printf("         all timed work: wall %.3f s, processor %.3f s\n", wallTotal, cpuTotal);
  std::printf("         peak resident set %ld MB\n", PeakRssMb());
}

}  // namespace

int main(int argc, char** argv) {
  int largest = argc > 1 ? std::atoi(argv[1]) : 100000;
  QuietDesktop desktop;
  qmb::SetDesktop(&desktop);
  std::string pattern = (std::filesystem::temp_directory_path() / "qmb-bench-XXXXXX").string();
  if (!::mkdtemp(pattern.data())) return 1;
  std::string root = pattern + "/";
  // A quarter and the full size: linear work shows the same rate at both.
  for (int count : {largest / 4, largest}) Run(count, root);
  std::filesystem::remove_all(root);
  return 0;
}
