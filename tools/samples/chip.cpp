// "Qumble Chip": a 4-channel ProTracker module in A minor. Channel 1 plays a
// square lead, 2 a saw bass, 3 chords as fast arpeggios, 4 kick, snare and
// hat. Three patterns in the order 0 1 0 2, at speed 5 (a row is 0.1 s), so
// the song lasts 25.6 s and then ends.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <string>
#include <vector>

#include "tools/samples/pieces.h"

namespace qmb::samples {
namespace {

constexpr int kRows = 64;
constexpr int kChannels = 4;
constexpr int kLead = 0, kBass = 1, kArp = 2, kDrums = 3;
// The playback rate of C-2 on a PAL Amiga; samples are drawn for it.
constexpr double kC2Rate = 7093789.2 / (2 * 428);

// ProTracker periods, finetune 0, C-1 to B-3.
constexpr std::array<int, 36> kPeriods{856, 808, 762, 720, 678, 640, 604, 570, 538, 508, 480, 453,
                                       428, 404, 381, 360, 339, 320, 302, 285, 269, 254, 240, 226,
                                       214, 202, 190, 180, 170, 160, 151, 143, 135, 127, 120, 113};

// A note as "A-2" or "G#1" to its period.
int Period(const char* name) {
  constexpr const char* kNames = "C-C#D-D#E-F-F#G-G#A-A#B-";
  std::string pitch(name, 2);
  int semitone = static_cast<int>(std::string(kNames).find(pitch)) / 2;
  int octave = name[2] - '1';
  return kPeriods[octave * 12 + semitone];
}

struct Sample {
  std::string name;
  int volume;
  std::vector<std::int8_t> data;
  int loopStart = 0;  // bytes; no loop when loopLength is 0
  int loopLength = 0;
};

std::int8_t Byte(double v) {
  return static_cast<std::int8_t>(std::lround(std::clamp(v, -1.0, 1.0) * 127));
}

// `cycles` periods of a `width`-byte waveform whose level falls from 1 to
// `sustain`, then one period at `sustain` that loops. At C-2 a 32-byte cycle
// sounds near middle C.
template <typename Wave>
Sample Looped(const char* name, int volume, int width, int cycles, double sustain, Wave wave) {
  Sample s{name, volume, {}};
  for (int c = 0; c <= cycles; ++c) {
    double level = c == cycles ? sustain : sustain + (1 - sustain) * std::exp(-4.0 * c / cycles);
    for (int i = 0; i < width; ++i) s.data.push_back(Byte(level * wave(double(i) / width)));
  }
  s.loopStart = cycles * width;
  s.loopLength = width;
  return s;
}

// Deterministic noise, so every build writes the same bytes.
double Noise(std::uint32_t& seed) {
  seed = seed * 1664525u + 1013904223u;
  return (seed >> 8) / double(1 << 24) * 2 - 1;
}

std::vector<Sample> Samples() {
  std::vector<Sample> s;
  s.push_back(
      Looped("square lead", 44, 32, 48, 0.55, [](double x) { return x < 0.5 ? 0.8 : -0.8; }));
  // A 64-byte cycle: an octave lower than the lead for the same note.
  s.push_back(Looped("saw bass", 58, 64, 24, 0.35, [](double x) {
    // A few partials of a saw: fuller than a sine, softer than the bare ramp.
    double v = 0;
    for (int k = 1; k <= 6; ++k) v += std::sin(2 * std::numbers::pi * k * x) / k;
    return 0.55 * v;
  }));
  s.push_back(Looped("pulse arp", 24, 64, 12, 0.3, [](double x) { return x < 0.25 ? 0.8 : -0.8; }));

  Sample kick{"kick", 64, {}};
  double phase = 0;
  for (int i = 0; i < 2000; ++i) {
    double t = i / kC2Rate;
    phase += 2 * std::numbers::pi * (45 + 110 * std::exp(-t / 0.03)) / kC2Rate;
    kick.data.push_back(Byte(std::exp(-t / 0.09) * std::sin(phase)));
  }
  s.push_back(kick);

  std::uint32_t seed = 2024;
  Sample snare{"snare", 44, {}};
  for (int i = 0; i < 1600; ++i) {
    double t = i / kC2Rate;
    double body = std::sin(2 * std::numbers::pi * 185 * t) * std::exp(-t / 0.04);
    snare.data.push_back(Byte(0.5 * body + 0.7 * Noise(seed) * std::exp(-t / 0.06)));
  }
  s.push_back(snare);

  // Drawn for C-3, twice the C-2 rate; differenced noise sounds thin and bright.
  Sample hat{"hat", 30, {}};
  double previous = 0;
  for (int i = 0; i < 900; ++i) {
    double t = i / (2 * kC2Rate);
    double n = Noise(seed);
    hat.data.push_back(Byte(0.6 * (n - previous) * std::exp(-t / 0.015)));
    previous = n;
  }
  s.push_back(hat);

  for (Sample& sample : s) {
    // ProTracker's convention: a sample starts with a silent word, and lengths
    // are in words.
    sample.data[0] = sample.data[1] = 0;
    if (sample.data.size() % 2) sample.data.push_back(0);
  }
  return s;
}

// Sample numbers, 1-based as the pattern data names them.
constexpr int kSquare = 1, kSaw = 2, kPulse = 3, kKick = 4, kSnare = 5, kHat = 6;

struct Cell {
  int sample = 0;
  int period = 0;
  int effect = 0;
  int param = 0;
};

using Pattern = std::array<std::array<Cell, kChannels>, kRows>;

struct Chord {
  const char* bass;  // octave 1
  const char* arp;   // octave 2
  int intervals;     // arpeggio 0xy: the two steps above the root
};

constexpr Chord kAm{"A-1", "A-2", 0x37};
constexpr Chord kF{"F-1", "F-2", 0x47};
constexpr Chord kC{"C-1", "C-2", 0x47};
constexpr Chord kG{"G-1", "G-2", 0x47};
constexpr Chord kDm{"D-1", "D-2", 0x37};
constexpr Chord kE{"E-1", "E-2", 0x47};

struct LeadNote {
  int row;
  const char* note;
  int length;  // rows
};

// Bass, arpeggio and drums for four bars of 16 rows.
void Backing(Pattern& p, const std::array<Chord, 4>& chords) {
  for (int bar = 0; bar < 4; ++bar) {
    const Chord& c = chords[bar];
    int r0 = bar * 16;
    int root = Period(c.bass);
    int octave = root / 2;  // an octave up halves the period
    constexpr std::array<int, 6> kBassRows{0, 3, 6, 8, 11, 14};
    for (int r : kBassRows) {
      p[r0 + r][kBass] = {kSaw, (r == 6 || r == 14) ? octave : root};
    }
    for (int r = 0; r < 16; ++r) {
      p[r0 + r][kArp].effect = 0;
      p[r0 + r][kArp].param = c.intervals;
      if (r % 2 == 0) {
        p[r0 + r][kArp].sample = kPulse;
        p[r0 + r][kArp].period = Period(c.arp);
      }
    }
    for (int r = 0; r < 16; r += 2) {
      int sample = r % 8 == 0 ? kKick : r % 8 == 4 ? kSnare : kHat;
      p[r0 + r][kDrums] = {sample, Period(sample == kHat ? "C-3" : "C-2")};
    }
  }
}

// The lead; a gap after a note is a cut (C00).
void Melody(Pattern& p, const std::vector<LeadNote>& notes) {
  for (std::size_t i = 0; i < notes.size(); ++i) {
    const LeadNote& n = notes[i];
    p[n.row][kLead] = {kSquare, Period(n.note)};
    int end = n.row + n.length;
    bool gap = i + 1 == notes.size() ? end < kRows : notes[i + 1].row > end;
    if (gap) p[end][kLead] = {0, 0, 0xC, 0};
  }
}

std::vector<Pattern> Patterns() {
  std::vector<Pattern> patterns(3);

  Pattern& a = patterns[0];
  Backing(a, {kAm, kF, kC, kG});
  Melody(a, {{0, "A-2", 4},
             {4, "C-3", 2},
             {6, "E-3", 4},
             {10, "D-3", 2},
             {12, "C-3", 4},
             {16, "C-3", 6},
             {22, "D-3", 2},
             {24, "C-3", 4},
             {28, "A-2", 4},
             {32, "G-2", 4},
             {36, "C-3", 4},
             {40, "E-3", 6},
             {46, "G-3", 2},
             {48, "F-3", 4},
             {52, "E-3", 2},
             {54, "D-3", 2},
             {56, "B-2", 6}});
  a[0][kDrums].effect = 0xF;  // speed 5: a row of five ticks
  a[0][kDrums].param = 5;

  Pattern& b = patterns[1];
  Backing(b, {kDm, kAm, kF, kE});
  Melody(b, {{0, "D-3", 4},
             {4, "F-3", 4},
             {8, "A-3", 6},
             {14, "G-3", 2},
             {16, "E-3", 6},
             {22, "C-3", 2},
             {24, "A-2", 8},
             {32, "A-2", 2},
             {34, "C-3", 2},
             {36, "F-3", 4},
             {40, "E-3", 2},
             {42, "D-3", 2},
             {44, "C-3", 4},
             {48, "B-2", 4},
             {52, "G#2", 4},
             {56, "B-2", 4},
             {60, "E-3", 4}});

  // The close: three bars, then an A minor chord that fades out.
  Pattern& c = patterns[2];
  Backing(c, {kAm, kF, kG, kAm});
  Melody(c, {{0, "A-2", 4},
             {4, "C-3", 2},
             {6, "E-3", 4},
             {10, "D-3", 2},
             {12, "C-3", 4},
             {16, "C-3", 4},
             {20, "A-2", 4},
             {24, "F-3", 4},
             {28, "E-3", 4},
             {32, "D-3", 4},
             {36, "B-2", 4},
             {40, "G-2", 4},
             {44, "B-2", 2},
             {46, "D-3", 2},
             {48, "A-2", 16}});
  for (int r = 48; r < kRows; ++r) c[r][kBass] = c[r][kArp] = c[r][kDrums] = {};
  c[48][kBass] = {kSaw, Period("A-1")};
  c[48][kArp] = {kPulse, Period("E-2")};
  c[48][kDrums] = {kKick, Period("C-2")};
  for (int r = 49; r < kRows; ++r) {
    for (int ch : {kLead, kBass, kArp}) c[r][ch] = {0, 0, 0xA, 0x01};  // volume down 4 a row
  }
  return patterns;
}

void Put16(std::string& out, int v) {
  out.push_back(static_cast<char>(v >> 8));
  out.push_back(static_cast<char>(v & 0xFF));
}

}  // namespace

std::string ChipModule() {
  std::vector<Sample> samples = Samples();
  std::vector<Pattern> patterns = Patterns();
  constexpr std::array<int, 4> kOrder{0, 1, 0, 2};

  std::string out = "Qumble Chip";
  out.resize(20, '\0');
  for (int i = 0; i < 31; ++i) {
    std::string header(22, '\0');
    if (i < static_cast<int>(samples.size())) {
      const Sample& s = samples[i];
      header.replace(0, s.name.size(), s.name);
      out += header;
      Put16(out, static_cast<int>(s.data.size() / 2));
      out.push_back(0);  // finetune
      out.push_back(static_cast<char>(s.volume));
      Put16(out, s.loopLength ? s.loopStart / 2 : 0);
      Put16(out, s.loopLength ? s.loopLength / 2 : 1);
    } else {
      out += header;
      out += std::string(6, '\0');
      Put16(out, 1);
    }
  }
  out.push_back(static_cast<char>(kOrder.size()));
  out.push_back(127);  // the customary restart byte
  std::string order(128, '\0');
  for (std::size_t i = 0; i < kOrder.size(); ++i) order[i] = static_cast<char>(kOrder[i]);
  out += order;
  out += "M.K.";
  for (const Pattern& p : patterns) {
    for (const auto& row : p) {
      for (const Cell& c : row) {
        out.push_back(static_cast<char>((c.sample & 0xF0) | (c.period >> 8)));
        out.push_back(static_cast<char>(c.period & 0xFF));
        out.push_back(static_cast<char>(((c.sample & 0x0F) << 4) | c.effect));
        out.push_back(static_cast<char>(c.param));
      }
    }
  }
  for (const Sample& s : samples) {
    for (std::int8_t b : s.data) out.push_back(static_cast<char>(b));
  }
  return out;
}

}  // namespace qmb::samples
