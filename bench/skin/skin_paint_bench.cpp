// What the skinned main window costs to paint on the Default skin: one
// position-timer tick's displays and one whole window with its children.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPaintEvent>
#include <QPainter>
#include <QWidget>
#include <cstdio>
#include <memory>
#include <string>

#include "core/image_library.h"
#include "ui/skin/skinned_controls.h"

namespace qmb {
namespace {

// The main window's paint as start-up wires it.
class FaceWindow : public QWidget {
 public:
  SkinControls* controls = nullptr;

 protected:
  void paintEvent(QPaintEvent* event) override {
    QPainter painter(this);
    controls->DrawMainWindow(painter, event->rect());
  }
};

// The Default skin, loaded once, with a player mid-track: a title too long
// for its display, so every tick scrolls it.
struct Player {
  Player() {
    const std::string folder = QMB_PROGRAM_FOLDER "/Skins/Default/";
    skin = ReadSkinDefinition(folder);
    skin.skinImage = LoadPicture(folder + skin.graphicName);
    CutSkinPictures(skin);
    for (int b = 0; b < kEqBandSliders; ++b) state.sliders[b] = {15, 30};
    state.sliders[kPositionSlider] = {66, 200};
    state.sliders[kVolumeSlider] = {200, 255};
    state.sliders[kBalanceSlider] = {127, 255};
    displays.titleText = "Qumble Sample Pieces - Qumble Melody (a title longer than its display)";
    displays.timeText = " 1:06";
    main.resize(skin.mainW, skin.mainH);
    controls = std::make_unique<SkinControls>(&main, skin, state, displays);
    main.controls = controls.get();
    controls->PlaceControls();
    controls->PaintMainWindow();
  }

  SkinDefinition skin;
  RunningState state;
  PlaybackDisplays displays;
  FaceWindow main;
  std::unique_ptr<SkinControls> controls;
};

Player& ThePlayerUnderTest() {
  static Player player;
  return player;
}

// One tick of timer 1 as the displays see it: a new time, the position
// thumb a step on, the title scrolled and both displays copied to the face.
void BM_PositionTickDisplays(benchmark::State& run) {
  Player& p = ThePlayerUnderTest();
  int second = 0;
  for (auto _ : run) {
    ++p.displays.ticks;
    second = (second + 1) % 200;
    p.displays.timeText = " " + std::to_string(second / 60) + ":" + std::to_string(second % 60);
    p.state.sliders[kPositionSlider].value = static_cast<float>(second);
    p.controls->RefreshDisplays();
  }
  benchmark::DoNotOptimize(p.controls->Screen().constBits());
}
BENCHMARK(BM_PositionTickDisplays)->Unit(benchmark::kMicrosecond);

// The displays alone: PaintSkinDisplays(3) into the off-screen surface and
// its two copies to the face.
void BM_DisplaysPaint(benchmark::State& run) {
  Player& p = ThePlayerUnderTest();
  for (auto _ : run) {
    ++p.displays.ticks;
    p.controls->PaintSkinDisplays(3, 0);
  }
  benchmark::DoNotOptimize(p.controls->Screen().constBits());
}
BENCHMARK(BM_DisplaysPaint)->Unit(benchmark::kMicrosecond);

// The whole window: the face composed again, then the window and its 15
// buttons, 13 tracks and thumbs and the visual window painted into a picture
// of its size, as an expose of the whole window does.
void BM_FullMainWindowPaint(benchmark::State& run) {
  Player& p = ThePlayerUnderTest();
  QImage target(p.skin.mainW, p.skin.mainH, QImage::Format_ARGB32_Premultiplied);
  for (auto _ : run) {
    p.controls->PaintMainWindow();
    p.main.render(&target);
  }
  benchmark::DoNotOptimize(target.constBits());
}
BENCHMARK(BM_FullMainWindowPaint)->Unit(benchmark::kMicrosecond);

// The two halves of the whole window: composing the face, and the window
// system's paint of the window and its children from what is composed.
void BM_ComposeFace(benchmark::State& run) {
  Player& p = ThePlayerUnderTest();
  for (auto _ : run) p.controls->PaintMainWindow();
  benchmark::DoNotOptimize(p.controls->Screen().constBits());
}
BENCHMARK(BM_ComposeFace)->Unit(benchmark::kMicrosecond);

void BM_RenderWindowAndChildren(benchmark::State& run) {
  Player& p = ThePlayerUnderTest();
  QImage target(p.skin.mainW, p.skin.mainH, QImage::Format_ARGB32_Premultiplied);
  for (auto _ : run) p.main.render(&target);
  benchmark::DoNotOptimize(target.constBits());
}
BENCHMARK(BM_RenderWindowAndChildren)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace qmb

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  if (qmb::LoadImageLibrary(QMB_PROGRAM_FOLDER "/") != 1) {
    std::fprintf(stderr, "qmb_bench_skin_paint: no picture library in %s\n", QMB_PROGRAM_FOLDER);
    return 1;
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
