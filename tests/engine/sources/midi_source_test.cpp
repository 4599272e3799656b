#include "engine/sources/midi_source.h"
#include "source_test_util.h"

namespace qmb::engine::test {
namespace {

// The fixture lasts 3 s across a tempo change: 2 s at 120 BPM, 1 s at 240;
// a seek back to 2 s plays the last second.
TEST(MidiSource, LengthFollowsTheTempoMapAndASeekPlaysTheRest) {
  for (const char* name : {"three_seconds.mid", "three_seconds.rmi"}) {
    SCOPED_TRACE(name);
    std::string error;
    auto midi = OpenMidiSource(Fixture(name), &error);
    ASSERT_NE(midi, nullptr) << error;
    EXPECT_EQ(midi->SampleRate(), 44100);
    EXPECT_EQ(midi->Channels(), 2);
    EXPECT_NEAR(midi->LengthFrames(), 3 * 44100, 0.05 * 44100);
    auto all = ReadAll(*midi);
    EXPECT_EQ(static_cast<std::int64_t>(all.size() / 2), midi->LengthFrames());
    // The soundfont really plays, and loud enough to be heard beside files.
    EXPECT_GT(Rms(all), 0.02);
    ASSERT_TRUE(midi->Seek(44100 * 2));
    auto rest = ReadAll(*midi);
    EXPECT_NEAR(rest.size() / 2.0, 44100, 0.05 * 44100);
    EXPECT_GT(Rms(rest), 0.02);
    EXPECT_FALSE(midi->Seek(-5));
  }
}

TEST(MidiSource, MissingSoundfontFailsClearly) {
  std::string error;
  auto midi = OpenMidiSourceWith(Fixture("three_seconds.mid"),
                                 {"/nonexistent/a.sf2", "/nonexistent/b.sf2"}, &error);
  EXPECT_EQ(midi, nullptr);
  EXPECT_NE(error.find("soundfont"), std::string::npos) << error;
  // Damaged files are the fuzzed reader's and the damaged media test's.
  EXPECT_EQ(OpenMidiSource(Fixture("missing.mid"), &error), nullptr);
}

}  // namespace
}  // namespace qmb::engine::test
