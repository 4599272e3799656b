// The "Save Playlist..." and "Load Playlist..." commands: a file dialog in the
// program's Playlists folder, then the format the chosen extension names.
#pragma once

#include <string>

#include "playlist/playlist_store.h"

namespace qmb {

// The formats the save dialog offers, "|" between descriptions and patterns.
constexpr const char* kPlaylistFilter =
    "All Supported Types|*.qpl;*.pls;*.m3u;*.m3u8;*.qsp|Qumble Playlist (*.qpl)|*.qpl|Playlist "
    "Format (*.pls)|*.pls|M3U Playlist (*.m3u;*.m3u8)|*.m3u;*.m3u8|Qumble Simple Playlist "
    "(*.qsp)|*.qsp";
// The load dialog offers XSPF too, which the player reads but never writes.
constexpr const char* kLoadPlaylistFilter =
    "All Supported Types|*.qpl;*.pls;*.m3u;*.m3u8;*.qsp;*.xspf|Qumble Playlist (*.qpl)|*.qpl|"
    "Playlist Format (*.pls)|*.pls|M3U Playlist (*.m3u;*.m3u8)|*.m3u;*.m3u8|Qumble Simple "
    "Playlist (*.qsp)|*.qsp|XSPF Playlist (*.xspf)|*.xspf";

// Writes the playlist in the format of the chosen extension; any other
// extension writes nothing and says nothing.
void SavePlaylistDialog(const PlaylistStore& store, const std::string& programFolder);
// Loads the chosen file by its extension and shows the reader's status.
void LoadPlaylistDialog(PlaylistStore& store, const std::string& programFolder);

}  // namespace qmb
