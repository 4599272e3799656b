// Every route of the engine on the generated fixtures: files, MIDI, tracker
// modules, CD sub-streams, raw fallback and bad files. Addresses open in the
// network source's tests and the player's.

#include <fstream>

#include "engine_test_support.h"

namespace qmb::test {
namespace {

std::string Fixture(const std::string& name) {
  return std::string(QMB_FIXTURE_DIR) + "/" + name;
}

// Lengths and positions may be off by 1 % or 50 ms, whichever is larger.
double ToleranceMs(double ms) {
  return std::max(ms * 0.01, 50.0);
}

// One file per route: the decoders' own tests measure every format.
TEST(Routes, EachOpensWithItsLengthRateAndSound) {
  NullEngine engine;
  MixCapture capture;
  struct Case {
    const char* file;
    int ms;
    double hz;  // 0: no steady tone, only sound
  };
  for (const Case& c : {Case{"tone_440.mp3", 4000, 440}, Case{"tone_440.wav", 4000, 440},
                        Case{"three_seconds.mid", 3000, 0}, Case{"three_seconds.rmi", 3000, 0}}) {
    SCOPED_TRACE(c.file);
    SoundStream* s = FSOUND_Stream_Open(Fixture(c.file).c_str(), kStreamNormal, 0, 0);
    ASSERT_NE(s, nullptr);
    EXPECT_NEAR(FSOUND_Stream_GetLengthMs(s), c.ms, ToleranceMs(c.ms));
    EXPECT_GT(FSOUND_Stream_GetLength(s), 0);
    int frequency = 0;
    FSOUND_Sample_GetDefaults(FSOUND_Stream_GetSample(s), &frequency, nullptr, nullptr, nullptr);
    EXPECT_EQ(frequency, 44100);
    ASSERT_EQ(FSOUND_Stream_Play(0, s), 0);
    capture.Clear();
    auto frames = capture.Collect(44100 / 2);
    if (c.hz > 0) {
      EXPECT_NEAR(ToneHz(frames, 44100), c.hz, 5);
    } else {
      EXPECT_GT(Rms(frames, 0), 0.005);
    }
    FSOUND_Stream_Close(s);
  }
}

TEST(FileStreams, SeeksLandOnTheSweepAndATrackPlaysToItsEndThenAgain) {
  // At 48 kHz the sound goes through the resampler, which a seek resets and
  // the end flushes.
  for (int rate : {44100, 48000}) {
    NullEngine engine(rate);
    MixCapture capture;
    // The sweep's frequency is 200 + 300 t Hz.
    SoundStream* s = FSOUND_Stream_Open(Fixture("sweep.mp3").c_str(), kStreamNormal, 0, 0);
    ASSERT_NE(s, nullptr);
    ASSERT_EQ(FSOUND_Stream_Play(0, s), 0);
    for (int target : {4000, 1000}) {
      ASSERT_TRUE(FSOUND_Stream_SetTime(s, target));
      // Once the position moves past the target, the new data is playing.
      ASSERT_TRUE(WaitUntil([&] { return FSOUND_Stream_GetTime(s) > target; }));
      capture.Clear();
      int at = FSOUND_Stream_GetTime(s);
      EXPECT_LT(at, target + 500);
      auto frames = capture.Collect(2048);
      double seconds = at / 1000.0 + 1024.0 / rate;  // the middle of what was heard
      EXPECT_NEAR(ToneHz(frames, rate), 200 + 300 * seconds, 60) << rate;
    }
    ASSERT_TRUE(FSOUND_Stream_SetTime(s, 5500));
    ASSERT_TRUE(WaitUntil([&] { return FSOUND_Stream_IsFinished(s); })) << rate;
    EXPECT_EQ(FSOUND_Stream_GetTime(s), FSOUND_Stream_GetLengthMs(s)) << rate;
    EXPECT_FALSE(FSOUND_IsPlaying(0));
    // Played again after its end, it starts over.
    ASSERT_GE(FSOUND_Stream_Play(kFreeChannel, s), 0);
    EXPECT_LT(FSOUND_Stream_GetTime(s), 300) << rate;
    EXPECT_TRUE(WaitUntil([&] { return FSOUND_Stream_GetTime(s) > 300; })) << rate;
    FSOUND_Stream_Close(s);
  }
}

TEST(Routes, BadInputGivesANullHandleAndRawFallbackOpens) {
  NullEngine engine;
  TempFolder folder;
  std::string noise(50000, '\0');
  for (std::size_t i = 0; i < noise.size(); ++i) noise[i] = static_cast<char>(i * 7919 % 251);
  for (const char* name :
       {"noise.mp3", "noise.ogg", "noise.mid", "noise.mod", "noise.cue", "song.sgt", "bank.FSB"})
    folder.Write(name, noise);
  std::string header(20, '\0');
  std::ifstream(Fixture("tone_440.wav"), std::ios::binary).read(header.data(), 20);
  folder.Write("cut.wav", header);
  folder.Write("empty.mp3", "");
  folder.Write("tiny.raw", "ab");  // less than a frame
  struct Case {
    const char* name;
    unsigned mode;
  };
  const Case cases[] = {
      {"empty.mp3", kStreamNormal},    {"noise.mp3", kStreamNormal}, {"noise.ogg", kStreamNormal},
      {"cut.wav", kStreamNormal},      {"noise.mid", kStreamNormal}, {"noise.cue", kStreamNormal},
      {"missing.wma", kStreamNormal},  {"song.sgt", kStreamNormal},  {"bank.FSB", kStreamNormal},
      {"missing.raw", kStreamLoadRaw}, {"tiny.raw", kStreamLoadRaw}};
  for (const Case& c : cases)
    EXPECT_EQ(FSOUND_Stream_Open((folder.Path() + c.name).c_str(), c.mode, 0, 0), nullptr)
        << c.name;
  EXPECT_EQ(FSOUND_Stream_Open("", kStreamNormal, 0, 0), nullptr);
  EXPECT_EQ(FSOUND_Stream_Open(nullptr, kStreamNormal, 0, 0), nullptr);
  for (const char* name : {"noise.mod", "song.sgt"})
    EXPECT_EQ(FMUSIC_LoadSong((folder.Path() + name).c_str()), nullptr) << name;
  EXPECT_EQ(FMUSIC_LoadSong(nullptr), nullptr);
  // What no decoder takes still plays as raw data when asked.
  SoundStream* raw =
      FSOUND_Stream_Open((folder.Path() + "noise.mp3").c_str(), kStreamLoadRaw, 0, 0);
  ASSERT_NE(raw, nullptr);
  EXPECT_EQ(FSOUND_Stream_GetLengthMs(raw), 50000 / 4 * 1000 / 44100);
  EXPECT_EQ(FSOUND_Stream_Play(0, raw), 0);
  FSOUND_Stream_Close(raw);
}

TEST(Modules, OrdersAreThePositionAndJumpsLand) {
  NullEngine engine;
  MixCapture capture;
  MusicModule* module = FMUSIC_LoadSong(Fixture("orders.mod").c_str());
  ASSERT_NE(module, nullptr);
  EXPECT_EQ(FMUSIC_GetNumOrders(module), 4);
  EXPECT_EQ(FMUSIC_GetOrder(module), 0);
  EXPECT_FALSE(FMUSIC_IsFinished(module));
  ASSERT_TRUE(FMUSIC_PlaySong(module));
  EXPECT_GT(Rms(capture.Collect(8192), 0), 0.01);
  EXPECT_EQ(FMUSIC_GetOrder(module), 0);

  ASSERT_TRUE(FMUSIC_SetOrder(module, 2));
  EXPECT_EQ(FMUSIC_GetOrder(module), 2);  // at once
  capture.CollectAfterChange(13230);      // 300 ms of the new order mixed
  EXPECT_EQ(FMUSIC_GetOrder(module), 2);
  EXPECT_FALSE(FMUSIC_SetOrder(module, 4));
  EXPECT_FALSE(FMUSIC_SetOrder(module, -1));

  // Pause holds the order; the player's mute test silences it by its master volume.
  ASSERT_TRUE(FMUSIC_SetOrder(module, 3));
  ASSERT_TRUE(FMUSIC_SetPaused(module, true));
  capture.CollectAfterChange(13230);  // 300 ms mixed while paused
  EXPECT_EQ(FMUSIC_GetOrder(module), 3);
  EXPECT_FALSE(FMUSIC_IsFinished(module));
  ASSERT_TRUE(FMUSIC_SetPaused(module, false));
  // The last order lasts under two seconds, then the module is finished.
  EXPECT_TRUE(WaitUntil([&] { return FMUSIC_IsFinished(module); }, 5000));
  EXPECT_TRUE(FMUSIC_FreeSong(module));
  EXPECT_FALSE(FMUSIC_FreeSong(module));
  EXPECT_EQ(FMUSIC_GetNumOrders(module), 0);
}

TEST(CdStreams, TracksAreSubStreams) {
  NullEngine engine;
  MixCapture capture;
  SoundStream* disc = FSOUND_Stream_Open(Fixture("disc.cue").c_str(), kStreamNormal, 0, 0);
  ASSERT_NE(disc, nullptr);
  EXPECT_EQ(FSOUND_Stream_GetNumSubStreams(disc), 3);
  struct Track {
    int index, ms;
    double hz;
  };
  for (Track t : {Track{1, 3000, 660}, Track{2, 1600, 880}, Track{0, 2000, 440}}) {
    ASSERT_TRUE(FSOUND_Stream_SetSubStream(disc, t.index));
    EXPECT_NEAR(FSOUND_Stream_GetLengthMs(disc), t.ms, ToleranceMs(t.ms)) << t.index;
    ASSERT_EQ(FSOUND_Stream_Play(0, disc), 0);
    capture.Clear();
    EXPECT_NEAR(ToneHz(capture.Collect(8192), 44100), t.hz, 5) << t.index;
  }
  EXPECT_FALSE(FSOUND_Stream_SetSubStream(disc, 3));
  EXPECT_FALSE(FSOUND_Stream_SetSubStream(disc, -1));
  FSOUND_Stream_Close(disc);
}

}  // namespace
}  // namespace qmb::test
