// The skinned windows on Qt: window shapes from region files, the main
// window's stages and colour key, inversion, opacity, choosing a skin, and the
// window steps of loading one.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <QRegion>

#include "skin/skin_definition.h"
#include "skin/skin_regions.h"
#include "skin/skin_selection.h"

class QWidget;

namespace qmb {

struct PlayerCore;

// The even-odd polygon of the points. Fewer than three points enclose
// nothing and give an empty region.
QRegion RegionFromPoints(const std::vector<RegionPoint>& points);
// The polygon of a region file; none when there is no file. A file that
// exists but cannot be opened ends the program.
std::optional<QRegion> RegionFromFile(const std::string& path);

// Shapes `window` by the region file; a missing file keeps its shape. A
// polygon that encloses nothing leaves the whole window showing rather than
// hiding it.
void ApplyRegionFile(const std::string& path, QWidget* window);
// The whole rectangle shows again.
void ClearRegion(QWidget* window);

// Leaving the layered style makes the window fully opaque again.
void SetLayeredStyle(QWidget* window, int layered);
// Opacity from the low 8 bits of alpha.
void SetWindowAlpha(QWidget* window, int alpha);
// Every pixel of `face` except those of exactly the Windows RGB `colour`.
QRegion ColourKeyRegion(const QmbPicture* face, std::int32_t colour);

// The main window and its skinned children as loading a skin sees them.
// The composition root fills in the windows; null ones are skipped.
class SkinWindows {
 public:
  SkinWindows(PlayerCore& core, SkinLoader& loader);
  SkinWindows(const SkinWindows&) = delete;
  SkinWindows& operator=(const SkinWindows&) = delete;

  QWidget* mainWindow = nullptr;
  QWidget* visualWindow = nullptr;
  std::array<QWidget*, kSkinButtonCount> buttons{};
  std::array<QWidget*, kSkinSliderCount> tracks{};
  std::array<QWidget*, kSkinSliderCount> thumbs{};
  // Fonts and tooltip colours, which the skinned controls keep.
  std::function<void(const SkinDefinition&)> placeControls;
  // Shows the control panel at its Skins page.
  std::function<void()> showSkinsPage;
  // The control panel's skin list.
  std::vector<SkinRow> skinList;

  // Points the loader's window steps here; reapplySliders stays the
  // controls' own.
  void InstallSteps();
  void PlaceWindows(const SkinDefinition& skin);

  // 1; a negative stage advances to the next.
  int SetSkinStage(int stage);
  // 1, or kInversionRefused without a message: callers decide whether to show it.
  [[nodiscard]] int ToggleSkinInversion();
  // 1 the folder browser, 0 the control panel's Skins page.
  void ChooseSkinFolder(int mode);
  void RefreshSkinList();
  // "Random skin on play"; nothing while the list is empty.
  void LoadRandomSkin();
  // The main window's opacity with the skin's colour key.
  void SetSkinAlpha(int alpha);
  // "Main window:" and "Playlist:" as the control panel holds them.
  void ApplyOpacitySettings(QWidget* playlistWindow);

 private:
  void UpdateMainMask();

  PlayerCore& core_;
  SkinLoader& loader_;
  std::optional<QRegion> stageShape_;
  std::optional<QRegion> colourKey_;
};

}  // namespace qmb
