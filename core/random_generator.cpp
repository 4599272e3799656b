#include "core/random_generator.h"

namespace qmb {
namespace {

RandomGenerator& ProgramRandom() {
  static RandomGenerator generator;
  return generator;
}

}  // namespace

void RandomGenerator::Seed(std::int64_t n) {
  state_ = static_cast<std::uint64_t>(n);
}

double RandomGenerator::Next() {
  // SplitMix64: every seed, 0 included, starts a well-mixed sequence.
  state_ += 0x9e3779b97f4a7c15ULL;
  std::uint64_t z = state_;
  z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
  z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
  z ^= z >> 31;
  // 53 random bits, moved half a step off zero so neither end is reached.
  return (static_cast<double>(z >> 11) + 0.5) / 9007199254740992.0;
}

void RandomSeed(std::int64_t n) {
  ProgramRandom().Seed(n);
}
double RandomNumber() {
  return ProgramRandom().Next();
}

}  // namespace qmb
