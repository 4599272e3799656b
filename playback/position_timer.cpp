// Timer 1: the position, the displays, and the end of a track.
#include <ctime>

#include "core/control_panel_model.h"
#include "core/running_state.h"
#include "playback/input_route.h"
#include "playback/playback.h"
#include "playback/sound_engine.h"
#include "tags/number_text.h"

namespace qmb {
namespace {

// The time display shows ClockText without its date and blank.
constexpr std::size_t kClockTimeStart = 9;

}  // namespace

std::string Playback::ClockText() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char text[64];
  std::strftime(text, sizeof text, "%m/%d/%y %I:%M:%S: %p", &local);
  return text;
}

void Playback::ReadPosition(int& positionMs, int& lengthMs) const {
  if (st.usingPlugin && inputRoute) {
    // A plug-in that plays through the engine is where the engine's mix is
    // (what is heard); what it has decoded runs ahead of that. Only a
    // plug-in with its own output knows where its sound is.
    positionMs =
        st.stream ? FSOUND_Stream_GetTime(st.stream) : inputRoute->GetPosition(st.pluginIndex);
    lengthMs = inputRoute->GetLength(st.pluginIndex);
  } else if (st.isModule) {
    positionMs = FMUSIC_GetOrder(st.module) * 1000;
    lengthMs = FMUSIC_GetNumOrders(st.module) * 1000;
  } else {
    positionMs = FSOUND_Stream_GetTime(st.stream);
    lengthMs = FSOUND_Stream_GetLengthMs(st.stream);
  }
}

void Playback::PositionTick() {
  RefreshStreamTitle();
  int positionMs = 0;
  int lengthMs = 0;
  ReadPosition(positionMs, lengthMs);

  if (lengthMs >= 0 && st.trackActive) {
    bool ended;
    if (st.isModule && !st.usingPlugin) {
      ended = FMUSIC_IsFinished(st.module);
    } else if (st.usingPlugin && !st.stream) {
      ended = positionMs >= lengthMs;
    } else {
      // A stream, also one fed by a plug-in, has ended once its last sample
      // has been mixed: every sample is heard. So one of unknown length (a
      // live address) is not ended at the first tick, and an estimated
      // length, too long or too short, neither holds nor cuts it.
      ended = FSOUND_Stream_IsFinished(st.stream);
    }
    if (ended) TrackEnded();
  }

  PlaybackDisplays& d = p_.displays;
  if (st.trackActive) {
    if (!d.messageShowing) d.titleText = st.nowPlayingText;
    d.timeText =
        TimeText(static_cast<float>(positionMs) / 1000.0f, p_.running.showRemainingTime ? 1 : 0,
                 static_cast<float>(lengthMs) / 1000.0f);
    d.statusBarText = st.nowPlayingText;
  } else {
    d.titleText = st.nowPlayingText;
    d.timeText = ClockText().substr(kClockTimeStart);
  }
  if (st.trackActive && !d.sliderDragging) {
    SliderState& seek = p_.running.sliders[kPositionSlider];
    float seconds = static_cast<float>(positionMs) / 1000.0f;
    seek.value = seconds > seek.maximum ? seek.maximum : (seconds < 0 ? 0 : seconds);
    d.progressValue = positionMs / 1000;
  }
  ++d.ticks;
  d.changed.Emit();
}

void Playback::TrackEnded() {
  MenuChecks& checks = p_.checks;
  if (checks.stopAfterCurrent.Checked()) {
    StopPlayback(CycleReset::No);
    checks.stopAfterCurrent.SetChecked(false);
  } else if (!p_.panel.autoAdvance.Checked()) {
    StopPlayback(CycleReset::No);
  } else if (checks.closeAfterCurrent.Checked()) {
    if (exitProgram) exitProgram();
  } else {
    NextEntry(Advance::AtTrackEnd, 1);
  }
}

}  // namespace qmb
