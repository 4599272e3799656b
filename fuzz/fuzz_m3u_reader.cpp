// Fuzzes the M3U reader with bytes it did not write.
#include "fuzz/fuzz_readers.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  qmb::fuzz::RoundTrip(
      data, size,
      [](qmb::PlaylistStore& store, std::string_view bytes) {
        return qmb::ParseM3u(store, bytes, qmb::fuzz::kFolder);
      },
      qmb::M3uText);
  return 0;
}
