#include "core/random_generator.h"

#include <gtest/gtest.h>

namespace qmb {
namespace {

TEST(RandomGeneratorTest, SameSeedSameSequenceInsideTheOpenInterval) {
  RandomSeed(0);
  double first = RandomNumber();
  RandomSeed(12345);
  RandomNumber();
  RandomSeed(0);
  EXPECT_EQ(RandomNumber(), first);
  // Shuffle picks row floor(x * count): x must never be 0 or 1, and the rows
  // must come out evenly.
  RandomGenerator generator;
  generator.Seed(-7);
  int buckets[10] = {};
  for (int i = 0; i < 100000; ++i) {
    double x = generator.Next();
    ASSERT_GT(x, 0.0);
    ASSERT_LT(x, 1.0);
    ++buckets[static_cast<int>(x * 10)];
  }
  for (int count : buckets) EXPECT_NEAR(count, 10000, 500);
}

}  // namespace
}  // namespace qmb
