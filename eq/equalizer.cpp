#include "eq/equalizer.h"

#include "playback/sound_engine.h"
#include "vis/visual_capture.h"

namespace qmb {

constexpr int kVisualDspPriority = 400;

void Equalizer::SetEqBand(int band, int value) {
  if (band < 0 || band >= kEqBandCount) return;
  FSOUND_FX_SetParamEQ(effects_[band], kEqBandCentres[band], kEqBandwidth, GainOf(value));
}

void Equalizer::ApplyEqualizer(const std::array<float, kEqBandCount>& values,
                               EqPluginSink* pluginSink, bool pluginPlays, bool visualization) {
  if (!pluginPlays || !pluginSink) {
    // Effects can only be enabled while the final mix is held.
    FSOUND_SetPaused(kSystemChannel, true);
    FSOUND_FX_Disable(kSystemChannel);
    for (int band = 0; band < kEqBandCount; ++band) {
      effects_[band] = FSOUND_FX_Enable(kSystemChannel, kFxParamEq);
    }
    // Only the newest unit may run: an older one would capture twice.
    if (dspUnit_) FSOUND_DSP_Free(dspUnit_);
    dspUnit_ = FSOUND_DSP_Create(&VisualCapture::VisualDspCallback, kVisualDspPriority, nullptr);
    FSOUND_DSP_SetActive(dspUnit_, true);
    FSOUND_SetPaused(kSystemChannel, false);
    UpdateSpectrumUnit(visualization);
  }
  for (int band = 0; band < kEqBandCount; ++band) {
    int value = static_cast<int>(values[band]);
    if (pluginPlays && pluginSink) {
      pluginSink->SetEq(band, value);
    } else {
      SetEqBand(band, value);
    }
  }
}

void Equalizer::DisableEqualizer() {
  FSOUND_SetPaused(kSystemChannel, true);
  FSOUND_FX_Disable(kSystemChannel);
  FSOUND_SetPaused(kSystemChannel, false);
  effects_.fill(-1);
}

void Equalizer::UpdateSpectrumUnit(bool visualization) {
  FSOUND_DSP_SetActive(FSOUND_DSP_GetFFTUnit(), visualization);
}

void Equalizer::Forget() {
  effects_.fill(-1);
  dspUnit_ = nullptr;
}

}  // namespace qmb
