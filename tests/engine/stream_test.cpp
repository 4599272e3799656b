// Streams on the null output: start and close, a raw stream's life, bad
// input, tracker modules, and all of it at once on many threads. Each route's
// length and sound are the decoders' tests'; its choice by extension the
// player's.
#include <atomic>
#include <random>
#include <tuple>

#include "engine_test_support.h"

namespace qmb::test {
namespace {

// A second start, the drivers' names and the device list are the sound
// set-up tests'.
TEST(EngineInit, NullOutputStartsAndStopsAndAClosedEngineAnswersWithoutHarm) {
  for (int bad : {8, -1}) EXPECT_FALSE(FSOUND_SetOutput(bad));
  EXPECT_EQ(FSOUND_Init(1000, 32, 0), 0);  // no such rate
  {
    NullEngine engine(48000);
    EXPECT_EQ(FSOUND_GetOutputRate(), 48000);
    EXPECT_GT(FSOUND_DSP_GetBufferLength(), 0);
  }
  EXPECT_EQ(FSOUND_GetOutputRate(), 0);
  EXPECT_EQ(FSOUND_DSP_GetBufferLength(), 0);
  EXPECT_EQ(FSOUND_Stream_Open("x.raw", kStreamLoadRaw, 0, 0), nullptr);
  EXPECT_EQ(FSOUND_Stream_GetTime(nullptr), 0);
  EXPECT_FALSE(FSOUND_SetVolume(0, 10));
  EXPECT_EQ(FSOUND_DSP_GetSpectrum(), nullptr);
  EXPECT_EQ(FSOUND_FX_Enable(kSystemChannel, kFxParamEq), -1);
}

// A raw stream from its open to its close, at 48 kHz through the resampler
// too, which a seek resets and the end flushes. Each 10 ms of the file holds
// its own level, so the mix tells where in the file it came from: after a
// seek's short cross-fade, the asked time's. The decoders' own seeks are
// their tests'; opening without blocking is the player's network tests'.
TEST(RawStream, PausesSeeksEndsAndPlaysAgainThenRefusesItsStaleHandle) {
  TempFolder folder;
  std::string path = WriteRaw(folder.Path() + "code.raw", 5 * 44100, [](int i) {
    double v = (i / 441) / 1000.0;
    return std::pair{v, -v};
  });
  for (int rate : {44100, 48000}) {
    SCOPED_TRACE(rate);
    NullEngine engine(rate);
    SoundStream* s = FSOUND_Stream_Open(path.c_str(), kStreamLoadRaw, 0, 0);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(std::tuple(FSOUND_Stream_GetOpenState(s), FSOUND_Stream_GetLengthMs(s),
                         FSOUND_Stream_GetLength(s), FSOUND_Stream_GetNumSubStreams(s)),
              std::tuple(kOpenReady, 5000, 5 * 44100 * 4, 0));
    EXPECT_FALSE(FSOUND_Stream_SetSubStream(s, 0));
    MixCapture capture;
    ASSERT_EQ(FSOUND_Stream_Play(0, s), 0);
    ASSERT_TRUE(WaitUntil([&] { return FSOUND_Stream_GetTime(s) > 100; }));
    for (int target : {0, kSystemChannel}) {
      ASSERT_TRUE(FSOUND_SetPaused(target, true));
      capture.CollectAfterChange(4410);  // the fade-out is over
      int held = FSOUND_Stream_GetTime(s);
      capture.CollectAfterChange(13230);  // 300 ms more mixed while paused
      EXPECT_LE(FSOUND_Stream_GetTime(s), held + 10) << target;
      ASSERT_TRUE(FSOUND_SetPaused(target, false));
      EXPECT_TRUE(WaitUntil([&] { return FSOUND_Stream_GetTime(s) > held + 100; })) << target;
    }
    for (int target : {3000, 1200, 4500}) {
      ASSERT_TRUE(FSOUND_Stream_SetTime(s, target));
      EXPECT_EQ(FSOUND_Stream_GetTime(s), target);  // at once, before the mixer moves
      capture.Clear();
      auto frames = capture.Collect(rate / 5);
      bool landed = false;
      for (std::size_t i = 0; i < frames.size() && !landed; i += 2) {
        long level = std::lround(frames[i] / 32767.0 * 1000);
        landed = level >= target / 10 && level < target / 10 + 30;
      }
      EXPECT_TRUE(landed) << target;
      int now = FSOUND_Stream_GetTime(s);
      EXPECT_GE(now, target);
      EXPECT_LT(now, target + 1500);
    }
    ASSERT_TRUE(FSOUND_Stream_SetTime(s, 999999));  // past the end: ends the track
    ASSERT_TRUE(WaitUntil([&] { return FSOUND_Stream_IsFinished(s); }));
    EXPECT_EQ(FSOUND_Stream_GetTime(s), 5000);
    EXPECT_FALSE(FSOUND_IsPlaying(0));
    // Played again after its end, it starts over.
    ASSERT_GE(FSOUND_Stream_Play(kFreeChannel, s), 0);
    EXPECT_LT(FSOUND_Stream_GetTime(s), 300);
    EXPECT_TRUE(WaitUntil([&] { return FSOUND_Stream_GetTime(s) > 300; }));
    EXPECT_TRUE(FSOUND_Stream_Close(s));
    EXPECT_FALSE(FSOUND_Stream_Close(s));  // a stale handle is refused, not used
    EXPECT_EQ(FSOUND_Stream_GetOpenState(s), kOpenInvalid);
  }
}

// Each decoder's own refusals are its tests', the raw fallback the player's
// route tests'; here each route hands its failure on.
TEST(Routes, BadInputGivesANullHandle) {
  NullEngine engine;
  TempFolder folder;
  std::string noise(50000, '\0');
  for (std::size_t i = 0; i < noise.size(); ++i) noise[i] = static_cast<char>(i * 7919 % 251);
  for (const char* name : {"noise.mp3", "noise.mid", "noise.mod", "noise.cue"})
    folder.Write(name, noise);
  for (const char* name : {"song.sgt", "x.FSB"})  // refused whatever they hold
    folder.Write(name, ReadFile(Fixture("orders.mod")));
  folder.Write("tiny.raw", "ab");  // less than a frame
  for (const char* name : {"noise.mp3", "noise.mid", "noise.cue", "song.sgt", "x.FSB"})
    EXPECT_EQ(FSOUND_Stream_Open((folder.Path() + name).c_str(), kStreamNormal, 0, 0), nullptr)
        << name;
  for (const char* name : {"missing.raw", "tiny.raw"})
    EXPECT_EQ(FSOUND_Stream_Open((folder.Path() + name).c_str(), kStreamLoadRaw, 0, 0), nullptr)
        << name;
  EXPECT_EQ(FSOUND_Stream_Open("", kStreamNormal, 0, 0), nullptr);
  EXPECT_EQ(FSOUND_Stream_Open(nullptr, kStreamNormal, 0, 0), nullptr);
  for (const char* name : {"noise.mod", "song.sgt", "x.FSB"})
    EXPECT_EQ(FMUSIC_LoadSong((folder.Path() + name).c_str()), nullptr) << name;
  EXPECT_EQ(FMUSIC_LoadSong(nullptr), nullptr);
}

// Orders as positions and jumps in the decoder are the module source's
// tests'; here the engine's handle: pause holds the order, the end frees it.
TEST(Modules, PauseHoldsTheOrderAndAFreedHandleIsRefused) {
  NullEngine engine;
  MixCapture capture;
  MusicModule* module = FMUSIC_LoadSong(Fixture("orders.mod").c_str());
  ASSERT_NE(module, nullptr);
  EXPECT_EQ(FMUSIC_GetNumOrders(module), 4);
  ASSERT_TRUE(FMUSIC_PlaySong(module));
  EXPECT_GT(Rms(capture.Collect(8192), 0), 0.01);
  // The player's mute test silences a module by its master volume.
  ASSERT_TRUE(FMUSIC_SetOrder(module, 3));
  EXPECT_EQ(FMUSIC_GetOrder(module), 3);  // at once
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

// Many open, play and close cycles with hand-offs between the caller, the
// decoding threads and the mixing thread; run under ThreadSanitizer and
// AddressSanitizer, they must report nothing.
std::atomic<int> fills{0};
int Fill(SoundStream*, void* buffer, int length, void*) {
  if (!buffer) return 0;  // a seek was carried out
  std::memset(buffer, 0x11, static_cast<std::size_t>(length));
  ++fills;
  return length;
}
void* Touch(void*, void* buffer, int length, void*) {
  auto* samples = static_cast<std::int16_t*>(buffer);
  samples[length * 2 - 1] = samples[0];
  return buffer;
}

TEST(EngineStress, OpenPlayCloseCyclesWithUnitsAndCallbacks) {
  NullEngine engine(48000);
  TempFolder folder;
  std::string raw = WriteRawSine(folder.Path() + "a.raw", 2.0, 440);
  std::string mp3 = Fixture("tone_440.mp3");
  std::mt19937 random(7);
  FSOUND_DSP_SetActive(FSOUND_DSP_GetFFTUnit(), true);
  int band = FSOUND_FX_Enable(kSystemChannel, kFxParamEq);
  const unsigned modes[] = {kStreamLoadRaw, kStreamLoadRaw | kStreamNonBlocking, 0, kStreamNormal};
  // Another caller thread polls while the cycles run, as the timers do.
  std::atomic<bool> done{false};
  std::thread poller([&] {
    for (; !done; std::this_thread::sleep_for(std::chrono::milliseconds(1))) {
      FSOUND_DSP_GetSpectrum();
      FSOUND_DSP_GetBufferLength();
      FSOUND_IsPlaying(0);
    }
  });
  for (int cycle = 0; cycle < 120; ++cycle) {
    SoundStream* s =
        cycle % 4 == 2
            ? FSOUND_Stream_Create(&Fill, 512 + cycle * 4, kStreamCallback16Stereo, 22050, nullptr)
            : FSOUND_Stream_Open((cycle % 4 == 3 ? mp3 : raw).c_str(), modes[cycle % 4], 0, 0);
    ASSERT_NE(s, nullptr) << cycle;
    DspUnit* unit = FSOUND_DSP_Create(&Touch, static_cast<int>(random() % 1000), nullptr);
    FSOUND_DSP_SetActive(unit, true);
    FSOUND_FX_SetParamEQ(band, 1000, 18, static_cast<float>(random() % 31) - 15);
    int channel = FSOUND_Stream_Play(static_cast<int>(random() % 3) - 1, s);
    FSOUND_SetVolume(channel, static_cast<int>(random() % 256));
    FSOUND_SetPan(channel, static_cast<int>(random() % 256));
    if (cycle % 3 == 0) FSOUND_Stream_SetTime(s, static_cast<int>(random() % 2000));
    if (cycle % 5 == 0) FSOUND_SetPaused(channel, true);
    if (cycle % 7 == 0) FSOUND_SetPaused(kSystemChannel, cycle % 2 == 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(random() % 15));
    FSOUND_Stream_GetTime(s);
    if (cycle % 2) FSOUND_DSP_SetActive(unit, false);
    FSOUND_DSP_Free(unit);
    EXPECT_TRUE(FSOUND_Stream_Close(s));
  }
  FSOUND_SetPaused(kSystemChannel, false);
  done = true;
  poller.join();
  EXPECT_GT(fills, 0);
}

// The engine closes with a stream, a unit and a callback stream still there.
TEST(EngineStress, CloseAndStartAgainWhilePlaying) {
  TempFolder folder;
  std::string raw = WriteRawSine(folder.Path() + "a.raw", 2.0, 440);
  for (int round = 0; round < 10; ++round) {
    NullEngine engine(round % 2 ? 44100 : 22050);
    FSOUND_DSP_SetActive(FSOUND_DSP_Create(&Touch, 1, nullptr), true);
    FSOUND_Stream_Play(0, FSOUND_Stream_Open(raw.c_str(), kStreamLoadRaw, 0, 0));
    FSOUND_Stream_Create(&Fill, 1024, kStreamCallback16Stereo, 44100, nullptr);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

}  // namespace
}  // namespace qmb::test
