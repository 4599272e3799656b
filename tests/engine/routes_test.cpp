// The engine's routes beyond what the decoders' own tests measure: bad input
// and the raw fallback, and tracker modules by their orders. Each route's
// length and sound are the decoders' tests'; its choice by extension the
// player's route and timing tests'.

#include "engine_test_support.h"

namespace qmb::test {
namespace {

std::string Fixture(const std::string& name) {
  return std::string(QMB_FIXTURE_DIR) + "/" + name;
}

// Each decoder's own refusals are its tests'; here each route hands its
// failure on, and what no decoder takes still plays as raw data when asked.
TEST(Routes, BadInputGivesANullHandleAndRawFallbackOpens) {
  NullEngine engine;
  TempFolder folder;
  std::string noise(50000, '\0');
  for (std::size_t i = 0; i < noise.size(); ++i) noise[i] = static_cast<char>(i * 7919 % 251);
  for (const char* name : {"noise.mp3", "noise.mid", "noise.mod", "noise.cue"})
    folder.Write(name, noise);
  for (const char* name : {"song.sgt", "x.FSB"})  // refused whatever they hold
    folder.Write(name, ReadFile(Fixture("orders.mod")));
  folder.Write("tiny.raw", "ab");  // less than a frame
  for (auto [name, mode] : {std::pair{"noise.mp3", kStreamNormal},
                            {"noise.mid", kStreamNormal},
                            {"noise.cue", kStreamNormal},
                            {"song.sgt", kStreamNormal},
                            {"x.FSB", kStreamNormal},
                            {"missing.raw", kStreamLoadRaw},
                            {"tiny.raw", kStreamLoadRaw}})
    EXPECT_EQ(FSOUND_Stream_Open((folder.Path() + name).c_str(), mode, 0, 0), nullptr) << name;
  EXPECT_EQ(FSOUND_Stream_Open("", kStreamNormal, 0, 0), nullptr);
  EXPECT_EQ(FSOUND_Stream_Open(nullptr, kStreamNormal, 0, 0), nullptr);
  for (const char* name : {"noise.mod", "song.sgt", "x.FSB"})
    EXPECT_EQ(FMUSIC_LoadSong((folder.Path() + name).c_str()), nullptr) << name;
  EXPECT_EQ(FMUSIC_LoadSong(nullptr), nullptr);
  SoundStream* raw =
      FSOUND_Stream_Open((folder.Path() + "noise.mp3").c_str(), kStreamLoadRaw, 0, 0);
  ASSERT_NE(raw, nullptr);
  EXPECT_EQ(FSOUND_Stream_GetLengthMs(raw), 50000 / 4 * 1000 / 44100);
  EXPECT_EQ(FSOUND_Stream_Play(0, raw), 0);
  FSOUND_Stream_Close(raw);
}

// Orders as positions in the decoder are the module source's tests'; here the
// engine's handle: a jump shows at once and holds, pause holds the order.
TEST(Modules, AJumpShowsAtOncePauseHoldsTheOrderAndAFreedHandleIsRefused) {
  NullEngine engine;
  MixCapture capture;
  MusicModule* module = FMUSIC_LoadSong(Fixture("orders.mod").c_str());
  ASSERT_NE(module, nullptr);
  EXPECT_EQ(FMUSIC_GetNumOrders(module), 4);
  ASSERT_TRUE(FMUSIC_PlaySong(module));
  EXPECT_GT(Rms(capture.Collect(8192), 0), 0.01);
  for (int bad : {4, -1}) EXPECT_FALSE(FMUSIC_SetOrder(module, bad));
  ASSERT_TRUE(FMUSIC_SetOrder(module, 2));
  EXPECT_EQ(FMUSIC_GetOrder(module), 2);  // at once
  capture.CollectAfterChange(13230);      // 300 ms of the new order mixed
  EXPECT_EQ(FMUSIC_GetOrder(module), 2);
  // The player's mute test silences a module by its master volume.
  ASSERT_TRUE(FMUSIC_SetOrder(module, 3));
  ASSERT_TRUE(FMUSIC_SetPaused(module, true));
  capture.CollectAfterChange(13230);
  EXPECT_EQ(FMUSIC_GetOrder(module), 3);
  EXPECT_FALSE(FMUSIC_IsFinished(module));
  ASSERT_TRUE(FMUSIC_SetPaused(module, false));
  // The last order lasts under two seconds, then the module is finished.
  EXPECT_TRUE(WaitUntil([&] { return FMUSIC_IsFinished(module); }, 5000));
  EXPECT_TRUE(FMUSIC_FreeSong(module));
  EXPECT_FALSE(FMUSIC_FreeSong(module));
  EXPECT_EQ(FMUSIC_GetNumOrders(module), 0);
}

}  // namespace
}  // namespace qmb::test
