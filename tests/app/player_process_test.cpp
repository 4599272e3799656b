// The player as a process: what it saves when it is ended, and the single-
// instance rule with a real second process handing over its path.
#include <gtest/gtest.h>
#include <sys/file.h>

#include <QCoreApplication>
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "app/instance_channel.h"
#include "core/player_core.h"
#include "core/player_settings.h"
#include "player_process.h"
#include "playlist/playlist_files.h"
#include "playlist/playlist_store.h"
#include "wait.h"

namespace qmb {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// Runs the test's own event loop while waiting for an exit, so a server in
// this process can answer.
class PlayerProcessTest : public test::PlayerProcessRig {
 protected:
  void SetUp() override {
    PlayerProcessRig::SetUp();
    idle = [] {
      QCoreApplication::processEvents();
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    };
  }
  // The player listens, then answers another start from its event loop: once
  // it does, start-up has run as far as it goes (to its end, or to a box it
  // shows). A socket left by a killed player answers nobody until the next
  // one listens.
  bool Answers() {
    return WaitUntilListening() &&
           test::WaitFor([] { return ActivateRunningInstance(kWindowClassName) == 1; });
  }
};

std::string ImageOf(const PlayerSettings& s) {
  return std::string(reinterpret_cast<const char*>(&s), sizeof s);
}

// Without settings it saves the defaults; a short file keeps its folders and
// takes the defaults for the rest.
TEST_F(PlayerProcessTest, EndedBySigtermItSavesWhatItReadOverTheDefaults) {
  pid_t pid = Start(program);
  ASSERT_TRUE(WaitUntilListening());
  EXPECT_EQ(Terminate(pid), 0);
  const std::string defaults = ImageOf(DefaultSettings(program.Path()));
  EXPECT_EQ(program.Read("qmb.dat"), defaults);
  EXPECT_TRUE(program.Exists("QMB.typ"));
  EXPECT_EQ(program.Read("QMB.typ"), "");

  PlayerSettings s = DefaultSettings("/elsewhere/");
  std::string compact = program.Path() + "Skins/Compact/";  // another skin than the default
  SetTextField(s.skinFolder, compact);
  SetTextField(s.browseFolder, "/music/");
  program.Write("qmb.dat", ImageOf(s).substr(0, 520));
  pid = Start(program);
  ASSERT_TRUE(WaitUntilListening());
  ASSERT_EQ(Terminate(pid), 0);
  std::string saved = program.Read("qmb.dat");
  EXPECT_EQ(std::string(saved.data()), compact);
  EXPECT_STREQ(saved.data() + 260, "/music/");
  EXPECT_EQ(saved.substr(520), defaults.substr(520));
}

// Started without a path, the player plays the saved entry on from the saved
// second, and saves where it is when ended.
TEST_F(PlayerProcessTest, TheRememberizerResumesTheSameEntryAtTheSavedSecond) {
  PlayerSettings s = DefaultSettings(program.Path());
  s.rememberizer = 1;
  s.resumePosition = 4;
  program.Write("qmb.dat", ImageOf(s));
  program.Write("QMB.qpl",
                "QMBQPLv1\r\n" QMB_FIXTURE_DIR "/sweep.wav\r\nsweep\r\n\r\n0\r\n12/06/26\r\n\r\n");
  pid_t pid = Start(program);
  ASSERT_TRUE(Answers());
  ASSERT_EQ(Terminate(pid), 0);
  PlayerSettings saved = ReadSettings(program.Path());
  EXPECT_GE(saved.resumePosition, 4);
  EXPECT_EQ(saved.currentEntry, 0);
}

TEST_F(PlayerProcessTest, UnreadableSettingsEndTheStartWithCodeOne) {
  fs::create_directory(program.Path() + "qmb.dat");
  EXPECT_EQ(WaitForExit(Start(program)), 1);
}

// This process plays the running player: it listens as one would and records
// what second starts hand over.
class HandOffTest : public PlayerProcessTest {
 protected:
  void SetUp() override {
    PlayerProcessTest::SetUp();
    server = std::make_unique<InstanceServer>(InstanceHandlers{
        [this] { return minimized; },
        [this] { return --notForegroundFor < 0; },
        [this] { ++flashes; },
        [this] { ++broughtForward; },
        [this](int wParam, const std::string& path) {
          received.push_back({wParam, path});
        },
    });
    ASSERT_TRUE(server->Listen());
  }

  using Received = std::pair<int, std::string>;  // the message's wParam and the path
  std::unique_ptr<InstanceServer> server;
  std::vector<Received> received;
  bool minimized = false;
  int notForegroundFor = 0;
  int flashes = 0;
  int broughtForward = 0;
};

TEST_F(HandOffTest, ASecondStartHandsItsPathAsTheShellMeantItAndEnds) {
  test::TempFolder shell;
  struct Case {
    std::vector<std::string> args;
    std::vector<Received> handed;
    std::string workingFolder = {};
    bool minimized = false;
    int flashes = 0;
    bool guarded = false;  // another start holds the flash guard
  } cases[] = {
      {{"\"/music/My Song.mp3\""}, {{0, "/music/My Song.mp3"}}},
      {{"/music/a.mp3", "/music/b.mp3"}, {{0, "/music/a.mp3 /music/b.mp3"}}},
      {{"/lists/Party.M3U"}, {{1, "/lists/Party.M3U"}}},
      {{"http://host/live.m3u8"}, {{0, "http://host/live.m3u8"}}},
      {{"sub/list.m3u"}, {{1, shell.Path() + "sub/list.m3u"}}, shell.Path()},
      {{"./song.wav"}, {{0, shell.Path() + "song.wav"}}, shell.Path()},
      {{}, {}},  // only brings the running player forward
      {{"/music/x.mp3"}, {{0, "/music/x.mp3"}}, {}, true, 3},  // flashed until it comes forward
      {{"/music/y.mp3"}, {{0, "/music/y.mp3"}}, {}, true, 0, true},  // ends at once
      {{"/" + std::string(2100, 'a')}, {}},                          // too long to hand over
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args.empty() ? "no arguments" : c.args[0].substr(0, 40));
    received.clear();
    broughtForward = flashes = 0;
    minimized = c.minimized;
    notForegroundFor = c.guarded ? 1000 : c.flashes - 1;
    int guard = c.guarded
                    ? ::open((runtime.Path() + "HWT_QMB_5_EnFI").c_str(), O_RDWR | O_CREAT, 0600)
                    : -1;
    if (c.guarded) {
      ASSERT_EQ(::flock(guard, LOCK_EX), 0);
    }
    pid_t pid = Start(program, c.args, c.workingFolder);
    EXPECT_EQ(WaitForExit(pid), 0);
    // The server takes the path from its event loop after answering.
    if (!c.handed.empty()) test::WaitFor([&] { return !received.empty(); }, 10s, idle);
    EXPECT_EQ(received, c.handed);
    EXPECT_EQ(broughtForward, c.guarded ? 0 : 1);
    EXPECT_EQ(flashes, c.flashes);
    if (guard >= 0) ::close(guard);
  }
}

TEST_F(HandOffTest, WithMultipleInstancesAllowedTheSecondStartRuns) {
  PlayerSettings s = DefaultSettings(program.Path());
  s.multipleInstances = 1;
  program.Write("qmb.dat", ImageOf(s));
  pid_t pid = Start(program, {QMB_FIXTURE_DIR "/tone_440.wav"});
  EXPECT_EQ(WaitForExit(pid, std::chrono::seconds(2)), -1) << "it keeps running";
  EXPECT_EQ(broughtForward, 1) << "after bringing the first one forward";
  EXPECT_TRUE(received.empty());
  EXPECT_EQ(Terminate(pid), 0);
}

// A second start from another program folder hands its path over and saves
// nothing; the player's own relative path names a playlist in the folder it
// was started from, whose entries name files beside it.
TEST_F(PlayerProcessTest, RealPlayersHandOverPathsAndPlaylistsWithRelativeEntries) {
  test::TempFolder music, other;
  CopyPlayerInto(other);
  fs::create_directory(music.Path() + "lists");
  fs::copy_file(QMB_FIXTURE_DIR "/tone_440.wav", music.Path() + "tone one.wav");
  music.Write("lists/own.m3u", "#EXTM3U\n#EXTINF:1,Own\n../tone one.wav\n");
  std::string song = program.Path() + "my song.wav";
  fs::copy_file(QMB_FIXTURE_DIR "/tone_440.wav", song);

  pid_t first = Start(program, {"lists/own.m3u"}, music.Path());
  ASSERT_TRUE(WaitUntilListening());
  // A path with a blank, quoted as a shell user would.
  EXPECT_EQ(WaitForExit(Start(other, {"\"" + song + "\""})), 0);
  EXPECT_FALSE(other.Exists("qmb.dat")) << "the second start saved nothing";
  ASSERT_TRUE(Answers());  // after the hand-off it answered
  ASSERT_EQ(Terminate(first), 0);
  // The first player took the paths into its playlist, which it kept at exit.
  std::string saved = program.Read("QMB.qpl");
  EXPECT_NE(saved.find(song), std::string::npos) << saved;
  EXPECT_NE(saved.find("\r\n" + music.Path() + "lists/../tone one.wav\r\nOwn\r\n"),
            std::string::npos)
      << saved;
}

// Temporaries that saves left in `folder`.
long Litter(const test::TempFolder& folder) {
  const std::vector<std::string> names = folder.Entries();
  return std::count_if(names.begin(), names.end(),
                       [](const std::string& n) { return n.find(".qmb-saving-") != n.npos; });
}

// The paths on the command lines cannot be played: start-up shows a box, and
// so does the hand-off after answering the second start. A third start then
// waits for the stopped player, and a signal ends it.
TEST_F(PlayerProcessTest, NeitherSecondStartsNorSignalsWaitOnARunningPlayersBoxOrStop) {
  pid_t first = Start(program, {program.Path() + "gone.wav"});
  ASSERT_TRUE(Answers());
  EXPECT_EQ(WaitForExit(Start(program, {program.Path() + "lost.wav"})), 0);

  ::kill(first, SIGSTOP);
  pid_t third = Start(program, {"/music/a.mp3"});
  // Once it holds a socket it is waiting for the stuck player's answer.
  auto holdsSocket = [third] {
    std::error_code error;
    for (const auto& fd : fs::directory_iterator("/proc/" + std::to_string(third) + "/fd", error))
      if (fs::read_symlink(fd.path(), error).string().rfind("socket:", 0) == 0) return true;
    return false;
  };
  ASSERT_TRUE(test::WaitFor(holdsSocket));
  EXPECT_EQ(WaitForExit(third, std::chrono::seconds(1)), -1) << "it waits";
  EXPECT_EQ(Terminate(third), 0);
  ::kill(first, SIGCONT);

  EXPECT_EQ(Terminate(first), 0);
  EXPECT_EQ(program.Read("qmb.dat").size(), 704u);
  EXPECT_NE(program.Read("QMB.qpl").find("gone.wav"), std::string::npos);
}

TEST_F(PlayerProcessTest, KilledDuringTheExitSaveItLeavesWholeFilesAndTheNextStartCleansUp) {
  // A playlist big enough that its save takes a while, saved once by the
  // player itself so every later save writes the same bytes.
  PlaylistStore store(ThePlayer().panel);
  store.today = [] { return std::string("12/06/26"); };
  for (int i = 0; i < 100000; ++i) {
    std::string title = "Title " + std::to_string(i);
    EntryTexts texts;
    texts.title = title;
    texts.length = "3:00";
    ASSERT_EQ(AddPlaylistEntry(store, "/music/song" + std::to_string(i) + ".mp3", texts), 1);
  }
  SaveQpl(store.list, program.Path() + "QMB.qpl");
  pid_t first = Start(program);
  ASSERT_TRUE(Answers());
  ASSERT_EQ(Terminate(first), 0);
  const std::string playlist = program.Read("QMB.qpl");
  ASSERT_GT(playlist.size(), 4000000u);
  for (int delayMs : {0, 2, 5, 10, 20, 40, 80, 160}) {
    SCOPED_TRACE(delayMs);
    pid_t pid = Start(program);
    ASSERT_TRUE(Answers());
    ::kill(pid, SIGTERM);
    std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
    ::kill(pid, SIGKILL);
    WaitForExit(pid);
    // Each file is whole: the old one or the new one, never a torn one.
    EXPECT_EQ(program.Read("QMB.qpl"), playlist);
    EXPECT_EQ(program.Read("qmb.dat").size(), 704u);
    EXPECT_LE(Litter(program), 1) << "at most the temporary being written";
  }
  pid_t pid = Start(program);
  ASSERT_TRUE(Answers());
  EXPECT_EQ(Litter(program), 0);
  EXPECT_EQ(Terminate(pid), 0);
  EXPECT_EQ(Litter(program), 0);
}

}  // namespace
}  // namespace qmb
