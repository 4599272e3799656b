#include "eq/eq_presets.h"

#include <strings.h>
#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>

#include "core/atomic_file.h"
#include "core/desktop.h"
#include "core/file_dialog.h"
#include "core/file_failure.h"
#include "core/random_generator.h"

namespace qmb {

void NormalizeEq(const SetEqSlider& set) {
  for (int band = 0; band < kEqBandCount; ++band) set(band, kEqFlat);
}

void RandomizeEq(const SetEqSlider& set) {
  // Milliseconds, so two clicks in the same second give two shapes.
  RandomSeed(TheDesktop().UpTimeMs());
  for (int band = 0; band < kEqBandCount; ++band) {
    // Truncated before the float, which could round 24.99... up to 25.
    set(band, static_cast<float>(std::trunc(20.0 * RandomNumber() + 5.0)));
  }
}

void ShiftEq(bool up, const EqBands& values, const SetEqSlider& set) {
  for (float v : values) {
    if (up ? v > 30.0f - kEqShiftStep : v < kEqShiftStep) return;
  }
  for (int band = 0; band < kEqBandCount; ++band) {
    float v = std::trunc(values[band] + (up ? kEqShiftStep : -kEqShiftStep));
    set(band, std::clamp(v, 0.0f, 30.0f));
  }
}

std::vector<std::string> ListEqPresets(const std::string& programFolder) {
  namespace fs = std::filesystem;
  std::vector<std::string> names;
  const std::string extension = kEqPresetExtension;
  std::error_code error;
  for (fs::directory_iterator it(programFolder + kEqPresetFolder, error), end; !error && it != end;
       it.increment(error)) {
    std::string name = it->path().filename().string();
    if (name.size() < extension.size() ||
        name.compare(name.size() - extension.size(), extension.size(), extension) != 0)
      continue;
    // A folder with the extension would end the program when chosen.
    std::error_code ignored;
    if (!it->is_regular_file(ignored)) continue;
    names.push_back(name.substr(0, name.size() - extension.size()));
  }
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    int order = strcasecmp(a.c_str(), b.c_str());
    return order != 0 ? order < 0 : a < b;
  });
  return names;
}

std::string EqPresetPath(const std::string& programFolder, const std::string& name) {
  return programFolder + kEqPresetFolder + name + kEqPresetExtension;
}

EqBands LoadEqPreset(const std::string& path, bool apply, const SetEqSlider& set) {
  unsigned char bytes[kEqPresetBytes] = {};
  if (PathExists(path)) {
    // Read only: a preset the user may not write to still loads.
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) CannotOpenFile(path);
    std::size_t got = std::fread(bytes, 1, sizeof bytes, file);
    std::fclose(file);
    (void)got;  // a shorter file leaves the rest at zero
  }
  EqBands values{};
  for (int band = 0; band < kEqBandCount; ++band) {
    const unsigned char* b = bytes + band * 4;
    values[band] = std::bit_cast<float>(static_cast<std::uint32_t>(
        b[0] | b[1] << 8 | b[2] << 16 | static_cast<std::uint32_t>(b[3]) << 24));
  }
  if (apply && set) {
    for (int band = 0; band < kEqBandCount; ++band) set(band, values[band]);
  }
  return values;
}

void SaveEqPreset(const std::string& path, const EqBands& values) {
  std::string bytes;
  for (float v : values) {
    std::uint32_t bits = std::bit_cast<std::uint32_t>(v);
    for (int i = 0; i < 4; ++i) bytes += static_cast<char>((bits >> (8 * i)) & 0xFF);
  }
  if (!WriteFileAtomically(path, bytes)) CannotOpenFile(path);
}

void SaveEqPresetDialog(const std::string& programFolder, const EqBands& values) {
  std::string path =
      FileDialog(kEqSaveTitle, kEqPresetFilter, true, programFolder + kEqPresetFolder, "");
  if (!path.empty()) SaveEqPreset(path, values);
}

}  // namespace qmb
