// The player as a process: what it saves when it is ended, and the single-
// instance rule with a real second process handing over its path.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <thread>

#include "app/instance_channel.h"
#include "core/player_core.h"
#include "core/player_settings.h"
#include "playlist/playlist_files.h"
#include "playlist/playlist_store.h"
#include "temp_folder.h"

namespace qmb {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// A program folder of its own with the player and its picture library, and a
// runtime folder of its own so no other player answers.
class PlayerProcessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CopyPlayerInto(program);
    ::setenv("XDG_RUNTIME_DIR", runtime.Path().c_str(), 1);
  }
  void TearDown() override {
    for (pid_t pid : started) {
      ::kill(pid, SIGKILL);
      ::waitpid(pid, nullptr, 0);
    }
  }

  // The player with its picture library, bundled skins, plug-ins, splash
  // pictures and icons, as installed.
  static void CopyPlayerInto(const test::TempFolder& folder) {
    for (const char* name : {"QMB", "image.so"}) {
      fs::copy_file(std::string(QMB_PROGRAM_FOLDER "/") + name, folder.Path() + name);
    }
    for (const char* name : {"Skins", "Plugins", "Splash", "Icons"}) {
      fs::copy(std::string(QMB_PROGRAM_FOLDER "/") + name, folder.Path() + name,
               fs::copy_options::recursive);
    }
  }

  // Started from `workingFolder` when one is given, as from a shell there.
  pid_t Start(const test::TempFolder& folder, std::vector<std::string> args = {},
              const std::string& workingFolder = {}) {
    std::string exe = folder.Path() + "QMB";
    args.insert(args.begin(), exe);
    pid_t pid = ::fork();
    if (pid == 0) {
      if (!workingFolder.empty() && ::chdir(workingFolder.c_str()) != 0) ::_exit(126);
      std::vector<char*> argv;
      for (auto& a : args) argv.push_back(a.data());
      argv.push_back(nullptr);
      ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
      // No sound hardware here: the default output plays through SDL's dummy driver.
      ::setenv("SDL_AUDIODRIVER", "dummy", 1);
      ::execv(exe.c_str(), argv.data());
      ::_exit(127);
    }
    started.push_back(pid);
    return pid;
  }

  // Runs the test's own event loop while waiting, so a server in this process
  // can answer. -1 when the process has not ended in time.
  int WaitForExit(pid_t pid, std::chrono::seconds limit = std::chrono::seconds(20)) {
    auto end = Clock::now() + limit;
    while (Clock::now() < end) {
      int status = 0;
      if (::waitpid(pid, &status, WNOHANG) == pid) {
        std::erase(started, pid);
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      }
      QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return -1;
  }

  // The player is up once it listens for other starts.
  bool WaitUntilListening() {
    auto end = Clock::now() + std::chrono::seconds(20);
    while (Clock::now() < end) {
      if (fs::exists(runtime.Path() + "HWT_QMB_5")) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
  }

  int Terminate(pid_t pid) {
    ::kill(pid, SIGTERM);
    return WaitForExit(pid);
  }

  test::TempFolder program;
  test::TempFolder runtime;
  std::vector<pid_t> started;
};

std::string ImageOf(const PlayerSettings& s) {
  return std::string(reinterpret_cast<const char*>(&s), sizeof s);
}

TEST_F(PlayerProcessTest, EndedBySigtermWithoutSettingsItSavesTheDefaults) {
  pid_t pid = Start(program);
  ASSERT_TRUE(WaitUntilListening());
  EXPECT_EQ(Terminate(pid), 0);
  std::string saved = program.Read("qmb.dat");
  ASSERT_EQ(saved.size(), 704u);
  EXPECT_EQ(saved, ImageOf(DefaultSettings(program.Path())));
  EXPECT_TRUE(program.Exists("QMB.typ"));
  EXPECT_EQ(program.Read("QMB.typ"), "");
}

TEST_F(PlayerProcessTest, AShortFileKeepsItsFoldersAndReservedBytesSurvive) {
  PlayerSettings s = DefaultSettings("/elsewhere/");
  std::string compact = program.Path() + "Skins/Compact/";  // another skin than the default
  SetTextField(s.skinFolder, compact);
  SetTextField(s.browseFolder, "/music/");
  program.Write("qmb.dat", ImageOf(s).substr(0, 520));
  pid_t pid = Start(program);
  ASSERT_TRUE(WaitUntilListening());
  ASSERT_EQ(Terminate(pid), 0);
  std::string saved = program.Read("qmb.dat");
  std::string defaults = ImageOf(DefaultSettings(program.Path()));
  EXPECT_EQ(std::string(saved.data()), compact);
  EXPECT_STREQ(saved.data() + 260, "/music/");
  EXPECT_EQ(saved.substr(520), defaults.substr(520));

  // Reserved bytes the player never sets come back as they were.
  std::string withReserved = saved;
  withReserved[582] = 0x5A;
  withReserved[619] = 0x5B;
  withReserved[658] = 0x5C;
  program.Write("qmb.dat", withReserved);
  pid = Start(program);
  ASSERT_TRUE(WaitUntilListening());
  ASSERT_EQ(Terminate(pid), 0);
  EXPECT_EQ(program.Read("qmb.dat"), withReserved);
}

TEST_F(PlayerProcessTest, TheRememberizerResumesTheSameEntryAtTheSavedSecond) {
  PlayerSettings s = DefaultSettings(program.Path());
  s.rememberizer = 1;
  program.Write("qmb.dat", ImageOf(s));
  pid_t pid = Start(program, {QMB_FIXTURE_DIR "/sweep.wav"});
  ASSERT_TRUE(WaitUntilListening());
  std::this_thread::sleep_for(std::chrono::milliseconds(3500));
  ASSERT_EQ(Terminate(pid), 0);
  PlayerSettings saved;
  std::memcpy(&saved, program.Read("qmb.dat").data(), sizeof saved);
  EXPECT_GE(saved.resumePosition, 1);
  EXPECT_LE(saved.resumePosition, 4);
  EXPECT_EQ(saved.currentEntry, 0);

  // Started again without a path, it plays on from there: well past where a
  // restart from the beginning could be after the same time.
  pid = Start(program);
  ASSERT_TRUE(WaitUntilListening());
  std::this_thread::sleep_for(std::chrono::milliseconds(3000));
  ASSERT_EQ(Terminate(pid), 0);
  PlayerSettings again;
  std::memcpy(&again, program.Read("qmb.dat").data(), sizeof again);
  EXPECT_GE(again.resumePosition, saved.resumePosition + 1);
  EXPECT_EQ(again.currentEntry, 0);
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

  struct Received {
    int wParam;
    std::string path;
    bool operator==(const Received&) const = default;
  };
  std::unique_ptr<InstanceServer> server;
  std::vector<Received> received;
  bool minimized = false;
  int notForegroundFor = 0;
  int flashes = 0;
  int broughtForward = 0;
};

TEST_F(HandOffTest, ASecondStartHandsItsPathWithoutQuotesAndEnds) {
  struct Case {
    std::vector<std::string> args;
    Received expected;
  } cases[] = {
      {{"\"/music/My Song.mp3\""}, {0, "/music/My Song.mp3"}},
      {{"/music/a.mp3", "/music/b.mp3"}, {0, "/music/a.mp3 /music/b.mp3"}},
      {{"/lists/Party.M3U"}, {1, "/lists/Party.M3U"}},
      {{"/lists/Party.m3u8"}, {1, "/lists/Party.m3u8"}},
      {{"/lists/Mix.xspf"}, {1, "/lists/Mix.xspf"}},
      {{"http://host/live.m3u8"}, {0, "http://host/live.m3u8"}},
  };
  for (const Case& c : cases) {
    received.clear();
    EXPECT_EQ(WaitForExit(Start(program, c.args)), 0);
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0], c.expected);
  }
  EXPECT_EQ(broughtForward, 6);
}

TEST_F(HandOffTest, ARelativePathIsHandedAsTheShellMeantIt) {
  test::TempFolder shell;
  struct Case {
    const char* arg;
    Received expected;
  } cases[] = {
      {"sub/list.m3u", {1, shell.Path() + "sub/list.m3u"}},
      {"./song.wav", {0, shell.Path() + "song.wav"}},
  };
  for (const Case& c : cases) {
    received.clear();
    EXPECT_EQ(WaitForExit(Start(program, {c.arg}, shell.Path())), 0);
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0], c.expected);
  }
}

TEST_F(HandOffTest, NoArgumentsOnlyBringsTheRunningPlayerForward) {
  EXPECT_EQ(WaitForExit(Start(program)), 0);
  EXPECT_TRUE(received.empty());
  EXPECT_EQ(broughtForward, 1);
}

TEST_F(HandOffTest, AMinimisedPlayerIsFlashedUntilItComesForward) {
  minimized = true;
  notForegroundFor = 2;
  EXPECT_EQ(WaitForExit(Start(program, {"x.mp3"})), 0);
  EXPECT_EQ(flashes, 3);
  EXPECT_EQ(broughtForward, 1);
  EXPECT_EQ(received.size(), 1u);
}

TEST_F(HandOffTest, WhileAnotherStartFlashesANewOneEndsAtOnce) {
  minimized = true;
  notForegroundFor = 1000;
  // Another start holds the flash guard.
  std::string guard = runtime.Path() + "HWT_QMB_5_EnFI";
  int fd = ::open(guard.c_str(), O_RDWR | O_CREAT, 0600);
  ASSERT_EQ(::flock(fd, LOCK_EX), 0);
  EXPECT_EQ(WaitForExit(Start(program, {"x.mp3"})), 0);
  EXPECT_EQ(flashes, 0);
  EXPECT_EQ(broughtForward, 0);
  EXPECT_EQ(received.size(), 1u);
  ::close(fd);
}

TEST_F(HandOffTest, TooLongAPathIsNotHandedOver) {
  EXPECT_EQ(WaitForExit(Start(program, {"/" + std::string(2100, 'a')})), 0);
  EXPECT_TRUE(received.empty());
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

TEST_F(PlayerProcessTest, TwoRealPlayersHandOver) {
  pid_t first = Start(program);
  ASSERT_TRUE(WaitUntilListening());
  test::TempFolder other;
  CopyPlayerInto(other);
  // A path with a blank, quoted as a shell user would.
  std::string song = program.Path() + "my song.wav";
  fs::copy_file(QMB_FIXTURE_DIR "/tone_440.wav", song);
  EXPECT_EQ(WaitForExit(Start(other, {"\"" + song + "\""})), 0);
  EXPECT_FALSE(other.Exists("qmb.dat")) << "the second start saved nothing";
  EXPECT_EQ(Terminate(first), 0);
  // The first player took the path into its playlist, which it kept at exit.
  EXPECT_NE(program.Read("QMB.qpl").find(song), std::string::npos);
}

// The playlist's entries name files beside it, whichever folder the player
// or the second start runs in and however the playlist was named.
TEST_F(PlayerProcessTest, RelativeEntriesOfAPlaylistFromTheCommandLine) {
  test::TempFolder music;
  fs::create_directory(music.Path() + "lists");
  fs::copy_file(QMB_FIXTURE_DIR "/tone_440.wav", music.Path() + "tone one.wav");
  music.Write("lists/own.m3u", "#EXTM3U\n#EXTINF:1,Own\n../tone one.wav\n");
  music.Write("lists/handed.m3u8", "\xEF\xBB\xBF#EXTM3U\r\n../tone one.wav\r\n");
  test::TempFolder elsewhere;

  pid_t first = Start(program, {"lists/own.m3u"}, music.Path());
  ASSERT_TRUE(WaitUntilListening());
  EXPECT_EQ(WaitForExit(Start(program, {music.Path() + "lists/handed.m3u8"}, elsewhere.Path())), 0);
  ASSERT_EQ(Terminate(first), 0);
  std::string saved = program.Read("QMB.qpl");
  std::string entry = "\r\n" + music.Path() + "lists/../tone one.wav\r\n";
  std::size_t own = saved.find(entry + "Own\r\n");
  ASSERT_NE(own, std::string::npos) << saved;
  EXPECT_NE(saved.find(entry + "tone one\r\n", own + 1), std::string::npos) << saved;
  EXPECT_TRUE(fs::exists(music.Path() + "lists/../tone one.wav"));
}

TEST_F(PlayerProcessTest, TheBundledPluginsAdmitAFlacAndTitleItFromItsTags) {
  pid_t pid = Start(program, {QMB_FIXTURE_DIR "/tagged.flac"});
  ASSERT_TRUE(WaitUntilListening());
  std::this_thread::sleep_for(std::chrono::milliseconds(1500));
  ASSERT_EQ(Terminate(pid), 0);
  std::string playlist = program.Read("QMB.qpl");
  EXPECT_NE(playlist.find(QMB_FIXTURE_DIR "/tagged.flac"), std::string::npos) << playlist;
  EXPECT_NE(playlist.find("Test Artist - Test Title"), std::string::npos) << playlist;
}

// The player answers another start from its event loop: once it does,
// start-up has run as far as it goes (to its end, or to a box it shows).
bool Answers() {
  auto end = Clock::now() + std::chrono::seconds(20);
  while (Clock::now() < end) {
    // A socket left by a killed player answers nobody until the next one listens.
    if (ActivateRunningInstance(kWindowClassName) == 1) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return false;
}

// Temporaries that saves left in `folder`.
int Litter(const test::TempFolder& folder) {
  int count = 0;
  for (const std::string& name : folder.Entries()) {
    if (name.find(".qmb-saving-") != std::string::npos) ++count;
  }
  return count;
}

TEST_F(PlayerProcessTest, ASignalEndsThePlayerWhileItsMessageBoxIsOpen) {
  // The path on the command line cannot be played: start-up shows a box.
  pid_t pid = Start(program, {program.Path() + "gone.wav"});
  ASSERT_TRUE(WaitUntilListening());
  ASSERT_TRUE(Answers());
  EXPECT_EQ(Terminate(pid), 0);
  EXPECT_EQ(program.Read("qmb.dat").size(), 704u);
  EXPECT_NE(program.Read("QMB.qpl").find("gone.wav"), std::string::npos);
}

TEST_F(PlayerProcessTest, ASecondStartNeverWaitsOnTheRunningPlayersBox) {
  pid_t first = Start(program);
  ASSERT_TRUE(WaitUntilListening());
  ASSERT_TRUE(Answers());
  // The running player shows a box for the missing file after answering.
  EXPECT_EQ(WaitForExit(Start(program, {program.Path() + "gone.wav"})), 0);
  EXPECT_EQ(Terminate(first), 0);
}

TEST_F(PlayerProcessTest, ASecondStartWaitingForAStuckPlayerEndsOnASignal) {
  pid_t first = Start(program);
  ASSERT_TRUE(WaitUntilListening());
  ASSERT_TRUE(Answers());
  ::kill(first, SIGSTOP);
  pid_t second = Start(program, {"/music/a.mp3"});
  // Once it holds a socket it is waiting for the stuck player's answer.
  auto holdsSocket = [second] {
    std::error_code error;
    for (const auto& fd :
         fs::directory_iterator("/proc/" + std::to_string(second) + "/fd", error)) {
      if (fs::read_symlink(fd.path(), error).string().rfind("socket:", 0) == 0) return true;
    }
    return false;
  };
  auto end = Clock::now() + std::chrono::seconds(20);
  while (!holdsSocket() && Clock::now() < end) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  ASSERT_TRUE(holdsSocket());
  EXPECT_EQ(WaitForExit(second, std::chrono::seconds(1)), -1) << "it waits";
  EXPECT_EQ(Terminate(second), 0);
  ::kill(first, SIGCONT);
  EXPECT_EQ(Terminate(first), 0);
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
  ASSERT_TRUE(WaitUntilListening());
  ASSERT_TRUE(Answers());
  ASSERT_EQ(Terminate(first), 0);
  const std::string playlist = program.Read("QMB.qpl");
  ASSERT_GT(playlist.size(), 4000000u);
  for (int delayMs : {0, 2, 5, 10, 20, 40, 80, 160}) {
    SCOPED_TRACE(delayMs);
    pid_t pid = Start(program);
    ASSERT_TRUE(WaitUntilListening());
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
  ASSERT_TRUE(WaitUntilListening());
  ASSERT_TRUE(Answers());
  EXPECT_EQ(Litter(program), 0);
  EXPECT_EQ(Terminate(pid), 0);
  EXPECT_EQ(Litter(program), 0);
}

}  // namespace
}  // namespace qmb

int main(int argc, char** argv) {
  // Tests run without a display; listing them must work too.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QCoreApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
