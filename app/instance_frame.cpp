#include "app/instance_frame.h"

namespace qmb {
namespace {

std::uint32_t Be32(std::string_view bytes, std::size_t at) {
  auto byte = [&](std::size_t i) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + i]));
  };
  return byte(0) << 24 | byte(1) << 16 | byte(2) << 8 | byte(3);
}

void PutBe32(std::string& out, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((value >> shift) & 0xFF);
}

}  // namespace

FrameRead ReadInstanceFrame(std::string_view bytes, InstanceFrame& frame, std::size_t& used) {
  used = 0;
  if (bytes.size() < kInstanceHeaderBytes) return FrameRead::kIncomplete;
  std::uint32_t length = Be32(bytes, 12);
  if (Be32(bytes, 0) != kInstanceFrameMagic || length > kMaxInstancePayload) return FrameRead::kBad;
  if (bytes.size() - kInstanceHeaderBytes < length) return FrameRead::kIncomplete;
  frame.request = Be32(bytes, 4);
  frame.wParam = Be32(bytes, 8);
  frame.payload.assign(bytes.substr(kInstanceHeaderBytes, length));
  used = kInstanceHeaderBytes + length;
  return FrameRead::kComplete;
}

std::string InstanceFrameBytes(std::uint32_t request, std::uint32_t wParam,
                               std::string_view payload) {
  std::string out;
  out.reserve(kInstanceHeaderBytes + payload.size());
  PutBe32(out, kInstanceFrameMagic);
  PutBe32(out, request);
  PutBe32(out, wParam);
  PutBe32(out, static_cast<std::uint32_t>(payload.size()));
  out += payload;
  return out;
}

}  // namespace qmb
