#include <thread>

#include "source_test_util.h"

namespace qmb::engine::test {
namespace {

// Sources of every kind opened, read, seeked and closed over and over on
// several threads at once: the libraries' shared set-up must hold. A module's
// order asked for while it decodes is the engine's and the player's module
// tests'.
TEST(SourceThreads, ManyOpenReadCloseCyclesInParallel) {
  auto cycle = [](int kind) {
    std::vector<float> block(4096 * 2);
    for (int round = 0; round < 6; ++round) {
      const int k = (kind + round) % 4;
      std::unique_ptr<CdDisc> disc = k == 3 ? OpenCdDisc(Fixture("disc.cue"), nullptr) : nullptr;
      std::unique_ptr<Source> source;
      if (k == 0) source = OpenFileSource(Fixture("tone_440.ogg"), nullptr);
      if (k == 1) source = OpenMidiSource(Fixture("three_seconds.mid"), nullptr);
      if (k == 2) source = OpenModuleSource(Fixture("orders.mod"), nullptr);
      if (disc != nullptr) source = disc->OpenTrack(1 + round % 3, nullptr);
      ASSERT_NE(source, nullptr);
      source->Read(block.data(), 4096);
      source->Seek(source->SampleRate());
      source->Read(block.data(), 4096);
    }
  };
  std::vector<std::thread> threads;
  for (int kind = 0; kind < 4; ++kind) threads.emplace_back(cycle, kind);
  for (std::thread& t : threads) t.join();
}

}  // namespace
}  // namespace qmb::engine::test
