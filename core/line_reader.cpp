#include "core/line_reader.h"

#include <cstdio>

namespace qmb {

std::string_view LineReader::Next() {
  std::size_t end = rest_.find('\n');
  std::string_view line = rest_.substr(0, end);
  rest_ = end == std::string_view::npos ? std::string_view() : rest_.substr(end + 1);
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  // A C string ends at its first zero byte.
  line = line.substr(0, line.find('\0'));
  if (line.size() > kLineLimit) {
    std::size_t cut = kLineLimit;
    while (cut > 0 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80) --cut;
    line = line.substr(0, cut);
  }
  return line;
}

std::optional<std::string> ReadWholeFile(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return std::nullopt;
  std::string content;
  char buffer[65536];
  bool ok = true;
  for (;;) {
    std::size_t n = std::fread(buffer, 1, sizeof buffer, file);
    content.append(buffer, n);
    if (n < sizeof buffer) {
      ok = !std::ferror(file);
      break;
    }
  }
  std::fclose(file);
  if (!ok) return std::nullopt;
  return content;
}

}  // namespace qmb
