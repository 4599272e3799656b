// The FFmpeg input plug-in loaded from the program folder, decoding real files as the engine pulls.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "plugin_library.h"
#include "temp_folder.h"

namespace qmb {
namespace {

using test::Fixture;
using test::InputPlugin;
using test::ReadFile;

constexpr int kRate = 44100;
// The fixtures' mono sources reach both channels at -3 dB.
const double kUpmix = std::sqrt(0.5);

struct Frames {
  std::vector<int16_t> left, right;
};

Frames Pull(QmbInputModule* module, int count) {
  Frames frames;
  for (int i = 0; i < count; ++i) {
    int32_t l = 0x7fff0000, r = 0x7fff0000;
    module->GetSample(&l, &r);
    frames.left.push_back(static_cast<int16_t>(l & 0xffff));
    frames.right.push_back(static_cast<int16_t>(r & 0xffff));
  }
  return frames;
}

int ZeroCrossings(const std::vector<int16_t>& s) {
  int count = 0;
  for (size_t i = 1; i < s.size(); ++i)
    if ((s[i - 1] < 0) != (s[i] < 0)) ++count;
  return count;
}

double Rms(const std::vector<int16_t>& s) {
  double sum = 0;
  for (int16_t v : s) sum += double(v) * v;
  return std::sqrt(sum / s.size());
}

// The sweep fixture's value at output frame n: 0.5 sin (upmixed)(2 pi (200 t + 150 t^2)).
double Sweep(int64_t n) {
  double t = double(n) / kRate;
  return kUpmix * 0.5 * 32767 * std::sin(2 * M_PI * (200 * t + 150 * t * t));
}

double WorstSweepError(const std::vector<int16_t>& s, int64_t first) {
  double worst = 0;
  for (size_t i = 0; i < s.size(); ++i)
    worst = std::max(worst, std::abs(s[i] - Sweep(first + static_cast<int64_t>(i))));
  return worst;
}

class InputPluginTest : public testing::Test {
 protected:
  void SetUp() override {
    module = InputPlugin();
    ASSERT_NE(module, nullptr);
  }
  void TearDown() override { module->Stop(); }
  QmbInputModule* module = nullptr;
};

// Claims are substring searches: none of the engine's own types may occur in the list.
TEST_F(InputPluginTest, ClaimsItsTypesAndNoneOfTheEngines) {
  EXPECT_EQ(module->Init(nullptr, nullptr), 0);
  for (const char* ext : {"mp3", "mp2", "wav", "ogg", "wma", "asf", "mid", "rmi", "cda", "xm", "it",
                          "s3m", "mod", "sgt", "fsb"})
    EXPECT_EQ(std::strstr(module->extensions, ext), nullptr) << ext;
  for (const char* ext : {"flac", "opus", "m4a", "aiff"})
    EXPECT_NE(std::strstr(module->extensions, ext), nullptr) << ext;
}

TEST_F(InputPluginTest, PlaysTheToneAt44100Stereo) {
  for (const char* file : {"tone_440.flac", "tone_440.opus"}) {
    SCOPED_TRACE(file);
    ASSERT_EQ(module->Open(Fixture(file).c_str()), 0);
    module->Play();
    EXPECT_NEAR(module->GetLength(), 4000, 20);
    const QmbStreamInfo* info = module->GetStreamInfo();
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->frequency, std::string(file).ends_with("opus") ? 48000 : 44100);
    EXPECT_GT(info->bitRate, 30);
    EXPECT_LT(info->bitRate, 1500);
    EXPECT_EQ(module->GetPosition(), 0);
    Pull(module, kRate / 2);  // past the encoder's start-up
    Frames second = Pull(module, kRate);
    EXPECT_NEAR(ZeroCrossings(second.left), 880, 10);
    EXPECT_NEAR(Rms(second.left), kUpmix * 32767 * 0.125 / std::sqrt(2.0), 100);
    EXPECT_EQ(second.left, second.right);
    EXPECT_NEAR(module->GetPosition(), 1500, 1);
    module->Stop();
  }
}

TEST_F(InputPluginTest, StartsAndSeeksOnTheSample) {
  ASSERT_EQ(module->Open(Fixture("sweep.flac").c_str()), 0);
  EXPECT_EQ(module->GetLength(), 6000);
  EXPECT_LT(WorstSweepError(Pull(module, 4096).left, 0), 4);
  for (int ms : {2000, 5100, 300, 2000}) {
    SCOPED_TRACE(ms);
    module->Seek(ms);
    EXPECT_EQ(module->GetPosition(), ms);
    Frames after = Pull(module, 4096);
    EXPECT_LT(WorstSweepError(after.left, int64_t(ms) * kRate / 1000), 4);
    EXPECT_EQ(module->GetPosition(), ms + 4096 * 1000 / kRate);
  }
}

TEST_F(InputPluginTest, ReachesTheLengthExactlyThenGivesSilenceUntilStopped) {
  ASSERT_EQ(module->Open(Fixture("tone_440.flac").c_str()), 0);
  int32_t length = module->GetLength();
  int64_t frames = 0;
  while (module->GetPosition() < length && frames < 10 * kRate) {
    Pull(module, 1);
    ++frames;
  }
  EXPECT_EQ(frames, 4 * kRate);
  EXPECT_EQ(module->GetPosition(), length);
  Frames tail = Pull(module, 1000);
  EXPECT_EQ(Rms(tail.left) + Rms(tail.right), 0);
  EXPECT_EQ(module->GetPosition(), length);

  // A seek past the end lands on the end, and a seek back plays again.
  module->Seek(length + 5000);
  EXPECT_EQ(module->GetPosition(), length);
  module->Seek(1000);
  EXPECT_NEAR(ZeroCrossings(Pull(module, kRate).left), 880, 10);

  // A stop leaves nothing open.
  module->Stop();
  EXPECT_EQ(module->GetLength(), 0);
  EXPECT_EQ(module->GetStreamInfo(), nullptr);
  Frames silence = Pull(module, 100);
  EXPECT_EQ(Rms(silence.left) + Rms(silence.right), 0);
  module->Seek(1000);  // nothing open: no effect
  EXPECT_EQ(module->GetLength(), 0);
}

TEST_F(InputPluginTest, RefusesWhatItCannotPlay) {
  test::TempFolder folder;
  folder.Write("text.flac", "This is a text file, not FLAC.\n");
  folder.Write("empty.flac", "");
  folder.Write("header_only.flac", ReadFile(Fixture("tone_440.flac")).substr(0, 60));
  std::string folderPath = folder.Path() + "sub.flac";
  std::filesystem::create_directory(folderPath);
  for (std::string path :
       {folder.Path() + "missing.flac", folder.Path() + "text.flac", folder.Path() + "empty.flac",
        folder.Path() + "header_only.flac", folderPath, std::string("http://127.0.0.1:9/y.flac"),
        "file://" + Fixture("tone_440.flac"), std::string("")}) {
    EXPECT_EQ(module->Open(path.c_str()), 1) << path;
    EXPECT_EQ(module->GetLength(), 0) << path;
    EXPECT_EQ(Rms(Pull(module, 10).left), 0) << path;
  }
  // A failed open also closes what played before.
  ASSERT_EQ(module->Open(Fixture("tone_440.flac").c_str()), 0);
  EXPECT_EQ(module->Open((folder.Path() + "text.flac").c_str()), 1);
  EXPECT_EQ(module->GetLength(), 0);
}

// The header promises six seconds; half the file is there. The plug-in plays
// what there is, then silence up to its length, and its position tells how far
// it has really got, not the length.
TEST_F(InputPluginTest, TruncatedFilePlaysWhatItHasThenSilenceToItsLength) {
  test::TempFolder folder;
  std::string flac = ReadFile(Fixture("sweep.flac"));
  folder.Write("cut.flac", flac.substr(0, flac.size() / 2));
  ASSERT_EQ(module->Open((folder.Path() + "cut.flac").c_str()), 0);
  int32_t length = module->GetLength();
  EXPECT_EQ(length, 6000);
  Frames all = Pull(module, length * kRate / 1000);
  int32_t reached = module->GetPosition();
  EXPECT_GT(reached, 1000);
  EXPECT_LT(reached, length - 1000);
  std::vector<int16_t> had(all.left.begin(), all.left.begin() + (reached - 100) * kRate / 1000);
  EXPECT_LT(WorstSweepError(had, 0), 4);
  std::vector<int16_t> after(all.left.begin() + (reached + 1) * kRate / 1000, all.left.end());
  EXPECT_EQ(Rms(after), 0);
  EXPECT_EQ(module->GetPosition(), reached);
}

// The stream thread pulls while the user-interface thread seeks and reads the position.
TEST_F(InputPluginTest, SeeksWhileTheStreamThreadPulls) {
  ASSERT_EQ(module->Open(Fixture("sweep.flac").c_str()), 0);
  std::atomic<bool> done{false};
  std::atomic<int64_t> pulled{0};
  std::thread stream([&] {
    while (!done) {
      int32_t l, r;
      module->GetSample(&l, &r);
      ++pulled;
    }
  });
  for (int i = 0; i < 200; ++i) {
    module->Seek((i * 337) % 6000);
    int32_t position = module->GetPosition();
    EXPECT_GE(position, 0);
    EXPECT_LE(position, 6000);
  }
  done = true;
  stream.join();
  EXPECT_GT(pulled.load(), 0);
}

}  // namespace
}  // namespace qmb
