// The one orderly way the player ends: save when asked, let every subsystem
// let go, and end the process with code 0. It never returns.
#pragma once

#include <functional>

namespace qmb {

struct PlayerCore;

// Brings the running state up to date (the current entry, whether anything
// plays) before any save of the settings.
void AddGatherStep(std::function<void(PlayerCore&)> step);
// Gathers and writes the settings.
void SaveSettingsNow(PlayerCore& player);

// Whether saving may write. Start-up turns it off until it has read and
// applied the settings, the type list and the last playlist, so a player
// ended mid-way leaves its files as they were instead of writing a half-built
// state over them. On by default.
void AllowSaving(bool allowed);

// Saves the settings, the type list and, once registered, everything else
// kept beside the program (the playlist); nothing while saving is not
// allowed. A file that cannot be written ends the process with code 1.
void SaveEverything(PlayerCore& player);
// A save owned by another subsystem, run after the settings and the type list.
void AddSaveStep(std::function<void(PlayerCore&)> step);

// A step of shutdown owned by a layer above the logic, run in the order
// registered: before saving when `beforeSaving` (the abort of an address
// still opening), otherwise after it.
void AddShutdownStep(std::function<void()> step, bool beforeSaving = false);

[[noreturn]] void Shutdown(bool save);

// What the power rules can do besides shutting down.
struct PowerActions {
  std::function<void()> stopPlayback;
};
// Runs rule 1 then rule 2 when its state list shows `state` (0 low,
// 1 critical): "Shutdown QMB", "Save Settings", "Stop playback" or nothing.
void ApplyPowerRules(int state, PlayerCore& player, const PowerActions& actions);

}  // namespace qmb
