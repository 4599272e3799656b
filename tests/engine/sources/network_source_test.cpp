#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <future>
#include <thread>

#include "source_test_util.h"

namespace qmb::engine::test {
namespace {

using namespace std::chrono_literals;

enum class Serve { kWithLength, kWithoutLength, kTrickle, kNeverAnswer, kNotFound };

// A one-connection-at-a-time HTTP server on 127.0.0.1 that serves one body.
class LoopbackServer {
 public:
  LoopbackServer(std::vector<char> body, Serve how) : body_(std::move(body)), how_(how) {
    listener_ = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    if (bind(listener_, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
        listen(listener_, 4) != 0 ||
        getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
      ADD_FAILURE() << "cannot listen on 127.0.0.1";
    }
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { Run(); });
  }
  ~LoopbackServer() {
    stop_ = true;
    thread_.join();
    close(listener_);
  }

  std::string Url() const { return "http://127.0.0.1:" + std::to_string(port_) + "/stream"; }

 private:
  bool WaitReadable(int fd) {
    pollfd p{fd, POLLIN, 0};
    while (!stop_) {
      if (poll(&p, 1, 20) > 0) return true;
    }
    return false;
  }

  bool Send(int fd, const char* data, std::size_t size) {
    while (size > 0 && !stop_) {
      ssize_t n = send(fd, data, size, MSG_NOSIGNAL);
      if (n <= 0) return false;
      data += n;
      size -= static_cast<std::size_t>(n);
    }
    return size == 0;
  }

  void Run() {
    while (WaitReadable(listener_)) {
      int client = accept(listener_, nullptr, nullptr);
      if (client < 0) continue;
      Answer(client);
      close(client);
    }
  }

  void Answer(int client) {
    std::string request;
    char buffer[1024];
    while (request.find("\r\n\r\n") == std::string::npos && WaitReadable(client)) {
      ssize_t n = recv(client, buffer, sizeof buffer, 0);
      if (n <= 0) return;
      request.append(buffer, static_cast<std::size_t>(n));
    }
    std::string head;
    switch (how_) {
      case Serve::kNeverAnswer:
        while (!stop_) std::this_thread::sleep_for(10ms);
        return;
      case Serve::kNotFound:
        head = "HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
        Send(client, head.data(), head.size());
        return;
      case Serve::kWithLength:
        head = "Content-Length: " + std::to_string(body_.size()) + "\r\n";
        break;
      default:
        break;
    }
    head = "HTTP/1.1 200 OK\r\nContent-Type: application/octet-stream\r\n" + head +
           "Connection: close\r\n\r\n";
    if (!Send(client, head.data(), head.size())) return;
    // The trickle gives about 40 KB a second, slower than it takes to fill
    // the read-ahead in one go.
    std::size_t chunk = how_ == Serve::kTrickle ? 1024 : body_.size();
    for (std::size_t at = 0; at < body_.size() && !stop_; at += chunk) {
      if (!Send(client, body_.data() + at, std::min(chunk, body_.size() - at))) return;
      if (how_ == Serve::kTrickle) std::this_thread::sleep_for(25ms);
    }
  }

  std::vector<char> body_;
  Serve how_;
  int listener_ = -1;
  int port_ = 0;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

struct StreamCase {
  const char* file;
  Serve how;
};

// Whole streams with and without a Content-Length: they open, decode to
// their end and say what they know about their size.
TEST(NetworkSource, PlaysAStreamToItsEnd) {
  const StreamCase cases[] = {{"tone_440.mp3", Serve::kWithLength},
                              {"tone_440.mp3", Serve::kWithoutLength},
                              {"tone_440.ogg", Serve::kWithLength},
                              {"tone_440.ogg", Serve::kWithoutLength}};
  for (const StreamCase& stream : cases) {
    SCOPED_TRACE(std::string(stream.file) + (stream.how == Serve::kWithLength ? " sized" : ""));
    std::vector<char> body = ReadBytes(Fixture(stream.file));
    LoopbackServer server(body, stream.how);
    OpenProgress progress;
    std::string error;
    auto source = OpenNetworkSource(server.Url(), progress, &error);
    ASSERT_NE(source, nullptr) << error;
    EXPECT_EQ(progress.fillPercent, 100);
    EXPECT_FALSE(progress.buffering);
    EXPECT_EQ(source->LengthBytes(),
              stream.how == Serve::kWithLength ? static_cast<std::int64_t>(body.size()) : 0);
    EXPECT_FALSE(source->Seek(0)) << "a stream plays from start to end";
    auto all = ReadAll(*source);
    EXPECT_NEAR(all.size() / 2.0, 4 * 44100, FrameTolerance(4 * 44100, 44100));
    EXPECT_NEAR(ToneHz(all, 2, 44100), 440, 4.4);
  }
}

// Watched from another thread, a slow stream reports buffering with a
// percentage on its way to ready.
TEST(NetworkSource, ReportsBufferingWhileItFills) {
  LoopbackServer server(ReadBytes(Fixture("tone_440.mp3")), Serve::kTrickle);
  OpenProgress progress;
  auto opening = std::async(std::launch::async,
                            [&] { return OpenNetworkSource(server.Url(), progress, nullptr); });
  bool sawBuffering = false;
  bool sawPartFilled = false;
  while (opening.wait_for(2ms) != std::future_status::ready) {
    if (progress.buffering) {
      sawBuffering = true;
      int fill = progress.fillPercent;
      if (fill > 0 && fill < 100) sawPartFilled = true;
    }
  }
  auto source = opening.get();
  ASSERT_NE(source, nullptr);
  EXPECT_TRUE(sawBuffering);
  EXPECT_TRUE(sawPartFilled);
  EXPECT_NEAR(ReadAll(*source).size() / 2.0, 4 * 44100, FrameTolerance(4 * 44100, 44100));
}

// An abort ends a pending open, whether the server never answers or the
// stream is still buffering; the generous bound only catches a hang.
TEST(NetworkSource, AbortEndsAPendingOpen) {
  for (Serve how : {Serve::kNeverAnswer, Serve::kTrickle}) {
    SCOPED_TRACE(how == Serve::kTrickle ? "buffering" : "no answer");
    LoopbackServer server(ReadBytes(Fixture("tone_440.mp3")), how);
    OpenProgress progress;
    std::string error;
    auto opening = std::async(std::launch::async,
                              [&] { return OpenNetworkSource(server.Url(), progress, &error); });
    if (how == Serve::kTrickle) {
      while (!progress.buffering && opening.wait_for(1ms) != std::future_status::ready) {
      }
    } else {
      EXPECT_EQ(opening.wait_for(300ms), std::future_status::timeout) << "did not wait";
    }
    progress.abort = true;
    ASSERT_EQ(opening.wait_for(10s), std::future_status::ready);
    EXPECT_EQ(opening.get(), nullptr);
    EXPECT_FALSE(error.empty());
  }
}

TEST(NetworkSource, FailuresGiveNull) {
  LoopbackServer missing({}, Serve::kNotFound);
  LoopbackServer noise(std::vector<char>(20000, 'x'), Serve::kWithLength);
  int closedPort = 0;
  {
    LoopbackServer gone({}, Serve::kNotFound);
    closedPort = std::stoi(gone.Url().substr(17));
  }
  for (const std::string& url :
       {missing.Url(), noise.Url(), "http://127.0.0.1:" + std::to_string(closedPort) + "/x",
        std::string("ftp://127.0.0.1/x.mp3"), std::string("/tmp/not-an-address.mp3")}) {
    OpenProgress progress;
    std::string error;
    EXPECT_EQ(OpenNetworkSource(url, progress, &error), nullptr) << url;
    EXPECT_FALSE(error.empty()) << url;
  }
}

}  // namespace
}  // namespace qmb::engine::test
