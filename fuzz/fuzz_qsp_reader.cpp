// Fuzzes the QSP reader with bytes it did not write.
#include "fuzz/fuzz_readers.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  qmb::fuzz::RoundTrip(
      data, size,
      [](qmb::PlaylistStore& store, std::string_view bytes) {
        return qmb::ParseQsp(store, bytes, qmb::fuzz::kFolder);
      },
      qmb::QspText);
  return 0;
}
