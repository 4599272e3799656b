// Fuzzes the XSPF reader with bytes it did not write. XSPF is only read, so
// what it loaded goes through the player's own QPL and back.
#include "fuzz/fuzz_readers.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  qmb::fuzz::RoundTrip(
      data, size,
      [](qmb::PlaylistStore& store, std::string_view bytes) {
        return qmb::ParseXspf(store, bytes, qmb::fuzz::kFolder);
      },
      qmb::QplText, qmb::ParseQpl);
  return 0;
}
