// What the player does for the user beyond playing, wired to its windows:
// the control panel with its start-up commands, the priorities, the battery
// watch, file-type association, the about box, the update check, the tray
// icon and the splash screen.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "core/control_models.h"
#include "skin/skin_selection.h"

namespace qmb {

class ControlPanel;
class PlayerTray;
class PowerSource;
struct PlayerCore;
struct PlayerParts;
struct PlayerWindows;

// What the skins' side of start-up hands the control panel.
struct SkinHooks {
  std::function<std::vector<SkinRow>()> rows;  // read again
  std::function<void(const std::string& folder)> load;
  EditModel* info = nullptr;
  std::function<void()> applyOpacity;  // "Enable alpha-blending capabilities"
  std::function<void(int alpha)> setSkinAlpha;
};
SkinHooks& TheSkinHooks();

// The control panel once built; null before.
ControlPanel* TheControlPanel();
// Shows the panel at `page` (the Skins page when a skin asks to be chosen).
void OpenControlPanel(int page);

// Builds the control panel over the models, registers the commands of the
// panel and the system services, and applies the loaded values: the
// opacity, tool tip and always-on-top commands as if clicked, the priority
// steps, then the battery check. `power` replaces the system's power status
// (tests); null takes UPower or sysfs.
void CreateControlPanel(PlayerCore& player, PlayerParts& parts, PlayerWindows& windows,
                        PowerSource* power = nullptr);

// Reads the power status again and reacts when it changed.
void CheckBattery();

// The splash screen while the player starts, when the settings ask for it,
// and its fade-out once the main window shows (harmless without one).
void ShowStartupSplash(const PlayerCore& player);
void CloseStartupSplash();

// Adds the tray icon that "Tray icon:" picks; it goes at shutdown.
void AddTrayIcon(PlayerCore& player, PlayerWindows& windows);
PlayerTray* TheTray();

}  // namespace qmb
