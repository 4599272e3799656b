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
    positionMs = inputRoute->GetPosition(st.pluginIndex);
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
    } else if (st.usingPlugin) {
      ended = positionMs >= lengthMs;
    } else {
      // A stream of unknown length (a live address) ends when its data does,
      // not at the first tick; an estimated length that is never reached
      // does not hold the player either.
      ended = (lengthMs > 0 && positionMs >= lengthMs) || FSOUND_Stream_IsFinished(st.stream);
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
    StopPlayback(0);
    checks.stopAfterCurrent.SetChecked(false);
  } else if (!p_.panel.autoAdvance.Checked()) {
    StopPlayback(0);
  } else if (checks.closeAfterCurrent.Checked()) {
    if (exitProgram) exitProgram();
  } else {
    NextEntry(1, 1);
  }
}

}  // namespace qmb
