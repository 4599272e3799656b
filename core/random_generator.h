// The player's random numbers: a sequence of doubles in (0, 1) that a seed
// restarts, so the same seed always gives the same picks.
#pragma once

#include <cstdint>

namespace qmb {

class RandomGenerator {
 public:
  void Seed(std::int64_t n);
  // The next value, uniform in the open interval (0, 1).
  double Next();

 private:
  std::uint64_t state_ = 0x853c49e6748fea9bULL;
};

// The program-wide sequence: shuffle, random skins, the equalizer and the
// splash picture all draw from it.
void RandomSeed(std::int64_t n);
double RandomNumber();

}  // namespace qmb
