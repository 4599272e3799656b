// Fuzzes the copy of a file plug-in's tag record into the player: whatever
// the eleven fields hold (no terminator, bytes that are no UTF-8, a length
// that is no number), the copy is terminated and the entry's title and
// length come out within their limits under any title format.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "core/control_panel_model.h"
#include "core/status_codes.h"
#include "playlist/entry_title.h"
#include "playlist/playlist_store.h"
#include "plugins/plugin_use.h"
#include "tags/title_format.h"

namespace {

QmbTagRecord record;

QmbTagRecord* ReadTag(const char*) {
  return &record;
}

void Check(bool ok) {
  if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::size_t recordBytes = std::min(size, sizeof record);
  std::memset(&record, 0, sizeof record);
  std::memcpy(&record, data, recordBytes);
  std::string format(reinterpret_cast<const char*>(data) + recordBytes, size - recordBytes);
  if (format.empty()) format = qmb::kDefaultTitleFormat;

  qmb::PluginManager manager;
  qmb::PluginSlot<QmbFileModule> slot;
  slot.module.description = "Fuzzed tags";
  slot.module.extensions = "mp3";
  slot.module.ReadTag = ReadTag;
  manager.registry.file.push_back(slot);
  manager.registry.List(qmb::kFilePlugins).Append({"Fuzzed tags", "fuzz.qfp", true});

  std::optional<qmb::TagRecord> copy = manager.ReadTags("/fuzz/a.mp3");
  Check(copy.has_value());
  for (const char* field :
       {copy->genre, copy->artist, copy->album, copy->songName, copy->year, copy->copyright,
        copy->comment, copy->track, copy->mood, copy->rating, copy->length}) {
    Check(std::memchr(field, 0, qmb::kTagFieldSize) != nullptr);
  }

  qmb::ControlPanelModel panel;
  qmb::PlaylistStore store(panel);
  store.today = [] { return std::string("01/01/01"); };
  Check(qmb::AddPlaylistEntry(store, "/fuzz/a.mp3") == 1);
  Check(qmb::FormatEntryTitle(store.list, manager, format, "/fuzz/a.mp3", 0) == qmb::kOk);
  Check(store.list.Field(0, qmb::kTitle).size() <= qmb::kTitleLimit);
  manager.registry.file.clear();
  return 0;
}
