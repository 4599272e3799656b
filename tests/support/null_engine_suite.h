// A suite whose tests share one engine on the null output, started once: the
// engine is process-wide, as in the player.
#pragma once

#include <gtest/gtest.h>

#include "playback/sound_engine.h"

namespace qmb::test {

class NullEngineSuite : public ::testing::Test {
 public:
  static void SetUpTestSuite() {
    FSOUND_SetOutput(kOutputNoSound);
    ASSERT_NE(FSOUND_Init(44100, 32, 0), 0);
  }
  static void TearDownTestSuite() { FSOUND_Close(); }
};

}  // namespace qmb::test
