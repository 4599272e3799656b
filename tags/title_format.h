// Building an entry's title from its tags under the user's title format.
#pragma once

#include <string>
#include <string_view>

#include "tags/tag_record.h"

namespace qmb {

// The longest title the format may build, in bytes.
constexpr std::size_t kTitleLimit = 2047;
constexpr const char* kDefaultTitleFormat = "a - s";

// The format with each tag letter (a s A g c y C t m r l L) replaced by its
// field and every other character copied; stops adding at kTitleLimit.
std::string ExpandTitleFormat(std::string_view format, const TagRecord& record);

// The length field in seconds, in single precision; 0 when it is no number.
float TagLengthSeconds(const TagRecord& record);

// Which title an entry gets: the built text when artist and song name are both
// there, else whichever of them is there, else `pathTitle`.
std::string ChooseTitle(const TagRecord& record, std::string built, std::string_view pathTitle);

}  // namespace qmb
