#include "engine/sources/midi_file.h"

#include <algorithm>
#include <cstring>
#include <optional>

namespace qmb::engine {

namespace {

std::uint32_t Be32(const std::uint8_t* p) {
  return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) |
         p[3];
}

std::uint32_t Le32(const std::uint8_t* p) {
  return (std::uint32_t{p[3]} << 24) | (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[1]} << 8) |
         p[0];
}

// An RMI is a RIFF "RMID" file whose "data" chunk is the MIDI file.
bool UnwrapRmi(const std::vector<std::uint8_t>& bytes, std::size_t* begin, std::size_t* size) {
  if (bytes.size() < 12 || std::memcmp(bytes.data(), "RIFF", 4) != 0 ||
      std::memcmp(bytes.data() + 8, "RMID", 4) != 0) {
    return false;
  }
  std::size_t pos = 12;
  while (pos + 8 <= bytes.size()) {
    std::size_t chunk = Le32(bytes.data() + pos + 4);
    if (std::memcmp(bytes.data() + pos, "data", 4) == 0) {
      *begin = pos + 8;
      *size = std::min(chunk, bytes.size() - *begin);
      return true;
    }
    pos += 8 + chunk + (chunk & 1);
  }
  return false;
}

struct TrackReader {
  const std::uint8_t* p;
  const std::uint8_t* end;

  bool ReadVarLen(std::uint32_t* value) {
    *value = 0;
    for (int i = 0; i < 4; ++i) {
      if (p >= end) return false;
      std::uint8_t byte = *p++;
      *value = (*value << 7) | (byte & 0x7F);
      if ((byte & 0x80) == 0) return true;
    }
    return false;
  }
  bool Skip(std::uint32_t n) {
    if (static_cast<std::size_t>(end - p) < n) return false;
    p += n;
    return true;
  }
};

struct TrackBytes {
  const std::uint8_t* begin;
  const std::uint8_t* end;
};

constexpr int kNoMeta = -1;

// Calls event(tick, meta type or kNoMeta, meta data, its size) for every
// whole event of a track; a track cut short or garbled ends at its last
// whole event.
template <typename Event>
void WalkTrack(TrackBytes bytes, Event&& event) {
  TrackReader track{bytes.begin, bytes.end};
  std::int64_t tick = 0;
  std::uint8_t running = 0;
  std::uint32_t delta = 0;
  while (track.p < track.end && track.ReadVarLen(&delta)) {
    tick += delta;
    if (track.p >= track.end) break;
    std::uint8_t status = *track.p;
    if (status & 0x80) {
      ++track.p;
    } else if (running != 0) {
      status = running;
    } else {
      break;
    }
    std::uint32_t n = 0;
    if (status == 0xFF) {
      if (track.p >= track.end) break;
      std::uint8_t type = *track.p++;
      if (!track.ReadVarLen(&n) || static_cast<std::size_t>(track.end - track.p) < n) break;
      const std::uint8_t* data = track.p;
      track.p += n;
      event(tick, static_cast<int>(type), data, n);
      if (type == 0x2F) break;
      continue;
    }
    if (status == 0xF0 || status == 0xF7) {
      if (!track.ReadVarLen(&n) || !track.Skip(n)) break;
    } else if (status >= 0xF0) {
      break;  // system common messages have no place in a file
    } else {
      running = status;
      std::uint8_t kind = status & 0xF0;
      if (!track.Skip(kind == 0xC0 || kind == 0xD0 ? 1 : 2)) break;
    }
    event(tick, kNoMeta, nullptr, 0u);
  }
}

// Stretches of a track with events at most kMaxMidiSilenceSeconds apart, in
// seconds. A garbled file could make millions; past this many the rest are
// dropped, which can only shorten the piece.
constexpr std::size_t kMaxBusyStretches = 1 << 16;

struct Stretch {
  double begin;
  double end;
};

}  // namespace

std::optional<MidiTimeline> MidiTimeline::Parse(const std::vector<std::uint8_t>& bytes,
                                                std::vector<std::uint8_t>* smf,
                                                std::string* error) {
  std::size_t begin = 0;
  std::size_t size = bytes.size();
  UnwrapRmi(bytes, &begin, &size);
  const std::uint8_t* data = bytes.data() + begin;
  if (size < 14 || std::memcmp(data, "MThd", 4) != 0 || Be32(data + 4) < 6) {
    *error = "not a MIDI file";
    return std::nullopt;
  }
  int trackCount = (data[10] << 8) | data[11];
  int division = (data[12] << 8) | data[13];
  double secondsPerQuarterTick = 0;  // with the default tempo of 500000 us per quarter
  double smpteSecondsPerTick = 0;
  if (division & 0x8000) {
    int framesPerSecond = -static_cast<std::int8_t>(division >> 8);
    int ticksPerFrame = division & 0xFF;
    if (framesPerSecond <= 0 || ticksPerFrame == 0) {
      *error = "bad MIDI time division";
      return std::nullopt;
    }
    smpteSecondsPerTick = 1.0 / (framesPerSecond * ticksPerFrame);
  } else {
    if (division == 0) {
      *error = "bad MIDI time division";
      return std::nullopt;
    }
    secondsPerQuarterTick = 1e-6 / division;
  }

  // Offsets, not pointers: a chunk length may point far past the file.
  std::vector<TrackBytes> tracks;
  std::size_t chunk = 8 + std::size_t{Be32(data + 4)};
  while (static_cast<int>(tracks.size()) < trackCount && chunk + 8 <= size) {
    std::size_t body = chunk + 8;
    std::size_t bodyEnd = body + std::min<std::size_t>(Be32(data + chunk + 4), size - body);
    bool isTrack = std::memcmp(data + chunk, "MTrk", 4) == 0;
    chunk = bodyEnd;
    if (isTrack) tracks.push_back({data + body, data + bodyEnd});
  }
  if (tracks.empty()) {
    *error = "a MIDI file without tracks";
    return std::nullopt;
  }

  std::vector<std::pair<std::int64_t, std::uint32_t>> tempoEvents;  // tick, us per quarter
  for (const TrackBytes& track : tracks) {
    WalkTrack(track, [&](std::int64_t tick, int meta, const std::uint8_t* p, std::uint32_t n) {
      if (meta == 0x51 && n == 3) {
        std::uint32_t tempo = (p[0] << 16) | (p[1] << 8) | p[2];
        if (tempo > 0) tempoEvents.emplace_back(tick, tempo);
      }
    });
  }

  MidiTimeline timeline;
  std::stable_sort(tempoEvents.begin(), tempoEvents.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  auto perTick = [&](std::uint32_t tempo) {
    return smpteSecondsPerTick > 0 ? smpteSecondsPerTick : tempo * secondsPerQuarterTick;
  };
  timeline.tempos_.push_back({0, 0.0, perTick(500000)});
  for (const auto& [tick, tempo] : tempoEvents) {
    const Tempo& last = timeline.tempos_.back();
    double seconds = last.seconds + (tick - last.tick) * last.secondsPerTick;
    if (tick == last.tick) timeline.tempos_.pop_back();
    timeline.tempos_.push_back({tick, seconds, perTick(tempo)});
  }

  // The piece runs from 0 through every stretch that starts within the
  // silence limit of what came before.
  std::vector<Stretch> stretches;
  for (const TrackBytes& track : tracks) {
    std::optional<Stretch> open;
    auto close = [&] {
      if (open && stretches.size() < kMaxBusyStretches) stretches.push_back(*open);
    };
    WalkTrack(track, [&](std::int64_t tick, int, const std::uint8_t*, std::uint32_t) {
      double seconds = timeline.TickToSeconds(tick);
      if (open && seconds - open->end <= kMaxMidiSilenceSeconds) {
        open->end = seconds;
        return;
      }
      close();
      open = Stretch{seconds, seconds};
    });
    close();
  }
  std::sort(stretches.begin(), stretches.end(),
            [](const Stretch& a, const Stretch& b) { return a.begin < b.begin; });
  double end = 0;
  for (const Stretch& stretch : stretches) {
    if (stretch.begin - end > kMaxMidiSilenceSeconds) break;
    end = std::max(end, stretch.end);
  }
  timeline.lengthSeconds_ = end;
  smf->assign(data, data + size);
  return timeline;
}

double MidiTimeline::TickToSeconds(std::int64_t tick) const {
  tick = std::max<std::int64_t>(0, tick);
  auto it = std::upper_bound(tempos_.begin(), tempos_.end(), tick,
                             [](std::int64_t t, const Tempo& tempo) { return t < tempo.tick; });
  const Tempo& tempo = *(it - 1);
  return tempo.seconds + (tick - tempo.tick) * tempo.secondsPerTick;
}

std::int64_t MidiTimeline::SecondsToTick(double seconds) const {
  seconds = std::max(0.0, seconds);
  auto it = std::upper_bound(tempos_.begin(), tempos_.end(), seconds,
                             [](double s, const Tempo& tempo) { return s < tempo.seconds; });
  const Tempo& tempo = *(it - 1);
  return tempo.tick + static_cast<std::int64_t>((seconds - tempo.seconds) / tempo.secondsPerTick);
}

}  // namespace qmb::engine
