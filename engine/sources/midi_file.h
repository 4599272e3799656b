// Reads a Standard MIDI File (or the one inside an RMI) far enough to know
// its length and to turn times into ticks.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qmb::engine {

// A piece ends at its last event before a stretch this long in which no
// track has any event: music never rests that long, damaged event data
// (a garbled delta time) easily reads as hours.
constexpr double kMaxMidiSilenceSeconds = 60.0;

class MidiTimeline {
 public:
  // Null when `bytes` is not a MIDI file; `smf` receives the MIDI file proper.
  static std::optional<MidiTimeline> Parse(const std::vector<std::uint8_t>& bytes,
                                           std::vector<std::uint8_t>* smf, std::string* error);

  double LengthSeconds() const { return lengthSeconds_; }
  double TickToSeconds(std::int64_t tick) const;
  std::int64_t SecondsToTick(double seconds) const;

 private:
  struct Tempo {
    std::int64_t tick;
    double seconds;         // time at `tick`
    double secondsPerTick;  // from `tick` on
  };
  std::vector<Tempo> tempos_;
  double lengthSeconds_ = 0;
};

}  // namespace qmb::engine
