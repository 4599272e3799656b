// The single-instance rule on this desktop: the running player listens on a
// per-user local socket named after its window class; a second start connects
// to it to bring it forward and to hand over its path, waiting for the answer.
#pragma once

#include <QObject>
#include <functional>
#include <string>

class QLocalServer;
class QLocalSocket;

namespace qmb {

constexpr const char* kWindowClassName = "HWT_QMB_5";

// The folder holding the socket and the flash guard: $XDG_RUNTIME_DIR, or a
// private folder under /tmp when the session has none.
std::string InstanceRuntimeFolder();

// What a running instance answers to.
struct InstanceHandlers {
  std::function<bool()> isMinimized;   // the main window is minimised
  std::function<bool()> isForeground;  // the main window is the active one
  std::function<void()> flash;         // draw the user's attention once
  std::function<void()> bringForward;
  // The hand-off: `wParam` 1 for a playlist path, 0 otherwise. Runs from the
  // event loop after the second start has its answer.
  std::function<void(int wParam, const std::string& path)> handOff;
};

// The running instance's side.
class InstanceServer : public QObject {
 public:
  explicit InstanceServer(InstanceHandlers handlers, QObject* parent = nullptr);
  ~InstanceServer() override;
  // Starts listening; false when another live instance already listens.
  bool Listen();
  // Stops listening and removes the socket.
  void Close();

 private:
  void OnConnection();
  void OnReadable(QLocalSocket* socket);

  InstanceHandlers handlers_;
  QLocalServer* server_;
};

// The second start's side. Both block until the running instance answered,
// or until this process gets SIGTERM, SIGINT or SIGHUP.
// 1 when a running instance exists (brought forward, flashed first while it
// is minimised), else 0.
int ActivateRunningInstance(const std::string& className);
// Hands `path` over; false when no running instance answered.
bool HandOffToRunningInstance(int wParam, const std::string& path);

}  // namespace qmb
