#include <numbers>
#include <tuple>

#include "source_test_util.h"

namespace qmb::engine::test {
namespace {

// The image the generator writes: 440 Hz for 2 s, 660 Hz for 3 s, 880 Hz for 1.6 s.
TEST(CdDisc, ImageTracksAreSubStreams) {
  std::string error;
  auto disc = OpenCdDisc(Fixture("disc.cue"), &error);
  ASSERT_NE(disc, nullptr) << error;
  ASSERT_EQ(disc->TrackCount(), 3);
  for (auto [number, hz, sectors] : {std::tuple{1, 440.0, 150}, {2, 660.0, 225}, {3, 880.0, 120}}) {
    SCOPED_TRACE(number);
    auto track = disc->OpenTrack(number, &error);
    ASSERT_NE(track, nullptr) << error;
    EXPECT_EQ(std::tuple(track->SampleRate(), track->Channels(), track->LengthFrames(),
                         track->LengthBytes()),
              std::tuple(44100, 2, sectors * 588, sectors * 2352));
    auto all = ReadAll(*track);
    EXPECT_EQ(static_cast<std::int64_t>(all.size() / 2), track->LengthFrames());
    EXPECT_NEAR(ToneHz(all, 2, 44100), hz, hz * 0.005);
    EXPECT_NEAR(Rms(all), 0.5 / std::sqrt(2.0), 0.01);
  }
  for (int bad : {0, -1, 4}) EXPECT_EQ(disc->OpenTrack(bad, &error), nullptr) << bad;
}

// A seek lands on the very sample: the generator's sine has a known value there.
TEST(CdDisc, SeekIsSampleExact) {
  auto disc = OpenCdDisc(Fixture("disc.cue"), nullptr);
  ASSERT_NE(disc, nullptr);
  auto track = disc->OpenTrack(2, nullptr);
  ASSERT_NE(track, nullptr);
  disc.reset();  // a track outlives its disc
  for (std::int64_t frame : {std::int64_t{44100}, std::int64_t{12345}, std::int64_t{0}}) {
    ASSERT_TRUE(track->Seek(frame));
    float got[2 * 8];
    ASSERT_EQ(track->Read(got, 8), 8u);
    for (int i = 0; i < 8; ++i) {
      double want =
          0.5 * std::sin(2 * std::numbers::pi * 660 * static_cast<double>(frame + i) / 44100.0);
      EXPECT_NEAR(got[2 * i], want, 1.0 / 16384) << frame + i;
    }
  }
  ASSERT_TRUE(track->Seek(track->LengthFrames()));
  float tail[2];
  EXPECT_EQ(track->Read(tail, 1), 0u);
}

TEST(CdDisc, DataTracksAreNotSources) {
  auto disc = OpenCdDisc(Fixture("mixed_disc.cue"), nullptr);
  ASSERT_NE(disc, nullptr);
  ASSERT_EQ(disc->TrackCount(), 2);
  std::string error;
  EXPECT_EQ(disc->OpenTrack(1, &error), nullptr);
  EXPECT_NE(error.find("not audio"), std::string::npos) << error;
  auto track = disc->OpenTrack(2, &error);
  ASSERT_NE(track, nullptr) << error;
  EXPECT_EQ(track->LengthFrames(), 75 * 588);
  EXPECT_NEAR(ToneHz(ReadAll(*track), 2, 44100), 440, 2.2);
}

// Damaged sheets and BINs are the fuzzed reader's and the damaged media test's.
TEST(CdDisc, MissingImagesFail) {
  TempFolder temp;
  temp.Write("nobin.cue", "FILE \"nowhere.bin\" BINARY\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n");
  for (const std::string& path : {temp.Path() + "missing.cue", temp.Path() + "nobin.cue"}) {
    std::string error;
    auto disc = OpenCdDisc(path, &error);
    EXPECT_TRUE(disc != nullptr || !error.empty()) << path;
    for (int t = 1; disc != nullptr && t <= disc->TrackCount(); ++t)
      if (auto track = disc->OpenTrack(t, nullptr)) ReadAll(*track);
  }
  EXPECT_EQ(OpenCdDisc("/dev/qmb-no-such-drive", nullptr), nullptr);
}

}  // namespace
}  // namespace qmb::engine::test
