// Saving files so that a crash or a full disk mid-write never destroys the
// previous copy: the new content is written completely beside the target,
// flushed to disk, and then renamed over it.
#pragma once

#include <string>
#include <string_view>

namespace qmb {

// Replaces `path` with `content`. False when anything failed; the old file,
// if any, is then untouched and no temporary file is left behind.
[[nodiscard]] bool WriteFileAtomically(const std::string& path, std::string_view content);

// The temporary beside `path` that a save writes is `path` + this suffix +
// six characters. A save holds a lock on it while it writes.
constexpr std::string_view kSavingSuffix = ".qmb-saving-";

// Removes what a killed or crashed save left beside `path`: temporaries of
// that name that no running save holds. Never touches anything else.
void RemoveStaleTemporaries(const std::string& path);

// Whether a file (or anything else) exists at `path`.
bool PathExists(const std::string& path);

}  // namespace qmb
