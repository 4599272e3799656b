// The equalizer's one-click shapes and its preset files: ten little-endian
// floats, the band sliders' values as they stand, 40 bytes in `QEQ/`.
#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "eq/equalizer.h"

namespace qmb {

using EqBands = std::array<float, kEqBandCount>;

// Sets band `band`'s slider to `value` as the skin's sliders do: the thumb
// moves, the curve is redrawn, the band is applied (to the engine, or to an
// input plug-in that plays through its own output) and the status text shows.
using SetEqSlider = std::function<void(int band, float value)>;

constexpr float kEqFlat = 15.0f;
constexpr float kEqShiftStep = 2.0f;
constexpr const char* kEqPresetFolder = "QEQ/";
constexpr const char* kEqPresetExtension = ".qeq";
constexpr std::size_t kEqPresetBytes = 4 * kEqBandCount;
constexpr const char* kEqSaveTitle = "Save QEQ File";
constexpr const char* kEqPresetFilter = "Qumble Eq Files (*.qeq)|*.qeq";

// Every band to 15 (0 dB).
void NormalizeEq(const SetEqSlider& set);
// Every band, 0 to 9, to a whole value from 5 to 24, from the shared random
// sequence seeded with the up-time in milliseconds.
void RandomizeEq(const SetEqSlider& set);
// Every band two whole units up (down), truncated; nothing at all when a band
// stands above 28 (below 2).
void ShiftEq(bool up, const EqBands& values, const SetEqSlider& set);

// The presets of `QEQ/` under `programFolder` by name: the file names without
// their last extension, sorted without regard to case. Only files ending in
// ".qeq" exactly, so every name listed loads from name + ".qeq".
std::vector<std::string> ListEqPresets(const std::string& programFolder);
std::string EqPresetPath(const std::string& programFolder, const std::string& name);

// The ten values of a preset file: a shorter file leaves the rest at 0, a
// file that is not there gives ten zeros. With `apply`, each band's slider is
// set to its value. A file that is there but cannot be opened ends the
// program (CannotOpenFile).
EqBands LoadEqPreset(const std::string& path, bool apply, const SetEqSlider& set);
// Writes the 40 bytes (created or replaced); a failure ends the program as above.
void SaveEqPreset(const std::string& path, const EqBands& values);
// "Save QEQ File...": the save dialog in `QEQ/`, then SaveEqPreset unless it
// was cancelled. A name typed without ".qeq" is saved as typed.
void SaveEqPresetDialog(const std::string& programFolder, const EqBands& values);

}  // namespace qmb
