// The MIDI route with its soundfont search laid open, so that a missing
// soundfont can be tried without uninstalling one.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "engine/source.h"

namespace qmb::engine {

// The General MIDI soundfonts tried in order.
const std::vector<std::string>& DefaultSoundfonts();

std::unique_ptr<Source> OpenMidiSourceWith(const std::string& path,
                                           const std::vector<std::string>& soundfonts,
                                           std::string* error);

}  // namespace qmb::engine
