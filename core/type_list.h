// "QMB.typ": the file types the player has associated with itself, one per line.
#pragma once

#include <string>

namespace qmb {

class StringListModel;

constexpr const char* kTypeListFileName = "QMB.typ";

// Appends the first word of every line of `path` to `list`; nothing when the
// file does not exist. One that exists but cannot be opened ends the program.
void ReadTypeList(const std::string& path, StringListModel& list);

// Writes each entry, trimmed, followed by a line end; replaced atomically.
void WriteTypeList(const std::string& path, const StringListModel& list);

}  // namespace qmb
