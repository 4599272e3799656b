// The one orderly way the player ends: save when asked, let every subsystem
// let go, and end the process with code 0. It never returns.
#pragma once

#include <functional>

namespace qmb {

struct PlayerCore;

// Saves the settings and the type list (and, once registered, everything
// else kept beside the program) into the program folder. A file that cannot
// be written ends the process with code 1.
void SaveEverything(PlayerCore& player);

// A step of shutdown owned by a layer above the logic (timers, windows, the
// engine), run in the order registered after saving.
void AddShutdownStep(std::function<void()> step);
// A save owned by another subsystem (the playlist), run after the settings
// and the type list.
void AddSaveStep(std::function<void(PlayerCore&)> step);

[[noreturn]] void Shutdown(bool save);

}  // namespace qmb
