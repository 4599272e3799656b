// The ten-band equalizer on the engine's system channel, and the program's
// DSP unit that is created with it.
#pragma once

#include <array>

namespace qmb {

struct DspUnit;

constexpr int kEqBandCount = 10;
constexpr std::array<float, kEqBandCount> kEqBandCentres = {80,   170,  310,   600,   1000,
                                                            3000, 6000, 12000, 14000, 16000};
constexpr float kEqBandwidth = 18.0f;

// What a playing input plug-in needs to know of the bands when it plays
// through its own output.
class EqPluginSink {
 public:
  virtual ~EqPluginSink() = default;
  virtual void SetEq(int band, int value) = 0;
};

class Equalizer {
 public:
  // Gain in dB of a band value: truncated, minus 15.
  static float GainOf(int value) { return static_cast<float>(value - 15); }

  // Retunes one band's effect.
  void SetEqBand(int band, int value);

  // Builds the effect chain and the DSP unit and applies the ten `values`.
  // With a plug-in that owns its output (`pluginSink`), only the plug-in gets
  // the values.
  // `visualization` is the "Enable visualization" check box.
  void ApplyEqualizer(const std::array<float, kEqBandCount>& values, EqPluginSink* pluginSink,
                      bool pluginPlays, bool visualization);

  // Takes every effect off the final mix.
  void DisableEqualizer();

  // The program's DSP unit (for the stop and the visualization); null before
  // the first application.
  DspUnit* DspUnitHandle() const { return dspUnit_; }
  // Turns the engine's spectrum unit on exactly when the visualization is on.
  static void UpdateSpectrumUnit(bool visualization);
  // Called when the engine closes: its units and effects die with it.
  void Forget();

 private:
  std::array<int, kEqBandCount> effects_{-1, -1, -1, -1, -1, -1, -1, -1, -1, -1};
  DspUnit* dspUnit_ = nullptr;
};

}  // namespace qmb
