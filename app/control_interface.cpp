#include "app/control_interface.h"

#include <cstring>

#include "app/player_parts.h"
#include "app/shutdown.h"
#include "core/player_core.h"
#include "core/status_codes.h"
#include "playlist/playlist_files.h"
#include "playlist/playlist_session.h"
#include "tags/number_text.h"

namespace qmb {
namespace {

constexpr int kRequestCount = QMB_REQ_OPEN + 1;

// A band above the last means the last; below the first, the first, so no
// argument reads outside the sliders.
int EqBand(intptr_t band) {
  if (band < 0) return 0;
  return band >= kEqBandCount ? kEqBandCount - 1 : static_cast<int>(band);
}

}  // namespace

ControlInterface::ControlInterface(PlayerCore& core, PlayerParts& parts)
    : core_(core), parts_(parts) {
  exitProgram = [] { Shutdown(true); };
  loadSkin = [](const std::string&) { return 0; };
  skinStageCount = [] { return 0; };
  setSkinStage = [](int) {};
  toggleSkinInversion = [this] {
    RunningState& s = core_.state;
    s.rasterOp = s.rasterOp == kSourceCopy ? kInvertedSourceCopy : kSourceCopy;
    core_.panel.invertSkin.SetChecked(s.rasterOp == kInvertedSourceCopy);
    return static_cast<int>(kOk);
  };
  PluginManager& plugins = parts_.plugins;
  pluginCount = [&plugins](PluginKind kind) { return plugins.registry.Count(kind); };
  pluginDescription = [&plugins](PluginKind kind, int row) {
    return plugins.registry.Description(kind, row);
  };
  pluginOperation = [&plugins](int request, int row) { return plugins.Request(request, row); };
  playlistHandle = [] { return intptr_t{0}; };
  showMainWindow = [] {};
}

intptr_t ControlInterface::Text(int request, std::string text) {
  texts_[request] = std::move(text);
  return reinterpret_cast<intptr_t>(texts_[request].c_str());
}

intptr_t ControlInterface::Float(int request, float value) {
  floats_[request] = value;
  return reinterpret_cast<intptr_t>(&floats_[request]);
}

intptr_t ControlInterface::Request(int request, intptr_t lParam) {
  if (request < 0 || request >= kRequestCount) return 0;
  EntryList& list = parts_.playlist.list;
  Playback& playback = parts_.playback;
  const char* text = reinterpret_cast<const char*>(lParam);
  switch (request) {
    case QMB_REQ_VERSION:
      return Text(request, kVersionText);
    case QMB_REQ_EXIT:
      exitProgram();
      return 1;
    case QMB_REQ_PROGRAM_FOLDER:
      return Text(request, core_.programFolder);
    case QMB_REQ_LOAD_SKIN: {
      if (!text) return 0;
      std::string folder = text;
      if (folder.empty() || folder.back() != '/') folder += '/';
      return loadSkin(folder);
    }
    case QMB_REQ_SKIN_STAGE_COUNT:
      return skinStageCount();
    case QMB_REQ_SET_SKIN_STAGE:
      setSkinStage(static_cast<int>(lParam));
      return 1;
    case QMB_REQ_SKIN_FOLDER: {
      const char* folder = core_.settings.skinFolder;
      return Text(request, std::string(folder, strnlen(folder, sizeof core_.settings.skinFolder)));
    }
    case QMB_REQ_TOGGLE_INVERSION:
      return toggleSkinInversion();
    case QMB_REQ_ENTRY_COUNT:
      return list.Count();
    case QMB_REQ_SELECTED_COUNT:
      return list.SelectedCount();
    case QMB_REQ_SET_CURSOR:
      SetPlaylistCursor(list, static_cast<int>(lParam));
      return 1;
    case QMB_REQ_CURSOR:
      return GetPlaylistCursor(list);
    case QMB_REQ_CURRENT_INDEX:
      return playback.st.currentIndex;
    case QMB_REQ_GET_ITEM_STATE: {
      auto* record = reinterpret_cast<QmbItemState*>(lParam);
      if (!record) return 0;
      record->state = static_cast<int32_t>(
          list.ItemState(record->row, static_cast<std::uint32_t>(record->mask)));
      return 1;
    }
    case QMB_REQ_SET_ITEM_STATE: {
      const auto* record = reinterpret_cast<const QmbItemState*>(lParam);
      if (!record) return 0;
      list.SetItemState(record->row, static_cast<std::uint32_t>(record->state),
                        static_cast<std::uint32_t>(record->mask));
      return 1;
    }
    case QMB_REQ_ADD_ENTRY:
      if (!text) return 0;
      AddPlaylistEntry(parts_.playlist, text);
      return 1;
    case QMB_REQ_GET_ENTRY:
      return GetEntry(reinterpret_cast<QmbEntryFields*>(lParam));
    case QMB_REQ_SET_ENTRY:
      return SetEntry(reinterpret_cast<const QmbEntryFields*>(lParam));
    case QMB_REQ_DELETE_ENTRY:
      list.Remove(static_cast<int>(lParam));
      return 1;
    case QMB_REQ_PLAYLIST_HANDLE:
      return playlistHandle();
    case QMB_REQ_CUT:
      return CutItems(parts_.playlist, parts_.clipboard);
    case QMB_REQ_PASTE:
      return PasteItems(parts_.playlist, parts_.clipboard);
    case QMB_REQ_DELETE_ALL:
      DeleteAll(list);
      return 1;
    case QMB_REQ_SET_AUTO_ADVANCE:
      core_.panel.autoAdvance.SetChecked(lParam != 0);
      return 1;
    case QMB_REQ_PLAY_PATH:
      if (!text) return 0;
      return playback.PlayPath(text);
    case QMB_REQ_STOP:
      playback.StopPlayback(lParam == 1 ? CycleReset::Yes : CycleReset::No);
      return 1;
    case QMB_REQ_PLAY:
      playback.PlayEntry(lParam != 0 ? Restart::Yes : Restart::No, kCursorRow, RepeatReset::Yes);
      return 1;
    case QMB_REQ_PAUSE:
      // As the Pause command: while stopped it only flips the state.
      playback.TogglePause();
      return 1;
    case QMB_REQ_PLAY_STATE:
      return playback.st.state;
    case QMB_REQ_TIME:
      return Time(lParam);
    case QMB_REQ_SET_EQ_BAND: {
      int band = EqBand(lParam & 0xFFFF);
      return SetSlider(request, band, static_cast<float>((lParam >> 16) & 0xFFFF));
    }
    case QMB_REQ_EQ_BAND:
      return Float(request, core_.state.sliders[EqBand(lParam)].value);
    case QMB_REQ_SET_VOLUME:
      return SetSlider(request, kVolumeSlider, static_cast<float>(lParam));
    case QMB_REQ_VOLUME:
      return Float(request, core_.state.sliders[kVolumeSlider].value);
    case QMB_REQ_SET_BALANCE:
      return SetSlider(request, kBalanceSlider, static_cast<float>(lParam));
    case QMB_REQ_BALANCE:
      return Float(request, core_.state.sliders[kBalanceSlider].value);
    case QMB_REQ_SEEK:
      return SetSlider(request, kPositionSlider, static_cast<float>(lParam));
    case QMB_REQ_RASTER_OP:
      return static_cast<intptr_t>(core_.state.rasterOp);
    case QMB_REQ_LOOP:
      return core_.state.loop ? 1 : 0;
    case QMB_REQ_RANDOM:
      return core_.state.shuffle ? 1 : 0;
    case QMB_REQ_READ_TAGS:
      return ReadTags(reinterpret_cast<QmbTagQuery*>(lParam));
    case QMB_REQ_STREAM_TITLE:
      return Text(request, playback.st.streamTitle);
    case QMB_REQ_SHOW_WINDOW:
      showMainWindow();
      return 1;
    case QMB_REQ_OPEN:
      return Open(text);
    default:
      return PluginRequest(request, lParam);
  }
}

intptr_t ControlInterface::PluginRequest(int request, intptr_t lParam) {
  if (request >= QMB_REQ_INPUT_COUNT && request <= QMB_REQ_FILE_DESCRIPTION) {
    auto kind = static_cast<PluginKind>((request - QMB_REQ_INPUT_COUNT) / 2);
    if ((request - QMB_REQ_INPUT_COUNT) % 2 == 0) return pluginCount(kind);
    return Text(request, pluginDescription(kind, static_cast<int>(lParam)));
  }
  if (request >= QMB_REQ_START_VISUAL && request <= QMB_REQ_CONFIGURE_FILE) {
    bool takesRow = request != QMB_REQ_STOP_VISUAL && request != QMB_REQ_STOP_DSP;
    return pluginOperation(request, takesRow ? static_cast<int>(lParam) : -1);
  }
  return 0;
}

intptr_t ControlInterface::GetEntry(QmbEntryFields* record) {
  if (!record) return 0;
  for (int field = 0; field < QMB_ENTRY_FIELD_COUNT; ++field) {
    entryTexts_[field] = GetEntryField(parts_.playlist.list, record->row, field);
    record->text[field] = entryTexts_[field].data();
  }
  return 1;
}

intptr_t ControlInterface::SetEntry(const QmbEntryFields* record) {
  if (!record) return 0;
  EntryList& list = parts_.playlist.list;
  // Row -1 would otherwise reach the last row; a row past the end changes
  // nothing, so neither is reported as done.
  if (!list.IsRow(record->row)) return 0;
  if (record->field < -1 || record->field >= QMB_ENTRY_FIELD_COUNT) return 0;
  for (int field = 0; field < QMB_ENTRY_FIELD_COUNT; ++field) {
    if (record->field != -1 && record->field != field) continue;
    if (record->text[field]) SetEntryField(list, record->row, field, record->text[field]);
  }
  return 1;
}

intptr_t ControlInterface::ReadTags(QmbTagQuery* query) {
  if (!query || !query->path) return 0;
  std::optional<TagRecord> tags = parts_.plugins.ReadTags(query->path);
  if (!tags) return 0;
  static_assert(sizeof(TagRecord) == sizeof(QmbTagRecord));
  std::memcpy(&query->record, &*tags, sizeof query->record);
  return 1;
}

// As a second start hands over its path: a playlist file by its extension.
intptr_t ControlInterface::Open(const char* path) {
  if (!path || !*path) return 0;
  PlaylistStore probe(core_.panel);
  int wParam = LoadPlaylist(probe, path, 0) == kOk ? 1 : 0;
  ReceiveHandOff(parts_.playlist, path, wParam);
  return 1;
}

intptr_t ControlInterface::Time(intptr_t what) {
  if (what < QMB_TIME_LENGTH_MS || what > QMB_TIME_POSITION_TEXT) return 0;
  const Playback& playback = parts_.playback;
  const PlaybackState& st = playback.st;
  int positionMs = 0;
  int lengthMs = 0;
  // Nothing is open while stopped.
  if (st.state != kStopped) playback.ReadPosition(positionMs, lengthMs);
  switch (what) {
    case QMB_TIME_LENGTH_MS:
      return lengthMs;
    case QMB_TIME_POSITION_MS:
      return positionMs;
    case QMB_TIME_LENGTH_TEXT:
      return Text(QMB_REQ_TIME, TimeText(static_cast<float>(lengthMs) / 1000.0f, 0, 0.0f));
    default:
      return Text(QMB_REQ_TIME, TimeText(static_cast<float>(positionMs) / 1000.0f, 0, 0.0f));
  }
}

intptr_t ControlInterface::SetSlider(int request, int slider, float value) {
  intptr_t previous = Float(request, core_.state.sliders[slider].value);
  parts_.playback.SetSliderApplied(slider, value);
  return previous;
}

}  // namespace qmb
