#include "app/instance_channel.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QByteArray>
#include <QDataStream>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>
#include <algorithm>
#include <cstdlib>
#include <thread>

#include "app/exit_signals.h"
#include "app/instance_frame.h"

namespace qmb {
namespace {

enum class Request : quint32 { Query = 1, Flash = 2, BringForward = 3, HandOff = 4 };

std::string SocketPath() {
  return InstanceRuntimeFolder() + "/" + kWindowClassName;
}

QByteArray Frame(Request kind, quint32 wParam, const std::string& payload) {
  std::string frame = InstanceFrameBytes(static_cast<std::uint32_t>(kind), wParam, payload);
  return QByteArray(frame.data(), static_cast<qsizetype>(frame.size()));
}

// One request and its 4-byte answer; -1 when the instance is gone or this
// process was asked to end while waiting.
qint32 Ask(QLocalSocket& socket, Request kind, quint32 wParam = 0,
           const std::string& payload = {}) {
  socket.write(Frame(kind, wParam, payload));
  if (!socket.waitForBytesWritten(5000)) return -1;
  // The running player may be busy (a long load): wait as long as it lives,
  // as a synchronous window message would, but never past a signal.
  while (socket.bytesAvailable() < 4) {
    if (socket.state() != QLocalSocket::ConnectedState || ExitSignalled()) return -1;
    socket.waitForReadyRead(100);
  }
  QDataStream in(socket.read(4));
  qint32 answer = 0;
  in >> answer;
  return answer;
}

bool Connect(QLocalSocket& socket) {
  socket.connectToServer(QString::fromStdString(SocketPath()));
  return socket.waitForConnected(2000);
}

// The flash guard: only one starting instance flashes the running one.
bool TakeFlashGuard() {
  std::string path = InstanceRuntimeFolder() + "/" + kWindowClassName + "_EnFI";
  int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    ::close(fd);
    return false;
  }
  // Held until the process ends, like a mutex that is never released.
  return true;
}

}  // namespace

std::string InstanceRuntimeFolder() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  struct stat st {};
  if (runtime && *runtime && ::stat(runtime, &st) == 0 && S_ISDIR(st.st_mode)) return runtime;
  std::string folder = "/tmp/qmb-" + std::to_string(::getuid());
  ::mkdir(folder.c_str(), 0700);
  return folder;
}

InstanceServer::InstanceServer(InstanceHandlers handlers, QObject* parent)
    : QObject(parent), handlers_(std::move(handlers)), server_(new QLocalServer(this)) {
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  connect(server_, &QLocalServer::newConnection, this, &InstanceServer::OnConnection);
}

InstanceServer::~InstanceServer() = default;

bool InstanceServer::Listen() {
  QString name = QString::fromStdString(SocketPath());
  if (server_->listen(name)) return true;
  // A socket left by a player that crashed answers nobody: take its place.
  QLocalSocket probe;
  probe.connectToServer(name);
  if (probe.waitForConnected(500)) return false;
  QLocalServer::removeServer(name);
  return server_->listen(name);
}

void InstanceServer::Close() {
  server_->close();
}

void InstanceServer::OnConnection() {
  while (QLocalSocket* socket = server_->nextPendingConnection()) {
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] { OnReadable(socket); });
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
  }
}

void InstanceServer::OnReadable(QLocalSocket* socket) {
  for (;;) {
    qint64 frameMost = kInstanceHeaderBytes + kMaxInstancePayload;
    QByteArray pending = socket->peek(std::min(socket->bytesAvailable(), frameMost));
    InstanceFrame frame;
    std::size_t used = 0;
    FrameRead read =
        ReadInstanceFrame(std::string_view(pending.constData(), pending.size()), frame, used);
    if (read == FrameRead::kBad) {
      socket->abort();
      return;
    }
    if (read == FrameRead::kIncomplete) return;
    socket->read(static_cast<qint64>(used));
    quint32 kind = frame.request;
    quint32 wParam = frame.wParam;

    qint32 answer = 1;
    switch (static_cast<Request>(kind)) {
      case Request::Query:
        answer = handlers_.isMinimized && handlers_.isMinimized() ? 1 : 0;
        break;
      case Request::Flash:
        if (handlers_.flash) handlers_.flash();
        answer = handlers_.isForeground && handlers_.isForeground() ? 1 : 0;
        break;
      case Request::BringForward:
        if (handlers_.bringForward) handlers_.bringForward();
        break;
      case Request::HandOff:
        // Answered before the path is played: playing may show a message, and
        // the second start must not wait on the user for it.
        if (handlers_.handOff) {
          QTimer::singleShot(0, this, [this, wParam, path = std::move(frame.payload)] {
            handlers_.handOff(static_cast<int>(wParam), path);
          });
        }
        break;
      default:
        answer = 0;
    }
    QByteArray reply;
    QDataStream out(&reply, QIODevice::WriteOnly);
    out << answer;
    socket->write(reply);
    socket->flush();
  }
}

int ActivateRunningInstance(const std::string& className) {
  if (className != kWindowClassName) return 0;
  QLocalSocket socket;
  if (!Connect(socket)) return 0;
  if (Ask(socket, Request::Query) == 1) {
    // Another start is already flashing it: that one brings it forward.
    if (!TakeFlashGuard()) return 1;
    while (Ask(socket, Request::Flash) == 0 && !ExitSignalled()) {
      std::this_thread::sleep_for(std::chrono::milliseconds(450));
    }
  }
  Ask(socket, Request::BringForward);
  return 1;
}

bool HandOffToRunningInstance(int wParam, const std::string& path) {
  QLocalSocket socket;
  if (!Connect(socket)) return false;
  return Ask(socket, Request::HandOff, static_cast<quint32>(wParam), path) >= 0;
}

}  // namespace qmb
