// The update check against a loopback HTTP server, with a scripted desktop
// answering the boxes and standing in for the default URL handler.
#include <gtest/gtest.h>

#include <QTimer>

#include "loopback_http_server.h"
#include "scripted_desktop.h"
#include "temp_folder.h"
#include "ui/update_fetcher.h"

namespace qmb::test {
namespace {

using Mode = LoopbackHttpServer::Mode;
using A = MessageAnswer;

const char* const kAsk =
    "Qumble Player will attempt to retrieve update information. Please make sure you are "
    "connected to the internet.";
const char* const kUpToDate = "Qumble Player is currently up to date. You do not need to update.";
const char* const kNoUrl = "Error connecting to url. The website could be down.";

std::string Question(const std::string& version) {
  return "There is an update available. The newest version is " + version +
         ". Your default browser will open and download the file. Would you like to download "
         "the update?";
}

struct UpdateCase {
  std::string body;
  std::vector<A> answers;          // none: Cancel, and the server is not asked
  std::vector<std::string> texts;  // after the first question
  std::vector<std::string> opened;
};

TEST(UpdateCheck, TheInformationDecidesTheBoxesAndWhatOpens) {
  const std::string url = "http://127.0.0.1/x";
  const UpdateCase kCases[] = {
      {"5.10|A faster player.|http://127.0.0.1/qmb-5.10.deb\n",
       {A::Ok, A::Yes},
       {"A faster player.", Question("5.10")},
       {"http://127.0.0.1/qmb-5.10.deb"}},
      {"  4.99  ", {A::Ok}, {kUpToDate}, {}},
      {"4.990001|one|two|https://127.0.0.1/dl",
       {A::Ok, A::Yes},
       {"one|two", Question("4.990001")},
       {"https://127.0.0.1/dl"}},
      {"7.0",
       {A::Ok, A::Yes},
       {"7.0", Question("7.0"), "The download address is not a web address: 7.0"},
       {}},
      {"5.0|" + url, {A::Ok, A::Yes}, {url, Question("5.0")}, {url}},
      {"5.0|later|" + url, {A::Ok, A::No}, {"later", Question("5.0")}, {}},
      {"soon|x|" + url, {A::Ok}, {kUpToDate}, {}},
      // Only the first 1024 bytes are read: without a second bar in them, the
      // message is the rest.
      {"5.0|" + std::string(1100, 'm') + "|" + url,
       {A::Ok, A::No},
       {std::string(1020, 'm'), Question("5.0")},
       {}},
      {"5.0|x|" + url, {}, {}, {}},
  };
  for (const UpdateCase& c : kCases) {
    SCOPED_TRACE(c.body.substr(0, 40));
    LoopbackHttpServer server(c.body, Mode::kWhole, "text/plain");
    ScriptedDesktop desktop;
    desktop.answers.assign(c.answers.begin(), c.answers.end());
    QtUpdateFetcher fetcher;
    CheckForUpdate(fetcher, server.Url("update.txt"));
    std::vector<std::string> texts = desktop.Texts();
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts.front(), kAsk);
    EXPECT_EQ(std::vector<std::string>(texts.begin() + 1, texts.end()), c.texts);
    EXPECT_EQ(desktop.openedUrls, c.opened);
    EXPECT_EQ(server.Requests(), c.answers.empty() ? 0 : 1);
  }
}

TEST(UpdateCheck, ARefusingMissingOrSilentServerGivesTheConnectionErrorAndTheWindowsRun) {
  // A port nobody listens on any more.
  const std::string refused = LoopbackHttpServer("", Mode::kWhole).Url("u.txt");
  LoopbackHttpServer missing("", Mode::kNotFound);
  LoopbackHttpServer silent("", Mode::kSilent);
  for (const std::string& url : {refused, missing.Url("update.txt"), silent.Url("update.txt")}) {
    SCOPED_TRACE(url);
    ScriptedDesktop desktop;
    desktop.answers = {A::Ok};
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&ticks] { ++ticks; });
    timer.start(50);
    QtUpdateFetcher fetcher(500, 3000);
    CheckForUpdate(fetcher, url);
    EXPECT_EQ(desktop.Texts(), (std::vector<std::string>{kAsk, kNoUrl}));
    EXPECT_EQ(desktop.messages.back().caption, "Error");
    if (url == silent.Url("update.txt")) {
      EXPECT_GT(ticks, 0);  // the player's timers ran while it waited
    }
  }
}

TEST(UpdateCheck, UpdateServerTxtNamesTheAddress) {
  TempFolder folder;
  EXPECT_EQ(UpdateAddress(folder.Path()), kDefaultUpdateAddress);
  folder.Write("UpdateServer.txt", "  http://127.0.0.1:8080/update.txt \nsecond line\n");
  EXPECT_EQ(UpdateAddress(folder.Path()), "http://127.0.0.1:8080/update.txt");
}

}  // namespace
}  // namespace qmb::test
