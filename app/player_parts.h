// The parts of the running player that live above the application core:
// the playlist, the cue list, playback and the equalizer.
#pragma once

#include "eq/equalizer.h"
#include "playback/playback.h"
#include "playlist/playlist_editing.h"
#include "playlist/playlist_store.h"
#include "plugins/input_plugin_route.h"
#include "plugins/plugin_use.h"

namespace qmb {

struct PlayerCore;

struct PlayerParts {
  explicit PlayerParts(PlayerCore& core);

  PlaylistStore playlist;
  EntryList cueList{kCueFieldCount};
  EntryClipboard clipboard;
  SearchPanel search;
  // The playlist window's title ("Playlist - Item 3 / 10").
  EditModel playlistTitle;
  MenuChecks checks;
  PlaybackDisplays displays;
  Equalizer equalizer;
  // The loaded plug-ins; also where tags come from.
  PluginManager plugins;
  PluginInputRoute inputRoute{plugins.registry};
  Playback playback;
};

PlayerParts& TheParts();

// Start-up's own command line (its tail): a playlist is loaded, anything else
// appended and played. Nothing for an empty tail.
void ProcessOwnCommandLine(PlayerParts& parts, const std::string& tail);

}  // namespace qmb
