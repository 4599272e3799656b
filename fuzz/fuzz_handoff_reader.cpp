// Fuzzes the single-instance channel's frame reader on whatever a client
// sends: each frame read is exactly the bytes it came from, and a stream of
// frames ends only waiting for more or refused.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "app/instance_frame.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  qmb::InstanceFrame frame;
  std::size_t used = 0;
  while (qmb::ReadInstanceFrame(bytes, frame, used) == qmb::FrameRead::kComplete) {
    if (used < qmb::kInstanceHeaderBytes || used > bytes.size() ||
        frame.payload.size() > qmb::kMaxInstancePayload)
      std::abort();
    if (qmb::InstanceFrameBytes(frame.request, frame.wParam, frame.payload) !=
        bytes.substr(0, used))
      std::abort();
    bytes.remove_prefix(used);
  }
  if (used != 0) std::abort();
  return 0;
}
