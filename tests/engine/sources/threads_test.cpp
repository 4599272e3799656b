#include <thread>

#include "source_test_util.h"

namespace qmb::engine::test {
namespace {

// Sources of every kind opened, read, seeked and closed over and over on
// several threads at once: the libraries' shared set-up must hold.
TEST(SourceThreads, ManyOpenReadCloseCyclesInParallel) {
  auto cycle = [](int kind) {
    std::vector<float> block(4096 * 2);
    for (int round = 0; round < 6; ++round) {
      std::unique_ptr<Source> source;
      std::unique_ptr<CdDisc> disc;
      switch ((kind + round) % 4) {
        case 0:
          source = OpenFileSource(Fixture("tone_440.ogg"), nullptr);
          break;
        case 1:
          source = OpenMidiSource(Fixture("three_seconds.mid"), nullptr);
          break;
        case 2:
          source = OpenModuleSource(Fixture("orders.mod"), nullptr);
          break;
        default:
          disc = OpenCdDisc(Fixture("disc.cue"), nullptr);
          if (disc != nullptr) source = disc->OpenTrack(1 + round % 3, nullptr);
          break;
      }
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

// The user interface asks a module for its order and jumps while the
// decoding thread reads it.
TEST(SourceThreads, ModuleOrdersFromAnotherThread) {
  auto module = OpenModuleSource(Fixture("orders.mod"), nullptr);
  ASSERT_NE(module, nullptr);
  std::atomic<bool> done{false};
  std::thread reader([&] {
    std::vector<float> block(1024 * 2);
    for (int i = 0; i < 400; ++i) module->Read(block.data(), 1024);
    done = true;
  });
  int jumps = 0;
  while (!done) {
    int order = module->CurrentOrder();
    EXPECT_GE(order, 0);
    EXPECT_LT(order, module->NumOrders());
    module->Finished();
    if (++jumps % 50 == 0) module->JumpToOrder(jumps / 50 % 4);
    std::this_thread::yield();
  }
  reader.join();
}

}  // namespace
}  // namespace qmb::engine::test
