// Fuzzes the equalizer preset reader: the ten values are the file's first 40
// bytes as little-endian floats (zeros past a short file's end), each applied
// once in band order, and a saved copy loads to the same bits.
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "eq/eq_presets.h"
#include "fuzz_file.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

std::array<std::uint32_t, qmb::kEqBandCount> Bits(const qmb::EqBands& values) {
  std::array<std::uint32_t, qmb::kEqBandCount> bits{};
  for (int band = 0; band < qmb::kEqBandCount; ++band) {
    bits[band] = std::bit_cast<std::uint32_t>(values[band]);
  }
  return bits;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > 4096) return 0;
  std::string path = qmb::fuzz::WriteFuzzFile("preset.qeq", data, size);
  std::uint8_t padded[4 * qmb::kEqBandCount] = {};
  std::memcpy(padded, data, size < sizeof padded ? size : sizeof padded);

  int next = 0;
  qmb::EqBands applied{};
  qmb::EqBands values = qmb::LoadEqPreset(path, true, [&](int band, float value) {
    Check(band == next++);
    applied[band] = value;
  });
  Check(next == qmb::kEqBandCount);
  Check(Bits(applied) == Bits(values));
  for (int band = 0; band < qmb::kEqBandCount; ++band) {
    const std::uint8_t* b = padded + 4 * band;
    Check(Bits(values)[band] == (b[0] | b[1] << 8 | b[2] << 16 | std::uint32_t{b[3]} << 24));
  }

  qmb::SaveEqPreset(path, values);
  Check(std::filesystem::file_size(path) == sizeof padded);
  Check(Bits(qmb::LoadEqPreset(path, false, nullptr)) == Bits(values));
  return 0;
}
