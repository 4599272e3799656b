#include "skin/skin_regions.h"

#include <cstdio>
#include <filesystem>
#include <limits>
#include <memory>

namespace qmb {

namespace {

// Leading blanks, an optional sign, digits; stops at anything else. Numbers
// too large for 32 bits saturate instead of wrapping.
std::int32_t LeadingInteger(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  std::int64_t value = 0;
  constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > kLimit) value = kLimit;
  }
  if (negative) value = -value;
  if (value > std::numeric_limits<std::int32_t>::max())
    value = std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int32_t>(value);
}

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

// Reads one line of at most kMaxRegionLineBytes without its line feed and
// skips whatever is left of a longer one.
std::string ReadLine(std::FILE* file) {
  std::string line;
  int c;
  while ((c = std::getc(file)) != EOF && c != '\n') {
    if (line.size() < kMaxRegionLineBytes) line += static_cast<char>(c);
  }
  return line;
}

bool AtEnd(std::FILE* file) {
  int c = std::getc(file);
  if (c == EOF) return true;
  std::ungetc(c, file);
  return false;
}

}  // namespace

RegionPoint ParseRegionLine(std::string_view line) {
  std::string fields[2];
  int field = 0;
  bool quoted = false;
  for (char c : line) {
    if (c == '"') {
      quoted = !quoted;
    } else if (c == ',' && !quoted) {
      if (++field == 2) break;
    } else {
      fields[field] += c;
    }
  }
  return {LeadingInteger(fields[0]), LeadingInteger(fields[1])};
}

RegionRead ReadRegionFile(const std::string& path, std::vector<RegionPoint>& points) {
  points.clear();
  std::error_code ignored;
  if (!std::filesystem::exists(path, ignored)) return RegionRead::kMissing;
  // A folder opens for reading here but not as a file anywhere else.
  if (std::filesystem::is_directory(path, ignored)) return RegionRead::kUnreadable;
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "r"));
  if (!file) return RegionRead::kUnreadable;
  do {
    points.push_back(ParseRegionLine(ReadLine(file.get())));
  } while (points.size() < kMaxRegionPoints && !AtEnd(file.get()));
  return RegionRead::kRead;
}

}  // namespace qmb
