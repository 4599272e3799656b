// "Qumble Melody": a ten-bar piece in D major at 108 beats a minute. A pad
// holds the chords, an FM bell arpeggiates them in eighths, an FM bass and a
// soft kick and hat keep time, and an additive lead with vibrato sings over
// them through a ping-pong echo.
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

constexpr int kRate = 44100;
constexpr double kBeat = 60.0 / 108.0;
constexpr double kBar = 4 * kBeat;
constexpr double kTwoPi = 2 * std::numbers::pi;

struct Chord {
  int bass;                // the root, low
  std::array<int, 3> pad;  // held voicing
  std::array<int, 4> arp;  // chord tones, rising
};

constexpr Chord kD{50, {62, 66, 69}, {62, 66, 69, 74}};
constexpr Chord kBm{47, {62, 66, 71}, {62, 66, 71, 74}};
constexpr Chord kG{43, {62, 67, 71}, {62, 67, 71, 74}};
constexpr Chord kA{45, {61, 64, 69}, {61, 64, 69, 73}};
constexpr Chord kFsm{42, {61, 66, 69}, {61, 66, 69, 73}};

// One bar of intro, eight of tune, one to close.
constexpr std::array<Chord, 10> kChords{kD, kD, kBm, kG, kA, kD, kFsm, kG, kA, kD};

struct Note {
  double beat;    // from the start of the tune, in beats
  double length;  // in beats
  int key;        // MIDI key number
};

// The lead, starting with bar 1.
std::vector<Note> Lead() {
  struct BarNote {
    int bar;
    double beat, length;
    int key;
  };
  constexpr BarNote kTune[] = {
      {1, 0, 1, 78},     {1, 1, 1, 81},     {1, 2, 1.5, 86},   {1, 3.5, 0.5, 85}, {2, 0, 2, 83},
      {2, 2, 1, 81},     {2, 3, 1, 78},     {3, 0, 1, 79},     {3, 1, 1, 83},     {3, 2, 1, 86},
      {3, 3, 0.5, 83},   {3, 3.5, 0.5, 81}, {4, 0, 3, 81},     {4, 3, 1, 76},     {5, 0, 0.5, 78},
      {5, 0.5, 0.5, 79}, {5, 1, 1, 81},     {5, 2, 1, 78},     {5, 3, 1, 74},     {6, 0, 1, 73},
      {6, 1, 1, 76},     {6, 2, 1.5, 81},   {6, 3.5, 0.5, 79}, {7, 0, 1, 78},     {7, 1, 1, 76},
      {7, 2, 1, 74},     {7, 3, 1, 71},     {8, 0, 2, 73},     {8, 2, 1, 76},     {8, 3, 1, 73},
      {9, 0, 4, 74},
  };
  std::vector<Note> notes;
  for (const BarNote& n : kTune) notes.push_back({n.bar * 4 + n.beat, n.length, n.key});
  return notes;
}

double Hz(int key) {
  return 440.0 * std::pow(2.0, (key - 69) / 12.0);
}

// Attack, decay to sustain, hold until `length`, then a linear release.
struct Envelope {
  double attack, decay, sustain, release;

  double Held(double t) const {
    if (t < attack) return t / attack;
    return sustain + (1 - sustain) * std::exp(-(t - attack) / decay);
  }
  double At(double t, double length) const {
    if (t < length) return Held(t);
    double level = Held(length);
    return std::max(0.0, level * (1 - (t - length) / release));
  }
};

// A stereo mix plus a mono send into the echo.
class Mix {
 public:
  explicit Mix(double seconds)
      : left_(Frames(seconds)), right_(Frames(seconds)), send_(Frames(seconds)) {}

  static std::size_t Frames(double seconds) { return static_cast<std::size_t>(seconds * kRate); }
  std::size_t Size() const { return left_.size(); }

  // Equal-power pan: -1 left, 1 right.
  void Add(std::size_t frame, double value, double pan, double echo = 0) {
    if (frame >= Size()) return;
    double angle = (pan + 1) * std::numbers::pi / 4;
    left_[frame] += static_cast<float>(value * std::cos(angle));
    right_[frame] += static_cast<float>(value * std::sin(angle));
    send_[frame] += static_cast<float>(value * echo);
  }

  // Ping-pong: the first repeat comes from the left, the next from the right.
  void Echo(double delay, double feedback, double level) {
    std::size_t d = Frames(delay);
    std::vector<float> wetL(Size()), wetR(Size());
    for (std::size_t i = d; i < Size(); ++i) {
      wetL[i] = send_[i - d] + static_cast<float>(feedback) * wetR[i - d];
      wetR[i] = static_cast<float>(feedback) * wetL[i - d];
    }
    for (std::size_t i = 0; i < Size(); ++i) {
      left_[i] += static_cast<float>(level) * wetL[i];
      right_[i] += static_cast<float>(level) * wetR[i];
    }
  }

  // Soft limiting, a peak of -1 dBFS and a short fade at the very end.
  std::vector<std::int16_t> Pcm() const {
    float peak = 1e-6f;
    for (std::size_t i = 0; i < Size(); ++i) {
      peak = std::max({peak, std::abs(left_[i]), std::abs(right_[i])});
    }
    double gain = 1.4 / peak;
    double norm = 0.89 / std::tanh(1.4);
    std::size_t fade = Frames(0.3);
    std::vector<std::int16_t> pcm(2 * Size());
    for (std::size_t i = 0; i < Size(); ++i) {
      double tail = i + fade > Size() ? double(Size() - i) / fade : 1.0;
      pcm[2 * i] = Sample(std::tanh(left_[i] * gain) * norm * tail);
      pcm[2 * i + 1] = Sample(std::tanh(right_[i] * gain) * norm * tail);
    }
    return pcm;
  }

 private:
  static std::int16_t Sample(double v) {
    return static_cast<std::int16_t>(std::lround(std::clamp(v, -1.0, 1.0) * 32767));
  }

  std::vector<float> left_, right_, send_;
};

// Sine with a few soft harmonics, vibrato after the attack.
void LeadVoice(Mix& mix, double start, double length, int key) {
  constexpr Envelope env{0.02, 0.25, 0.7, 0.25};
  double f = Hz(key);
  double phase = 0;
  std::size_t first = Mix::Frames(start);
  std::size_t count = Mix::Frames(length + env.release);
  for (std::size_t i = 0; i < count; ++i) {
    double t = double(i) / kRate;
    double depth = 0.004 * std::min(1.0, std::max(0.0, (t - 0.2) / 0.3));
    phase += kTwoPi * f * (1 + depth * std::sin(kTwoPi * 5.5 * t)) / kRate;
    double v = std::sin(phase) + 0.3 * std::sin(2 * phase) + 0.12 * std::sin(3 * phase) +
               0.05 * std::sin(4 * phase);
    mix.Add(first + i, 0.2 * env.At(t, length) * v, 0.1, 0.5);
  }
}

// Two-operator FM: the modulation fades, so the tone starts bright and mellows.
void BellVoice(Mix& mix, double start, double length, int key, double pan) {
  double f = Hz(key);
  std::size_t first = Mix::Frames(start);
  std::size_t count = Mix::Frames(length + 0.2);
  for (std::size_t i = 0; i < count; ++i) {
    double t = double(i) / kRate;
    double index = 1.8 * std::exp(-t / 0.25) + 0.2;
    double v = std::sin(kTwoPi * f * t + index * std::sin(kTwoPi * f * t));
    double env = std::min(1.0, t / 0.005) * std::exp(-t / 0.6);
    if (t > length) env *= std::max(0.0, 1 - (t - length) / 0.2);
    mix.Add(first + i, 0.11 * env * v, pan, 0.35);
  }
}

// Slightly detuned left and right for width.
void PadVoice(Mix& mix, double start, double length, int key) {
  constexpr Envelope env{0.4, 1.0, 1.0, 0.6};
  std::size_t first = Mix::Frames(start);
  std::size_t count = Mix::Frames(length + env.release);
  for (int side = 0; side < 2; ++side) {
    double f = Hz(key) * (side == 0 ? 0.998 : 1.002);
    for (std::size_t i = 0; i < count; ++i) {
      double t = double(i) / kRate;
      double p = kTwoPi * f * t;
      double v = std::sin(p) + 0.25 * std::sin(2 * p) + 0.1 * std::sin(3 * p);
      mix.Add(first + i, 0.05 * env.At(t, length) * v, side == 0 ? -0.7 : 0.7);
    }
  }
}

void BassVoice(Mix& mix, double start, double length, int key) {
  constexpr Envelope env{0.005, 0.25, 0.6, 0.12};
  double f = Hz(key);
  std::size_t first = Mix::Frames(start);
  std::size_t count = Mix::Frames(length + env.release);
  for (std::size_t i = 0; i < count; ++i) {
    double t = double(i) / kRate;
    double index = 1.2 * std::exp(-t / 0.15) + 0.3;
    double v = std::sin(kTwoPi * f * t + index * std::sin(kTwoPi * f * t));
    mix.Add(first + i, 0.26 * env.At(t, length) * v, 0);
  }
}

void Kick(Mix& mix, double start) {
  double phase = 0;
  std::size_t first = Mix::Frames(start);
  for (std::size_t i = 0; i < Mix::Frames(0.35); ++i) {
    double t = double(i) / kRate;
    phase += kTwoPi * (45 + 75 * std::exp(-t / 0.04)) / kRate;
    mix.Add(first + i, 0.32 * std::exp(-t / 0.12) * std::sin(phase), 0);
  }
}

// Noise through a one-pole high-pass; a fixed seed keeps every build identical.
void Hat(Mix& mix, double start, std::uint32_t& seed) {
  std::size_t first = Mix::Frames(start);
  double previous = 0;
  for (std::size_t i = 0; i < Mix::Frames(0.08); ++i) {
    double t = double(i) / kRate;
    seed = seed * 1664525u + 1013904223u;
    double noise = (seed >> 8) / double(1 << 24) * 2 - 1;
    double high = noise - previous;
    previous = noise;
    mix.Add(first + i, 0.035 * std::exp(-t / 0.02) * high, -0.3);
  }
}

std::string Wav(const std::vector<std::int16_t>& pcm) {
  std::string out;
  auto u32 = [&out](std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>(v >> (8 * i)));
  };
  auto u16 = [&out](std::uint16_t v) {
    out.push_back(static_cast<char>(v));
    out.push_back(static_cast<char>(v >> 8));
  };
  std::uint32_t data = static_cast<std::uint32_t>(pcm.size() * 2);
  out += "RIFF";
  u32(36 + data);
  out += "WAVEfmt ";
  u32(16);
  u16(1);  // PCM
  u16(2);
  u32(kRate);
  u32(kRate * 4);
  u16(4);
  u16(16);
  out += "data";
  u32(data);
  for (std::int16_t s : pcm) u16(static_cast<std::uint16_t>(s));
  return out;
}

}  // namespace

std::string MelodyWav() {
  constexpr int kBars = static_cast<int>(kChords.size());
  Mix mix(kBars * kBar + 0.9);
  std::uint32_t seed = 12345;
  for (int bar = 0; bar < kBars; ++bar) {
    const Chord& c = kChords[bar];
    double t0 = bar * kBar;
    bool last = bar == kBars - 1;
    for (int key : c.pad) PadVoice(mix, t0, last ? 2 * kBeat : kBar, key);
    if (last) {
      // A rolled closing chord, left to ring.
      for (int i = 0; i < 4; ++i) {
        BellVoice(mix, t0 + i * kBeat / 4, 2 * kBeat, c.arp[i], i % 2 ? 0.35 : -0.35);
      }
      BassVoice(mix, t0, 2 * kBeat, c.bass);
      Kick(mix, t0);
      continue;
    }
    constexpr int kUpDown[] = {0, 1, 2, 3, 2, 1, 2, 3};
    for (int e = 0; e < 8; ++e) {
      BellVoice(mix, t0 + e * kBeat / 2, 0.75 * kBeat, c.arp[kUpDown[e]], e % 2 ? 0.35 : -0.35);
    }
    if (bar == 0) continue;
    // Root, root, fifth, octave.
    BassVoice(mix, t0, 1.4 * kBeat, c.bass);
    BassVoice(mix, t0 + 1.5 * kBeat, 0.45 * kBeat, c.bass);
    BassVoice(mix, t0 + 2 * kBeat, 1.4 * kBeat, c.bass + 7);
    BassVoice(mix, t0 + 3.5 * kBeat, 0.45 * kBeat, c.bass + 12);
    Kick(mix, t0);
    Kick(mix, t0 + 2 * kBeat);
    for (int beat = 0; beat < 4; ++beat) Hat(mix, t0 + (beat + 0.5) * kBeat, seed);
  }
  for (const Note& n : Lead()) LeadVoice(mix, n.beat * kBeat, n.length * kBeat * 0.95, n.key);
  mix.Echo(0.75 * kBeat, 0.35, 0.3);
  return Wav(mix.Pcm());
}

}  // namespace qmb::samples
