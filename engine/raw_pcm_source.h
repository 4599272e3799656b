// Raw data as a source: interleaved stereo signed 16-bit little-endian frames
// at 44 100 Hz from the first byte of a file (the layout of CD audio).
#pragma once

#include <memory>
#include <string>

#include "engine/source.h"

namespace qmb::engine {

// Null when the file cannot be read or holds no whole frame.
std::unique_ptr<Source> OpenRawPcmSource(const std::string& path, std::string* error);

}  // namespace qmb::engine
