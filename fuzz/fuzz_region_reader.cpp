// Fuzzes the region-file reader: any file gives at least one vertex and never
// more than the limit, and a line reads the same on its own as in a file.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "fuzz_file.h"
#include "skin/skin_regions.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string path = qmb::fuzz::WriteFuzzFile("region.txt", data, size);
  std::vector<qmb::RegionPoint> points;
  if (qmb::ReadRegionFile(path, points) != qmb::RegionRead::kRead) std::abort();
  if (points.empty() || points.size() > qmb::kMaxRegionPoints) std::abort();
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  std::string_view first = bytes.substr(0, bytes.find('\n'));
  if (first.size() <= qmb::kMaxRegionLineBytes && qmb::ParseRegionLine(first) != points[0])
    std::abort();
  return 0;
}
