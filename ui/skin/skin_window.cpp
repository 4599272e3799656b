#include "ui/skin/skin_window.h"

#include <algorithm>

#include <QBitmap>
#include <QImage>
#include <QPolygon>
#include <QVariant>
#include <QWidget>

#include "core/file_dialog.h"
#include "core/file_failure.h"
#include "core/player_core.h"

namespace qmb {

namespace {

constexpr const char* kLayeredProperty = "qmbLayered";

void Place(QWidget* window, int x, int y, int w, int h) {
  if (window) window->setGeometry(x, y, std::max(0, w), std::max(0, h));
}

void ShapeOrClear(QWidget* window, const std::string& folder, const std::string& regionName) {
  if (!window) return;
  if (regionName.empty()) return ClearRegion(window);
  ApplyRegionFile(folder + regionName, window);
}

}  // namespace

QRegion RegionFromPoints(const std::vector<RegionPoint>& points) {
  if (points.size() < 3) return {};
  QPolygon polygon;
  polygon.reserve(static_cast<int>(points.size()));
  for (const RegionPoint& p : points) polygon << QPoint(p.x, p.y);
  return QRegion(polygon, Qt::OddEvenFill);
}

std::optional<QRegion> RegionFromFile(const std::string& path) {
  std::vector<RegionPoint> points;
  switch (ReadRegionFile(path, points)) {
    case RegionRead::kMissing:
      return std::nullopt;
    case RegionRead::kUnreadable:
      CannotOpenFile(path);
    case RegionRead::kRead:
      break;
  }
  return RegionFromPoints(points);
}

void ApplyRegionFile(const std::string& path, QWidget* window) {
  std::optional<QRegion> region = RegionFromFile(path);
  if (!region || !window) return;
  // An empty mask would clear the shape anyway; saying so keeps it explicit.
  if (region->isEmpty()) {
    window->clearMask();
  } else {
    window->setMask(*region);
  }
  window->update();
}

void ClearRegion(QWidget* window) {
  if (!window) return;
  window->clearMask();
  window->update();
}

void SetLayeredStyle(QWidget* window, int layered) {
  if (!window) return;
  window->setProperty(kLayeredProperty, layered != 0);
  if (!layered) window->setWindowOpacity(1.0);
}

void SetWindowAlpha(QWidget* window, int alpha) {
  if (window) window->setWindowOpacity((alpha & 0xFF) / 255.0);
}

QRegion ColourKeyRegion(const QmbPicture* face, std::int32_t colour) {
  if (!face || face->width <= 0 || face->height <= 0) return {};
  QImage image(reinterpret_cast<const uchar*>(face->pixels), face->width, face->height,
               face->stride, QImage::Format_ARGB32);
  QRgb key = qRgb(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
  // Compared without alpha: the skin's pictures are opaque.
  QImage opaque = image.convertToFormat(QImage::Format_RGB32);
  // With MaskInColor the key's pixels are the ones the region leaves out.
  return QRegion(QBitmap::fromImage(opaque.createMaskFromColor(key, Qt::MaskInColor)));
}

SkinWindows::SkinWindows(PlayerCore& core, SkinLoader& loader) : core_(core), loader_(loader) {
  placeControls = [](const SkinDefinition&) {};
  showSkinsPage = [] {};
}

void SkinWindows::InstallSteps() {
  SkinLoadSteps& steps = loader_.steps;
  steps.chooseSkinFolder = [this](int mode) { ChooseSkinFolder(mode); };
  steps.setSkinAlpha = [this](int alpha) { SetSkinAlpha(alpha); };
  steps.hideMainWindow = [this] {
    if (mainWindow) mainWindow->hide();
  };
  steps.showMainWindow = [this] {
    if (!mainWindow) return;
    mainWindow->update();
    mainWindow->show();
  };
  steps.placeWindows = [this](const SkinDefinition& skin) { PlaceWindows(skin); };
  steps.repaintMainWindow = [this] {
    if (mainWindow) mainWindow->update();
  };
}

void SkinWindows::PlaceWindows(const SkinDefinition& skin) {
  // Resized where it stands: only the size comes from the skin.
  if (mainWindow) mainWindow->resize(std::max(0, skin.mainW), std::max(0, skin.mainH));
  SetSkinStage(core_.state.skinStage);
  const std::string& folder = skin.skinFolder;
  Place(visualWindow, skin.visual.x1, skin.visual.y1, skin.visual.width, skin.visual.height);
  if (visualWindow) visualWindow->update();
  ShapeOrClear(visualWindow, folder, skin.visualExtraData);
  for (int i = 0; i < kSkinButtonCount; ++i) {
    const SkinButton& b = skin.buttons[i];
    ShapeOrClear(buttons[i], folder, b.extraData);
    Place(buttons[i], b.x, b.y, b.w, b.h);
  }
  for (int i = 0; i < kSkinSliderCount; ++i) {
    const SkinSlider& s = skin.sliders[i];
    ShapeOrClear(thumbs[i], folder, s.extraDataSlider);
    ShapeOrClear(tracks[i], folder, s.extraDataBack);
    Place(tracks[i], s.x, s.y, s.w, s.h);
    Place(thumbs[i], 0, 0, s.w1, s.h1);
  }
  placeControls(skin);
}

int SkinWindows::SetSkinStage(int stage) {
  int& active = core_.state.skinStage;
  active = NextSkinStage(active, stage, loader_.skin.numStages);
  // A stage without its file keeps the shape of the one before.
  if (std::optional<QRegion> shape =
          RegionFromFile(StageRegionPath(loader_.skin.skinFolder, active))) {
    stageShape_ = shape->isEmpty() ? std::nullopt : shape;
    UpdateMainMask();
  }
  return 1;
}

int SkinWindows::ToggleSkinInversion() {
  int result = ToggleInversion(loader_.skin.disableInverse, core_.state, core_.panel.invertSkin);
  if (result != 1 || !mainWindow) return result;
  // Every skinned surface copies with the raster operation, not only the face.
  mainWindow->update();
  for (QWidget* child : mainWindow->findChildren<QWidget*>()) child->update();
  return result;
}

void SkinWindows::ChooseSkinFolder(int mode) {
  if (mode == 0) return showSkinsPage();
  std::string folder = ChooseFolder("Choose skin folder", 0, core_.programFolder + "Skins/");
  if (folder.empty()) return;
  if (folder.back() != '/') folder += '/';
  loader_.LoadSkin(folder, 0);
}

void SkinWindows::RefreshSkinList() {
  skinList = EnumerateSkins(core_.programFolder);
}

void SkinWindows::LoadRandomSkin() {
  int row = RandomSkinRow(skinList.size());
  if (row < 0) return;
  std::string folder = skinList[static_cast<std::size_t>(row)].filename;
  loader_.LoadSkin(folder, 0);
}

void SkinWindows::SetSkinAlpha(int alpha) {
  SetWindowAlpha(mainWindow, alpha);
  std::int32_t colour = loader_.skin.transparentColour;
  if (colour == -1) {
    colourKey_.reset();
  } else {
    colourKey_ = ColourKeyRegion(loader_.skin.background.get(), colour);
  }
  UpdateMainMask();
}

void SkinWindows::ApplyOpacitySettings(QWidget* playlistWindow) {
  const ControlPanelModel& panel = core_.panel;
  if (!panel.alphaBlending.Checked()) return;
  SetSkinAlpha(panel.mainWindowAlpha.Position());
  int playlistAlpha = panel.playlistAlpha.Position();
  SetLayeredStyle(playlistWindow, playlistAlpha != 255);
  if (playlistAlpha != 255) SetWindowAlpha(playlistWindow, playlistAlpha);
}

void SkinWindows::UpdateMainMask() {
  if (!mainWindow) return;
  if (!stageShape_ && !colourKey_) {
    mainWindow->clearMask();
  } else if (stageShape_ && colourKey_) {
    mainWindow->setMask(stageShape_->intersected(*colourKey_));
  } else {
    mainWindow->setMask(stageShape_ ? *stageShape_ : *colourKey_);
  }
  mainWindow->update();
}

}  // namespace qmb
