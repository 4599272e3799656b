// The playlist window with a long list, adding a folder tree, copying to
// media, and the whole player starting with a long last playlist.
//
//   qmb_playlist_window_bench window [entries]     show, scroll, sort, search as you type
//   qmb_playlist_window_bench walk [files]         add a folder tree (files per second)
//   qmb_playlist_window_bench copy [MB] [folder]   the chunked copy against cp
//   qmb_playlist_window_bench start PROGRAMFOLDER  StartPlayer until the event loop answers
//
// Runs on Qt's offscreen platform unless a display is chosen.
#include <QAbstractItemModel>
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMenuBar>
#include <QScrollBar>
#include <QTimer>
#include <QTreeView>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/player_parts.h"
#include "app/playlist_windows.h"
#include "app/startup.h"
#include "app/switchboard.h"
#include "core/command_ids.h"
#include "core/player_core.h"
#include "media/media_copy.h"
#include "playlist/playlist_files.h"
#include "playlist/playlist_store.h"
#include "ui/menus.h"
#include "ui/playlist/playlist_window.h"
#include "ui/qt_desktop.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

double Ms(Clock::time_point since) {
  return std::chrono::duration<double, std::milli>(Clock::now() - since).count();
}

// Every event handled and the view painted, as a user would see it.
void Settle(QWidget* view) {
  QApplication::processEvents();
  view->repaint();
}

std::string TempFolder() {
  std::string pattern = (fs::temp_directory_path() / "qmb-bench-XXXXXX").string();
  return std::string(::mkdtemp(pattern.data())) + "/";
}

// A QPL text of `count` entries of mixed types, lengths, counts and dates.
std::string LongQpl(int count) {
  const char* types[] = {"mp3", "ogg", "wav", "xm", "mid", "wma"};
  std::string text = "QMBQPLv1\r\n";
  for (int i = 0; i < count; ++i) {
    char line[512];
    std::snprintf(line, sizeof line,
                  "/music/artist %03d/album %02d/track %05d.%s\r\nArtist %d - Song %d\r\n"
                  "00:%02d:%02d.00\r\n%d\r\n%02d/%02d/%02d\r\n%s\r\n",
                  i % 997, i % 13, i, types[i % 6], i % 997, i, i % 60, (i * 7) % 60, i % 50,
                  1 + i % 12, 1 + i % 28, i % 30, i % 3 ? "Never Played" : "05/06/07");
    text += line;
  }
  return text;
}

struct Rig {
  explicit Rig(const std::string& folder) {
    core.programFolder = folder;
    core.settings = qmb::DefaultSettings(folder);
    qmb::ApplySettings(core.settings, core.panel, core.state);
  }
  qmb::PlayerCore core;
  qmb::PlayerParts parts{core};
  qmb::Switchboard board{core, parts};
  qmb::PlayerMenus menus{parts.checks, [this](int id) { board.Command(id); }};
};

// Wall and this thread's CPU time of `work`, in ms. On a machine shared with
// other builds the CPU time is the steadier figure.
struct Timing {
  double wall = 0, cpu = 0;
};
double CpuMs() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) * 1000.0 + static_cast<double>(now.tv_nsec) / 1e6;
}
template <class Work>
Timing Measure(Work work) {
  auto start = Clock::now();
  double cpu = CpuMs();
  work();
  return {Ms(start), CpuMs() - cpu};
}

int WindowBench(int entries) {
  std::string folder = TempFolder();
  Rig rig(folder);
  Timing load = Measure([&] { qmb::ParseQpl(rig.parts.playlist, LongQpl(entries)); });
  qmb::PlaylistWindows windows(rig.core, rig.parts, rig.board, rig.menus);
  QWidget* window = windows.Playlist().Window();
  QTreeView* view = windows.Playlist().PlaylistView();
  Timing shown = Measure([&] {
    window->show();
    Settle(view);
  });
  std::printf("entries %d: list parsed %.0f ms, window shown and painted %.1f ms (cpu %.1f)\n",
              entries, load.wall, shown.wall, shown.cpu);

  // Page by page from top to bottom, each step painted.
  QScrollBar* bar = view->verticalScrollBar();
  if (std::getenv("QMB_BENCH_NO_SCROLL")) bar->setMaximum(0);
  std::vector<double> walls, cpus;
  for (int value = 0; value <= bar->maximum(); value += bar->pageStep()) {
    Timing step = Measure([&] {
      bar->setValue(value);
      view->viewport()->repaint();
    });
    walls.push_back(step.wall);
    cpus.push_back(step.cpu);
  }
  std::sort(walls.begin(), walls.end());
  std::sort(cpus.begin(), cpus.end());
  std::printf("scroll: %zu page steps, median %.2f ms (cpu %.2f), worst %.2f ms (cpu %.2f)\n",
              walls.size(), walls[walls.size() / 2], cpus[cpus.size() / 2], walls.back(),
              cpus.back());

  for (int field = 0; field < 9; ++field) {
    if (field == qmb::kPath) continue;
    auto sort = [&] {
      windows.SortBy(field);
      Settle(view);
    };
    Timing up = Measure(sort);
    Timing down = Measure(sort);
    std::printf("sort by %-17s %.1f ms (cpu %.1f), descending %.1f ms (cpu %.1f)\n",
                qmb::kPlaylistHeaders[field], up.wall, up.cpu, down.wall, down.cpu);
  }

  // Search as you type: each key runs the search and paints the results.
  windows.Playlist().FocusSearch();
  QLineEdit* edit = windows.Playlist().SearchText();
  QTreeView* results = windows.Playlist().ResultsView();
  for (const char* typed : {"song 4", "s", "artist 99", "zzz"}) {
    edit->clear();
    std::string text;
    Timing worst;
    for (const char* c = typed; *c; ++c) {
      text += *c;
      Timing key = Measure([&] {
        edit->setText(QString::fromStdString(text));
        rig.parts.search.text.SetText(text);
        rig.board.Command(qmb::command::kSearchTextChanged);
        Settle(results);
      });
      worst = {std::max(worst.wall, key.wall), std::max(worst.cpu, key.cpu)};
    }
    std::printf("search as you type \"%s\": worst key %.1f ms (cpu %.1f), %d found\n", typed,
                worst.wall, worst.cpu, rig.parts.search.results.Count());
  }
  fs::remove_all(folder);
  return 0;
}

int WalkBench(int files) {
  std::string folder = TempFolder();
  for (int i = 0; i < files; ++i) {
    std::string dir =
        folder + "tree/d" + std::to_string(i / 100 % 10) + "/e" + std::to_string(i / 100);
    if (i % 100 == 0) fs::create_directories(dir);
    std::ofstream(dir + "/t" + std::to_string(i) + ".mp3").put('x');
  }
  Rig rig(folder);
  qmb::PlaylistWindows windows(rig.core, rig.parts, rig.board, rig.menus);
  windows.Playlist().Window()->show();
  QApplication::processEvents();
  auto start = Clock::now();
  int added = windows.Adder().AddFolderTree(folder + "tree");
  double ms = Ms(start);
  std::printf("folder walk: %d files in %.0f ms, %.0f files/s (window shown, events let through)\n",
              added, ms, added / ms * 1000.0);
  fs::remove_all(folder);
  return 0;
}

int CopyBench(int megabytes, std::string folder) {
  if (folder.empty()) folder = TempFolder();
  if (folder.back() != '/') folder += '/';
  std::string source = folder + "source.bin";
  {
    std::ofstream out(source, std::ios::binary);
    std::vector<char> block(1 << 20);
    for (int i = 0; i < megabytes; ++i) {
      for (std::size_t j = 0; j < block.size(); j += 64) block[j] = static_cast<char>(i + j);
      out.write(block.data(), static_cast<std::streamsize>(block.size()));
    }
  }
  double best[2] = {1e30, 1e30};
  for (int round = 0; round < 3; ++round) {
    fs::remove(folder + "ours.bin");
    fs::remove(folder + "cp.bin");
    auto start = Clock::now();
    qmb::CopyFileInChunks(source, folder + "ours.bin", [](std::uint64_t, std::uint64_t) {
      QApplication::processEvents();
      return true;
    });
    best[0] = std::min(best[0], Ms(start));
    start = Clock::now();
    std::string command = "cp '" + source + "' '" + folder + "cp.bin'";
    if (std::system(command.c_str()) != 0) return 1;
    best[1] = std::min(best[1], Ms(start));
  }
  std::printf("copy %d MB: ours %.0f ms (%.0f MB/s), cp %.0f ms (%.0f MB/s): %.2f x cp's speed\n",
              megabytes, best[0], megabytes / best[0] * 1000, best[1], megabytes / best[1] * 1000,
              best[1] / best[0]);
  for (const char* name : {"source.bin", "ours.bin", "cp.bin"}) fs::remove(folder + name);
  return 0;
}

int StartBench(const std::string& programFolder) {
  static qmb::QtDesktop desktop;
  qmb::SetDesktop(&desktop);
  auto start = Clock::now();
  qmb::StartPlayer("QMB", programFolder);
  double started = Ms(start);
  QTimer::singleShot(0, [start, started] {
    std::printf("start-up: StartPlayer %.0f ms, event loop answering after %.0f ms, %d entries\n",
                started, Ms(start), qmb::TheParts().playlist.list.Count());
    std::fflush(stdout);
    std::_Exit(0);
  });
  return QApplication::exec();
}

}  // namespace

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  QApplication application(argc, argv);
  std::string mode = argc > 1 ? argv[1] : "window";
  std::string arg = argc > 2 ? argv[2] : "";
  if (mode == "window") return WindowBench(arg.empty() ? 100000 : std::atoi(arg.c_str()));
  if (mode == "walk") return WalkBench(arg.empty() ? 10000 : std::atoi(arg.c_str()));
  if (mode == "copy")
    return CopyBench(arg.empty() ? 200 : std::atoi(arg.c_str()), argc > 3 ? argv[3] : "");
  if (mode == "start" && !arg.empty()) {
    if (arg.back() != '/') arg += '/';
    return StartBench(arg);
  }
  if (mode == "qpl" && !arg.empty()) {
    std::ofstream(arg, std::ios::binary) << LongQpl(argc > 3 ? std::atoi(argv[3]) : 100000);
    return 0;
  }
  std::fprintf(stderr, "usage: %s window|walk|copy|start|qpl ...\n", argv[0]);
  return 2;
}
