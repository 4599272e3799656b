// A player on the real engine's null output with plug-ins loaded from a
// temporary program folder, and a way to read what each plug-in recorded.
#pragma once

#include <dlfcn.h>

#include <filesystem>
#include <initializer_list>

#include "player_rig.h"
#include "plugins/input_plugin_route.h"
#include "plugins/plugin_use.h"
#define QMB_TEST_PROBE_TYPE_ONLY
#include "probe.h"
#include "temp_folder.h"

namespace qmb::test {

// A counter the engine's threads move.
inline int Counted(const int& counter) {
  return __atomic_load_n(&counter, __ATOMIC_SEQ_CST);
}

class PluginRig : public PlayerRig {
 protected:
  PluginRig() {
    playback.inputRoute = &route;
    store.inputPlugins.find = [this](const std::string& path) { return route.Find(path); };
    store.inputPlugins.icon = [this](int plugin, const std::string& ext) {
      return route.TypeIcon(plugin, ext);
    };
    manager.host = &host;
    std::filesystem::create_directories(folder.Path() + "Plugins");
    setenv("QMB_TEST_EXIT_LOG", (folder.Path() + "exit.log").c_str(), 1);
  }
  void TearDown() override {
    PlayerRig::TearDown();
    manager.Unload();
  }

  // Copies test plug-ins into Plugins/, under `as` names when given.
  void InstallAs(const std::string& file, const std::string& as) {
    std::filesystem::copy_file(std::string(QMB_TEST_PLUGIN_DIR "/") + file,
                               folder.Path() + "Plugins/" + as);
  }
  // Installs `files`, then loads what Plugins/ holds.
  void Load(std::initializer_list<std::string> files = {}) {
    for (const std::string& file : files) InstallAs(file, file);
    manager.Load(folder.Path());
  }
  // The player's own tag and input plug-ins, loaded without a message.
  void LoadBundled() {
    for (const char* file : {"taglib_tags.qfp", "ffmpeg_input.qip"})
      std::filesystem::copy_file(std::string(QMB_PROGRAM_FOLDER "/Plugins/") + file,
                                 folder.Path() + "Plugins/" + file);
    Load();
    ASSERT_TRUE(desktop.messages.empty()) << desktop.messages.front().text;
  }

  // What the loaded copy of `file` recorded.
  TestProbe& Probe(const std::string& file) {
    std::string path = folder.Path() + "Plugins/" + file;
    void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
    EXPECT_NE(library, nullptr) << file << " is not loaded";
    auto probe = reinterpret_cast<TestProbe* (*)()>(dlsym(library, "qmb_test_probe"));
    dlclose(library);
    return *probe();
  }
  // The slot of a loaded plug-in by its file name, -1 when not listed.
  int Row(PluginKind kind, const std::string& file) {
    const PluginListModel& list = manager.registry.List(kind);
    for (int row = 0; row < list.Count(); ++row)
      if (list.At(row).fileName == file) return row;
    return -1;
  }

  static intptr_t NoAnswer(QmbHost*, uint32_t, uintptr_t, intptr_t) { return 0; }

  QmbHost host{&NoAnswer};
  TempFolder folder;
  PluginManager manager;
  PluginInputRoute route{manager.registry};
};

}  // namespace qmb::test
