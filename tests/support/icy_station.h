// A radio station on 127.0.0.1 for tests: it answers as an ICY server does
// (icy-name, icy-metaint, no length) and sends `body` round and round at a
// steady rate, with a metadata block every `metaint` bytes whose titles take
// turns. It can drop its first listener after some bytes, refuse everyone
// after the first, or accept and never answer.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "loopback_http_server.h"

namespace qmb::test {

class IcyStation : public LoopbackServer {
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

  explicit IcyStation(Options options) : o_(std::move(options)) { Start(); }
  ~IcyStation() override { Stop(); }

  std::string Url() const { return Address() + "radio"; }

 private:
  bool Answer(int fd, const std::string& request, int number) override {
    if (o_.silent) return false;
    bool wantsTitles = request.find("Icy-MetaData: 1") != std::string::npos;
    Stream(fd, wantsTitles, number == 1 ? o_.dropAfter : 0);
    if (o_.onlyOnce) CloseListener();
    return true;
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

  Options o_;
};

}  // namespace qmb::test
