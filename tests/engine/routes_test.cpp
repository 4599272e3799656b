// Every route of the engine on the generated fixtures: file formats, MIDI,
// tracker modules, CD sub-streams, raw fallback, bad files and addresses
// served by a loopback HTTP server.

#include <fstream>

#include "engine_test_support.h"
#include "loopback_http_server.h"

namespace qmb::test {
namespace {

using namespace std::chrono_literals;

std::string Fixture(const std::string& name) {
  return std::string(QMB_FIXTURE_DIR) + "/" + name;
}

// Lengths and positions may be off by 1 % or 50 ms, whichever is larger.
double ToleranceMs(double ms) {
  return std::max(ms * 0.01, 50.0);
}

// The tone's frequency from rising edges of the left side, with hysteresis.
double ToneHz(const std::vector<std::int16_t>& frames, int rate) {
  int edges = 0;
  std::size_t first = 0, last = 0;
  bool low = false;
  for (std::size_t i = 0; i < frames.size(); i += 2) {
    if (frames[i] < -2000) low = true;
    if (low && frames[i] > 2000) {
      low = false;
      if (edges++ == 0) first = i / 2;
      last = i / 2;
    }
  }
  return edges < 2 ? 0
                   : (edges - 1) * static_cast<double>(rate) / static_cast<double>(last - first);
}

TEST(FileStreams, LengthsRatesAndSoundForEveryFormat) {
  NullEngine engine;
  MixCapture capture;
  for (const char* ext : {"wav", "mp3", "mp2", "ogg", "wma", "asf"}) {
    std::string path = Fixture(std::string("tone_440.") + ext);
    SoundStream* s = FSOUND_Stream_Open(path.c_str(), kStreamNormal, 0, 0);
    ASSERT_NE(s, nullptr) << ext;
    EXPECT_NEAR(FSOUND_Stream_GetLengthMs(s), 4000, ToleranceMs(4000)) << ext;
    EXPECT_GT(FSOUND_Stream_GetLength(s), 0) << ext;
    int frequency = 0;
    FSOUND_Sample_GetDefaults(FSOUND_Stream_GetSample(s), &frequency, nullptr, nullptr, nullptr);
    EXPECT_EQ(frequency, 44100) << ext;
    ASSERT_EQ(FSOUND_Stream_Play(0, s), 0) << ext;
    capture.Clear();
    auto frames = capture.Collect(8192);
    EXPECT_NEAR(ToneHz(frames, 44100), 440, 5) << ext;
    FSOUND_Stream_Close(s);
  }
}

TEST(FileStreams, SeekingLandsOnTheSweepWhereAsked) {
  // At 48 kHz the files go through the resampler, which a seek resets.
  for (int rate : {44100, 48000}) {
    NullEngine engine(rate);
    MixCapture capture;
    // The sweep's frequency is 200 + 300 t Hz.
    for (const char* ext : {"wav", "mp3", "ogg"}) {
      SoundStream* s =
          FSOUND_Stream_Open(Fixture(std::string("sweep.") + ext).c_str(), kStreamNormal, 0, 0);
      ASSERT_NE(s, nullptr) << ext;
      EXPECT_NEAR(FSOUND_Stream_GetLengthMs(s), 6000, ToleranceMs(6000)) << ext;
      ASSERT_EQ(FSOUND_Stream_Play(0, s), 0);
      for (int target : {4000, 1000}) {
        ASSERT_TRUE(FSOUND_Stream_SetTime(s, target));
        // Once the position moves past the target, the new data is playing.
        ASSERT_TRUE(WaitUntil([&] { return FSOUND_Stream_GetTime(s) > target; }));
        capture.Clear();
        int at = FSOUND_Stream_GetTime(s);
        EXPECT_LT(at, target + 500) << ext;
        auto frames = capture.Collect(2048);
        double seconds = at / 1000.0 + 1024.0 / rate;  // the middle of what was heard
        EXPECT_NEAR(ToneHz(frames, rate), 200 + 300 * seconds, 60) << ext << " " << rate;
      }
      FSOUND_Stream_Close(s);
    }
  }
}

TEST(FileStreams, ATrackPlaysToItsEndOnTheNullOutput) {
  // At 48 kHz the end comes through the resampler's flush.
  for (int rate : {44100, 48000}) {
    NullEngine engine(rate);
    SoundStream* s = FSOUND_Stream_Open(Fixture("tone_440.mp3").c_str(), kStreamNormal, 0, 0);
    ASSERT_NE(s, nullptr);
    FSOUND_Stream_SetTime(s, 3500);
    ASSERT_EQ(FSOUND_Stream_Play(0, s), 0);
    EXPECT_TRUE(WaitUntil([&] { return FSOUND_Stream_IsFinished(s); })) << rate;
    EXPECT_EQ(FSOUND_Stream_GetTime(s), FSOUND_Stream_GetLengthMs(s)) << rate;
    FSOUND_Stream_Close(s);
  }
}

TEST(FileStreams, BadFilesFailWithANullHandleAndRawFallbackOpens) {
  NullEngine engine;
  TempFolder folder;
  auto write = [&](const std::string& name, const std::string& bytes) {
    std::ofstream(folder.File(name), std::ios::binary) << bytes;
    return folder.File(name);
  };
  std::ifstream wav(Fixture("tone_440.wav"), std::ios::binary);
  std::string header(20, '\0');
  wav.read(header.data(), 20);
  std::string noise(50000, '\0');
  for (std::size_t i = 0; i < noise.size(); ++i) noise[i] = static_cast<char>(i * 7919 % 251);
  for (const std::string& path :
       {write("empty.mp3", ""), write("noise.mp3", noise), write("noise.ogg", noise),
        write("cut.wav", header), write("noise.mid", noise), folder.File("missing.wma")}) {
    EXPECT_EQ(FSOUND_Stream_Open(path.c_str(), kStreamNormal, 0, 0), nullptr) << path;
  }
  EXPECT_EQ(FMUSIC_LoadSong(write("noise.mod", noise).c_str()), nullptr);
  EXPECT_EQ(FSOUND_Stream_Open(write("noise.cue", noise).c_str(), kStreamNormal, 0, 0), nullptr);
  // What no decoder takes still plays as raw data when asked.
  SoundStream* raw = FSOUND_Stream_Open(folder.File("noise.mp3").c_str(), kStreamLoadRaw, 0, 0);
  ASSERT_NE(raw, nullptr);
  EXPECT_EQ(FSOUND_Stream_GetLengthMs(raw), 50000 / 4 * 1000 / 44100);
  EXPECT_EQ(FSOUND_Stream_Play(0, raw), 0);
  FSOUND_Stream_Close(raw);
}

TEST(MidiStreams, PlayThroughTheSynthesizer) {
  NullEngine engine;
  MixCapture capture;
  for (const char* name : {"three_seconds.mid", "three_seconds.rmi"}) {
    SoundStream* s = FSOUND_Stream_Open(Fixture(name).c_str(), kStreamNormal, 0, 0);
    ASSERT_NE(s, nullptr) << name;
    EXPECT_NEAR(FSOUND_Stream_GetLengthMs(s), 3000, ToleranceMs(3000)) << name;
    ASSERT_EQ(FSOUND_Stream_Play(0, s), 0);
    capture.Clear();
    EXPECT_GT(Rms(capture.Collect(44100 / 2), 0), 0.005) << name;
    FSOUND_Stream_Close(s);
  }
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

  // Master volume 0 silences it; pause holds the order.
  ASSERT_TRUE(FMUSIC_SetMasterVolume(module, 0));
  EXPECT_EQ(Rms(capture.CollectAfterChange(4096), 0), 0);
  FMUSIC_SetMasterVolume(module, 255);
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

TEST(NetworkStreams, OpenWithoutBlockingThroughTheOpenStates) {
  NullEngine engine;
  std::ifstream file(Fixture("tone_440.mp3"), std::ios::binary);
  std::string body((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  LoopbackHttpServer server(body, LoopbackHttpServer::Mode::kTrickle, "audio/mpeg");
  server.SetTrickle(4096, 10);
  SoundStream* s =
      FSOUND_Stream_Open(server.Url("tone.mp3").c_str(), kStreamNormal | kStreamNonBlocking, 0, 0);
  ASSERT_NE(s, nullptr);
  std::vector<int> states;
  int percent = -1;
  ASSERT_TRUE(WaitUntil(
      [&] {
        int state = FSOUND_Stream_GetOpenState(s);
        if (states.empty() || states.back() != state) states.push_back(state);
        FSOUND_Stream_Net_GetStatus(s, nullptr, &percent, nullptr, nullptr);
        EXPECT_GE(percent, 0);
        EXPECT_LE(percent, 100);
        return state == kOpenReady || state == kOpenFailed || state == kOpenInvalid;
      },
      10000));
  EXPECT_EQ(states.back(), kOpenReady);
  EXPECT_GE(states.size(), 2u);  // it was still opening when the call came back
  ASSERT_EQ(FSOUND_Stream_Play(0, s), 0);
  EXPECT_TRUE(WaitUntil([&] { return FSOUND_Stream_GetTime(s) > 200; }));
  FSOUND_Stream_Close(s);
}

TEST(NetworkStreams, CloseAbortsAPendingOpen) {
  NullEngine engine;
  LoopbackHttpServer silent("", LoopbackHttpServer::Mode::kSilent);
  SoundStream* s =
      FSOUND_Stream_Open(silent.Url("tone.mp3").c_str(), kStreamNormal | kStreamNonBlocking, 0, 0);
  ASSERT_NE(s, nullptr);
  // The server has the request and will never answer it.
  ASSERT_TRUE(WaitUntil([&] { return silent.Requests() > 0; }));
  int state = FSOUND_Stream_GetOpenState(s);
  EXPECT_NE(state, kOpenReady);
  EXPECT_NE(state, kOpenFailed);
  EXPECT_EQ(FSOUND_Stream_Play(0, s), -1);
  EXPECT_TRUE(FSOUND_Stream_Close(s));
  EXPECT_EQ(FSOUND_Stream_GetOpenState(s), kOpenInvalid);

  // An address nobody serves fails.
  SoundStream* refused =
      FSOUND_Stream_Open("http://127.0.0.1:1/none.mp3", kStreamNormal | kStreamNonBlocking, 0, 0);
  EXPECT_TRUE(WaitUntil([&] { return FSOUND_Stream_GetOpenState(refused) == kOpenFailed; }));
  FSOUND_Stream_Close(refused);
}

}  // namespace
}  // namespace qmb::test
