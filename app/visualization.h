// The visualization and the equalizer's presets wired into the running
// player: the visual window's renderer and its "Visualization Window", the
// visual timer that runs only while a picture can change and be seen, the
// visual menu's commands, and the equalizer menu with its preset window.
#pragma once

class QTimer;
class QWidget;

namespace qmb {

class PlayerMenus;
class SkinControls;
class Switchboard;
class VisualRenderer;
class EqPresetWindow;
struct PlayerCore;
struct PlayerParts;

struct VisualParts {
  VisualRenderer* renderer = nullptr;
  EqPresetWindow* presetWindow = nullptr;
  // Starts or stops the visual timer as the player's state asks.
  void (*updateTimer)() = nullptr;
};

// Builds both once `controls` exist; `visualTimer` is timer 0 of `main`.
VisualParts WireVisualization(PlayerCore& player, PlayerParts& parts, QWidget* main,
                              QTimer* visualTimer, SkinControls& controls, PlayerMenus& menus,
                              Switchboard& board);

}  // namespace qmb
