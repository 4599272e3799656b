// Setting a playlist row's title and length from the tags of its file.
#pragma once

#include <string>

#include "playlist/entry_list.h"
#include "tags/tag_record.h"

namespace qmb {

// Builds the title of `row` from the tags `tags` has for `path` under
// `titleFormat` (the "Tag format" setting) and sets its length when the tags
// know it. Returns 1, or 20 when no tags were found (the row is left alone).
int FormatEntryTitle(EntryList& list, TagSource& tags, const std::string& titleFormat,
                     const std::string& path, int row);

// "Analyze All Files" and "Analyze Selected Files": the title of every
// (selected) row from its tags, keeping the windows alive between rows. Rows
// without tags are left as they are. Both return 1, or -1 when refused because
// the events between rows of a running analysis asked for another.
int AnalyzeAllFiles(EntryList& list, TagSource& tags, const std::string& titleFormat);
int AnalyzeSelectedFiles(EntryList& list, TagSource& tags, const std::string& titleFormat);

}  // namespace qmb
