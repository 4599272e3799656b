// Fuzzes the M3U reader as .m3u8 files from other players reach it: UTF-8
// behind a byte-order mark.
#include "fuzz/fuzz_readers.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string marked = "\xEF\xBB\xBF";
  marked.append(reinterpret_cast<const char*>(data), size);
  qmb::fuzz::RoundTrip(
      reinterpret_cast<const std::uint8_t*>(marked.data()), marked.size(),
      [](qmb::PlaylistStore& store, std::string_view bytes) {
        return qmb::ParseM3u(store, bytes, qmb::fuzz::kFolder);
      },
      qmb::M3uText);
  return 0;
}
