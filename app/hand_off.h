// What the player does with a path from its own command line or handed over
// by a second start.
#pragma once

#include <string>

namespace qmb {

// The hand-off's wParam: 1 when `path` has a playlist extension, else 0.
int HandOffKind(const std::string& path);

// A path handed over by a second start: a playlist (wParam 1) is loaded,
// anything else appended and played.
void ReceiveHandOff(int wParam, const std::string& path);

// Start-up's own command line (its tail): a playlist is loaded, anything else
// appended and played. Nothing for an empty tail.
void ProcessOwnCommandLine(const std::string& tail);

}  // namespace qmb
