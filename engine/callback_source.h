// A stream fed by a caller's fill function (an input plug-in's samples): the
// function runs on the stream's decoding thread, one block at a time.
#pragma once

#include <memory>

#include "engine/source.h"
#include "playback/sound_engine.h"

namespace qmb::engine {

// Null for a block length below one frame or a format it cannot read.
std::unique_ptr<Source> MakeCallbackSource(SoundStream* stream, StreamCallback callback,
                                           int lengthBytes, unsigned mode, int sampleRate,
                                           void* userData);

}  // namespace qmb::engine
