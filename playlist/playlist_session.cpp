#include "playlist/playlist_session.h"

#include <cstdio>

#include "core/atomic_file.h"
#include "core/status_codes.h"
#include "playlist/playlist_files.h"

namespace qmb {

int LoadLastPlaylist(PlaylistStore& store, const std::string& programFolder) {
  std::string path = programFolder + kLastPlaylistName;
  if (!PathExists(path)) return kUnknownPlaylistFormat;
  int status = LoadQpl(store, path);
  if (status != kOk) {
    std::string aside = path + kUnrecognizedPlaylistSuffix;
    std::rename(path.c_str(), aside.c_str());
  }
  return status;
}

void SaveLastPlaylist(const EntryList& list, const std::string& programFolder) {
  SaveQpl(list, programFolder + kLastPlaylistName);
}

void ReceiveHandOff(PlaylistStore& store, const std::string& path, int wParam) {
  if (wParam == 1) {
    LoadPlaylist(store, path, 1);
    return;
  }
  int status = AddPlaylistEntry(store, path);
  if (status != kOk) {
    ShowErrorCode(status);
    return;
  }
  if (store.playEntry) store.playEntry(0, -1, 1);
}

}  // namespace qmb
