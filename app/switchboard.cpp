#include "app/switchboard.h"

#include "app/player_parts.h"
#include "app/shutdown.h"
#include "core/atomic_file.h"
#include "core/desktop.h"
#include "core/player_core.h"
#include "core/status_codes.h"
#include "core/window_geometry.h"
#include "playback/sound_engine.h"
#include "playback/sound_setup.h"
#include "playlist/entry_title.h"
#include "playlist/playlist_dialogs.h"
#include "tags/number_text.h"
#include "vis/visual_capture.h"

namespace qmb {
namespace {

// The window titles the playlist clicks write; the numbers are plain.
std::string ItemTitle(int cursor, int count) {
  return "Playlist - Item " + std::to_string(cursor + 1) + " / " + std::to_string(count);
}

}  // namespace

Switchboard::Switchboard(PlayerCore& core, PlayerParts& parts) : core_(core), parts_(parts) {
  RegisterPlayerCommands();
  RegisterPlaylistCommands();
  RegisterControlPanelCommands();
  RegisterPluginCommands();
}

void Switchboard::Command(int id) {
  auto found = commands_.find(id);
  if (found != commands_.end() && found->second) found->second();
}

void Switchboard::Register(int id, std::function<void()> operation) {
  commands_[id] = std::move(operation);
}

void Switchboard::ReportStatus(int status) {
  ShowErrorCode(status);
}

void Switchboard::RegisterPlayerCommands() {
  Playback& playback = parts_.playback;
  RunningState& state = core_.state;
  // Main menu.
  Register(6, [&playback] { playback.PreviousEntry(1); });
  Register(7, [&playback] { playback.PlayEntry(0, -1, 1); });
  Register(8, [&playback] { playback.TogglePause(); });
  Register(9, [&playback] { playback.StopPlayback(0); });
  Register(10, [&playback] { playback.NextEntry(0, 1); });
  // The lights show these two until the skin draws them.
  Register(12, [&state] { state.shuffle = !state.shuffle; });
  Register(13, [&state] { state.loop = !state.loop; });
  Register(15, [this] { OpenHelp(); });
  Register(16, [] {});
  Register(17, [this] { SaveSettingsNow(core_); });
  Register(18, [] { Shutdown(true); });
  // The skin's right-click menus.
  for (int id = 5030; id <= 5042; ++id) {
    Register(id, [&playback, id] { playback.TransportCommand(id); });
  }
  Register(5043, [&playback] { playback.PreviousEntry(5); });
  Register(5044, [] { Shutdown(false); });
}

void Switchboard::RegisterPlaylistCommands() {
  Playback& playback = parts_.playback;
  PlaylistStore& store = parts_.playlist;
  Register(1001, [&store, &playback] { LocateCurrent(store.list, playback.st.currentIndex); });
  auto search = [this] { Search(parts_.playlist, parts_.search, parts_.search.text.Text()); };
  Register(1002, search);
  Register(1003, search);
  Register(1004, [&playback] { playback.PlayEntry(0, -1, 1); });
  Register(1005, [&playback] { playback.TogglePause(); });
  Register(1006, [&playback] { playback.StopPlayback(0); });
  Register(5009, [&store] { DeleteSelected(store.list); });
  Register(5010, [&store] { DeleteAll(store.list); });
  Register(5011, [&store] { SelectAll(store.list); });
  Register(5012, [&store] { InvertSelection(store.list); });
  Register(5013, [&store] { SelectNone(store.list); });
  Register(10027, [this] { ReportStatus(CutItems(parts_.playlist, parts_.clipboard)); });
  Register(10028, [this] { ReportStatus(PasteItems(parts_.playlist, parts_.clipboard)); });
  Register(10029, [this] { AddToCue(parts_.playlist, parts_.cueList); });
  Register(10031, [this] { SavePlaylistDialog(parts_.playlist, core_.programFolder); });
  Register(10032, [this] { LoadPlaylistDialog(parts_.playlist, core_.programFolder); });
  // The Add Files window's stop button.
  Register(50012, [&playback] { playback.StopPlayback(0); });
}

void Switchboard::RegisterPluginCommands() {
  PluginManager& plugins = parts_.plugins;
  auto shown = [this](auto operation) { return [this, operation] { ReportStatus(operation()); }; };
  Register(4007, [&plugins] { plugins.StartVisualCommand(); });
  Register(4008, shown([&plugins] { return plugins.ConfigurePlugin(kVisualPlugins); }));
  Register(4009, shown([&plugins] { return plugins.StopVisualPlugin(); }));
  Register(4010, [&plugins] { plugins.StartDspCommand(); });
  Register(4011, shown([&plugins] { return plugins.ConfigurePlugin(kDspPlugins); }));
  Register(4012, shown([&plugins] { return plugins.StopDspPlugin(); }));
  Register(4014, shown([&plugins] { return plugins.ConfigurePlugin(kInputPlugins); }));
  Register(4020, shown([&plugins] { return plugins.ConfigurePlugin(kGeneralPlugins); }));
  Register(4021, shown([&plugins] { return plugins.ConfigurePlugin(kFilePlugins); }));
  Register(5018, [&plugins] { plugins.StartVisualCommand(); });
  Register(5020, shown([&plugins] { return plugins.ConfigurePlugin(kVisualPlugins); }));
  Register(5021, shown([&plugins] { return plugins.StopVisualPlugin(); }));
  Register(10030, [this] { parts_.plugins.PropertiesOfSelected(parts_.playlist.list, kPath); });
  Register(5016, [this] {
    AnalyzeAllFiles(parts_.playlist.list, parts_.plugins, core_.panel.tagFormat.Text());
  });
  Register(5017, [this] {
    AnalyzeSelectedFiles(parts_.playlist.list, parts_.plugins, core_.panel.tagFormat.Text());
  });
}

void Switchboard::RegisterControlPanelCommands() {
  ControlPanelModel& panel = core_.panel;
  Playback& playback = parts_.playback;
  Equalizer& equalizer = parts_.equalizer;
  Register(4002, [&panel] { Equalizer::UpdateSpectrumUnit(panel.visualization.Checked()); });
  Register(4027, [&panel] { RestoreSoundDefaults(panel); });
  Register(4028, [&panel, &playback, &equalizer] {
    ResetSoundSystem(panel, [&playback, &equalizer] {
      playback.StopPlayback(1);
      // The effects and the DSP unit die with the engine.
      equalizer.Forget();
    });
  });
  Register(4029, [&panel] { OutputDriverChanged(panel); });
  Register(4034, [this, &panel, &equalizer] {
    if (panel.equalizerDisabled.Checked()) {
      equalizer.DisableEqualizer();
      return;
    }
    std::array<float, kEqBandCount> bands{};
    for (int i = 0; i < kEqBandCount; ++i) bands[i] = core_.state.sliders[i].value;
    equalizer.ApplyEqualizer(bands, nullptr, false, panel.visualization.Checked());
  });
}

void Switchboard::PlaylistDoubleClicked() {
  EntryList& list = parts_.playlist.list;
  if (!list.IsRow(list.Cursor())) return;
  parts_.playback.PlayEntry(1, -1, 1);
  parts_.playlistTitle.SetText(ItemTitle(list.Cursor(), list.Count()));
}

void Switchboard::PlaylistClicked() {
  EntryList& list = parts_.playlist.list;
  if (!list.IsRow(list.Cursor())) return;
  int selected = list.SelectedCount();
  parts_.playlistTitle.SetText(selected > 1 ? "Playlist - Selected " + std::to_string(selected)
                                            : ItemTitle(list.Cursor(), list.Count()));
}

void Switchboard::PlaylistKey(bool enter, bool del) {
  if (enter) parts_.playback.PlayEntry(1, -1, 1);
  if (del) DeleteSelected(parts_.playlist.list);
}

void Switchboard::CueListDoubleClicked() {
  parts_.playback.PlayCueHead(-1);
}

void Switchboard::CueListKey(bool enter, bool del) {
  if (enter) parts_.playback.PlayCueHead(-1);
  if (del) DeleteSelected(parts_.cueList);
}

void Switchboard::MainWindowRightClick(int x, int y, const Rect& timeRect) {
  // The rectangle runs from (X1, Y1) to (X2, Y2) of the skin, edges included.
  bool inside = x >= timeRect.x && x <= timeRect.x + timeRect.width && y >= timeRect.y &&
                y <= timeRect.y + timeRect.height;
  if (inside) {
    core_.state.showRemainingTime = !core_.state.showRemainingTime;
    return;
  }
  if (openMainMenu) openMainMenu(x, y);
}

bool Switchboard::OpenHelp() {
  std::string path = core_.programFolder + kHelpFile;
  if (PathExists(path) && TheDesktop().OpenUrl(path)) return true;
  TheDesktop().ShowMessage("Error opening help file: " + path + ". Please make sure it exists.",
                           "Error", MessageIcon::Error, MessageButtons::Ok);
  return false;
}

}  // namespace qmb
