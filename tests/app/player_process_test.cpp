// The player as a process: what it saves when it is ended, the single-
// instance rule with a real second process handing over its path, and what
// the visualization shows on a real X server.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "app/instance_channel.h"
#include "core/image_library.h"
#include "core/player_core.h"
#include "core/player_settings.h"
#include "playlist/playlist_files.h"
#include "playlist/playlist_store.h"
#include "skin/skin_definition.h"
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
      for (const auto& [name, value] : childEnvironment) ::setenv(name.c_str(), value.c_str(), 1);
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
  // Set in the started player's environment after the defaults.
  std::vector<std::pair<std::string, std::string>> childEnvironment;
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
  // The second start's exit code, once the hand-off it answered has run too
  // (the server takes the path from its event loop after answering).
  int EndsAndHandsOver(pid_t pid) {
    int code = WaitForExit(pid);
    auto end = Clock::now() + std::chrono::seconds(10);
    while (received.empty() && Clock::now() < end) {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return code;
  }
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
    EXPECT_EQ(EndsAndHandsOver(Start(program, c.args)), 0);
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
    EXPECT_EQ(EndsAndHandsOver(Start(program, {c.arg}, shell.Path())), 0);
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
  EXPECT_EQ(EndsAndHandsOver(Start(program, {"x.mp3"})), 0);
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
  EXPECT_EQ(EndsAndHandsOver(Start(program, {"x.mp3"})), 0);
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

// What the position probe (a general plug-in in the player) logged: one line
// per look, "ms index state position length".
struct Look {
  long long ms;
  int index, state, position, length;
};

// One track as the listener met it: from the first look that shows it
// playing to the first that shows another track or the player stopped.
struct HeardTrack {
  int index = -1;
  long long start = 0, end = -1;
  std::vector<Look> looks;
  long long Duration() const { return end - start; }
};

std::vector<HeardTrack> TracksIn(const std::string& log) {
  std::vector<HeardTrack> tracks;
  std::istringstream lines(log);
  std::string line;
  while (std::getline(lines, line)) {
    Look look{};
    std::istringstream in(line);
    if (!(in >> look.ms >> look.index >> look.state >> look.position >> look.length)) continue;
    HeardTrack* open = tracks.empty() || tracks.back().end >= 0 ? nullptr : &tracks.back();
    bool playing = look.state == 2 || look.state == 3;
    // A new track: another entry, or the same one from its start again (the
    // position never goes back otherwise).
    bool restarted =
        open && playing &&
        (look.index != open->index || look.position + 300 < open->looks.back().position);
    if (open && (!playing || restarted)) {
      open->end = look.ms;
      open = nullptr;
    }
    if (!open && playing) {
      tracks.push_back({look.index, look.ms, -1, {}});
      open = &tracks.back();
    }
    if (open) open->looks.push_back(look);
  }
  return tracks;
}

// The tests that time tracks: the player with the probe, a core delay of
// 50 ms and otherwise the default settings, playing a playlist of `paths`.
class TimedPlayTest : public PlayerProcessTest {
 protected:
  static constexpr int kCoreDelayMs = 50;
  // One mix block of the default set-up: 1024 frames at 44 100 Hz.
  static constexpr int kBlockMs = 24;

  std::vector<HeardTrack> Play(const std::vector<std::string>& paths) {
    fs::copy_file(QMB_POSITION_PROBE, program.Path() + "Plugins/position_probe.qgp");
    PlayerSettings s = DefaultSettings(program.Path());
    s.coreDelay = kCoreDelayMs;
    program.Write("qmb.dat", ImageOf(s));
    std::string list = "#EXTM3U\n";
    for (const std::string& path : paths) list += "#EXTINF:0,track\n" + path + "\n";
    program.Write("tracks.m3u", list);
    std::string log = program.Path() + "probe.log";
    ::setenv("QMB_TEST_PROBE_LOG", log.c_str(), 1);
    ::setenv("QMB_TEST_PROBE_ENTRIES", std::to_string(paths.size()).c_str(), 1);
    Start(program, {program.Path() + "tracks.m3u"});
    // Every track started and the last one ended (the player then goes on
    // with the first entry), or the deadline passed.
    std::vector<HeardTrack> tracks;
    auto deadline = Clock::now() + std::chrono::seconds(10 + 8 * paths.size());
    while (Clock::now() < deadline) {
      tracks = TracksIn(program.Exists("probe.log") ? program.Read("probe.log") : "");
      if (tracks.size() >= paths.size() && tracks[paths.size() - 1].end >= 0) break;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ::unsetenv("QMB_TEST_PROBE_LOG");
    ::unsetenv("QMB_TEST_PROBE_ENTRIES");
    return tracks;
  }

  // Each track lasted its length (and no more than the gap to the next
  // one), showed a position near 0 at its start, moved it smoothly and
  // reached its end. The length is the audio clock's: the output (SDL's
  // dummy driver here) plays at its own pace, which the position shows
  // against the monotonic clock.
  void ExpectHeardWhole(const std::vector<HeardTrack>& tracks, std::size_t count, int lengthMs) {
    std::string summary;
    for (const HeardTrack& t : tracks) {
      summary += "[entry " + std::to_string(t.index) + " from " + std::to_string(t.start) + " to " +
                 std::to_string(t.end) + ", " + std::to_string(t.looks.size()) +
                 " looks, position " + std::to_string(t.looks.front().position) + " to " +
                 std::to_string(t.looks.back().position) + "] ";
    }
    SCOPED_TRACE(summary);
    ASSERT_GE(tracks.size(), count);
    for (std::size_t i = 0; i < count; ++i) {
      const HeardTrack& t = tracks[i];
      SCOPED_TRACE("track " + std::to_string(i));
      EXPECT_EQ(t.index, static_cast<int>(i));
      ASSERT_GE(t.end, 0) << "it never ended";
      ASSERT_FALSE(t.looks.empty());
      EXPECT_NEAR(t.looks.front().length, lengthMs, 30);
      // Audio ms per monotonic ms: the least-squares slope through the looks
      // where the position moved on (each a few ms after the mix block that
      // moved it).
      double n = 0, sumT = 0, sumP = 0, sumTT = 0, sumTP = 0;
      for (std::size_t k = 1; k < t.looks.size(); ++k) {
        if (t.looks[k].position == t.looks[k - 1].position || t.looks[k].state != 2) continue;
        double ms = static_cast<double>(t.looks[k].ms - t.start);
        double position = t.looks[k].position;
        n += 1;
        sumT += ms;
        sumP += position;
        sumTT += ms * ms;
        sumTP += ms * position;
      }
      ASSERT_GT(n, 10);
      double clock = (n * sumTP - sumT * sumP) / (n * sumTT - sumT * sumT);
      EXPECT_NEAR(clock, 1.0, 0.08);
      double length = t.looks.front().length / clock;  // in monotonic ms
      // A poll every 5 ms sees a start and an end each a few ms late, more on
      // a loaded machine; a track cut short misses hundreds.
      EXPECT_GE(t.Duration(), length - 50);
      EXPECT_LE(t.Duration(), length + 300);
      const Look* at100 = nullptr;
      for (const Look& look : t.looks) {
        if (look.ms >= t.start + 100) {
          at100 = &look;
          break;
        }
      }
      ASSERT_NE(at100, nullptr);
      EXPECT_LT(at100->position, 300) << "100 ms after the start";
      // A step ahead of the clock by more than a block and a tick is what a
      // position read from the decoder shows, every time; a loaded machine
      // that holds the mixer up shows one now and then.
      int worstStep = 0;
      int bigSteps = 0;
      int steps = 0;
      int back = 0;
      for (std::size_t k = 1; k < t.looks.size(); ++k) {
        const Look& a = t.looks[k - 1];
        const Look& b = t.looks[k];
        if (a.state != 2 || b.state != 2) continue;
        back += b.position < a.position;
        int step = static_cast<int>(b.position - a.position - (b.ms - a.ms));
        if (b.position != a.position) ++steps;
        if (step > kBlockMs + kCoreDelayMs) ++bigSteps;
        worstStep = std::max(worstStep, step);
      }
      EXPECT_EQ(back, 0) << "the position went back";
      EXPECT_LE(bigSteps, steps / 50) << "steps ahead of the clock; the worst " << worstStep;
      EXPECT_LT(worstStep, 250);
      EXPECT_GE(t.looks.back().position, t.looks.front().length - kBlockMs - kCoreDelayMs)
          << "its end was heard";
    }
  }
};

TEST_F(TimedPlayTest, ThreeFlacTracksInARowEachLastTheirFiveSeconds) {
  std::string flac = QMB_FIXTURE_DIR "/tone_5s.flac";
  ExpectHeardWhole(Play({flac, flac, flac}), 3, 5000);
}

TEST_F(TimedPlayTest, ThreeOpusTracksInARowEachLastTheirFiveSeconds) {
  std::string opus = QMB_FIXTURE_DIR "/tone_5s.opus";
  ExpectHeardWhole(Play({opus, opus, opus}), 3, 5000);
}

TEST_F(TimedPlayTest, ThreeM4aTracksInARowEachLastTheirFiveSeconds) {
  std::string m4a = QMB_FIXTURE_DIR "/tone_5s.m4a";
  ExpectHeardWhole(Play({m4a, m4a, m4a}), 3, 5000);
}

TEST_F(TimedPlayTest, AOneSecondSoundThroughThePluginPlaysWhole) {
  ExpectHeardWhole(Play({QMB_FIXTURE_DIR "/tone_1s.flac"}), 1, 1000);
}

// The engine's own route, timed the same way: what the plug-in's tracks are held to.
TEST_F(TimedPlayTest, ThreeWaveTracksInARowEachLastTheirFiveSeconds) {
  std::string wav = QMB_FIXTURE_DIR "/tone_5s.wav";
  ExpectHeardWhole(Play({wav, wav, wav}), 3, 5000);
}

// The real player on an X server of its own, its screen read back with
// ffmpeg's x11grab: the pixels a user sees.
class ScreenTest : public PlayerProcessTest {
 protected:
  void SetUp() override {
    PlayerProcessTest::SetUp();
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    xvfb_ = ::fork();
    if (xvfb_ == 0) {
      ::close(fds[0]);
      std::string fd = std::to_string(fds[1]);
      ::execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "640x480x24", "-nolisten",
               "tcp", static_cast<char*>(nullptr));
      ::_exit(127);
    }
    ::close(fds[1]);
    // Xvfb writes the display it took once it is ready.
    std::string number;
    char c = 0;
    while (::read(fds[0], &c, 1) == 1 && c != '\n') number += c;
    ::close(fds[0]);
    ASSERT_FALSE(number.empty()) << "Xvfb did not start";
    display_ = ":" + number;
    childEnvironment = {{"QT_QPA_PLATFORM", "xcb"}, {"DISPLAY", display_}};
  }
  void TearDown() override {
    PlayerProcessTest::TearDown();
    if (xvfb_ > 0) {
      ::kill(xvfb_, SIGTERM);
      ::waitpid(xvfb_, nullptr, 0);
    }
  }

  // The screen's w × h pixels at (x, y) as 0xRRGGBB; empty when unreadable.
  std::vector<std::uint32_t> Grab(int x, int y, int w, int h) {
    std::string command = "ffmpeg -nostdin -loglevel error -f x11grab -video_size " +
                          std::to_string(w) + "x" + std::to_string(h) + " -i " + display_ + "+" +
                          std::to_string(x) + "," + std::to_string(y) +
                          " -frames:v 1 -f rawvideo -pix_fmt rgb24 -";
    std::FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return {};
    std::vector<unsigned char> rgb(static_cast<std::size_t>(w * h * 3));
    std::size_t got = std::fread(rgb.data(), 1, rgb.size(), pipe);
    ::pclose(pipe);
    if (got != rgb.size()) return {};
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(w * h));
    for (std::size_t i = 0; i < pixels.size(); ++i)
      pixels[i] = rgb[i * 3] << 16 | rgb[i * 3 + 1] << 8 | rgb[i * 3 + 2];
    return pixels;
  }

  pid_t xvfb_ = -1;
  std::string display_;
};

TEST_F(ScreenTest, ALoudTrackShowsInTheVisualAreaAndAStopLeavesTheBackground) {
  // The bundled Default skin: its face, and the visual area on it.
  ASSERT_EQ(LoadImageLibrary(program.Path()), 1);
  const std::string skinFolder = program.Path() + "Skins/Default/";
  SkinDefinition skin = ReadSkinDefinition(skinFolder, {});
  skin.skinImage = LoadPicture(skinFolder + skin.graphicName);
  ASSERT_TRUE(skin.skinImage);
  CutSkinPictures(skin);
  const SkinVisualArea& v = skin.visual;
  auto face = [&](int x, int y) {
    return skin.background->pixels[y * skin.background->stride / 4 + x] & 0xFFFFFFu;
  };

  // At a known place, and stopping at the end of the track.
  PlayerSettings s = DefaultSettings(program.Path());
  s.windowX = 40;
  s.windowY = 30;
  s.autoAdvance = 0;
  program.Write("qmb.dat", ImageOf(s));
  Start(program, {QMB_FIXTURE_DIR "/loud_noise_3s.wav"});

  // The visual area against the face, and a strip of the face below it as
  // proof that the window is up: 0 not shown yet, 1 drawn on, 2 background.
  auto look = [&] {
    std::vector<std::uint32_t> shot = Grab(40 + v.x1, 30 + v.y1, v.width, v.height + 4);
    bool shown = !shot.empty(), background = shown;
    for (int i = 0; shown && i < static_cast<int>(shot.size()); ++i) {
      const int x = i % v.width, y = i / v.width;
      const bool same = shot[static_cast<std::size_t>(i)] == face(v.x1 + x, v.y1 + y);
      if (y >= v.height + 2 && !same) shown = false;
      if (y < v.height && !same) background = false;
    }
    return !shown ? 0 : background ? 2 : 1;
  };
  auto waitFor = [&](int wanted) {
    for (auto end = Clock::now() + std::chrono::seconds(20); Clock::now() < end;) {
      if (look() == wanted) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
  };
  EXPECT_TRUE(waitFor(1)) << "the spectrum shows while the track plays";
  EXPECT_TRUE(waitFor(2)) << "the background again once it stopped";
  ReleaseSkinObjects(skin);
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
