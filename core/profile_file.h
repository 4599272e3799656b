// Profile files (skin.ini, PLS playlists) with the Windows profile rules:
// section and key names compare without regard to letter case, the first
// matching section and key win, names and values are trimmed of blanks.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace qmb {

class ProfileFile {
 public:
  // Reads profile text; any bytes are accepted. Lines end in LF or CR LF.
  static ProfileFile Parse(std::string_view text);
  // The file's profile; an empty one when it does not exist or cannot be read,
  // as the profile functions answer defaults then.
  static ProfileFile Load(const std::string& path);

  std::optional<std::string> Get(std::string_view section, std::string_view key) const;
  // The value cut to `maxBytes` (never inside a character), or `fallback`.
  std::string GetString(std::string_view section, std::string_view key,
                        std::string_view fallback = {},
                        std::size_t maxBytes = static_cast<std::size_t>(-1)) const;
  // The leading whole number of the value (0 when it has none), or `fallback`
  // when the key is absent.
  int GetInt(std::string_view section, std::string_view key, int fallback) const;

  // The key names of the first matching section, in file order.
  std::vector<std::string> Keys(std::string_view section) const;

  // Replaces the first matching key's value or adds the key at the end of its
  // section, creating the section at the end of the file when needed.
  void Set(std::string_view section, std::string_view key, std::string_view value);

  // The profile as text with CR LF line ends. Lines that are neither sections
  // nor keys (comments) are kept where they were.
  std::string Text() const;
  // Writes Text() atomically; false when it could not be written.
  bool Save(const std::string& path) const;

 private:
  struct Line {
    std::string key;  // empty for a line kept as it was
    std::string value;
  };
  struct Section {
    std::string name;
    std::vector<Line> lines;
    std::unordered_map<std::string, std::size_t> firstKey;  // lower-cased key → line
  };
  const Section* FindSection(std::string_view name) const;
  static void AddLine(Section& section, Line line);

  std::vector<std::string> preamble_;  // lines before the first section
  std::vector<Section> sections_;
  std::unordered_map<std::string, std::size_t> firstSection_;  // lower-cased name → section
};

}  // namespace qmb
