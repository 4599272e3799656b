// The control interface: requests 0-62 that plug-ins (and any code holding the
// host) send to drive the player, answered over the player's records. No Qt;
// app/plugin_host.h brings requests from other threads to this one.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "plugins/plugin_registry.h"
#include "plugins/qmb_plugin.h"
#include "services/about.h"

namespace qmb {

struct PlayerCore;
struct PlayerParts;

constexpr const char* kVersionText = kProgramVersion;

class ControlInterface {
 public:
  ControlInterface(PlayerCore& core, PlayerParts& parts);
  ControlInterface(const ControlInterface&) = delete;
  ControlInterface& operator=(const ControlInterface&) = delete;

  // Runs one request on the calling thread, which must be the one that owns
  // the player's records. Unknown requests and arguments answer 0.
  intptr_t Request(int request, intptr_t lParam);

  // What later subsystems provide. Each hook has a default that answers from
  // what exists without it.
  //
  // 1: ends the player; default Shutdown(true).
  std::function<void()> exitProgram;
  // 3: LoadSkin(folder, 0), 1 loaded or 0; default 0 (no skin loader).
  std::function<int(const std::string& folder)> loadSkin;
  // 4: the skin's NumStages; default 0.
  std::function<int()> skinStageCount;
  // 5: SetSkinStage(stage); default: nothing (no skin to shape).
  std::function<void(int stage)> setSkinStage;
  // 7: ToggleSkinInversion(); default switches the raster operation and the
  // "Invert skin" box, as with a skin that allows inverting.
  std::function<int()> toggleSkinInversion;
  // 8-17: the loaded plug-ins.
  std::function<int(PluginKind kind)> pluginCount;
  std::function<std::string(PluginKind kind, int row)> pluginDescription;
  // 18-26: the plug-in operation of `request` on `row` (-1 for 20 and 21),
  // returning its status without showing it.
  std::function<int(int request, int row)> pluginOperation;
  // 38: the playlist view's handle; default 0 (no playlist window).
  std::function<intptr_t()> playlistHandle;
  // 61: shows the main window restored and in front; default: nothing.
  std::function<void()> showMainWindow;

 private:
  intptr_t Text(int request, std::string text);
  intptr_t Float(int request, float value);
  intptr_t PluginRequest(int request, intptr_t lParam);
  intptr_t GetEntry(QmbEntryFields* record);
  intptr_t SetEntry(const QmbEntryFields* record);
  intptr_t Time(intptr_t what);
  intptr_t SetSlider(int request, int slider, float value);
  intptr_t ReadTags(QmbTagQuery* query);
  intptr_t Open(const char* path);

  PlayerCore& core_;
  PlayerParts& parts_;
  // What a returned pointer points at, one per request number, so a pointer
  // stays valid until the next request of its number.
  std::array<std::string, QMB_REQ_OPEN + 1> texts_;
  std::array<float, QMB_REQ_OPEN + 1> floats_{};
  std::array<std::string, QMB_ENTRY_FIELD_COUNT> entryTexts_;
};

}  // namespace qmb
