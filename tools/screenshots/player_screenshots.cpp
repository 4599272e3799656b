// Screenshots of the player as it runs: the whole player started in this
// process from a program folder of its own (the build's picture library,
// skins, presets and samples), playing a sample piece on the null output.
//   qmb_player_screenshots <program folder> <output folder> [track]
// Writes vis-<mode>.png for the six drawing modes, eq-presets.png and
// visualization-window.png (with the bars plug-in built beside this tool).
#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QListWidget>
#include <QPixmap>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

#include "app/player_parts.h"
#include "app/startup.h"
#include "app/switchboard.h"
#include "core/command_ids.h"
#include "core/player_settings.h"
#include "playback/sound_engine.h"
#include "ui/eq_preset_window.h"
#include "ui/qt_desktop.h"
#include "ui/skin/visual_window.h"

namespace {

namespace fs = std::filesystem;

// Runs the event loop until `done` or `seconds` pass.
bool Until(const std::function<bool()>& done, double seconds) {
  QElapsedTimer clock;
  clock.start();
  while (!done()) {
    if (clock.elapsed() > seconds * 1000) return false;
    QApplication::processEvents(QEventLoop::AllEvents, 20);
  }
  return true;
}

bool Save(QWidget* window, const std::string& path, int scale) {
  QImage shot = window->grab().toImage();
  shot = shot.scaled(shot.size() * scale, Qt::IgnoreAspectRatio, Qt::FastTransformation);
  if (!shot.save(QString::fromStdString(path), "PNG", 9)) {
    std::fprintf(stderr, "qmb_player_screenshots: cannot write %s\n", path.c_str());
    return false;
  }
  std::printf("%s\n", path.c_str());
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr,
                 "usage: qmb_player_screenshots <program folder> <output folder> [track]\n");
    return 2;
  }
  const fs::path from = fs::absolute(argv[1]);
  const std::string out = argv[2];
  const std::string track =
      argc > 3 ? std::string(argv[3]) : (from / "Samples" / "Qumble Melody.ogg").string();
  if (!fs::exists(track)) {
    std::fprintf(stderr, "qmb_player_screenshots: no %s\n", track.c_str());
    return 1;
  }
  // A program folder of its own: what it saves and loads stays there.
  std::string pattern = (fs::temp_directory_path() / "qmb-shots-XXXXXX").string();
  if (!::mkdtemp(pattern.data())) return 1;
  const fs::path folder = pattern;
  fs::copy_file(from / "image.so", folder / "image.so");
  for (const char* shared : {"Skins", "QEQ"})
    fs::create_directory_symlink(from / shared, folder / shared);
  fs::create_directory(folder / "Plugins");
  fs::copy_file(QMB_BARS_PLUGIN, folder / "Plugins" / "bars.qvp");
  // The null output: nothing to hear, the picture all the same.
  qmb::PlayerSettings settings = qmb::DefaultSettings(folder.string() + "/");
  settings.outputDriver = qmb::kOutputNoSound;
  std::string image(reinterpret_cast<const char*>(&settings), sizeof settings);
  std::FILE* file = std::fopen((folder / "qmb.dat").c_str(), "wb");
  if (!file || std::fwrite(image.data(), 1, image.size(), file) != image.size()) return 1;
  std::fclose(file);
  setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);

  QApplication application(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);
  qmb::QtDesktop desktop;
  qmb::SetDesktop(&desktop);
  qmb::StartPlayer("QMB \"" + track + "\"", folder.string() + "/");
  qmb::PlayerWindows& windows = qmb::TheWindows();
  qmb::VisualRenderer& visual = *windows.visual;
  bool ok = true;

  const struct {
    int id;
    const char* name;
  } modes[] = {{qmb::command::kSpectrumFireMode, "vis-spectrum-fire"},
               {qmb::command::kSpectrumDotMode, "vis-spectrum-dot"},
               {qmb::command::kSpectrumVoiceMode, "vis-spectrum-voice"},
               {qmb::command::kScopeLineMode, "vis-scope-line"},
               {qmb::command::kScopeDotMode, "vis-scope-dot"},
               {qmb::command::kScopeWaveMode, "vis-scope-wave"}};
  // Into the piece, where all its voices play.
  Until([] { return false; }, 4);
  for (const auto& mode : modes) {
    windows.board->Command(mode.id);
    const int before = visual.FramesComposed();
    ok = Until([&] { return visual.FramesComposed() >= before + 8; }, 10) && ok;
    ok = Save(windows.main, out + "/" + mode.name + ".png", 2) && ok;
  }

  windows.board->Command(qmb::command::kLoadEqPreset);
  qmb::EqPresetWindow& presets = *windows.presetWindow;
  if (presets.List() && presets.List()->count() > 4) presets.List()->setCurrentRow(4);
  Until([] { return false; }, 0.5);
  ok = presets.Window() && Save(presets.Window(), out + "/eq-presets.png", 1) && ok;
  windows.board->Command(qmb::command::kClosePresetWindow);

  windows.board->Command(qmb::command::kSpectrumFireMode);
  windows.board->Command(qmb::command::kStartPlugin);
  windows.board->Command(qmb::command::kDetachVisualWindow);
  Until([] { return false; }, 1.5);
  ok = Save(visual.DetachedWindow(), out + "/visualization-window.png", 1) && ok;

  std::error_code ignored;
  fs::remove_all(folder, ignored);
  std::fflush(nullptr);
  // The player's parts live for the process; end it as the player does.
  std::_Exit(ok ? 0 : 1);
}
