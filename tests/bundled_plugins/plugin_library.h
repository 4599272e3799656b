// Loads a bundled plug-in from the program folder the way the player does: dlopen, then the entry.
#pragma once

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <string>

#include "qmb_plugin.h"
#include "temp_folder.h"

namespace qmb::test {

// Looks up `entry` in Plugins/<file> and calls it; the library stays loaded, as in the player.
template <typename Table, typename Entry>
Table* LoadBundledPlugin(const char* file, const char* entry) {
  std::string path = std::string(QMB_PLUGIN_DIR) + file;
  void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!library) return nullptr;
  auto get = reinterpret_cast<Entry>(dlsym(library, entry));
  return get ? get() : nullptr;
}

inline QmbFileModule* TagPlugin() {
  static QmbFileModule* module =
      LoadBundledPlugin<QmbFileModule, QmbGetFileModule>("taglib_tags.qfp", QMB_FILE_ENTRY);
  return module;
}

inline QmbInputModule* InputPlugin() {
  static QmbInputModule* module =
      LoadBundledPlugin<QmbInputModule, QmbGetInputModule>("ffmpeg_input.qip", QMB_INPUT_ENTRY);
  return module;
}

inline std::string Fixture(const std::string& name) {
  return std::string(QMB_FIXTURE_DIR "/") + name;
}

// Names a case by its fixture's extension.
inline std::string ExtensionName(const testing::TestParamInfo<const char*>& info) {
  std::string name = info.param;
  return name.substr(name.find('.') + 1);
}

}  // namespace qmb::test
