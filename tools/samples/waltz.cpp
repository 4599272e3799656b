// "Qumble Waltz": nineteen bars of 3/4 in G major at 144 beats a minute. A
// flute sings the tune, a piano plays the "pah-pah" on beats two and three
// and an acoustic bass the "oom" on one. Format 1: a tempo track and one track
// per instrument.
#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "tools/samples/pieces.h"

namespace qmb::samples {
namespace {

constexpr int kTicks = 480;  // per quarter note
constexpr int kBarTicks = 3 * kTicks;
constexpr int kTempo = 60'000'000 / 144;  // microseconds per quarter

struct Chord {
  int bass;
  std::array<int, 3> keys;
};

constexpr Chord kG{43, {59, 62, 67}};
constexpr Chord kC{48, {60, 64, 67}};
constexpr Chord kD7{38, {60, 62, 66}};
constexpr Chord kEm{40, {59, 64, 67}};
constexpr Chord kAm{45, {60, 64, 69}};

// A bar of accompaniment alone, then four phrases and a closing cadence.
constexpr std::array<Chord, 19> kChords{kG,  kG,  kD7, kD7, kG, kG,  kC, kD7, kG, kEm,
                                        kAm, kD7, kG,  kC,  kG, kD7, kG, kC,  kG};

struct Note {
  double beat;  // within the bar
  double length;
  int key;
};

// The flute's tune, one list per bar from bar 1.
const std::vector<std::vector<Note>>& Tune() {
  static const std::vector<std::vector<Note>> tune{
      {{0, 2, 74}, {2, 1, 71}},                    // G
      {{0, 1, 72}, {1, 1, 69}, {2, 1, 66}},        // D7
      {{0, 2, 69}, {2, 1, 72}},                    // D7
      {{0, 3, 71}},                                // G
      {{0, 1, 74}, {1, 1, 79}, {2, 1, 78}},        // G
      {{0, 2, 76}, {2, 1, 79}},                    // C
      {{0, 1, 78}, {1, 1, 76}, {2, 1, 72}},        // D7
      {{0, 3, 74}},                                // G
      {{0, 1, 71}, {1, 1, 76}, {2, 1, 79}},        // Em
      {{0, 2, 81}, {2, 1, 76}},                    // Am
      {{0, 1.5, 78}, {1.5, 0.5, 76}, {2, 1, 74}},  // D7
      {{0, 2, 74}, {2, 1, 71}},                    // G
      {{0, 1, 72}, {1, 1, 76}, {2, 1, 79}},        // C
      {{0, 1, 74}, {1, 1, 71}, {2, 1, 67}},        // G
      {{0, 1, 69}, {1, 1, 72}, {2, 1, 78}},        // D7
      {{0, 3, 79}},                                // G
      {{0, 1, 76}, {1, 1, 74}, {2, 1, 72}},        // C
      {{0, 3, 71}},                                // G, the last bar
  };
  return tune;
}

struct Event {
  int tick;
  int order;  // note-offs before note-ons at the same tick
  std::string bytes;
};

class Track {
 public:
  void Meta(int tick, int type, const std::string& data) {
    std::string b{'\xFF', static_cast<char>(type)};
    b += Vlq(static_cast<std::uint32_t>(data.size()));
    events_.push_back({tick, 0, b + data});
  }
  void Program(int channel, int program) {
    events_.push_back({0, 1, {static_cast<char>(0xC0 | channel), static_cast<char>(program)}});
  }
  void Control(int channel, int control, int value) {
    events_.push_back({0,
                       1,
                       {static_cast<char>(0xB0 | channel), static_cast<char>(control),
                        static_cast<char>(value)}});
  }
  void Note(int channel, int tick, int length, int key, int velocity) {
    events_.push_back(
        {tick,
         2,
         {static_cast<char>(0x90 | channel), static_cast<char>(key), static_cast<char>(velocity)}});
    events_.push_back(
        {tick + length,
         1,
         {static_cast<char>(0x80 | channel), static_cast<char>(key), static_cast<char>(64)}});
  }

  // The "MTrk" chunk, closed by end-of-track at `end`.
  std::string Chunk(int end) {
    std::stable_sort(events_.begin(), events_.end(), [](const Event& a, const Event& b) {
      return a.tick != b.tick ? a.tick < b.tick : a.order < b.order;
    });
    std::string body;
    int now = 0;
    for (const Event& e : events_) {
      body += Vlq(static_cast<std::uint32_t>(e.tick - now)) + e.bytes;
      now = e.tick;
    }
    body += Vlq(static_cast<std::uint32_t>(std::max(0, end - now))) + "\xFF\x2F" + '\0';
    return "MTrk" + Be32(static_cast<std::uint32_t>(body.size())) + body;
  }

  static std::string Be32(std::uint32_t v) {
    return {static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8),
            static_cast<char>(v)};
  }

 private:
  static std::string Vlq(std::uint32_t v) {
    std::string out(1, static_cast<char>(v & 0x7F));
    while (v >>= 7) out.insert(out.begin(), static_cast<char>(0x80 | (v & 0x7F)));
    return out;
  }

  std::vector<Event> events_;
};

}  // namespace

std::string WaltzMidi() {
  constexpr int kFlute = 0, kPiano = 1, kBass = 2;
  constexpr int kBars = static_cast<int>(kChords.size());
  // The closing chord rings one beat past the last bar.
  constexpr int kEnd = kBars * kBarTicks + kTicks;

  Track tempo;
  tempo.Meta(0, 0x03, "Qumble Waltz");
  tempo.Meta(0, 0x58, {3, 2, 24, 8});  // 3/4
  tempo.Meta(0, 0x59, {1, 0});         // G major
  tempo.Meta(0, 0x51, Track::Be32(kTempo).substr(1));

  Track flute, piano, bass;
  flute.Meta(0, 0x03, "Flute");
  piano.Meta(0, 0x03, "Piano");
  bass.Meta(0, 0x03, "Bass");
  flute.Program(kFlute, 73);
  piano.Program(kPiano, 0);
  bass.Program(kBass, 32);
  // A little stereo: flute slightly right, piano left, bass centre.
  flute.Control(kFlute, 10, 72);
  piano.Control(kPiano, 10, 44);
  bass.Control(kBass, 10, 64);
  // Full channel volume: FluidSynth's default of 100 leaves the piece quieter
  // than the other samples.
  for (auto [track, channel] : {std::pair{&flute, kFlute}, {&piano, kPiano}, {&bass, kBass}}) {
    track->Control(channel, 7, 127);
  }
  flute.Control(kFlute, 91, 50);  // reverb
  piano.Control(kPiano, 91, 40);

  for (int bar = 0; bar < kBars; ++bar) {
    int t0 = bar * kBarTicks;
    const Chord& c = kChords[bar];
    bool last = bar == kBars - 1;
    if (last) {
      bass.Note(kBass, t0, kBarTicks + kTicks, c.bass, 100);
      for (int key : c.keys) piano.Note(kPiano, t0, kBarTicks + kTicks, key, 70);
    } else {
      bass.Note(kBass, t0, kTicks * 9 / 10, c.bass, 106);
      for (int beat = 1; beat < 3; ++beat) {
        for (int key : c.keys) piano.Note(kPiano, t0 + beat * kTicks, kTicks * 3 / 4, key, 64);
      }
    }
    if (bar == 0) continue;
    for (const Note& n : Tune()[bar - 1]) {
      int start = t0 + static_cast<int>(n.beat * kTicks);
      int length = static_cast<int>(n.length * kTicks) - kTicks / 16;
      if (last) length += kTicks;
      flute.Note(kFlute, start, length, n.key, n.beat == 0 ? 112 : 98);
    }
  }

  std::string file = "MThd" + Track::Be32(6);
  file += {0, 1, 0, 4, static_cast<char>(kTicks >> 8), static_cast<char>(kTicks & 0xFF)};
  file += tempo.Chunk(kEnd);
  file += flute.Chunk(kEnd);
  file += piano.Chunk(kEnd);
  file += bass.Chunk(kEnd);
  return file;
}

}  // namespace qmb::samples
