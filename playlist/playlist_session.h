// The playlist across runs and instances: the last playlist loaded at start
// and saved at exit, and the path a second start hands over.
#pragma once

#include <string>

#include "playlist/playlist_store.h"

namespace qmb {

constexpr const char* kLastPlaylistName = "QMB.qpl";
// Where an unrecognized last playlist is moved before the next save replaces it.
constexpr const char* kUnrecognizedPlaylistSuffix = ".unrecognized";

// Start-up: appends the entries of `programFolder` + "QMB.qpl". A missing file
// adds nothing; one that is not a playlist is moved aside so that saving at
// exit does not destroy it. Returns the reader's status.
[[nodiscard]] int LoadLastPlaylist(PlaylistStore& store, const std::string& programFolder);

// Shutdown: writes the playlist to `programFolder` + "QMB.qpl", atomically.
void SaveLastPlaylist(const EntryList& list, const std::string& programFolder);

// A second start's path: `wParam` 1 loads it as a playlist file; 0 appends it
// and starts it as "Play" does, showing a refusal.
void ReceiveHandOff(PlaylistStore& store, const std::string& path, int wParam);

}  // namespace qmb
