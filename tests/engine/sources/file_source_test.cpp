#include <filesystem>
#include <tuple>

#include "source_test_util.h"

namespace qmb::engine::test {
namespace {

// File, rate, channels, seconds, tone, and whether the file says exactly how
// long it is: then the length is exact to the frame.
const std::tuple<const char*, int, int, double, double, bool> kTones[] = {
    {"tone_440.wav", 44100, 2, 4.0, 440, true},
    {"tone_440.mp3", 44100, 2, 4.0, 440, true},
    {"tone_440.mp2", 44100, 2, 4.0, 440, false},
    {"tone_440.ogg", 44100, 2, 4.0, 440, false},
    {"tone_440.wma", 44100, 2, 4.0, 440, false},
    {"tone_440.asf", 44100, 2, 4.0, 440, false},
    {"tone_1000_22050_mono.wav", 22050, 1, 2.0, 1000, true},
};

// The stated length, the decoded length and the tone all match what was
// encoded; the encoder's delay and padding are not counted.
TEST(FileSource, LengthsAndTonesMatchWhatWasEncoded) {
  for (auto [file, rate, channels, seconds, hz, exact] : kTones) {
    SCOPED_TRACE(file);
    std::string error;
    auto source = OpenFileSource(Fixture(file), &error);
    ASSERT_NE(source, nullptr) << error;
    EXPECT_EQ(std::tuple(source->SampleRate(), source->Channels()), std::tuple(rate, channels));
    double expected = seconds * rate;
    double tolerance = exact ? 0 : FrameTolerance(expected, rate);
    EXPECT_NEAR(static_cast<double>(source->LengthFrames()), expected, tolerance);
    EXPECT_EQ(source->LengthBytes(),
              static_cast<std::int64_t>(std::filesystem::file_size(Fixture(file))));
    auto samples = ReadAll(*source);
    double decoded = static_cast<double>(samples.size()) / channels;
    EXPECT_NEAR(decoded, expected, tolerance);
    EXPECT_NEAR(decoded, static_cast<double>(source->LengthFrames()), tolerance);
    EXPECT_NEAR(ToneHz(samples, channels, rate), hz, hz * 0.01);
    EXPECT_EQ(source->Read(samples.data(), 100), 0u) << "reads on after the end";
  }
}

// Where `block` sits in `reference` within `window` frames of `expected`, by
// the least squared difference in the first channel; the sweep makes it unique.
std::int64_t Locate(const std::vector<float>& reference, const std::vector<float>& block,
                    int channels, std::int64_t expected, std::int64_t window) {
  std::int64_t best = -1;
  double bestError = 1e300;
  const auto frames = static_cast<std::int64_t>(block.size() / channels);
  const auto total = static_cast<std::int64_t>(reference.size() / channels);
  for (std::int64_t at = std::max<std::int64_t>(0, expected - window);
       at <= expected + window && at + frames <= total; ++at) {
    double error = 0;
    for (std::int64_t i = 0; i < frames && error < bestError; i += 3)
      error += std::pow(reference[(at + i) * channels] - block[i * channels], 2);
    if (error < bestError) {
      bestError = error;
      best = at;
    }
  }
  return best;
}

class SeekTest : public testing::TestWithParam<const char*> {};

// Forward, backward, to the start and near the end: the samples after a seek
// are the ones a straight decode has at that place.
TEST_P(SeekTest, LandsWhereAsked) {
  auto reference = OpenFileSource(Fixture(GetParam()), nullptr);
  ASSERT_NE(reference, nullptr);
  std::vector<float> all = ReadAll(*reference);
  auto source = OpenFileSource(Fixture(GetParam()), nullptr);
  ASSERT_NE(source, nullptr);
  const int rate = source->SampleRate();
  const int channels = source->Channels();
  const std::int64_t targets[] = {rate * 2, rate / 2 + 17, rate * 5, 0, rate * 3 + 1234};
  std::vector<float> block(2048 * channels);
  for (std::int64_t target : targets) {
    SCOPED_TRACE(target);
    ASSERT_TRUE(source->Seek(target));
    ASSERT_EQ(source->Read(block.data(), 2048), 2048u);
    std::int64_t found = Locate(all, block, channels, target, rate / 20);
    EXPECT_NEAR(static_cast<double>(found), static_cast<double>(target), 2);
  }
  // At or past the end there is nothing left to read.
  EXPECT_TRUE(source->Seek(source->LengthFrames() + rate));
  EXPECT_EQ(source->Read(block.data(), 2048), 0u);
  EXPECT_FALSE(source->Seek(-1));
  // After all that, a seek back still plays on to the end.
  ASSERT_TRUE(source->Seek(source->LengthFrames() - rate));
  EXPECT_NEAR(static_cast<double>(ReadAll(*source).size() / channels), rate, rate * 0.05);
}

INSTANTIATE_TEST_SUITE_P(Formats, SeekTest,
                         testing::Values("sweep.wav", "sweep.mp3", "sweep_vbr.mp3", "sweep.mp2",
                                         "sweep.ogg", "sweep.wma", "sweep.asf"));

// A cut file may fail to open, but must not crash, hang or pour out endless
// audio, and one that opens states the length it still holds: WAV and MPEG
// from what is there, Ogg from its last page. Garbled files go through the
// player in the damaged media test.
TEST(FileSource, CutFilesFailOrEndCleanly) {
  TempFolder temp;
  for (const auto& tone : kTones) {
    std::string bytes = ReadFile(Fixture(std::get<0>(tone)));
    std::string name = std::string("cut_") + std::get<0>(tone);
    bool exact = !name.ends_with(".wma") && !name.ends_with(".asf");
    for (double keep : {0.0, 0.003, 0.1, 0.5, 0.97}) {
      SCOPED_TRACE(name + " " + std::to_string(keep));
      temp.Write(name, bytes.substr(0, static_cast<std::size_t>(bytes.size() * keep)));
      std::string error;
      auto source = OpenFileSource(temp.Path() + name, &error);
      if (source == nullptr) {
        EXPECT_FALSE(error.empty());
        continue;
      }
      const int rate = source->SampleRate();
      ASSERT_GT(rate, 0);
      const std::int64_t limit = 60LL * rate;
      double decoded = static_cast<double>(ReadAll(*source, limit).size()) / source->Channels();
      EXPECT_LT(decoded, static_cast<double>(limit));
      if (exact) {
        EXPECT_NEAR(static_cast<double>(source->LengthFrames()), decoded,
                    FrameTolerance(decoded, rate));
      }
      for (std::int64_t frame : {0, rate, 3})
        if (source->Seek(frame)) ReadAll(*source, limit);
    }
  }
}

// A path is a file, never an address, whatever it looks like.
TEST(FileSource, NonAudioIsRefused) {
  TempFolder temp;
  temp.Write("empty.mp3", "");
  temp.Write("text.ogg", "this is not audio at all, only a few words\n");
  for (const std::string& path :
       {temp.Path() + "empty.mp3", temp.Path() + "text.ogg", temp.Path() + "missing.wav",
        temp.Path(), std::string("http://127.0.0.1:9/none.mp3")}) {
    std::string error;
    EXPECT_EQ(OpenFileSource(path, &error), nullptr) << path;
    EXPECT_FALSE(error.empty()) << path;
  }
}

}  // namespace
}  // namespace qmb::engine::test
