// A radio station on 127.0.0.1 for tests: it answers as an ICY server does
// (icy-name, icy-metaint, no length) and sends `body` round and round at a
// steady rate, with a metadata block every `metaint` bytes whose titles take
// turns. It can drop its first listener after some bytes, refuse everyone
// after the first, or accept and never answer.
#pragma once

#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

namespace qmb::test {

class IcyStation {
 public:
  struct Options {
    std::string body;  // audio, sent round and round
    std::string name = "Loopback FM";
    std::vector<std::string> titles;  // StreamTitle of block 0, 1, ...; none: no blocks
    std::size_t metaint = 16384;
    int bytesPerSecond = 16000;
    std::size_t dropAfter = 0;  // the first listener is cut off after this many bytes
    bool silent = false;        // accepts and never answers
    bool onlyOnce = false;      // refuses every connection after the first
  };

  explicit IcyStation(Options options) : o_(std::move(options)) {
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::listen(listener_, 8);
    socklen_t size = sizeof address;
    ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size);
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { Serve(); });
  }
  ~IcyStation() {
    stop_ = true;
    thread_.join();
    for (int fd : held_) ::close(fd);
    if (listener_ >= 0) ::close(listener_);
  }

  std::string Url() const { return "http://127.0.0.1:" + std::to_string(port_) + "/radio"; }
  int Connections() const { return connections_; }

 private:
  void Serve() {
    while (!stop_) {
      pollfd p{listener_, POLLIN, 0};
      if (::poll(&p, 1, 50) <= 0) continue;
      int fd = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
      if (fd < 0) continue;
      int number = ++connections_;
      if (o_.silent) {
        held_.push_back(fd);
        continue;
      }
      std::string request = ReadRequest(fd);
      bool wantsTitles = request.find("Icy-MetaData: 1") != std::string::npos;
      Stream(fd, wantsTitles, number == 1 ? o_.dropAfter : 0);
      ::close(fd);
      if (o_.onlyOnce) {
        ::close(listener_);
        listener_ = -1;
        return;
      }
    }
  }

  std::string ReadRequest(int fd) {
    std::string request;
    char buffer[2048];
    while (request.find("\r\n\r\n") == std::string::npos && !stop_) {
      pollfd q{fd, POLLIN, 0};
      if (::poll(&q, 1, 50) <= 0) continue;
      ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
      if (n <= 0) break;
      request.append(buffer, static_cast<std::size_t>(n));
    }
    return request;
  }

  // Sends until the listener leaves, the test ends or `dropAfter` bytes.
  void Stream(int fd, bool withTitles, std::size_t dropAfter) {
    bool blocks = withTitles && !o_.titles.empty();
    std::string head =
        "HTTP/1.0 200 OK\r\nContent-Type: audio/mpeg\r\nicy-name: " + o_.name + "\r\n" +
        (blocks ? "icy-metaint: " + std::to_string(o_.metaint) + "\r\n" : "") + "\r\n";
    if (!Send(fd, head)) return;
    const std::size_t piece = 2048;
    const auto pause = std::chrono::microseconds(1000000LL * piece / o_.bytesPerSecond);
    std::size_t at = 0;    // in the body
    std::size_t sent = 0;  // audio bytes on this connection
    std::size_t untilBlock = o_.metaint;
    std::size_t block = 0;
    while (!stop_ && (dropAfter == 0 || sent < dropAfter)) {
      std::size_t n = std::min(piece, o_.body.size() - at);
      if (blocks) n = std::min(n, untilBlock);
      if (!Send(fd, o_.body.substr(at, n))) return;
      at = (at + n) % o_.body.size();
      sent += n;
      if (blocks && (untilBlock -= n) == 0) {
        if (!Send(fd, Block(o_.titles[block++ % o_.titles.size()]))) return;
        untilBlock = o_.metaint;
      }
      std::this_thread::sleep_for(pause);
    }
  }

  static std::string Block(const std::string& title) {
    std::string text = "StreamTitle='" + title + "';";
    std::size_t units = (text.size() + 15) / 16;
    text.resize(units * 16, '\0');
    return static_cast<char>(units) + text;
  }

  static bool Send(int fd, const std::string& data) {
    std::size_t done = 0;
    while (done < data.size()) {
      ssize_t n = ::send(fd, data.data() + done, data.size() - done, MSG_NOSIGNAL);
      if (n <= 0) return false;
      done += static_cast<std::size_t>(n);
    }
    return true;
  }

  Options o_;
  int listener_ = -1;
  int port_ = 0;
  std::atomic<bool> stop_{false};
  std::atomic<int> connections_{0};
  std::vector<int> held_;
  std::thread thread_;
};

}  // namespace qmb::test
