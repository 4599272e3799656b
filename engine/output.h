// Where the mix goes: the engine's clocked null output, which plays in real
// time into nothing, or an SDL2 audio device. SDL never falls back by itself:
// an output that cannot be opened fails.
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace qmb::engine {

class Mixer;

class Output {
 public:
  virtual ~Output() = default;
  // The names of this output's devices while it runs.
  virtual std::vector<std::string> Devices() const = 0;
};

// Opens output `outputType` (an OutputType) on `device` and starts pulling
// blocks from `mixer`; null with `error` set when it cannot be opened.
std::unique_ptr<Output> StartOutput(int outputType, int device, Mixer& mixer, std::string* error);

// The devices of an output that is not running.
std::vector<std::string> OutputDevices(int outputType);

}  // namespace qmb::engine
