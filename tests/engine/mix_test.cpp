// The mix as DSP units see it: unit order, volume, pan and mute, the system
// channel's equalizer and the spectrum. Sound at another rate than the
// mixer's is the callback and raw stream tests'; the pan cases show the sides.
#include <atomic>
#include <tuple>

#include "engine_test_support.h"

namespace qmb::test {
namespace {

// Every unit of every block sees the buffer of the one before it, in order of
// priority: the second hands on its own buffer of silence, the third keeps
// what it got (and sees the original too), and the mix is what they left.
struct Order {
  static inline std::string seen;  // a digit per unit and block
  static inline std::int16_t replacement[8192 * 2];
  static inline std::atomic<bool> sawSilence{false}, originalKept{false};
  static void* First(void*, void* buffer, int, void*) {
    seen += '1';
    return buffer;
  }
  static void* Second(void*, void*, int length, void*) {
    seen += '2';
    std::fill_n(replacement, length * 2, std::int16_t{0});
    return replacement;
  }
  static void* Third(void* original, void* buffer, int length, void*) {
    seen += '3';
    auto* b = static_cast<std::int16_t*>(buffer);
    auto* o = static_cast<std::int16_t*>(original);
    sawSilence = sawSilence || std::all_of(b, b + length * 2, [](auto v) { return v == 0; });
    originalKept = originalKept || std::any_of(o, o + length * 2, [](auto v) { return v != 0; });
    return nullptr;
  }
};

TEST(DspUnits, RunByPriorityAndPassTheirResultOn) {
  NullEngine engine;
  DspUnit* units[] = {FSOUND_DSP_Create(&Order::Third, 500, nullptr),
                      FSOUND_DSP_Create(&Order::First, 100, nullptr),
                      FSOUND_DSP_Create(&Order::Second, 400, nullptr)};
  for (DspUnit* u : units) FSOUND_DSP_SetActive(u, true);
  MixCapture last(1000);
  PlayingSine sine(2.0, 440);
  auto frames = last.Collect(4096);
  for (DspUnit* u : units) FSOUND_DSP_SetActive(u, false);
  ASSERT_GE(Order::seen.size(), 3u);
  for (std::size_t i = 0; i + 2 < Order::seen.size(); i += 3)
    EXPECT_EQ(Order::seen.substr(i, 3), "123") << i;
  EXPECT_TRUE(Order::sawSilence);
  EXPECT_TRUE(Order::originalKept);
  EXPECT_EQ(Rms(frames, 0), 0);
  for (DspUnit* u : units) FSOUND_DSP_Free(u);
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
  DspUnit* unit = FSOUND_DSP_Create(&Counting::Slow, 400, nullptr);
  FSOUND_DSP_SetActive(unit, true);
  MixCapture capture(500);
  PlayingSine sine(3.0, 440);
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
}

// A sine in bin 64 of 1024 at 44.1 kHz: the spectrum, while its unit is
// active, peaks there; volume, pan and mute then shape the two sides.
TEST(Channels, TheSpectrumPeaksInTheSineBinAndVolumePanAndMuteShapeTheMix) {
  NullEngine engine;
  DspUnit* fft = FSOUND_DSP_GetFFTUnit();
  ASSERT_NE(fft, nullptr);
  EXPECT_EQ(FSOUND_DSP_GetSpectrum(), nullptr);  // inactive
  FSOUND_DSP_SetActive(fft, true);
  MixCapture capture;
  PlayingSine sine(10.0, 64 * 44100.0 / 1024);
  ASSERT_TRUE(WaitUntil([&] { return FSOUND_Stream_GetTime(sine.s) > 300; }));
  const float* spectrum = FSOUND_DSP_GetSpectrum();
  ASSERT_NE(spectrum, nullptr);
  int peak = static_cast<int>(std::max_element(spectrum, spectrum + 512) - spectrum);
  EXPECT_EQ(peak, 64);
  EXPECT_NEAR(spectrum[64], 0.5, 0.05);
  EXPECT_LT(spectrum[200], 0.01);
  EXPECT_GE(*std::min_element(spectrum, spectrum + 512), 0.0f);
  FSOUND_DSP_SetActive(fft, false);
  EXPECT_EQ(FSOUND_DSP_GetSpectrum(), nullptr);

  const double full = 0.5 / std::sqrt(2.0);
  for (auto [volume, pan, mute, left, right] : {std::tuple{255, 127, false, full, full},
                                                {128, 127, false, full / 2, full / 2},
                                                {255, 0, false, full, 0.0},
                                                {255, 255, false, 0.0, full},
                                                {255, 64, false, full, full * 64 / 127},
                                                {255, 127, true, 0.0, 0.0},
                                                {0, 127, false, 0.0, 0.0}}) {
    FSOUND_SetVolume(0, volume);
    FSOUND_SetPan(0, pan);
    FSOUND_SetMute(0, mute);
    auto frames = capture.CollectAfterChange(8192);
    EXPECT_NEAR(Rms(frames, 0), left, 0.01) << volume << " " << pan << " " << mute;
    EXPECT_NEAR(Rms(frames, 1), right, 0.01) << volume << " " << pan << " " << mute;
  }
}

// The filter's gain is the equalizer filter's test's, a band slider's effect
// on the mix the player's equalizer test's; here what the system channel takes.
TEST(SystemEqualizer, TakesUpToThirtyTwoBandsOnTheSystemChannelOnly) {
  NullEngine engine;
  int band = FSOUND_FX_Enable(kSystemChannel, kFxParamEq);
  ASSERT_GE(band, 0);
  EXPECT_TRUE(FSOUND_FX_SetParamEQ(band, 1000, 18, 12));
  EXPECT_TRUE(FSOUND_FX_Disable(kSystemChannel));
  EXPECT_FALSE(FSOUND_FX_SetParamEQ(band, 1000, 18, 3));
  EXPECT_EQ(FSOUND_FX_Enable(0, kFxParamEq), -1);
  EXPECT_EQ(FSOUND_FX_Enable(kSystemChannel, 3), -1);
  for (int i = 0; i < 32; ++i) EXPECT_GE(FSOUND_FX_Enable(kSystemChannel, kFxParamEq), 0);
  EXPECT_EQ(FSOUND_FX_Enable(kSystemChannel, kFxParamEq), -1);  // all taken
}

}  // namespace
}  // namespace qmb::test
