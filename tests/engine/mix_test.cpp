// The mix as DSP units see it: layout and rate, unit order, volume, pan and
// mute, the system channel's equalizer and the spectrum.
#include <atomic>
#include <numbers>

#include "engine_test_support.h"

namespace qmb::test {
namespace {

TEST(DspUnits, SeeStereoSixteenBitBlocksAtTheMixerRate) {
  NullEngine engine(22050);
  TempFolder folder;
  // 1 kHz on the left only, at 44.1 kHz: the mix must be resampled to 22.05 kHz.
  std::string path = WriteRaw(folder.Path() + "left.raw", 44100, [](int i) {
    return std::pair{0.5 * std::sin(2 * std::numbers::pi * 1000 * i / 44100.0), 0.0};
  });
  SoundStream* s = FSOUND_Stream_Open(path.c_str(), kStreamLoadRaw, 0, 0);
  MixCapture capture;
  ASSERT_EQ(FSOUND_Stream_Play(0, s), 0);
  auto frames = capture.Collect(22050 / 2);
  EXPECT_EQ(capture.LastLength(), FSOUND_DSP_GetBufferLength());
  std::vector<std::int16_t> steady(frames.begin() + 2048, frames.end());
  EXPECT_NEAR(ToneHz(steady, 22050), 1000, 15);
  EXPECT_NEAR(Rms(steady, 0), 0.5 / std::sqrt(2.0), 0.02);
  EXPECT_LT(Rms(steady, 1), 0.001);
  FSOUND_Stream_Close(s);
}

struct Order {
  static inline std::vector<int> seen;
  static inline std::int16_t replacement[8192 * 2];
  static void* First(void*, void* buffer, int, void*) {
    seen.push_back(1);
    return buffer;
  }
  // Hands on its own buffer of silence.
  static void* Second(void*, void*, int length, void*) {
    seen.push_back(2);
    std::fill_n(replacement, length * 2, std::int16_t{0});
    return replacement;
  }
  static inline std::atomic<bool> sawSilence{false};
  static inline std::atomic<bool> originalKept{false};
  static void* Third(void* original, void* buffer, int length, void*) {
    seen.push_back(3);
    auto* b = static_cast<std::int16_t*>(buffer);
    auto* o = static_cast<std::int16_t*>(original);
    bool silent = true, loud = false;
    for (int i = 0; i < length * 2; ++i) {
      silent = silent && b[i] == 0;
      loud = loud || o[i] != 0;
    }
    if (silent) sawSilence = true;
    if (loud) originalKept = true;
    return nullptr;  // keeps the buffer it got
  }
};

TEST(DspUnits, RunByPriorityAndPassTheirResultOn) {
  NullEngine engine;
  TempFolder folder;
  SoundStream* s = FSOUND_Stream_Open(WriteRawSine(folder.Path() + "a.raw", 2.0, 440).c_str(),
                                      kStreamLoadRaw, 0, 0);
  DspUnit* third = FSOUND_DSP_Create(&Order::Third, 500, nullptr);
  DspUnit* first = FSOUND_DSP_Create(&Order::First, 100, nullptr);
  DspUnit* second = FSOUND_DSP_Create(&Order::Second, 400, nullptr);
  DspUnit* idle = FSOUND_DSP_Create(&Order::First, 50, nullptr);  // never activated
  for (DspUnit* u : {first, second, third}) FSOUND_DSP_SetActive(u, true);
  EXPECT_FALSE(FSOUND_DSP_GetActive(idle));
  MixCapture last(1000);
  ASSERT_EQ(FSOUND_Stream_Play(0, s), 0);
  auto frames = last.Collect(4096);
  // Every unit of every block saw the buffer of the one before it.
  for (DspUnit* u : {first, second, third}) FSOUND_DSP_SetActive(u, false);
  ASSERT_GE(Order::seen.size(), 3u);
  for (std::size_t i = 0; i + 2 < Order::seen.size(); i += 3)
    EXPECT_EQ((std::vector<int>{Order::seen[i], Order::seen[i + 1], Order::seen[i + 2]}),
              (std::vector<int>{1, 2, 3}));
  EXPECT_TRUE(Order::sawSilence);
  EXPECT_TRUE(Order::originalKept);
  EXPECT_EQ(Rms(frames, 0), 0);  // the output is what the chain handed on
  FSOUND_DSP_Free(first);
  FSOUND_DSP_Free(second);
  FSOUND_DSP_Free(third);
  FSOUND_DSP_Free(idle);
  FSOUND_Stream_Close(s);
}

struct Counting {
  static inline std::atomic<int> calls{0};
  static inline std::atomic<bool> inside{false};
  static void* Slow(void*, void* buffer, int, void*) {
    inside = true;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ++calls;
    inside = false;
    return buffer;
  }
};

TEST(DspUnits, DeactivatingWaitsForTheCallbackUnderWay) {
  NullEngine engine;
  TempFolder folder;
  SoundStream* s = FSOUND_Stream_Open(WriteRawSine(folder.Path() + "a.raw", 3.0, 440).c_str(),
                                      kStreamLoadRaw, 0, 0);
  DspUnit* unit = FSOUND_DSP_Create(&Counting::Slow, 400, nullptr);
  FSOUND_DSP_SetActive(unit, true);
  MixCapture capture(500);
  ASSERT_EQ(FSOUND_Stream_Play(0, s), 0);
  ASSERT_TRUE(WaitUntil([] { return Counting::calls > 3; }));
  for (int round = 0; round < 20; ++round) {
    FSOUND_DSP_SetActive(unit, false);
    EXPECT_FALSE(Counting::inside);
    int calls = Counting::calls;
    capture.CollectAfterChange(256);  // blocks mixed without the unit
    EXPECT_EQ(Counting::calls, calls);
    FSOUND_DSP_SetActive(unit, true);
    int before = Counting::calls;
    ASSERT_TRUE(WaitUntil([&] { return Counting::calls > before; }));
  }
  FSOUND_DSP_Free(unit);
  EXPECT_FALSE(Counting::inside);
  FSOUND_Stream_Close(s);
}

TEST(Channels, VolumePanAndMuteShapeTheMix) {
  NullEngine engine;
  TempFolder folder;
  SoundStream* s = FSOUND_Stream_Open(WriteRawSine(folder.Path() + "a.raw", 10.0, 440).c_str(),
                                      kStreamLoadRaw, 0, 0);
  MixCapture capture;
  int channel = FSOUND_Stream_Play(0, s);
  ASSERT_EQ(channel, 0);
  const double full = 0.5 / std::sqrt(2.0);
  struct Case {
    int volume, pan;
    bool mute;
    double left, right;
  };
  for (const Case& c : {Case{255, 127, false, full, full},
                        Case{128, 127, false, full / 2, full / 2}, Case{255, 0, false, full, 0},
                        Case{255, 255, false, 0, full}, Case{255, 64, false, full, full * 64 / 127},
                        Case{255, 127, true, 0, 0}, Case{0, 127, false, 0, 0}}) {
    FSOUND_SetVolume(channel, c.volume);
    FSOUND_SetPan(channel, c.pan);
    FSOUND_SetMute(channel, c.mute);
    auto frames = capture.CollectAfterChange(8192);
    EXPECT_NEAR(Rms(frames, 0), c.left, 0.01) << c.volume << " " << c.pan << " " << c.mute;
    EXPECT_NEAR(Rms(frames, 1), c.right, 0.01) << c.volume << " " << c.pan << " " << c.mute;
  }
  FSOUND_Stream_Close(s);
}

TEST(Channels, VolumeChangesRampWithoutSteps) {
  NullEngine engine;
  TempFolder folder;
  // A constant level: any jump between neighbouring frames is a click.
  std::string path = WriteRaw(folder.Path() + "dc.raw", 44100 * 5, [](int) {
    return std::pair{0.8, 0.8};
  });
  SoundStream* s = FSOUND_Stream_Open(path.c_str(), kStreamLoadRaw, 0, 0);
  MixCapture capture;
  int channel = FSOUND_Stream_Play(0, s);
  for (int step = 0; step < 6; ++step) {
    std::this_thread::sleep_for(std::chrono::milliseconds(40));
    if (step % 3 == 0) FSOUND_SetVolume(channel, step % 2 ? 255 : 0);
    if (step % 3 == 1) FSOUND_SetPaused(channel, step % 2 == 0);
    if (step % 3 == 2) FSOUND_SetMute(channel, step % 2 == 0);
  }
  FSOUND_SetPaused(channel, false);
  auto frames = capture.Collect(44100 / 2);
  int worst = 0;
  for (std::size_t i = 2; i < frames.size(); i += 2)
    worst = std::max(worst, std::abs(frames[i] - frames[i - 2]));
  // A full swing takes 5 ms (220 frames): about 120 per frame at this level.
  EXPECT_LT(worst, 400);
  FSOUND_Stream_Close(s);
}

TEST(SystemEqualizer, GainAtTheCentreIsTheAskedGain) {
  NullEngine engine;
  TempFolder folder;
  std::string path = WriteRawSine(folder.Path() + "a.raw", 10.0, 1000, 0.25);
  SoundStream* s = FSOUND_Stream_Open(path.c_str(), kStreamLoadRaw, 0, 0);
  MixCapture capture;
  ASSERT_EQ(FSOUND_Stream_Play(0, s), 0);
  capture.Collect(4096);
  capture.Clear();
  double flat = Rms(capture.Collect(16384), 0);
  int band = FSOUND_FX_Enable(kSystemChannel, kFxParamEq);
  ASSERT_GE(band, 0);
  int other = FSOUND_FX_Enable(kSystemChannel, kFxParamEq);
  ASSERT_TRUE(FSOUND_FX_SetParamEQ(other, 12000, 18, 0));  // a flat band changes nothing
  for (double gain : {12.0, -9.0, 0.0}) {
    ASSERT_TRUE(FSOUND_FX_SetParamEQ(band, 1000, 18, static_cast<float>(gain)));
    double rms = Rms(capture.CollectAfterChange(16384), 0);
    EXPECT_NEAR(20 * std::log10(rms / flat), gain, 0.5) << gain;
  }
  EXPECT_TRUE(FSOUND_FX_Disable(kSystemChannel));
  EXPECT_FALSE(FSOUND_FX_SetParamEQ(band, 1000, 18, 3));
  EXPECT_EQ(FSOUND_FX_Enable(0, kFxParamEq), -1);      // only the system channel
  EXPECT_EQ(FSOUND_FX_Enable(kSystemChannel, 3), -1);  // only the equalizer
  for (int i = 0; i < 32; ++i) EXPECT_GE(FSOUND_FX_Enable(kSystemChannel, kFxParamEq), 0);
  EXPECT_EQ(FSOUND_FX_Enable(kSystemChannel, kFxParamEq), -1);  // all taken
  FSOUND_Stream_Close(s);
}

TEST(Spectrum, PeaksInTheSineBin) {
  NullEngine engine;
  TempFolder folder;
  // Bin 64 of 1024 at 44.1 kHz.
  std::string path = WriteRawSine(folder.Path() + "a.raw", 10.0, 64 * 44100.0 / 1024, 0.9);
  SoundStream* s = FSOUND_Stream_Open(path.c_str(), kStreamLoadRaw, 0, 0);
  DspUnit* fft = FSOUND_DSP_GetFFTUnit();
  ASSERT_NE(fft, nullptr);
  EXPECT_EQ(FSOUND_DSP_GetSpectrum(), nullptr);  // inactive
  FSOUND_DSP_SetActive(fft, true);
  EXPECT_TRUE(FSOUND_DSP_GetActive(fft));
  ASSERT_EQ(FSOUND_Stream_Play(0, s), 0);
  ASSERT_TRUE(WaitUntil([&] { return FSOUND_Stream_GetTime(s) > 300; }));
  const float* spectrum = FSOUND_DSP_GetSpectrum();
  ASSERT_NE(spectrum, nullptr);
  int peak = static_cast<int>(std::max_element(spectrum, spectrum + 512) - spectrum);
  EXPECT_EQ(peak, 64);
  EXPECT_NEAR(spectrum[64], 0.9, 0.05);
  EXPECT_LT(spectrum[200], 0.01);
  for (int i = 0; i < 512; ++i) {
    EXPECT_GE(spectrum[i], 0.0f);
    EXPECT_LE(spectrum[i], 1.0f);
  }
  FSOUND_DSP_SetActive(fft, false);
  EXPECT_EQ(FSOUND_DSP_GetSpectrum(), nullptr);
  FSOUND_Stream_Close(s);
}

}  // namespace
}  // namespace qmb::test
