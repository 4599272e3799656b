// Opening and failing at the network source. Streams played to their end
// are the player's: a sized one in its route timing test, unsized ones in its
// station tests.
#include <chrono>
#include <future>
#include <thread>

#include "loopback_http_server.h"
#include "source_test_util.h"

namespace qmb::engine::test {
namespace {

using namespace std::chrono_literals;

using Serve = qmb::test::LoopbackHttpServer::Mode;
using LoopbackServer = qmb::test::LoopbackHttpServer;

// Trickled at about 40 KB a second, slower than the read-ahead fills in one go.
std::unique_ptr<LoopbackServer> Serving(std::string body, Serve how) {
  auto server = std::make_unique<LoopbackServer>(std::move(body), how, "application/octet-stream");
  server->SetTrickle(1024, 25);
  return server;
}

// An abort ends an open still buffering; the generous bound only catches a
// hang. One whose server never answers is abandoned in the player's tests.
TEST(NetworkSource, AbortEndsAPendingOpen) {
  auto server = Serving(ReadFile(Fixture("tone_440.mp3")), Serve::kTrickle);
  OpenProgress progress;
  std::string error;
  auto opening = std::async(std::launch::async,
                            [&] { return OpenNetworkSource(server->Url(), progress, &error); });
  while (!progress.buffering && opening.wait_for(1ms) != std::future_status::ready) {
  }
  progress.abort = true;
  ASSERT_EQ(opening.wait_for(10s), std::future_status::ready);
  EXPECT_EQ(opening.get(), nullptr);
  EXPECT_FALSE(error.empty());
}

TEST(NetworkSource, FailuresGiveNull) {
  auto missing = Serving("", Serve::kNotFound);
  auto noise = Serving(std::string(20000, 'x'), Serve::kWhole);
  int closedPort = 0;
  {
    auto gone = Serving("", Serve::kNotFound);
    closedPort = std::stoi(gone->Url().substr(17));
  }
  for (const std::string& url :
       {missing->Url(), noise->Url(), "http://127.0.0.1:" + std::to_string(closedPort) + "/x",
        std::string("ftp://127.0.0.1/x.mp3"), std::string("/tmp/not-an-address.mp3")}) {
    OpenProgress progress;
    std::string error;
    EXPECT_EQ(OpenNetworkSource(url, progress, &error), nullptr) << url;
    EXPECT_FALSE(error.empty()) << url;
  }
}

}  // namespace
}  // namespace qmb::engine::test
