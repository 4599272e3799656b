// The about box's text and the machine facts it shows.
#pragma once

#include <string>

namespace qmb {

constexpr const char* kProgramVersion = "4.99";

// Name, version, credit, processor count and processor type number.
std::string AboutText(int processorCount, int processorType);
// Processors online.
int ProcessorCount();
// The type numbers the settings' era gave processors: 386, 486, 586, 8664
// for x86-64, 2200 for IA-64; 0 for the others.
int ProcessorTypeNumber();

}  // namespace qmb
