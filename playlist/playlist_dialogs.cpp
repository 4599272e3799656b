#include "playlist/playlist_dialogs.h"

#include "core/file_dialog.h"
#include "playlist/playlist_files.h"

namespace qmb {

void SavePlaylistDialog(const PlaylistStore& store, const std::string& programFolder) {
  std::string path =
      FileDialog("Save Playlist", kPlaylistFilter, true, programFolder + "Playlists/", "qpl");
  if (!path.empty()) SavePlaylist(store.list, path);
}

void LoadPlaylistDialog(PlaylistStore& store, const std::string& programFolder) {
  std::string path =
      FileDialog("Load Playlist", kLoadPlaylistFilter, false, programFolder + "Playlists/", "qpl");
  if (!path.empty()) LoadPlaylist(store, path, 1);
}

}  // namespace qmb
