// Where an entry that a playlist file names lives: network addresses as
// written, file URIs as paths, and paths relative to the playlist's folder.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qmb {

// `text` with each "%XX" turned into its byte. A "%" without two hex digits
// stays as written, and so does "%00": a path cannot hold a zero byte.
std::string PercentDecode(std::string_view text);

// The local path a "file:" URI names ("file:///a%20b", "file://localhost/x",
// "file:/x"), percent-decoded; nothing for any other text or another host.
std::optional<std::string> FileUriPath(std::string_view text);

// Whether `path` names its file without a folder to start from: "/x", a
// Windows "\x" or "C:x" (kept whole so saving and reading again never changes
// them), or an address holding "://".
bool IsWholeLocation(std::string_view path);

// The entry a playlist line names, for a playlist in `folder` (absolute,
// ending in "/"; empty keeps relative paths as written): file URIs become
// paths, addresses and absolute paths stay whole, others join the folder.
std::string ResolveEntryLocation(std::string_view entry, std::string_view folder);

// The absolute folder of a playlist file, ending in "/": a relative path is
// taken from the working folder, as opening the file took it.
std::string PlaylistFolder(std::string_view playlistPath);

// `path` as this process names it anywhere: a relative path joined to the
// working folder, a file URI as its path; addresses and absolute paths whole.
// What a second start hands to a player that runs in another folder.
std::string AbsoluteLocation(std::string_view path);

}  // namespace qmb
