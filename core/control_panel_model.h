// The control panel's setting controls as models. While the player runs these
// are the live home of most settings; the control panel window shows them and
// saving reads them back.
#pragma once

#include <array>

#include "core/control_models.h"

namespace qmb {

struct ControlPanelModel {
  // General
  CheckModel alphaBlending;               // "Enable alpha-blending capabilities"
  TrackbarModel mainWindowAlpha{0, 255};  // "Main window:"
  TrackbarModel playlistAlpha{0, 255};    // "Playlist:"
  CheckModel visualization;               // "Enable visualization"
  CheckModel splashScreen;                // "Enable splash screen"
  CheckModel toolTips;                    // "Enable tool tips"
  CheckModel alwaysOnTop;                 // "Always on top"
  CheckModel multipleInstances;           // "Allow multiple instances"
  TrackbarModel trayIcon{200, 204};       // "Tray icon:"
  CheckModel alphaOnSkinSwitch;           // "Alpha-blend when switching skins"
  TrackbarModel visualDelay{0, 200};      // "Visual delay:"
  TrackbarModel coreDelay{0, 1000};       // "Core delay:"
  TrackbarModel threadPriority{0, 6};     // "Thread Priority:"
  TrackbarModel priorityClass{0, 3};      // "Priority Class:"
  // Playback and playlist
  CheckModel autoAdvance;        // "Automatically advance to next track"
  CheckModel rememberizer;       // "Enable Rememberizer"
  CheckModel skipUnsupported;    // "Do not add unsupported files to list"
  CheckModel rawPcmUnsupported;  // "Treat unsupported files as raw pcm"
  EditModel repeatCount;         // "Repeat count:"
  // Skins
  CheckModel invertSkin;        // "Invert skin"
  CheckModel randomSkinOnPlay;  // "Random skin on play"
  // Visualization
  CheckModel internalVisOffWithPlugin;  // "Disable internal vis when using plug-in"
  // Power rules: state 0 "Low" / 1 "Critical"; action 0..3
  std::array<ComboModel, 2> batteryState;
  std::array<ComboModel, 2> batteryAction;
  // Sound system
  TrackbarModel mixerRate{110, 640};  // "Mixer rate:", units of 100 Hz
  ComboModel outputDriver;            // "Driver:"
  ComboModel outputDevice;            // "Device:"
  CheckModel equalizerDisabled;       // "Disable equalizer"
  // Tags
  EditModel tagFormat;  // "Tag format (e.g. a - s):"
  CheckModel useTags;   // "Use tags"
  // Shell integration: the associated file types
  StringListModel fileTypes;

  ControlPanelModel();
};

// The texts of the fixed drop-down lists, in index order.
extern const std::array<const char*, 8> kOutputNames;
extern const std::array<const char*, 2> kBatteryStateNames;
extern const std::array<const char*, 4> kBatteryActionNames;

// "Repeat count:" as a number: converted as a decimal and truncated toward
// zero; text that is no number gives 0.
int RepeatCountValue(const std::string& text);

}  // namespace qmb
