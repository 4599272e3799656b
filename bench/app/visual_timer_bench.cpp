// The whole player started in this process on the null output, measured in
// each state a listener puts it in: wake-ups of its visual timer, of its
// user-interface thread (voluntary context switches), frames composed, and
// the CPU of the whole process and of the user-interface thread alone.
//   qmb_visual_timer_bench [SECONDS per state] [FILE]
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/player_parts.h"
#include "app/startup.h"
#include "app/switchboard.h"
#include "core/command_ids.h"
#include "core/player_core.h"
#include "core/player_settings.h"
#include "playback/sound_engine.h"
#include "ui/qt_desktop.h"
#include "ui/skin/visual_window.h"

namespace {

namespace fs = std::filesystem;

long ContextSwitches(pid_t thread) {
  std::ifstream status("/proc/self/task/" + std::to_string(thread) + "/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("voluntary_ctxt_switches:", 0) == 0) return std::stol(line.substr(24));
  }
  return 0;
}

double ThreadCpu() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return t.tv_sec + t.tv_nsec / 1e9;
}

double ProcessCpu() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return u.ru_utime.tv_sec + u.ru_utime.tv_usec / 1e6 + u.ru_stime.tv_sec +
         u.ru_stime.tv_usec / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
  const int seconds = argc > 1 ? std::atoi(argv[1]) : 10;
  const std::string track = argc > 2 ? argv[2] : QMB_FIXTURE_DIR "/noise_60s.mp3";
  std::string pattern = (fs::temp_directory_path() / "qmb-bench-XXXXXX").string();
  if (!::mkdtemp(pattern.data())) return 1;
  const fs::path folder = pattern;
  fs::copy_file(QMB_PROGRAM_FOLDER "/image.so", folder / "image.so");
  fs::create_directory_symlink(QMB_PROGRAM_FOLDER "/Skins", folder / "Skins");
  qmb::PlayerSettings settings = qmb::DefaultSettings(folder.string() + "/");
  settings.outputDriver = qmb::kOutputNoSound;
  std::ofstream(folder / "qmb.dat", std::ios::binary)
      .write(reinterpret_cast<const char*>(&settings), sizeof settings);
  setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);

  QApplication application(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);
  qmb::QtDesktop desktop;
  qmb::SetDesktop(&desktop);
  qmb::StartPlayer("QMB \"" + track + "\"", folder.string() + "/");
  qmb::PlayerWindows& windows = qmb::TheWindows();
  long visualWakes = 0;
  QObject::connect(windows.visualTimer, &QTimer::timeout, [&visualWakes] { ++visualWakes; });
  const pid_t ui = static_cast<pid_t>(::syscall(SYS_gettid));

  std::printf("nproc %ld, %d s per state, %s, visual delay %d ms, core delay %d ms\n",
              sysconf(_SC_NPROCESSORS_ONLN), seconds, track.c_str(),
              qmb::ThePlayer().panel.visualDelay.Position(),
              qmb::ThePlayer().panel.coreDelay.Position());
  std::printf("%-32s %14s %13s %9s %7s %9s\n", "state", "visual timer/s", "UI wake-ups/s",
              "frames/s", "CPU %", "UI CPU %");
  auto measure = [&](const char* state) {
    const long wakes0 = visualWakes, switches0 = ContextSwitches(ui);
    const int frames0 = windows.visual->FramesComposed();
    const double cpu0 = ProcessCpu(), ui0 = ThreadCpu();
    QEventLoop loop;
    QTimer::singleShot(seconds * 1000, &loop, &QEventLoop::quit);
    loop.exec();
    std::printf("%-32s %14.2f %13.2f %9.2f %7.2f %9.2f\n", state,
                double(visualWakes - wakes0) / seconds,
                double(ContextSwitches(ui) - switches0) / seconds,
                double(windows.visual->FramesComposed() - frames0) / seconds,
                (ProcessCpu() - cpu0) * 100 / seconds, (ThreadCpu() - ui0) * 100 / seconds);
    std::fflush(stdout);
  };
  qmb::Switchboard& board = *windows.board;
  measure("playing");
  board.Command(qmb::command::kPause);
  measure("paused");
  board.Command(qmb::command::kPause);
  windows.main->showMinimized();
  measure("playing, main window minimised");
  windows.main->showNormal();
  board.Command(qmb::command::kStop);
  measure("stopped");
  // What the Add Files window's preview does: play without a playlist track.
  static_cast<void>(qmb::TheParts().playback.PlayPath(track, {.track = false}));
  measure("preview playing");
  board.Command(qmb::command::kStop);

  std::error_code ignored;
  fs::remove_all(folder, ignored);
  std::fflush(nullptr);
  std::_Exit(0);
}
