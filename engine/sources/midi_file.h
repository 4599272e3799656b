// Reads a Standard MIDI File (or the one inside an RMI) far enough to know
// its length and to turn times into ticks.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qmb::engine {

class MidiTimeline {
 public:
  // Null when `bytes` is not a MIDI file; `smf` receives the MIDI file proper.
  static std::optional<MidiTimeline> Parse(const std::vector<std::uint8_t>& bytes,
                                           std::vector<std::uint8_t>* smf, std::string* error);

  double LengthSeconds() const { return TickToSeconds(endTick_); }
  double TickToSeconds(std::int64_t tick) const;
  std::int64_t SecondsToTick(double seconds) const;

 private:
  struct Tempo {
    std::int64_t tick;
    double seconds;         // time at `tick`
    double secondsPerTick;  // from `tick` on
  };
  std::vector<Tempo> tempos_;
  std::int64_t endTick_ = 0;
};

}  // namespace qmb::engine
