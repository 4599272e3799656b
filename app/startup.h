// Start-up: the fixed order in which the player brings up its parts, the
// single-instance rule, the timers and the main window.
#pragma once

#include <functional>
#include <string>

#include "core/window_geometry.h"

class QWidget;
class QTimer;

namespace qmb {

class PluginHost;
class SkinControls;
class Switchboard;

// The middle button's command: not a menu id, so no menu can send it.
constexpr int kMiddleButtonCommand = -2;

struct PlayerWindows {
  QWidget* main = nullptr;
  QTimer* visualTimer = nullptr;  // timer 0, `visualDelay`
  QTimer* coreTimer = nullptr;    // timer 1, `coreDelay`
  QTimer* statusTimer = nullptr;  // timer 2, ends a transient status text
  Switchboard* board = nullptr;
  PluginHost* host = nullptr;
  SkinControls* controls = nullptr;
  // Start-up steps 22, 23 and 26: the saved skin at its place and opacity.
  std::function<void()> loadStartupSkin;
  // The time display's rectangle on the main window, from the skin.
  Rect timeRect;
};

PlayerWindows& TheWindows();

// Runs start-up and then the event loop. `commandLine` is the whole process
// command line; `programFolder` ends in "/". Returns the exit code.
int RunPlayer(const std::string& commandLine, const std::string& programFolder);

// A timer interval as the desktop timers take it: at least 10 ms.
int TimerInterval(int milliseconds);

}  // namespace qmb
