// The playlist file formats: QPL, PLS, M3U (also .m3u8) and QSP read and
// written, XSPF read only; loading or saving by a path's extension.
#pragma once

#include <string>
#include <string_view>

#include "playlist/entry_list.h"
#include "playlist/playlist_store.h"

namespace qmb {

// Writers replace the file atomically, so a crash mid-save keeps the previous
// one. A file that cannot be written ends the program ("Can't open file").
void SaveQpl(const EntryList& list, const std::string& path);
void SavePls(const EntryList& list, const std::string& path);
void SaveM3u(const EntryList& list, const std::string& path);
void SaveQsp(const EntryList& list, const std::string& path);

// The texts the writers produce, CR LF line ends.
std::string QplText(const EntryList& list);
std::string PlsText(const EntryList& list);
std::string M3uText(const EntryList& list);
std::string QspText(const EntryList& list);

// Whether a playlist file can hold the entry: one without a path plays
// nothing, and its empty path line would end the file for the reader.
bool WritableEntry(const EntryList& list, int row);

// Readers append the file's entries. 1 when loaded, 24 when the format is not
// recognized; a file that exists but cannot be read ends the program. Entries
// of PLS, M3U, QSP and XSPF files that are relative paths name files beside
// the playlist. Reading never writes a file nor fetches anything.
int LoadQpl(PlaylistStore& store, const std::string& path);
int LoadPls(PlaylistStore& store, const std::string& path);
int LoadM3u(PlaylistStore& store, const std::string& path);
int LoadQsp(PlaylistStore& store, const std::string& path);
int LoadXspf(PlaylistStore& store, const std::string& path);

// The readers over bytes already read; any bytes are accepted. `folder` is
// the playlist's absolute folder ending in "/" that relative entries join;
// empty keeps them as written.
int ParseQpl(PlaylistStore& store, std::string_view bytes);
int ParsePls(PlaylistStore& store, std::string_view bytes, std::string_view folder = {});
// An #EXTINF line titles the next path only; other "#" lines and blank lines
// are skipped, so files without an #EXTINF before each path read right.
int ParseM3u(PlaylistStore& store, std::string_view bytes, std::string_view folder = {});
int ParseQsp(PlaylistStore& store, std::string_view bytes, std::string_view folder = {});
// Each track's location, "creator - title" and duration. A damaged file keeps
// the tracks read before the damage; 24 only when none was read. Entities are
// never fetched nor expanded.
int ParseXspf(PlaylistStore& store, std::string_view bytes, std::string_view folder = {});

enum class PlaylistFormat { kNone, kQpl, kPls, kM3u, kQsp, kXspf };
// The format a path's lower-case extension names ("m3u8" is M3U). Network
// addresses are never playlist files: the player fetches no playlist.
PlaylistFormat PlaylistFormatOf(std::string_view path);

// 1 when the extension names a playlist format, else 24. With `load` 1 the
// file (a path or a "file:" URI) is read and the reader's status shown; with
// 0 nothing is read.
int LoadPlaylist(PlaylistStore& store, const std::string& path, int load);

// Writes the format the extension names; 24 (and nothing written) for others
// and for XSPF, which is only read.
int SavePlaylist(const EntryList& list, const std::string& path);

}  // namespace qmb
