#include "app/switchboard.h"

#include "app/player_parts.h"
#include "app/shutdown.h"
#include "core/atomic_file.h"
#include "core/command_ids.h"
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

// The window titles the playlist clicks write, numbers in the player's form.
std::string ItemTitle(int cursor, int count) {
  return "Playlist - Item " + NumberText(cursor + 1) + " / " + NumberText(count);
}

}  // namespace

Switchboard::Switchboard(PlayerCore& core, PlayerParts& parts) : core_(core), parts_(parts) {
  RegisterPlayerCommands();
  RegisterPlaylistCommands();
  RegisterControlPanelCommands();
  RegisterPluginCommands();
}

bool Switchboard::Command(int id) {
  auto found = commands_.find(id);
  if (found == commands_.end() || !found->second) return false;
  found->second();
  if (afterCommand) afterCommand();
  return true;
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
  Register(command::kPrevious, [&playback] { playback.PreviousEntry(1); });
  Register(command::kPlay,
           [&playback] { playback.PlayEntry(Restart::No, kCursorRow, RepeatReset::Yes); });
  Register(command::kPause, [&playback] { playback.TogglePause(); });
  Register(command::kStop, [&playback] { playback.StopPlayback(CycleReset::No); });
  Register(command::kNext, [&playback] { playback.NextEntry(Advance::OnRequest, 1); });
  // The lights show these two until the skin draws them.
  Register(command::kRandom, [&state] { state.shuffle = !state.shuffle; });
  Register(command::kLoop, [&state] { state.loop = !state.loop; });
  Register(command::kHelp, [this] { OpenHelp(); });
  Register(command::kNothing, [] {});
  Register(command::kSaveSettings, [this] { SaveSettingsNow(core_); });
  Register(command::kExit, [] { Shutdown(true); });
  // The skin's right-click menus.
  for (int id = command::kSeekToStart; id <= command::kCloseAfterCurrent; ++id) {
    Register(id, [&playback, id] { playback.TransportCommand(id); });
  }
  Register(command::kPreviousFive, [&playback] { playback.PreviousEntry(5); });
  Register(command::kExitWithoutSaving, [] { Shutdown(false); });
}

void Switchboard::RegisterPlaylistCommands() {
  Playback& playback = parts_.playback;
  PlaylistStore& store = parts_.playlist;
  Register(command::kLocateCurrent,
           [&store, &playback] { LocateCurrent(store.list, playback.st.currentIndex); });
  auto search = [this] { Search(parts_.playlist, parts_.search, parts_.search.text.Text()); };
  Register(command::kSearchTextChanged, search);
  Register(command::kSearchCategoryChanged, search);
  Register(command::kPlaylistPlay,
           [&playback] { playback.PlayEntry(Restart::No, kCursorRow, RepeatReset::Yes); });
  Register(command::kPlaylistPause, [&playback] { playback.TogglePause(); });
  Register(command::kPlaylistStop, [&playback] { playback.StopPlayback(CycleReset::No); });
  Register(command::kDeleteSelected, [&store] { DeleteSelected(store.list); });
  Register(command::kDeleteAll, [&store] { DeleteAll(store.list); });
  Register(command::kSelectAll, [&store] { SelectAll(store.list); });
  Register(command::kInvertSelection, [&store] { InvertSelection(store.list); });
  Register(command::kSelectNone, [&store] { SelectNone(store.list); });
  Register(command::kCutItems,
           [this] { ReportStatus(CutItems(parts_.playlist, parts_.clipboard)); });
  Register(command::kPasteItems,
           [this] { ReportStatus(PasteItems(parts_.playlist, parts_.clipboard)); });
  Register(command::kAddToCue, [this] { AddToCue(parts_.playlist, parts_.cueList); });
  Register(command::kSavePlaylist,
           [this] { SavePlaylistDialog(parts_.playlist, core_.programFolder); });
  Register(command::kLoadPlaylist,
           [this] { LoadPlaylistDialog(parts_.playlist, core_.programFolder); });
  // The Add Files window's stop button.
  Register(command::kAddFilesStop, [&playback] { playback.StopPlayback(CycleReset::No); });
}

void Switchboard::RegisterPluginCommands() {
  PluginManager& plugins = parts_.plugins;
  auto shown = [this](auto operation) { return [this, operation] { ReportStatus(operation()); }; };
  Register(command::kStartVisualPlugin, [&plugins] { plugins.StartVisualCommand(); });
  Register(command::kConfigureVisualPlugin,
           shown([&plugins] { return plugins.ConfigurePlugin(kVisualPlugins); }));
  Register(command::kStopVisualPlugin, shown([&plugins] { return plugins.StopVisualPlugin(); }));
  Register(command::kStartDspPlugin, [&plugins] { plugins.StartDspCommand(); });
  Register(command::kConfigureDspPlugin,
           shown([&plugins] { return plugins.ConfigurePlugin(kDspPlugins); }));
  Register(command::kStopDspPlugin, shown([&plugins] { return plugins.StopDspPlugin(); }));
  Register(command::kConfigureInputPlugin,
           shown([&plugins] { return plugins.ConfigurePlugin(kInputPlugins); }));
  Register(command::kConfigureGeneralPlugin,
           shown([&plugins] { return plugins.ConfigurePlugin(kGeneralPlugins); }));
  Register(command::kConfigureFilePlugin,
           shown([&plugins] { return plugins.ConfigurePlugin(kFilePlugins); }));
  Register(command::kStartPlugin, [&plugins] { plugins.StartVisualCommand(); });
  Register(command::kConfigurePlugin,
           shown([&plugins] { return plugins.ConfigurePlugin(kVisualPlugins); }));
  Register(command::kStopPlugin, shown([&plugins] { return plugins.StopVisualPlugin(); }));
  Register(command::kProperties,
           [this] { parts_.plugins.PropertiesOfSelected(parts_.playlist.list, kPath); });
  Register(command::kAnalyzeAllFiles, [this] {
    AnalyzeAllFiles(parts_.playlist.list, parts_.plugins, core_.panel.tagFormat.Text());
  });
  Register(command::kAnalyzeSelectedFiles, [this] {
    AnalyzeSelectedFiles(parts_.playlist.list, parts_.plugins, core_.panel.tagFormat.Text());
  });
}

void Switchboard::RegisterControlPanelCommands() {
  ControlPanelModel& panel = core_.panel;
  Playback& playback = parts_.playback;
  Equalizer& equalizer = parts_.equalizer;
  Register(command::kEnableVisualization,
           [&panel] { Equalizer::UpdateSpectrumUnit(panel.visualization.Checked()); });
  Register(command::kRestoreSoundDefaults, [&panel] { RestoreSoundDefaults(panel); });
  Register(command::kResetSoundSystem, [&panel, &playback, &equalizer] {
    ResetSoundSystem(panel, [&playback, &equalizer] {
      playback.StopPlayback(CycleReset::Yes);
      // The effects and the DSP unit die with the engine.
      equalizer.Forget();
    });
  });
  Register(command::kDriverChanged, [&panel] { OutputDriverChanged(panel); });
  Register(command::kDisableEqualizer, [this, &panel, &equalizer] {
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
  parts_.playback.PlayEntry(Restart::Yes, kCursorRow, RepeatReset::Yes);
  parts_.playlistTitle.SetText(ItemTitle(list.Cursor(), list.Count()));
}

void Switchboard::PlaylistClicked() {
  EntryList& list = parts_.playlist.list;
  if (!list.IsRow(list.Cursor())) return;
  int selected = list.SelectedCount();
  parts_.playlistTitle.SetText(selected > 1 ? "Playlist - Selected " + NumberText(selected)
                                            : ItemTitle(list.Cursor(), list.Count()));
}

void Switchboard::PlaylistRightClicked(int x, int y) {
  if (!parts_.playlist.list.IsRow(parts_.playlist.list.Cursor())) return;
  if (openPlaylistMenu) openPlaylistMenu(x, y);
}

void Switchboard::ResultDoubleClicked(int row) {
  EntryList& list = parts_.playlist.list;
  int target = LocateResult(parts_.playlist, parts_.search.results, row);
  if (!list.IsRow(target)) return;
  // The entry found is the one selected, so the eye finds it too.
  list.SelectNone();
  list.SetSelected(target, true);
}

void Switchboard::ResultEnter(int row) {
  PlayResult(parts_.playlist, parts_.search.results, row);
}

void Switchboard::PlaylistKey(bool enter, bool del) {
  if (enter) parts_.playback.PlayEntry(Restart::Yes, kCursorRow, RepeatReset::Yes);
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
