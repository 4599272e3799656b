// Fuzzes our MIDI file reader: any bytes are refused with a reason or give a
// finite length, at most the silence limit for every byte it holds, and times that map to ticks
// and back in order.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/sources/midi_file.h"

using qmb::engine::MidiTimeline;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::uint8_t> bytes(data, data + size);
  std::vector<std::uint8_t> smf;
  std::string error;
  auto timeline = MidiTimeline::Parse(bytes, &smf, &error);
  if (!timeline) {
    if (error.empty()) std::abort();
    return 0;
  }
  if (smf.empty() || smf.size() > size) std::abort();
  double length = timeline->LengthSeconds();
  if (!std::isfinite(length) || length < 0 ||
      length > static_cast<double>(size) * qmb::engine::kMaxMidiSilenceSeconds)
    std::abort();
  double previous = -1;
  for (double seconds : {0.0, length / 3, length / 2, length}) {
    std::int64_t tick = timeline->SecondsToTick(seconds);
    double back = timeline->TickToSeconds(tick);
    if (tick < 0 || !std::isfinite(back) || back < previous) std::abort();
    previous = back;
  }
  return 0;
}
