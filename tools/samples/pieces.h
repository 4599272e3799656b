// The bundled sample pieces: each is composed here and rendered to the bytes
// of its file, so the player has something to play on a first run.
#pragma once

#include <string>

namespace qmb::samples {

// 16-bit stereo WAV of the synthesized melody; the build encodes it to Vorbis.
std::string MelodyWav();
// A standard MIDI file (format 1) of the waltz for General MIDI instruments.
std::string WaltzMidi();
// A 4-channel ProTracker module with its own synthesized 8-bit samples.
std::string ChipModule();

// Samples.m3u, Samples.qpl and Welcome.qpl in `folder` (absolute, no trailing
// slash), through the player's own playlist writers.
void WritePlaylists(const std::string& folder);

}  // namespace qmb::samples
