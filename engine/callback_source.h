// A stream fed by a caller's fill function (an input plug-in's samples): the
// function runs on the stream's decoding thread, one block at a time.
#pragma once

#include <cstddef>
#include <memory>

#include "engine/source.h"
#include "playback/sound_engine.h"

namespace qmb::engine {

// The ring of a callback stream, in frames at the mixer's rate: what it reads
// ahead of the mix. Small, so that its fill function is asked for little more
// than is about to be heard, and large enough that the stream's thread, woken
// when half of it is left, refills it in time on a loaded machine
// (bench/plugins/callback_underrun_bench.cpp measures it).
std::size_t CallbackRingFrames(int mixRate, int blockFrames);

// Null for a block length below one frame or a format it cannot read.
std::unique_ptr<Source> MakeCallbackSource(SoundStream* stream, StreamCallback callback,
                                           int lengthBytes, unsigned mode, int sampleRate,
                                           void* userData);

}  // namespace qmb::engine
