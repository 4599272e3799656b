// The frames of the single-instance channel, apart from the socket: a 16-byte
// big-endian header (magic, request, wParam, payload length) and the payload.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace qmb {

constexpr std::uint32_t kInstanceFrameMagic = 0x514D4235;  // "QMB5"
constexpr std::size_t kInstanceHeaderBytes = 16;
// Large enough for any hand-off, small enough that a stray client cannot make
// the running player allocate much.
constexpr std::uint32_t kMaxInstancePayload = 64 * 1024;

struct InstanceFrame {
  std::uint32_t request = 0;
  std::uint32_t wParam = 0;
  std::string payload;
};

enum class FrameRead {
  kComplete,    // `frame` holds the first frame; `used` bytes were its own
  kIncomplete,  // the bytes so far begin a frame; wait for more
  kBad,         // not a frame of ours, or a payload over the limit
};

// Reads the first frame at the start of `bytes`.
FrameRead ReadInstanceFrame(std::string_view bytes, InstanceFrame& frame, std::size_t& used);

std::string InstanceFrameBytes(std::uint32_t request, std::uint32_t wParam,
                               std::string_view payload);

}  // namespace qmb
