// The sound system's set-up: starts the engine with the control panel's
// output, device and mixer rate, and runs the "Sound System" page's commands.
#pragma once

#include <functional>

#include "core/control_panel_model.h"

namespace qmb {

constexpr int kDefaultMixerRate = 441;  // slider units of 100 Hz
constexpr int kDefaultOutput = 2;       // "DirectSound Driver"
constexpr int kDefaultDevice = 0;
constexpr int kSoundBufferMs = 100;
constexpr int kSoundChannels = 32;
constexpr int kDeviceNameBytes = 99;

// Starts the engine; 1 on success, 23 when it fails (the program goes on
// without sound).
[[nodiscard]] int InitSoundSystem(ControlPanelModel& panel);

// Refills the device list from the engine and selects `selection`.
void FillDeviceList(ControlPanelModel& panel, int selection);

// Once the page's output list holds its selection: hands it to the engine,
// fills the device list and hands the device over too.
void PrepareSoundSystemPage(ControlPanelModel& panel);

// "Restore Defaults": only the controls change; the engine sees them at the
// next reset.
void RestoreSoundDefaults(ControlPanelModel& panel);

// "Reset Sound System": `stopWithCycleReset` stops playback and clears the
// random cycle (the playback layer provides it; empty skips the stop). Then
// the engine closes, one second passes, it starts again (a failure is shown)
// and the device list is refilled.
void ResetSoundSystem(ControlPanelModel& panel, const std::function<void()>& stopWithCycleReset);

// The user picked another output: the device list restarts at 0. The engine
// takes the new output at the next start, so until then the list shows the
// devices of the output the engine has.
void OutputDriverChanged(ControlPanelModel& panel);

}  // namespace qmb
