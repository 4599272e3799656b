// Start-up: the fixed order in which the player brings up its parts, the
// single-instance rule, the timers and the main window.
#pragma once

#include <functional>
#include <string>

#include "core/window_geometry.h"

class QWidget;
class QTimer;

namespace qmb {

class EqPresetWindow;
class PlayerMenus;
class PlaylistWindows;
class PluginHost;
class SkinControls;
class Switchboard;
class VisualRenderer;

struct PlayerWindows {
  QWidget* main = nullptr;
  QTimer* visualTimer = nullptr;  // timer 0, `visualDelay`
  QTimer* coreTimer = nullptr;    // timer 1, `coreDelay`
  QTimer* statusTimer = nullptr;  // timer 2, ends a transient status text
  Switchboard* board = nullptr;
  PlayerMenus* menus = nullptr;
  PluginHost* host = nullptr;
  SkinControls* controls = nullptr;
  PlaylistWindows* playlists = nullptr;
  VisualRenderer* visual = nullptr;
  EqPresetWindow* presetWindow = nullptr;
  // Starts or stops the visual timer as the player's state asks; set once
  // the main window is shown.
  void (*updateVisualTimer)() = nullptr;
  // At start-up: the saved skin at its place and opacity.
  std::function<void()> loadStartupSkin;
  // The time display's rectangle on the main window, from the skin.
  Rect timeRect;
};

PlayerWindows& TheWindows();

// Brings the player up: windows, menus, commands, plug-ins, the sound system
// and what the command line asks for. `commandLine` is the whole process
// command line; `programFolder` ends in "/". Returns once the main window is
// shown (or never, when start-up ends the process).
void StartPlayer(const std::string& commandLine, const std::string& programFolder);

// StartPlayer, then the event loop. Returns the exit code.
int RunPlayer(const std::string& commandLine, const std::string& programFolder);

// A timer interval as the desktop timers take it: at least 10 ms.
int TimerInterval(int milliseconds);

}  // namespace qmb
