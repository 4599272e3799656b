// Region files: one polygon vertex per line, "x,y" in window pixels, read into
// the points of an even-odd polygon that shapes a skinned window.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qmb {

constexpr std::size_t kMaxRegionPoints = 5000;
// Longer lines are cut here; the rest of the line is dropped.
constexpr std::size_t kMaxRegionLineBytes = 1048575;

struct RegionPoint {
  std::int32_t x = 0;
  std::int32_t y = 0;
  bool operator==(const RegionPoint&) const = default;
};

// One line: fields split at commas outside double quotes, the quotes removed;
// x and y are the first two fields as decimal integers, 0 when missing.
RegionPoint ParseRegionLine(std::string_view line);

enum class RegionRead {
  kRead,
  kMissing,     // no file: the window keeps its shape
  kUnreadable,  // exists but cannot be opened
};

// Every line makes one vertex, empty lines included; an empty file gives the
// one vertex (0, 0). At most kMaxRegionPoints are read.
RegionRead ReadRegionFile(const std::string& path, std::vector<RegionPoint>& points);

}  // namespace qmb
