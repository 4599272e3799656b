// The synthesised sources: MIDI through a soundfont, and tracker modules.
#include <tuple>

#include "engine/sources/midi_source.h"
#include "source_test_util.h"

namespace qmb::engine::test {
namespace {

// The fixture: orders 0..3 of 1.92 s each (16 rows at speed 6, tempo 125).
constexpr double kOrderSeconds = 1.92;

TEST(ModuleSource, OrdersAreItsPositionsAndASeekMovesByTime) {
  std::string error;
  auto module = OpenModuleSource(Fixture("orders.mod"), &error);
  ASSERT_NE(module, nullptr) << error;
  EXPECT_EQ(std::tuple(module->NumOrders(), module->CurrentOrder(), module->SampleRate(),
                       module->Channels()),
            std::tuple(4, 0, 44100, 2));
  EXPECT_NEAR(module->LengthFrames(), 4 * kOrderSeconds * 44100, 0.05 * 44100);

  std::vector<float> block(44100 * 2);
  ASSERT_EQ(module->Read(block.data(), 44100), 44100u);  // 1 s: still order 0
  EXPECT_EQ(module->CurrentOrder(), 0);
  EXPECT_GT(Rms(block), 0.01);
  ASSERT_EQ(module->Read(block.data(), 44100), 44100u);  // 2 s: order 1
  EXPECT_EQ(module->CurrentOrder(), 1);
  EXPECT_FALSE(module->Finished());

  // A jump shows at once and plays from the start of that order to the end.
  ASSERT_TRUE(module->JumpToOrder(3));
  EXPECT_EQ(module->CurrentOrder(), 3);
  auto rest = ReadAll(*module);
  EXPECT_NEAR(rest.size() / 2.0, kOrderSeconds * 44100, 0.05 * 44100);
  EXPECT_TRUE(module->Finished());
  EXPECT_EQ(module->Read(block.data(), 100), 0u);

  // A jump back after the end plays again.
  ASSERT_TRUE(module->JumpToOrder(1));
  EXPECT_FALSE(module->Finished());
  EXPECT_EQ(module->Read(block.data(), 4410), 4410u);
  EXPECT_EQ(module->CurrentOrder(), 1);

  for (int bad : {-1, 4, 1000}) EXPECT_FALSE(module->JumpToOrder(bad)) << bad;
  EXPECT_EQ(module->CurrentOrder(), 1);

  // A seek moves by time.
  ASSERT_TRUE(module->Seek(static_cast<std::int64_t>(2.5 * kOrderSeconds * 44100)));
  EXPECT_EQ(module->CurrentOrder(), 2);
  EXPECT_NEAR(ReadAll(*module).size() / 2.0, 1.5 * kOrderSeconds * 44100, 0.05 * 44100);
  EXPECT_FALSE(module->Seek(-1));
}

// A garbled order list names patterns the file does not hold: minutes of
// empty patterns, where the song ends instead.
TEST(ModuleSource, EndsBeforeAMinuteOfEmptyPatterns) {
  std::string mod = ReadFile(Fixture("orders.mod"));
  mod[950] = 127;
  for (int i = 0; i < 128; ++i) mod[952 + i] = static_cast<char>(i * 7 % 64);
  TempFolder temp;
  temp.Write("orders.mod", mod);
  auto module = OpenModuleSource(temp.Path() + "orders.mod", nullptr);
  ASSERT_NE(module, nullptr);
  EXPECT_EQ(module->NumOrders(), 127);
  EXPECT_NEAR(module->LengthFrames(), 1.92 * 44100, 0.05 * 44100);  // order 0 alone
  EXPECT_NEAR(ReadAll(*module).size() / 2.0, module->LengthFrames(), 2);
  EXPECT_TRUE(module->Finished());
}

// The fixture lasts 3 s across a tempo change: 2 s at 120 BPM, 1 s at 240;
// a seek back to 2 s plays the last second.
TEST(MidiSource, LengthFollowsTheTempoMapAndASeekPlaysTheRest) {
  for (const char* name : {"three_seconds.mid", "three_seconds.rmi"}) {
    SCOPED_TRACE(name);
    std::string error;
    auto midi = OpenMidiSource(Fixture(name), &error);
    ASSERT_NE(midi, nullptr) << error;
    EXPECT_EQ(std::tuple(midi->SampleRate(), midi->Channels()), std::tuple(44100, 2));
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
