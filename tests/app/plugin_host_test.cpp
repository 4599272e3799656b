// The plug-in host: a plug-in-shaped caller on its own thread sends requests
// while the user-interface thread runs its event loop, and gets what a caller
// on the user-interface thread gets, with every request run on that thread.
#include "app/plugin_host.h"

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>

#include <filesystem>
#include <thread>

#include "app/control_interface.h"
#include "app/player_parts.h"
#include "app/shutdown.h"
#include "app/switchboard.h"
#include "core/player_core.h"
#include "null_engine_suite.h"
#include "playback/sound_engine.h"
#include "player_core_setup.h"
#include "scripted_desktop.h"
#include "temp_folder.h"
#include "wait.h"

namespace qmb::test {
namespace {

// One player with its control interface and host.
struct HostedPlayer {
  HostedPlayer() {
    SetUpPlayerCore(core, "/opt/qmb/");
    core.state.sliders[kVolumeSlider].value = 255.0f;
    parts.playlist.today = [] { return std::string("12/06/26"); };
    control.pluginOperation = [this](int request, int row) {
      threads.push_back(QThread::currentThread());
      return request + row;
    };
  }
  PlayerCore core;
  PlayerParts parts{core};
  ControlInterface control{core, parts};
  PluginHost host{control, [](int) { return false; }};
  std::vector<QThread*> threads;
};

// What a plug-in would do through the host alone, as texts to compare.
std::vector<std::string> PluginScript(QmbHost* host) {
  auto send = [host](uintptr_t request, intptr_t lParam = 0) {
    return host->send(host, QMB_WM_USER, request, lParam);
  };
  auto text = [](intptr_t result) { return std::string(reinterpret_cast<const char*>(result)); };
  auto value = [](intptr_t result) {
    return std::to_string(*reinterpret_cast<const float*>(result));
  };
  std::vector<std::string> out;
  out.push_back(text(send(QMB_REQ_VERSION)));
  send(QMB_REQ_ADD_ENTRY, reinterpret_cast<intptr_t>("/music/one.mp3"));
  send(QMB_REQ_ADD_ENTRY, reinterpret_cast<intptr_t>("/music/two.ogg"));
  out.push_back(std::to_string(send(QMB_REQ_ENTRY_COUNT)));
  // Only the low word names the request.
  out.push_back(std::to_string(send(0x70000 | QMB_REQ_ENTRY_COUNT)));
  QmbEntryFields entry{1, 0, {}};
  send(QMB_REQ_GET_ENTRY, reinterpret_cast<intptr_t>(&entry));
  for (char* field : entry.text) out.push_back(field);
  out.push_back(value(send(QMB_REQ_SET_VOLUME, 80)));
  out.push_back(value(send(QMB_REQ_SET_EQ_BAND, (25 << 16) | 12)));
  out.push_back(std::to_string(send(QMB_REQ_START_VISUAL, 3)));
  out.push_back(std::to_string(host->send(host, QMB_WM_USER + 1, QMB_REQ_ENTRY_COUNT, 0)));
  return out;
}

TEST(PluginHost, AnotherThreadGetsWhatTheInterfaceThreadGets) {
  ScriptedDesktop desktop;
  HostedPlayer direct;
  std::vector<std::string> expected = PluginScript(direct.host.Host());
  ASSERT_EQ(expected.size(), 16u);
  EXPECT_EQ(expected[2], "2") << "the low word";
  EXPECT_EQ(expected.back(), "0") << "another message";

  HostedPlayer threaded;
  std::vector<std::string> got;
  QEventLoop loop;
  std::thread plugin([&] {
    got = PluginScript(threaded.host.Host());
    QMetaObject::invokeMethod(
        &loop, [&loop] { loop.quit(); }, Qt::QueuedConnection);
  });
  loop.exec();
  plugin.join();

  EXPECT_EQ(got, expected);
  EXPECT_EQ(threaded.parts.playlist.list.Count(), 2);
  EXPECT_EQ(threaded.core.state.sliders[kVolumeSlider].value, 80.0f);
  EXPECT_EQ(threaded.core.state.sliders[9].value, 25.0f);
  ASSERT_EQ(threaded.threads.size(), 1u);
  EXPECT_EQ(threaded.threads[0], QCoreApplication::instance()->thread());
}

TEST(PluginHost, RequestsFromManyThreadsRunOneAtATime) {
  ScriptedDesktop desktop;
  HostedPlayer player;
  QmbHost* host = player.host.Host();
  constexpr int kThreads = 4;
  constexpr int kAdds = 25;
  QEventLoop loop;
  std::atomic<int> finished = 0;
  std::vector<std::thread> plugins;
  for (int t = 0; t < kThreads; ++t) {
    plugins.emplace_back([&, t] {
      std::string path = "/music/" + std::to_string(t) + ".mp3";
      for (int i = 0; i < kAdds; ++i)
        host->send(host, QMB_WM_USER, QMB_REQ_ADD_ENTRY, reinterpret_cast<intptr_t>(path.c_str()));
      if (++finished == kThreads) {
        QMetaObject::invokeMethod(
            &loop, [&loop] { loop.quit(); }, Qt::QueuedConnection);
      }
    });
  }
  loop.exec();
  for (auto& p : plugins) p.join();
  EXPECT_EQ(host->send(host, QMB_WM_USER, QMB_REQ_ENTRY_COUNT, 0), kThreads * kAdds);
}

// A general plug-in built against the plug-in header alone, loaded as the
// player loads plug-ins, drives the player from a thread of its own: what a
// remote-control plug-in sends for Next, Pause, Random and Loop reaches the
// same operations as the menus.
class GeneralPluginTest : public NullEngineSuite {
 protected:
  void TearDown() override {
    parts.playback.StopPlayback(CycleReset::No);
    parts.plugins.Unload();
  }

  ScriptedDesktop desktop;
  TempFolder folder;
  PlayerCore core;
  PlayerParts parts{core};
  Switchboard board{core, parts};
  ControlInterface control{core, parts};
  PluginHost host{control, [this](int id) { return board.Command(id); }};
};

TEST_F(GeneralPluginTest, ItsMenuCommandsReachTheOperations) {
  const std::string library = folder.Path() + "Plugins/general.qgp";
  std::filesystem::create_directories(folder.Path() + "Plugins");
  std::filesystem::copy_file(QMB_TEST_PLUGIN_DIR "/general.qgp", library);
  SetUpPlayerCore(core, folder.Path());
  parts.plugins.host = host.Host();
  parts.plugins.Load(folder.Path());
  ASSERT_EQ(parts.plugins.registry.Count(kGeneralPlugins), 1);
  for (int i = 0; i < 3; ++i) AddPlaylistEntry(parts.playlist, QMB_SHORT_MEDIA "/long.mp3");
  const bool shuffleBefore = core.state.shuffle;
  const bool loopBefore = core.state.loop;

  // The plug-in's thread fills in what the player answered, `done` last.
  struct Results {
    intptr_t nextAnswer, indexAfterNext, pauseAnswer, stateAfterPause, randomAnswer, loopAnswer,
        unknownAnswer;
    volatile int done;
  };
  void* loaded = dlopen(library.c_str(), RTLD_NOW | RTLD_NOLOAD);
  ASSERT_NE(loaded, nullptr);
  auto start = reinterpret_cast<Results* (*)()>(dlsym(loaded, "qmb_test_commands"));
  auto join = reinterpret_cast<void (*)()>(dlsym(loaded, "qmb_test_join"));
  dlclose(loaded);
  const Results* r = start();
  EXPECT_TRUE(WaitFor([&] { return r->done != 0; }, std::chrono::seconds(30),
                      [] {
                        QCoreApplication::processEvents();
                        std::this_thread::sleep_for(std::chrono::milliseconds(2));
                      }));
  join();
  EXPECT_EQ(
      (std::vector<intptr_t>{r->nextAnswer, r->indexAfterNext, r->pauseAnswer, r->stateAfterPause,
                             r->randomAnswer, r->loopAnswer, r->unknownAnswer}),
      (std::vector<intptr_t>{1, 1, 1, 3, 1, 1, 0}));
  EXPECT_EQ(parts.playback.st.currentIndex, 1);
  EXPECT_EQ(parts.playback.st.state, kPaused);
  SaveSettingsNow(core);
  PlayerSettings saved = ReadSettings(folder.Path());
  EXPECT_EQ(saved.shuffle != 0, !shuffleBefore);
  EXPECT_EQ(saved.loop != 0, !loopBefore);
}

}  // namespace
}  // namespace qmb::test
