// Screenshots of the bundled skins as the player paints them: the real loader,
// windows and skinned controls, grabbed in each state a user meets.
//   qmb_skin_screenshots <program folder> <output folder> [scale]
// Writes <skin>-normal, -hover, -pressed, -inverted and -stage<N> PNGs for
// Default and Compact; outside the window's shape the pictures are clear.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <QApplication>
#include <QImage>
#include <QPaintEvent>
#include <QPainter>
#include <QWidget>

#include "core/image_library.h"
#include "core/player_core.h"
#include "core/running_state.h"
#include "playback/playback_state.h"
#include "skin/skin_definition.h"
#include "ui/skin/skin_window.h"
#include "ui/skin/skinned_controls.h"

namespace qmb {
namespace {

// A tilted equalizer, a third of the way into a track, loud, centred,
// shuffle on and loop off: a player in use.
constexpr float kBands[kEqBandSliders] = {22, 20, 18, 16, 15, 14, 15, 17, 20, 24};

// A still of the fire spectrum over the visual window: columns of the
// visual picture, tallest at the bass, inverted with the rest.
void SampleSpectrum(const SkinDefinition& skin, bool inverted, QImage& face) {
  QImage fire = PictureImage(skin.visual.visualPicture.get()).convertToFormat(QImage::Format_RGB32);
  if (fire.isNull()) return;
  if (inverted) fire.invertPixels(QImage::InvertRgb);
  QPainter painter(&face);
  const int w = skin.visual.width, h = skin.visual.height;
  for (int x = 0; x + 2 <= w; x += 3) {
    const float level = 0.9f - 0.65f * static_cast<float>(x) / static_cast<float>(w) +
                        static_cast<float>((x * 7) % 5) * 0.04f;
    const int top = std::clamp(static_cast<int>(static_cast<float>(h) * (1.0f - level)), 0, h);
    painter.drawImage(QRect(skin.visual.x1 + x, skin.visual.y1 + top, 2, h - top), fire,
                      QRect(x, top, 2, h - top));
  }
}

// The main window's paint, as start-up wires it: what the controls last
// composed for it.
class FaceWindow : public QWidget {
 public:
  SkinControls* controls = nullptr;

 protected:
  void paintEvent(QPaintEvent* event) override {
    if (!controls) return;
    QPainter painter(this);
    controls->DrawMainWindow(painter, event->rect());
  }
};

class Shooter {
 public:
  Shooter(const std::string& programFolder, std::string outFolder, int scale)
      : loader_(player_), windows_(player_, loader_), out_(std::move(outFolder)), scale_(scale) {
    player_.programFolder = programFolder;
    for (int b = 0; b < kEqBandSliders; ++b) player_.state.sliders[b] = {kBands[b], 30};
    player_.state.sliders[kPositionSlider] = {66, 200};
    player_.state.sliders[kVolumeSlider] = {200, 255};
    player_.state.sliders[kBalanceSlider] = {127, 255};
    player_.state.shuffle = true;
    displays_.titleText = "Qumble Sample Pieces - Qumble Melody";
    displays_.timeText = " 1:06";

    controls_ = new SkinControls(&main_, loader_.skin, player_.state, displays_);
    main_.controls = controls_;
    windows_.mainWindow = &main_;
    windows_.visualWindow = controls_->Visual();
    for (int i = 0; i < kSkinButtonCount; ++i) windows_.buttons[i] = controls_->Button(i);
    for (int i = 0; i < kSkinSliderCount; ++i) {
      windows_.tracks[i] = controls_->Track(i);
      windows_.thumbs[i] = controls_->Thumb(i);
    }
    windows_.InstallSteps();
    windows_.placeControls = [this](const SkinDefinition&) { controls_->PlaceControls(); };
    loader_.steps.repaintMainWindow = [this] { controls_->PaintMainWindow(); };
  }
  ~Shooter() { delete controls_; }

  bool Skin(const std::string& name, const std::string& prefix) {
    std::string folder = player_.programFolder + "Skins/" + name;
    player_.state.skinStage = 0;
    player_.state.rasterOp = kSourceCopy;
    if (loader_.LoadSkin(folder, 1) != 1) {
      std::fprintf(stderr, "qmb_skin_screenshots: %s did not load\n", folder.c_str());
      return false;
    }
    main_.resize(loader_.skin.mainW, loader_.skin.mainH);
    // As with "Enable alpha-blending capabilities" checked: a colour key
    // only cuts the window then.
    windows_.SetSkinAlpha(255);
    main_.show();
    bool ok = Shot(prefix + "-normal");
    SkinButton& play = loader_.skin.buttons[4];
    play.state = 1;
    ok = Shot(prefix + "-hover") && ok;
    play.state = 2;
    ok = Shot(prefix + "-pressed") && ok;
    play.state = 0;
    if (windows_.ToggleSkinInversion() == 1) {
      ok = Shot(prefix + "-inverted") && ok;
      static_cast<void>(windows_.ToggleSkinInversion());
    } else {
      std::printf("%s refuses inversion\n", name.c_str());
    }
    for (int stage = 0; stage < std::max(loader_.skin.numStages, 1); ++stage) {
      windows_.SetSkinStage(stage);
      ok = Shot(prefix + "-stage" + std::to_string(stage)) && ok;
    }
    windows_.SetSkinStage(0);
    return ok;
  }

 private:
  bool Shot(const std::string& name) {
    controls_->PaintMainWindow();
    displays_.ticks = 0;
    controls_->RefreshDisplays();
    for (QWidget* child : main_.findChildren<QWidget*>()) child->update();
    QApplication::processEvents();
    QImage face = main_.grab().toImage().convertToFormat(QImage::Format_ARGB32);
    SampleSpectrum(loader_.skin, player_.state.rasterOp == kInvertedSourceCopy, face);
    if (!main_.mask().isEmpty()) {
      QPainter clear(&face);
      clear.setCompositionMode(QPainter::CompositionMode_Clear);
      clear.setClipRegion(QRegion(face.rect()).subtracted(main_.mask()));
      clear.fillRect(face.rect(), Qt::transparent);
    }
    face = face.scaled(face.size() * scale_, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    const std::string path = out_ + "/" + name + ".png";
    if (!face.save(QString::fromStdString(path), "PNG", 9)) {
      std::fprintf(stderr, "qmb_skin_screenshots: cannot write %s\n", path.c_str());
      return false;
    }
    std::printf("%s\n", path.c_str());
    return true;
  }

  PlayerCore player_;
  SkinLoader loader_;
  SkinWindows windows_;
  PlaybackDisplays displays_;
  FaceWindow main_;
  SkinControls* controls_ = nullptr;
  std::string out_;
  int scale_;
};

}  // namespace
}  // namespace qmb

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: qmb_skin_screenshots <program folder> <output folder> [scale]\n");
    return 2;
  }
  QApplication app(argc, argv);
  std::string programFolder = argv[1];
  if (programFolder.back() != '/') programFolder += '/';
  if (qmb::LoadImageLibrary(programFolder) != 1) {
    std::fprintf(stderr, "qmb_skin_screenshots: no picture library in %s\n", argv[1]);
    return 1;
  }
  const int scale = argc > 3 ? std::clamp(std::atoi(argv[3]), 1, 4) : 2;
  qmb::Shooter shooter(programFolder, argv[2], scale);
  bool ok = shooter.Skin("Default", "default");
  ok = shooter.Skin("Compact", "compact") && ok;
  return ok ? 0 : 1;
}
