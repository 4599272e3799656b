// The running state that saving gathers besides the control panel: where the
// main window is, the folder browser's folder, the sliders, the skin's stage,
// lights and raster operation, the current entry and the display modes. Each
// subsystem keeps its part current; saving reads it fresh.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "core/control_models.h"

namespace qmb {

constexpr int kSliderCount = 13;
constexpr int kPositionSlider = 10;
constexpr int kVolumeSlider = 11;
constexpr int kBalanceSlider = 12;

constexpr std::uint32_t kSourceCopy = 0x00CC0020;
constexpr std::uint32_t kInvertedSourceCopy = 0x00330008;

struct SliderState {
  float value = 0.0f;
  float maximum = 0.0f;
};

struct RunningState {
  int windowX = 10;
  int windowY = 10;
  std::string browseFolder;  // the folder browser's current folder
  std::array<SliderState, kSliderCount> sliders{};
  int skinStage = 0;
  bool shuffle = false;  // on-state of skin light 0
  bool loop = false;     // on-state of skin light 1
  std::uint32_t rasterOp = kSourceCopy;
  int currentEntry = 0;
  std::uint8_t visKind = 0;
  std::uint8_t spectrumStyle = 0;
  std::uint8_t scopeStyle = 0;
  bool showRemainingTime = false;
  // Whether an item is open for playing; saving resumes only from one.
  bool playbackActive = false;
};

}  // namespace qmb
