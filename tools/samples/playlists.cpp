#include <initializer_list>
#include <string>

#include "core/control_panel_model.h"
#include "playlist/playlist_files.h"
#include "playlist/playlist_store.h"
#include "tools/samples/pieces.h"

namespace qmb::samples {
namespace {

// The play order: the melody first, as the start script plays it at once.
constexpr const char* kPieces[] = {"Qumble Melody.ogg", "Qumble Chip.mod", "Qumble Waltz.mid"};

}  // namespace

void WritePlaylists(const std::string& folder) {
  ControlPanelModel panel;
  PlaylistStore all(panel);
  PlaylistStore welcome(panel);
  bool first = true;
  for (const char* name : kPieces) {
    std::string path = folder + "/" + name;
    AddPlaylistEntry(all, path);
    // The first piece comes from the command line; Welcome holds the rest.
    if (!first) AddPlaylistEntry(welcome, path);
    first = false;
  }
  SaveM3u(all.list, folder + "/Samples.m3u");
  SaveQpl(all.list, folder + "/Samples.qpl");
  SaveQpl(welcome.list, folder + "/Welcome.qpl");
}

}  // namespace qmb::samples
