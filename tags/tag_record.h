// The tag record a file plug-in hands back for a path, and the seam through
// which the player asks for one.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qmb {

constexpr std::size_t kTagFieldSize = 100;

// Eleven zero-terminated 100-byte texts, laid out as plug-ins fill them.
struct TagRecord {
  char genre[kTagFieldSize];
  char artist[kTagFieldSize];
  char album[kTagFieldSize];
  char songName[kTagFieldSize];
  char year[kTagFieldSize];
  char copyright[kTagFieldSize];
  char comment[kTagFieldSize];
  char track[kTagFieldSize];
  char mood[kTagFieldSize];
  char rating[kTagFieldSize];
  char length[kTagFieldSize];  // milliseconds as decimal text
};
static_assert(sizeof(TagRecord) == 1100);

// A record with every field empty.
TagRecord EmptyTagRecord();

// The text of one field up to its terminator; a plug-in that forgot the
// terminator still yields at most the field's 100 bytes.
std::string_view TagText(const char (&field)[kTagFieldSize]);
// Sets a field, keeping room for the terminator and never splitting a character.
void SetTagText(char (&field)[kTagFieldSize], std::string_view text);

// Where tags come from: the file plug-in that claims a path. Nothing when no
// plug-in claims it or the plug-in has no record.
class TagSource {
 public:
  virtual ~TagSource() = default;
  virtual std::optional<TagRecord> ReadTags(const std::string& path) = 0;
};

// The source while no file plug-in is loaded: it never has tags.
class NoTagSource : public TagSource {
 public:
  std::optional<TagRecord> ReadTags(const std::string&) override { return std::nullopt; }
};

}  // namespace qmb
