// Servers on 127.0.0.1 for tests. LoopbackServer accepts connections one at
// a time on a thread of its own and hands each request's head to Answer;
// LoopbackHttpServer serves one body per request, whole or in slow pieces,
// answers 404, or never answers.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

namespace qmb::test {

class LoopbackServer {
 public:
  LoopbackServer(const LoopbackServer&) = delete;
  LoopbackServer& operator=(const LoopbackServer&) = delete;
  int Connections() const { return connections_; }

 protected:
  LoopbackServer() {
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    int yes = 1;
    ::setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::listen(listener_, 8);
    socklen_t size = sizeof address;
    ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size);
    port_ = ntohs(address.sin_port);
  }
  virtual ~LoopbackServer() {
    Stop();
    for (int fd : held_) ::close(fd);
    if (listener_ >= 0) ::close(listener_);
  }
  // A server starts once it is built and stops before its own members go.
  void Start() {
    thread_ = std::thread([this] { Serve(); });
  }
  void Stop() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
  }
  // Answers connection `number` (from 1); false keeps it open, unanswered.
  virtual bool Answer(int fd, const std::string& request, int number) = 0;
  // Refuses every later connection.
  void CloseListener() {
    ::close(listener_);
    listener_ = -1;
  }
  std::string Address() const { return "http://127.0.0.1:" + std::to_string(port_) + "/"; }

  static bool Send(int fd, const std::string& data) {
    std::size_t done = 0;
    while (done < data.size()) {
      ssize_t n = ::send(fd, data.data() + done, data.size() - done, MSG_NOSIGNAL);
      if (n <= 0) return false;
      done += static_cast<std::size_t>(n);
    }
    return true;
  }

  std::atomic<bool> stop_{false};

 private:
  void Serve() {
    while (!stop_ && listener_ >= 0) {
      pollfd p{listener_, POLLIN, 0};
      if (::poll(&p, 1, 50) <= 0) continue;
      int fd = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
      if (fd < 0) continue;
      int number = ++connections_;
      std::string request;
      char buffer[4096];
      while (request.find("\r\n\r\n") == std::string::npos && !stop_) {
        pollfd q{fd, POLLIN, 0};
        if (::poll(&q, 1, 50) <= 0) continue;
        ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0) break;
        request.append(buffer, static_cast<std::size_t>(n));
      }
      if (Answer(fd, request, number)) {
        ::close(fd);
      } else {
        held_.push_back(fd);
      }
    }
  }

  int listener_ = -1;
  int port_ = 0;
  std::atomic<int> connections_{0};
  std::vector<int> held_;
  std::thread thread_;
};

class LoopbackHttpServer : public LoopbackServer {
 public:
  enum class Mode { kWhole, kTrickle, kSilent, kNotFound };

  LoopbackHttpServer(std::string body, Mode mode, std::string contentType = "audio/wav")
      : body_(std::move(body)), mode_(mode), type_(std::move(contentType)) {
    Start();
  }
  ~LoopbackHttpServer() override { Stop(); }

  std::string Url(const std::string& name = "stream.wav") const { return Address() + name; }
  int Requests() const { return Connections(); }
  // In trickle mode: `bytes` every `milliseconds`.
  void SetTrickle(std::size_t bytes, int milliseconds) {
    trickleBytes_ = bytes;
    trickleMs_ = milliseconds;
  }

 private:
  bool Answer(int fd, const std::string& request, int) override {
    if (mode_ == Mode::kSilent) return false;
    if (mode_ == Mode::kNotFound) {
      Send(fd, "HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
      return true;
    }
    std::size_t from = 0;
    // FFmpeg probes and seeks with ranges.
    std::size_t range = request.find("Range: bytes=");
    if (range != std::string::npos) from = std::stoul(request.substr(range + 13));
    from = std::min(from, body_.size());
    std::string head = from > 0 ? "HTTP/1.1 206 Partial Content\r\n" : "HTTP/1.1 200 OK\r\n";
    head += "Content-Type: " + type_ +
            "\r\nConnection: close\r\nContent-Length: " + std::to_string(body_.size() - from) +
            "\r\nAccept-Ranges: bytes\r\n";
    if (from > 0) {
      head += "Content-Range: bytes " + std::to_string(from) + "-" +
              std::to_string(body_.size() - 1) + "/" + std::to_string(body_.size()) + "\r\n";
    }
    Send(fd, head + "\r\n");
    std::size_t piece = mode_ == Mode::kTrickle ? trickleBytes_.load() : body_.size();
    for (std::size_t at = from; at < body_.size() && !stop_; at += piece) {
      if (!Send(fd, body_.substr(at, piece))) break;
      if (mode_ == Mode::kTrickle)
        std::this_thread::sleep_for(std::chrono::milliseconds(trickleMs_.load()));
    }
    return true;
  }

  std::string body_;
  Mode mode_;
  std::string type_;
  std::atomic<std::size_t> trickleBytes_{16384};
  std::atomic<int> trickleMs_{40};
};

}  // namespace qmb::test
