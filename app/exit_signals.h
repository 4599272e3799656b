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
void WatchExitSignals(QObject* parent, std::function<void()> onSignal);

}  // namespace qmb
