// Stop, pause, volume, balance, seek and mute on the open item.
#include "core/command_ids.h"
#include "core/control_panel_model.h"
#include "core/desktop.h"
#include "core/running_state.h"
#include "eq/equalizer.h"
#include "playback/input_route.h"
#include "playback/playback.h"
#include "playback/sound_engine.h"
#include "playlist/playlist_store.h"
#include "tags/number_text.h"
#include "vis/visual_capture.h"

namespace qmb {
namespace {

constexpr int kStatusTextMs = 1500;

}  // namespace

void Playback::ResetSeekSlider() {
  p_.displays.progressMaximum = 0;
  p_.displays.progressValue = 0;
  p_.running.sliders[kPositionSlider].maximum = 0.0f;
  p_.running.sliders[kPositionSlider].value = 0.0f;
  p_.displays.changed.Emit();
}

void Playback::StopPlayback(CycleReset reset) {
  ++st.openGeneration;
  if (reset == CycleReset::Yes) {
    EntryList& list = p_.playlist.list;
    for (int row = 0; row < list.Count(); ++row) list.SetField(row, kPlayedThisCycle, "No");
    playedThisCycle = 0;
    repeatCounter = 0;
  }
  bool ownOutput = PluginOwnsOutput();
  if (st.usingPlugin && inputRoute) {
    inputRoute->Stop(st.pluginIndex);
    if (st.stream) FSOUND_Stream_Close(st.stream);
  } else if (st.isModule) {
    FMUSIC_FreeSong(st.module);
  } else {
    FSOUND_Stream_Close(st.stream);
  }
  st.stream = nullptr;
  st.module = nullptr;
  if (!ownOutput) {
    FSOUND_DSP_SetActive(p_.equalizer.DspUnitHandle(), false);
    FSOUND_DSP_SetActive(FSOUND_DSP_GetFFTUnit(), false);
  }
  st.nowPlayingText = kIdleTitle;
  st.streamTitle.clear();
  st.metadataSerial = 0;
  st.state = kStopped;
  st.trackActive = 0;
  TheVisualCapture().SetTrackActive(false);
  st.info.reset();
  TheVisualCapture().Clear();
  if (redrawVisual) redrawVisual();
  ResetSeekSlider();
}

void Playback::TogglePause() {
  bool pause = st.state == kPlaying;
  if (st.usingPlugin && inputRoute) {
    inputRoute->Pause(st.pluginIndex, pause);
    if (st.stream) FSOUND_SetPaused(st.channel, pause);
  } else if (st.isModule) {
    FMUSIC_SetPaused(st.module, pause);
  } else {
    FSOUND_SetPaused(st.channel, pause);
  }
  st.state = pause ? kPaused : kPlaying;
}

void Playback::ApplyVolume(float value) {
  int volume = static_cast<int>(value);
  if (PluginOwnsOutput()) {
    inputRoute->SetVolume(st.pluginIndex, volume);
  } else if (st.isModule) {
    FMUSIC_SetMasterVolume(st.module, volume);
  } else {
    FSOUND_SetVolume(st.channel, volume);
  }
}

void Playback::ApplyBalance(float value) {
  int pan = static_cast<int>(value);
  if (PluginOwnsOutput()) {
    inputRoute->SetPan(st.pluginIndex, pan);
  } else if (!st.isModule) {
    FSOUND_SetPan(st.channel, pan);
  }
}

void Playback::SeekTo(float seconds) {
  if (st.usingPlugin && inputRoute) {
    inputRoute->Seek(st.pluginIndex, static_cast<int>(seconds * 1000.0f));
  } else if (st.isModule) {
    FMUSIC_SetOrder(st.module, static_cast<int>(seconds));
  } else {
    FSOUND_Stream_SetTime(st.stream, static_cast<int>(seconds) * 1000);
  }
}

void Playback::SetSliderApplied(int slider, float value) {
  SliderState& s = p_.running.sliders[slider];
  s.value = value < 0 ? 0 : (value > s.maximum ? s.maximum : value);
  int whole = static_cast<int>(s.value);
  std::string text;
  if (slider == kPositionSlider) {
    SeekTo(s.value);
  } else if (slider == kVolumeSlider) {
    ApplyVolume(s.value);
    text = "Volume: " + NumberText(whole);
  } else if (slider == kBalanceSlider) {
    ApplyBalance(s.value);
    text = whole == 127 ? "Center" : "Balance: " + NumberText(whole);
  } else if (slider >= 0 && slider < kEqBandCount) {
    if (PluginOwnsOutput()) {
      inputRoute->SetEq(st.pluginIndex, slider, whole);
    } else {
      p_.equalizer.SetEqBand(slider, whole);
    }
    text = "Equalizer " + NumberText(slider) + ": " + NumberText(whole);
  }
  if (!text.empty() && showStatusText) showStatusText(text, kStatusTextMs);
  p_.displays.changed.Emit();
}

void Playback::ToggleMute() {
  CheckModel& mute = p_.checks.mute;
  if (mute.Checked()) {
    mute.SetChecked(false);
    if (PluginOwnsOutput()) {
      inputRoute->SetMute(st.pluginIndex, false);
    } else if (st.isModule) {
      SetSliderApplied(kVolumeSlider, savedModuleVolume);
    } else {
      FSOUND_SetMute(st.channel, false);
    }
    return;
  }
  mute.SetChecked(true);
  if (PluginOwnsOutput()) {
    inputRoute->SetMute(st.pluginIndex, true);
  } else if (st.isModule) {
    savedModuleVolume =
        static_cast<std::uint8_t>(static_cast<int>(p_.running.sliders[kVolumeSlider].value) & 0xFF);
    SetSliderApplied(kVolumeSlider, 0.0f);
  } else {
    FSOUND_SetMute(st.channel, true);
  }
}

void Playback::StopWithFadeout() {
  // The slider keeps its value, so the next item starts at full volume.
  for (int v = static_cast<int>(p_.running.sliders[kVolumeSlider].value); v >= 0; v -= 5) {
    ApplyVolume(static_cast<float>(v));
    TheDesktop().SleepMs(10);
  }
  StopPlayback(CycleReset::No);
}

void Playback::TransportCommand(int command) {
  const float seekMax = p_.running.sliders[kPositionSlider].maximum;
  switch (command) {
    case command::kSeekToStart:
      SetSliderApplied(kPositionSlider, 0.0f);
      break;
    case command::kSeekToMiddle:
      SetSliderApplied(kPositionSlider, seekMax / 2.0f);
      break;
    case command::kSeekToEnd:
      SetSliderApplied(kPositionSlider, seekMax - 5.0f);
      break;
    case command::kVolumeHigh:
      SetSliderApplied(kVolumeSlider, 255.0f);
      break;
    case command::kVolumeMedium:
      SetSliderApplied(kVolumeSlider, 255.0f / 2.0f);
      break;
    case command::kVolumeLow:
      SetSliderApplied(kVolumeSlider, 0.0f);
      break;
    case command::kMute:
      ToggleMute();
      break;
    case command::kPanLeft:
      SetSliderApplied(kBalanceSlider, 0.0f);
      break;
    case command::kPanCenter:
      SetSliderApplied(kBalanceSlider, 255.0f / 2.0f);
      break;
    case command::kPanRight:
      SetSliderApplied(kBalanceSlider, 255.0f);
      break;
    case command::kStopWithFadeout:
      StopWithFadeout();
      break;
    case command::kStopAfterCurrent:
      p_.checks.stopAfterCurrent.SetChecked(!p_.checks.stopAfterCurrent.Checked());
      break;
    case command::kCloseAfterCurrent:
      p_.checks.closeAfterCurrent.SetChecked(!p_.checks.closeAfterCurrent.Checked());
      break;
    default:
      break;
  }
}

}  // namespace qmb
