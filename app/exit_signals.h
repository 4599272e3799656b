// SIGTERM, SIGINT and SIGHUP end the player as "Exit" does, saving. The
// handler only writes to a pipe; the shutdown runs on the user-interface
// thread once its event loop sees the pipe.
#pragma once

#include <functional>

class QObject;

namespace qmb {

// Catches the signals from the first moment; they wait in the pipe until
// WatchExitSignals runs and the event loop reads them.
void InstallExitSignals();
// Runs `onSignal` on the user-interface thread when a signal arrives, also
// inside a modal box's or dialog's own event loop.
void WatchExitSignals(QObject* parent, std::function<void()> onSignal);
// True once one of the signals arrived: loops that wait without an event
// loop (a second start waiting for the running player) end on it.
bool ExitSignalled();

}  // namespace qmb
