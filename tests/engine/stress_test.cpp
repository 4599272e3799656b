// Many open, play and close cycles with hand-offs between the caller, the
// decoding threads and the mixing thread; run under ThreadSanitizer and
// AddressSanitizer, they must report nothing.
#include <atomic>
#include <random>

#include "engine_test_support.h"

namespace qmb::test {
namespace {

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
  std::string raw = WriteRawSine(folder.File("a.raw"), 2.0, 440);
  std::string mp3 = std::string(QMB_FIXTURE_DIR) + "/tone_440.mp3";
  std::mt19937 random(7);
  DspUnit* fft = FSOUND_DSP_GetFFTUnit();
  FSOUND_DSP_SetActive(fft, true);
  int band = FSOUND_FX_Enable(kSystemChannel, kFxParamEq);
  // Another caller thread polls while the cycles run, as the timers do.
  std::atomic<bool> done{false};
  std::thread poller([&] {
    while (!done) {
      FSOUND_DSP_GetSpectrum();
      FSOUND_DSP_GetBufferLength();
      FSOUND_IsPlaying(0);
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  });
  for (int cycle = 0; cycle < 120; ++cycle) {
    SoundStream* s = nullptr;
    switch (cycle % 4) {
      case 0:
        s = FSOUND_Stream_Open(raw.c_str(), kStreamLoadRaw, 0, 0);
        break;
      case 1:
        s = FSOUND_Stream_Open(raw.c_str(), kStreamLoadRaw | kStreamNonBlocking, 0, 0);
        break;
      case 2:
        s = FSOUND_Stream_Create(&Fill, 512 + cycle * 4, kStreamCallback16Stereo, 22050, nullptr);
        break;
      case 3:
        s = FSOUND_Stream_Open(mp3.c_str(), kStreamNormal, 0, 0);
        break;
    }
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

TEST(EngineStress, CloseAndStartAgainWhilePlaying) {
  TempFolder folder;
  std::string raw = WriteRawSine(folder.File("a.raw"), 2.0, 440);
  for (int round = 0; round < 10; ++round) {
    NullEngine engine(round % 2 ? 44100 : 22050);
    FSOUND_DSP_SetActive(FSOUND_DSP_Create(&Touch, 1, nullptr), true);
    SoundStream* s = FSOUND_Stream_Open(raw.c_str(), kStreamLoadRaw, 0, 0);
    FSOUND_Stream_Play(0, s);
    FSOUND_Stream_Create(&Fill, 1024, kStreamCallback16Stereo, 44100, nullptr);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    // The engine closes with the stream, the unit and the capture still there.
  }
}

}  // namespace
}  // namespace qmb::test
