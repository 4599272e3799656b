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
#include <thread>

#include "app/instance_channel.h"
#include "core/image_library.h"
#include "core/player_settings.h"
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

  // The player with its picture library, bundled skins and plug-ins, as installed.
  static void CopyPlayerInto(const test::TempFolder& folder) {
    for (const char* name : {"QMB", "image.so"}) {
      fs::copy_file(std::string(QMB_PROGRAM_FOLDER "/") + name, folder.Path() + name);
    }
    for (const char* name : {"Skins", "Plugins"}) {
      fs::copy(std::string(QMB_PROGRAM_FOLDER "/") + name, folder.Path() + name,
               fs::copy_options::recursive);
    }
  }

  pid_t Start(const test::TempFolder& folder, std::vector<std::string> args = {}) {
    std::string exe = folder.Path() + "QMB";
    args.insert(args.begin(), exe);
    pid_t pid = ::fork();
    if (pid == 0) {
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
  };
  for (const Case& c : cases) {
    received.clear();
    EXPECT_EQ(WaitForExit(Start(program, c.args)), 0);
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0], c.expected);
  }
  EXPECT_EQ(broughtForward, 3);
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

TEST_F(PlayerProcessTest, TheBundledPluginsAdmitAFlacAndTitleItFromItsTags) {
  pid_t pid = Start(program, {QMB_FIXTURE_DIR "/tagged.flac"});
  ASSERT_TRUE(WaitUntilListening());
  std::this_thread::sleep_for(std::chrono::milliseconds(1500));
  ASSERT_EQ(Terminate(pid), 0);
  std::string playlist = program.Read("QMB.qpl");
  EXPECT_NE(playlist.find(QMB_FIXTURE_DIR "/tagged.flac"), std::string::npos) << playlist;
  EXPECT_NE(playlist.find("Test Artist - Test Title"), std::string::npos) << playlist;
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
