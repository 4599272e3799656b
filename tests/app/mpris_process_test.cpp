// The real player with its bundled plug-ins on a session bus of its own,
// driven by playerctl, an MPRIS client no one here wrote; and the player
// where there is no session bus at all.
//
// The whole test program runs under dbus-run-session (main starts it again
// there), so the player, playerctl and dbus-monitor share one private bus.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <regex>

#include "command_output.h"
#include "core/player_settings.h"
#include "icy_station.h"
#include "player_process.h"

namespace qmb {
namespace {

constexpr const char* kBusMarker = "QMB_TEST_PRIVATE_BUS";

using test::Output;
using test::WaitFor;

bool OnPath(const std::string& program) {
  return !Output("command -v " + program).empty();
}

// The player's standard error goes to a file.
class PlayerProcess : public test::PlayerProcessRig {
 protected:
  void SetUp() override {
    PlayerProcessRig::SetUp();
    errorsFile = program.Path() + "stderr.txt";
  }
  void Start(const std::string& path) { pid_ = PlayerProcessRig::Start(program, {path}); }
  pid_t pid_ = 0;
};

class MprisTest : public PlayerProcess {
 protected:
  void SetUp() override {
    if (!std::getenv(kBusMarker)) GTEST_SKIP() << "dbus-run-session is missing";
    if (!OnPath("playerctl")) GTEST_SKIP() << "playerctl is missing";
    PlayerProcess::SetUp();
  }
  static std::string Ctl(const std::string& arguments) {
    return Output("playerctl -p qumble " + arguments + " 2>/dev/null");
  }
  static bool Shows(const std::string& arguments, const std::string& expected) {
    return WaitFor([&] { return Ctl(arguments) == expected; });
  }
  // Sends `command`, then waits until `arguments` read `expected`.
  static bool After(const std::string& command, const std::string& arguments,
                    const std::string& expected) {
    Ctl(command);
    return Shows(arguments, expected);
  }
  static bool Near(const std::string& arguments, double expected, double within) {
    return WaitFor([&] {
      std::string value = Ctl(arguments);
      return !value.empty() && std::abs(std::stod(value) - expected) <= within;
    });
  }
  // The bridge's signals, one line each, as dbus-monitor prints them.
  struct Monitor {
    explicit Monitor(const std::string& file) : file(file) {
      pid = ::fork();
      if (pid == 0) {
        std::freopen(file.c_str(), "w", stdout);
        ::execlp("dbus-monitor", "dbus-monitor", "--profile",
                 "type='signal',path='/org/mpris/MediaPlayer2'", static_cast<char*>(nullptr));
        ::_exit(127);
      }
    }
    ~Monitor() {
      ::kill(pid, SIGTERM);
      ::waitpid(pid, nullptr, 0);
    }
    // Once a monitor, it is told that it lost its own name.
    bool Listening() const {
      return WaitFor([&] { return test::ReadFile(file).find("NameLost") != std::string::npos; });
    }
    int Count(const std::string& member) const {
      const std::string text = test::ReadFile(file), line = "\t" + member + "\n";
      int count = 0;
      for (auto at = text.find(line); at != std::string::npos; at = text.find(line, at + 1))
        ++count;
      return count;
    }
    std::string file;
    pid_t pid = 0;
  };
};

TEST_F(MprisTest, PlayerctlSeesAndDrivesThePlayerAndWhatItSetsIsSaved) {
  // Two entries from the last run; the start's own file comes third and plays.
  std::string last = "QMBQPLv1\r\n";
  for (const char* path : {QMB_SHORT_MEDIA "/long.mp3", QMB_FIXTURE_DIR "/tone_440.wav"})
    last += std::string(path) + "\r\nTitle\r\n\r\n0\r\n12/06/26\r\n\r\n";
  program.Write("QMB.qpl", last);
  Start(QMB_FIXTURE_DIR "/tagged.mp3");
  ASSERT_TRUE(WaitFor(
      [] { return Output("playerctl -l 2>/dev/null").find("qumble") != std::string::npos; }));
  EXPECT_TRUE(Shows("status", "Playing"));
  EXPECT_TRUE(Shows("metadata title", "Test Title"));
  EXPECT_EQ(Ctl("metadata artist"), "Test Artist");
  EXPECT_TRUE(Near("metadata mpris:length", 4000000, 100000));
  EXPECT_TRUE(After("play-pause", "status", "Paused"));
  EXPECT_TRUE(After("play-pause", "status", "Playing"));

  // After the last entry the list goes on with the first.
  const std::string track = "metadata mpris:trackid";
  EXPECT_TRUE(After("next", track, "'/org/qumble/Player/Track/0'"));
  EXPECT_TRUE(After("previous", track, "'/org/qumble/Player/Track/2'"));
  ASSERT_TRUE(After("next", track, "'/org/qumble/Player/Track/0'"));
  Ctl("position 100");
  EXPECT_TRUE(Near("position", 100, 2));
  Ctl("volume 0.5");
  EXPECT_TRUE(Near("volume", 0.5, 0.01));

  // A new track, and what one remote sets, are announced to the others.
  Monitor monitor(program.Path() + "signals.txt");
  ASSERT_TRUE(monitor.Listening());
  for (const char* change : {"next", "volume 0.4", "shuffle On"}) {
    int before = monitor.Count("PropertiesChanged");
    Ctl(change);
    EXPECT_TRUE(WaitFor([&] { return monitor.Count("PropertiesChanged") > before; })) << change;
  }
  EXPECT_TRUE(After("stop", "status", "Stopped"));
  EXPECT_TRUE(After("play", "status", "Playing"));
  // Opened as a second start would: appended and played.
  EXPECT_TRUE(
      After("open file://" QMB_FIXTURE_DIR "/tone_440.wav", track, "'/org/qumble/Player/Track/3'"));
  EXPECT_TRUE(After("loop Playlist", "loop", "Playlist"));
  EXPECT_TRUE(After("shuffle On", "shuffle", "On"));
  // Quit ends the player as Exit does, saving first. (dbus-send waits for
  // the answer: Qt drops a call whose sender has already left the bus.)
  Output(
      "dbus-send --print-reply --session --dest=org.mpris.MediaPlayer2.qumble "
      "/org/mpris/MediaPlayer2 org.mpris.MediaPlayer2.Quit");
  ASSERT_EQ(WaitForExit(pid_), 0);
  PlayerSettings settings = ReadSettings(program.Path());
  EXPECT_EQ(settings.loop, 1);
  EXPECT_EQ(settings.shuffle, 1);
}

TEST_F(MprisTest, TheTitleOfAStationFollowsWhatItSends) {
  test::IcyStation::Options options;
  options.body = test::ReadFile(QMB_FIXTURE_DIR "/station.mp3");
  options.bytesPerSecond = 32000;
  options.titles = {"Artist One - First Song", "Caf\xe9 del Mar - \xc9t\xe9"};  // Latin-1
  test::IcyStation station(options);
  Start(station.Url());
  EXPECT_TRUE(Shows("metadata title", "Artist One - First Song"));
  EXPECT_TRUE(Shows("metadata title", "Café del Mar - Été"));
  EXPECT_EQ(Ctl("metadata xesam:url"), station.Url());
}

// The bundled plug-ins admit a FLAC and title it from its tags.
TEST_F(PlayerProcess, WithoutASessionBusThePlayerPlaysAndSaysNothingOfIt) {
  std::string song = QMB_FIXTURE_DIR "/tagged.flac";
  childEnvironment = {{"DBUS_SESSION_BUS_ADDRESS", ""}};
  Start(song);
  ASSERT_TRUE(WaitUntilListening());
  ASSERT_EQ(Terminate(pid_), 0);
  // The saved playlist counts the play: path, title, length, times played.
  const std::regex played("/tagged\\.flac\r\nTest Artist - Test Title\r\n[^\r]*\r\n1\r\n");
  EXPECT_TRUE(std::regex_search(program.Read("QMB.qpl"), played)) << program.Read("QMB.qpl");
  std::string errors = program.Read("stderr.txt");
  for (char& c : errors) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  EXPECT_EQ(errors.find("bus"), std::string::npos) << errors;
  EXPECT_EQ(errors.find("mpris"), std::string::npos) << errors;
}

}  // namespace
}  // namespace qmb

int main(int argc, char** argv) {
  // Once, before anything else: the same program again on a bus of its own.
  bool listing = argc > 1 && std::strncmp(argv[1], "--gtest_list", 12) == 0;
  if (!listing && !std::getenv(qmb::kBusMarker) && qmb::OnPath("dbus-run-session")) {
    ::setenv(qmb::kBusMarker, "1", 1);
    std::vector<char*> args{const_cast<char*>("dbus-run-session"), const_cast<char*>("--")};
    args.insert(args.end(), argv, argv + argc);
    args.push_back(nullptr);
    ::execvp("dbus-run-session", args.data());
    ::unsetenv(qmb::kBusMarker);
  }
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
