#include "app/player_parts.h"

#include "core/command_line.h"
#include "core/player_core.h"
#include "core/status_codes.h"
#include "playlist/entry_location.h"
#include "playlist/playlist_files.h"

namespace qmb {

PlayerParts::PlayerParts(PlayerCore& core)
    : playlist(core.panel),
      playback(PlaybackParts{playlist, cueList, core.panel, core.state, checks, displays, equalizer,
                             plugins}) {
  playback.inputRoute = &inputRoute;
  playlist.inputPlugins.find = [this](const std::string& path) { return inputRoute.Find(path); };
  playlist.inputPlugins.icon = [this](int plugin, const std::string& ext) {
    return inputRoute.TypeIcon(plugin, ext);
  };
  playlist.playEntry = [this](int restart, int index, int resetRepeat) {
    playback.PlayEntry(restart ? Restart::Yes : Restart::No, index,
                       resetRepeat ? RepeatReset::Yes : RepeatReset::No);
  };
  playlistTitle.SetText("Playlist");
}

PlayerParts& TheParts() {
  static PlayerParts parts(ThePlayer());
  return parts;
}

void ProcessOwnCommandLine(PlayerParts& parts, const std::string& tail) {
  if (tail.empty()) return;
  // Kept whole, a relative path would name another file from another folder.
  std::string path = AbsoluteLocation(RemoveAll(tail, "\""));
  if (LoadPlaylist(parts.playlist, path, 1) == kOk) return;
  int status = AddPlaylistEntry(parts.playlist, path);
  if (status != kOk) {
    // A refused path must not start whatever row the cursor was on.
    ShowErrorCode(status);
    return;
  }
  parts.playback.PlayEntry(Restart::Yes, kCursorRow, RepeatReset::Yes);
}

}  // namespace qmb
