// Writes the bundled equalizer presets into a program folder's QEQ/:
//   qmb_preset_maker PROGRAM_FOLDER
// Each preset is a row of band gains in dB. The mixer has no headroom (its
// sum is clamped to 16-bit full scale), so no preset may lift any frequency
// above 0 dB: the shapes are made of cuts, with the band that matters most
// left at 0. Before writing, every preset's whole response is measured
// through the engine's own band filters, and the maker fails when a
// full-scale sine anywhere from 20 Hz to 20 kHz would come out above full
// scale, or a gain lies outside the bands' ±15 dB.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <numbers>
#include <string>

#include "engine/param_eq.h"
#include "eq/eq_presets.h"

namespace {

using qmb::kEqBandCount;

struct Preset {
  const char* name;
  // 80, 170, 310, 600 Hz, 1, 3, 6, 12, 14, 16 kHz.
  std::array<int, kEqBandCount> db;
  const char* why;
};

// The three top bands lie within half an octave of each other, so a cut of
// a few dB in each adds up to about twice as much around 14 kHz.
const Preset kPresets[] = {
    {"Flat", {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, "Every band at 0 dB: the sound as it was recorded."},
    {"Bass",
     {0, 0, -2, -5, -6, -6, -6, -4, -3, -3},
     "The two lowest bands stay at 0 and everything from 600 Hz up comes down by about 9 dB, so "
     "the bass stands out without being lifted into clipping."},
    {"Treble",
     {-4, -4, -4, -4, -3, -1, 0, 0, 0, 0},
     "The mirror of Bass: 6 kHz and up stay at 0, the lows and mids come down by 6 to 8 dB."},
    {"Vocal",
     {-6, -4, -2, 0, 0, 0, -2, -3, -3, -3},
     "The voice's range from 600 Hz to 3 kHz stays whole; rumble below 170 Hz and hiss above "
     "10 kHz come down by about 7 dB."},
    {"Rock",
     {0, -1, -4, -5, -4, -1, 0, -1, -1, -1},
     "Kick drum and bass at 80 Hz and the guitars' bite at 3 to 6 kHz stay; the boxy low mids "
     "around 600 Hz to 1 kHz come down by about 8 dB."},
    {"Pop",
     {-3, -1, 0, 0, -1, -2, -2, -2, -2, -2},
     "A gentle hump from 170 Hz to 1 kHz, where pop's voices and keys sit, with the deep bass "
     "and the air a few dB lower."},
    {"Classical",
     {0, 0, 0, 0, 0, 0, -1, -2, -2, -2},
     "Almost flat, as orchestras are recorded to be heard; only the top octave is softened by "
     "about 4 dB, where hiss and harsh strings live."},
    {"Dance",
     {0, -1, -5, -6, -5, -3, -1, 0, 0, 0},
     "Deep bass and crisp highs stay at 0 while the mids from 300 Hz to 3 kHz come down by up to "
     "11 dB: the scooped shape of club mixes."},
    {"Live",
     {-3, -2, -1, 0, 0, -1, -2, -3, -3, -3},
     "Stage rumble and cymbal wash both come down by 3 to 7 dB, leaving the mids of a concert "
     "recording in front."},
    {"Headphones",
     {-2, -3, -2, 0, 0, -2, -4, -2, -1, -1},
     "Closed headphones boom around 170 Hz and sound sharp around 6 kHz; both come down by "
     "about 5 dB."},
    {"Soft",
     {-1, -1, 0, 0, -1, -4, -6, -4, -4, -4},
     "For quiet listening: everything above 3 kHz comes down by 6 to 10 dB, so nothing is "
     "sharp."},
    {"Loudness",
     {0, -1, -3, -5, -6, -5, -2, 0, 0, 0},
     "At low volume the ear loses bass and treble first, so the mids come down by up to 10 dB "
     "instead of the ends going up."},
};

// The peak of a full-scale sine of `hz` after the ten bands at `rate`.
double PeakThrough(const std::array<int, kEqBandCount>& db, double rate, double hz) {
  std::array<qmb::engine::ParamEq, kEqBandCount> bands;
  std::array<qmb::engine::ParamEq*, kEqBandCount> chain;
  for (int b = 0; b < kEqBandCount; ++b) {
    bands[b].Configure(rate, qmb::kEqBandCentres[b], qmb::kEqBandwidth, db[b]);
    chain[b] = &bands[b];
  }
  // The bands settle within milliseconds; a tenth of a second holds two
  // periods of the lowest tone.
  const int settle = static_cast<int>(rate / 4), measure = static_cast<int>(rate / 10);
  std::array<float, 2048> block;
  double peak = 0;
  for (int at = 0; at < settle + measure; at += 1024) {
    for (int i = 0; i < 1024; ++i) {
      float v = static_cast<float>(std::sin(2 * std::numbers::pi * hz * (at + i) / rate));
      block[i * 2] = block[i * 2 + 1] = v;
    }
    qmb::engine::ParamEq::ProcessCascade(chain.data(), kEqBandCount, block.data(), 1024);
    if (at < settle) continue;
    for (float v : block) peak = std::max(peak, static_cast<double>(std::abs(v)));
  }
  return peak;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s PROGRAM_FOLDER\n", argv[0]);
    return 2;
  }
  std::string folder = std::string(argv[1]) + "/";
  std::filesystem::create_directories(folder + qmb::kEqPresetFolder);
  bool ok = true;
  for (const Preset& p : kPresets) {
    double worst = 0;
    for (double rate : {44100.0, 48000.0}) {
      for (double hz = 20; hz <= 20000; hz *= std::pow(2.0, 1.0 / 12))
        worst = std::max(worst, PeakThrough(p.db, rate, hz));
    }
    bool inRange = std::all_of(p.db.begin(), p.db.end(), [](int g) { return g >= -15 && g <= 15; });
    // The filters' own rounding may reach a hair above 1; a real lift would not.
    if (!inRange || worst > 1.0001) {
      std::fprintf(stderr, "%s: peak %.4f of full scale, gains %s\n", p.name, worst,
                   inRange ? "within ±15 dB" : "outside ±15 dB");
      ok = false;
      continue;
    }
    qmb::EqBands values;
    for (int b = 0; b < kEqBandCount; ++b) values[b] = static_cast<float>(p.db[b] + 15);
    qmb::SaveEqPreset(qmb::EqPresetPath(folder, p.name), values);
  }
  return ok ? 0 : 1;
}
