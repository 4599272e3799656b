// Reading text files line by line as the playlist and profile readers do: LF
// or CR LF line ends, and lines held to the 2048-byte working buffers.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qmb {

// The longest line a reader keeps, in bytes; the rest of a longer line is
// skipped, so the next read still starts at the next line.
constexpr std::size_t kLineLimit = 2047;

class LineReader {
 public:
  explicit LineReader(std::string_view bytes) : rest_(bytes) {}
  bool AtEnd() const { return rest_.empty(); }
  // The next line without its line end, cut at a zero byte and at kLineLimit
  // (never inside a character). Empty at the end.
  std::string_view Next();

 private:
  std::string_view rest_;
};

// The whole file, or nothing when it cannot be opened or read.
std::optional<std::string> ReadWholeFile(const std::string& path);

}  // namespace qmb
