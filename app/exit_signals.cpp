#include "app/exit_signals.h"

#include <fcntl.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <csignal>

namespace qmb {
namespace {

int signalPipe[2] = {-1, -1};
volatile std::sig_atomic_t signalled = 0;

void OnSignal(int) {
  signalled = 1;
  char byte = 1;
  // Only async-signal-safe calls here.
  ssize_t ignored = ::write(signalPipe[1], &byte, 1);
  (void)ignored;
}

}  // namespace

void InstallExitSignals() {
  if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int sig : {SIGTERM, SIGINT, SIGHUP}) ::sigaction(sig, &action, nullptr);
}

void WatchExitSignals(QObject* parent, std::function<void()> onSignal) {
  if (signalPipe[0] < 0) return;
  auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, parent);
  QObject::connect(notifier, &QSocketNotifier::activated, parent, [notifier, onSignal] {
    char buffer[16];
    while (::read(signalPipe[0], buffer, sizeof buffer) > 0) {
    }
    notifier->setEnabled(false);
    onSignal();
  });
}

bool ExitSignalled() {
  return signalled != 0;
}

}  // namespace qmb
