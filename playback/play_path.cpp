// Opening an entry by its route and starting it.
#include <cstdlib>

#include "core/control_panel_model.h"
#include "core/desktop.h"
#include "core/running_state.h"
#include "core/status_codes.h"
#include "core/text_util.h"
#include "eq/equalizer.h"
#include "playback/input_route.h"
#include "playback/playback.h"

#include "playback/sound_engine.h"
#include "playlist/entry_title.h"
#include "playlist/playlist_editing.h"
#include "playlist/playlist_store.h"
#include "tags/number_text.h"
#include "vis/visual_capture.h"

namespace qmb {
namespace {

constexpr const char* kModuleExtensions = "xm|it|s3m|mod|sgt|fsb";
constexpr const char* kCdAddress = "cda://";

// Extension lists are matched as substrings ("m" is in "xm"). A path
// without an extension is no module: the empty text is in every list.
bool IsModuleExtension(const std::string& ext) {
  return !ext.empty() && std::string_view(kModuleExtensions).find(ext) != std::string_view::npos;
}

// The number a track file's name carries from its sixth character ("Track07"
// gives 7); 0 when there is none.
int TrackNumberOf(const std::string& path) {
  std::size_t slash = path.rfind('/');
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  if (name.size() < 6) return 0;
  return std::atoi(name.c_str() + 5);
}

std::string DriveOfTrackFile(const std::string& path) {
  std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

}  // namespace

Playback::Playback(PlaybackParts parts) : p_(parts) {}

int Playback::FindInputPlugin(const std::string& path) const {
  return inputRoute ? inputRoute->Find(path) : -1;
}

bool Playback::PluginOwnsOutput() const {
  return st.usingPlugin && inputRoute && !inputRoute->UsesEngineOutput(st.pluginIndex);
}

int Playback::OpenCdTrack(const std::string& path) {
  bool address = path.find(kCdAddress) != std::string::npos;
  std::string drive;
  int track = 1;
  if (address) {
    drive = path.substr(path.find(kCdAddress) + std::string_view(kCdAddress).size());
  } else {
    drive = DriveOfTrackFile(path);
    track = TrackNumberOf(path);
  }
  st.stream = FSOUND_Stream_Open(drive.c_str(), kStreamNormal, 0, 0);
  if (!st.stream) return kNoInputPlugin;
  if (track < 1) track = 1;
  int tracks = FSOUND_Stream_GetNumSubStreams(st.stream);
  if (tracks == 0) return kFileOpenFailed;
  FSOUND_Stream_SetSubStream(st.stream, track - 1);
  if (address) {
    p_.playlist.list.RemoveAll();
    for (int n = 1; n <= tracks; ++n) {
      AddPlaylistEntry(p_.playlist, drive + "/Track" + std::to_string(n) + ".cda");
    }
    st.currentIndex = 0;
  }
  return kOk;
}

int Playback::OpenNetworkStream(const std::string& path, std::uint32_t generation) {
  st.stream = FSOUND_Stream_Open(path.c_str(), kStreamNormal | kStreamNonBlocking, 0, 0);
  if (!st.stream) return kNoInputPlugin;
  // The windows stay alive while the address opens; a stop or another play
  // among the messages handled here abandons it quietly. Either one closed
  // this stream already, and `st` is no longer ours to touch.
  for (;;) {
    TheDesktop().ProcessPendingEvents();
    if (st.openGeneration != generation) return kOk;
    int state = FSOUND_Stream_GetOpenState(st.stream);
    if (state == kOpenInvalid || state == kOpenFailed) return kNoInputPlugin;
    if (state == kOpenReady) break;
    if (state == kOpenBuffering) {
      int percent = 0;
      FSOUND_Stream_Net_GetStatus(st.stream, nullptr, &percent, nullptr, nullptr);
      st.nowPlayingText = "Buffering: " + NumberText(percent) + "%";
    }
    TheDesktop().SleepMs(10);
  }
  return kOk;
}

int Playback::OpenFileStream(const std::string& path) {
  st.stream = FSOUND_Stream_Open(path.c_str(), kStreamNormal, 0, 0);
  if (!st.stream && p_.panel.rawPcmUnsupported.Checked()) {
    st.stream = FSOUND_Stream_Open(path.c_str(), kStreamLoadRaw, 0, 0);
  }
  return st.stream ? kOk : kNoInputPlugin;
}

std::optional<StreamInfo> Playback::EngineStreamInfo() const {
  StreamInfo info;
  info.valid = 1;
  info.lengthMs = FSOUND_Stream_GetLengthMs(st.stream);
  std::int64_t bytes = FSOUND_Stream_GetLength(st.stream);
  // A live stream has no length; its bit rate is then unknown, not a fault.
  info.bitRate = info.lengthMs > 0 ? static_cast<std::int32_t>(bytes * 8 / info.lengthMs) : 0;
  FSOUND_Sample_GetDefaults(FSOUND_Stream_GetSample(st.stream), &info.frequency, nullptr, nullptr,
                            nullptr);
  return info;
}

void Playback::UpdatePlayedEntry() {
  EntryList& list = p_.playlist.list;
  int row = st.currentIndex;
  if (!list.IsRow(row)) return;
  std::string path = EntryPath(list, row);
  if (p_.panel.useTags.Checked()) {
    FormatEntryTitle(list, p_.tags, p_.panel.tagFormat.Text(), path, row);
  }
  std::string played = list.Field(row, kTimesPlayed);
  std::erase(played, ',');
  double times = std::strtod(played.c_str(), nullptr) + 1;
  list.SetField(row, kTimesPlayed, std::string(TrimSpace(MaskedNumber("###", times))));
  list.SetField(row, kLength,
                st.lengthSeconds > 0 ? TimeText(st.lengthSeconds, 0, 0) : "No Length");
  list.SetField(row, kDatePlayed, p_.playlist.today ? p_.playlist.today() : TodayText());
  list.EnsureVisible(row);
  if (playedThisCycle == 0 && p_.running.shuffle) {
    list.SetField(row, kPlayedThisCycle, "Yes");
    playedThisCycle = 1;
  }
}

int Playback::PlayPath(const std::string& path, PlayPathOptions options) {
  StopPlayback(CycleReset::No);
  const std::uint32_t generation = st.openGeneration;
  if (options.track && !options.fromCue) {
    if (!options.indexGiven) st.currentIndex = p_.playlist.list.Cursor();
  } else if (!options.fromCue) {
    st.currentIndex = -1;
  }
  p_.playlist.list.Redraw();

  int plugin = FindInputPlugin(path);
  std::string ext = PathExtension(path);
  int lengthMs = 0;
  if (plugin >= 0) {
    st.usingPlugin = 1;
    st.isModule = 0;
    st.pluginIndex = plugin;
    if (int status = inputRoute->Open(plugin, path); status != kOk) return status;
    if (inputRoute->UsesEngineOutput(plugin)) {
      st.stream = inputRoute->CreateStream(plugin);
      if (!st.stream) return kInputPluginOpenFailed;
    }
    lengthMs = inputRoute->GetLength(plugin);
  } else {
    st.usingPlugin = 0;
    st.pluginIndex = -1;
    int status = kOk;
    if (IsModuleExtension(ext)) {
      st.isModule = 1;
      st.module = FMUSIC_LoadSong(path.c_str());
      if (!st.module) return kNoInputPlugin;
      lengthMs = FMUSIC_GetNumOrders(st.module) * 1000;
    } else {
      st.isModule = 0;
      if (ext == "cda" || path.find(kCdAddress) != std::string::npos) {
        status = OpenCdTrack(path);
      } else if (IsNetworkAddress(path)) {
        status = OpenNetworkStream(path, generation);
        if (st.openGeneration != generation) return kOk;
      } else {
        status = OpenFileStream(path);
      }
      if (status != kOk) return status;
      lengthMs = FSOUND_Stream_GetLengthMs(st.stream);
    }
  }
  st.lengthSeconds = static_cast<float>(lengthMs) / 1000.0f;

  if (!p_.panel.equalizerDisabled.Checked()) {
    std::array<float, kEqBandCount> bands{};
    for (int i = 0; i < kEqBandCount; ++i) bands[i] = p_.running.sliders[i].value;
    struct PluginEq : EqPluginSink {
      InputRoute* route;
      int plugin;
      void SetEq(int band, int value) override { route->SetEq(plugin, band, value); }
    } sink;
    sink.route = inputRoute;
    sink.plugin = st.pluginIndex;
    p_.equalizer.ApplyEqualizer(bands, PluginOwnsOutput() ? &sink : nullptr, st.usingPlugin != 0,
                                p_.panel.visualization.Checked());
  }

  if (st.usingPlugin) {
    inputRoute->Play(st.pluginIndex);
    // A plug-in with its own output has no engine channel to fail.
    st.channel = st.stream ? FSOUND_Stream_Play(0, st.stream) : 0;
  } else if (st.isModule) {
    st.channel = FMUSIC_PlaySong(st.module) ? 1 : 0;
  } else {
    st.channel = FSOUND_Stream_Play(0, st.stream);
  }
  if (st.channel == -1) return kOpenError;

  st.state = kPlaying;
  ApplyVolume(p_.running.sliders[kVolumeSlider].value);
  ApplyBalance(p_.running.sliders[kBalanceSlider].value);
  if (p_.checks.mute.Checked()) {
    if (PluginOwnsOutput()) {
      inputRoute->SetMute(st.pluginIndex, true);
    } else if (st.isModule) {
      FMUSIC_SetMasterVolume(st.module, 0);
    } else {
      FSOUND_SetMute(st.channel, true);
    }
  }
  p_.running.sliders[kPositionSlider].maximum = st.lengthSeconds;
  p_.displays.progressMaximum = static_cast<int>(st.lengthSeconds);
  p_.displays.changed.Emit();
  if (!options.track) return kOk;

  st.trackActive = 1;
  TheVisualCapture().SetTrackActive(true);
  if (p_.panel.randomSkinOnPlay.Checked() && randomSkin) randomSkin();
  if (!options.fromCue) UpdatePlayedEntry();

  // A cue item is named by its own row, not by the entry that played before.
  playingTitle_ = options.fromCue ? cueTitle_ : p_.playlist.list.Field(st.currentIndex, kTitle);
  if (st.usingPlugin) {
    st.info = inputRoute->GetStreamInfo(st.pluginIndex);
  } else if (!st.isModule) {
    st.info = EngineStreamInfo();
  }
  ComposeNowPlaying();
  RefreshStreamTitle();
  return kOk;
}

void Playback::ComposeNowPlaying() {
  const std::string& title = st.streamTitle.empty() ? playingTitle_ : st.streamTitle;
  st.nowPlayingText = title;
  if (st.info) {
    st.nowPlayingText = NumberText(st.info->bitRate) + "kbps | " +
                        NumberText(st.info->frequency / 1000) + "khz  " + title;
  }
}

void Playback::RefreshStreamTitle() {
  if (!st.trackActive || st.usingPlugin || st.isModule || !st.stream) return;
  StreamMetadata metadata;
  if (!FSOUND_Stream_Net_GetMetadata(st.stream, &metadata)) return;
  if (metadata.serial == st.metadataSerial) return;
  st.metadataSerial = metadata.serial;
  st.streamTitle = metadata.title.empty() ? metadata.station : metadata.title;
  ComposeNowPlaying();
}

}  // namespace qmb
