// What every playlist-reader harness checks: the reader takes any bytes, and a
// playlist it loaded survives being written and read back in the same format.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/control_panel_model.h"
#include "playlist/playlist_files.h"

namespace qmb::fuzz {

using Parser = int (*)(PlaylistStore&, std::string_view);
using Writer = std::string (*)(const EntryList&);

inline void Check(bool ok) {
  if (!ok) std::abort();
}

// The folder relative entries join while fuzzing, as a playlist's would.
constexpr std::string_view kFolder = "/fuzz/lists/";

// Loads `bytes`, writes what it loaded, loads that again with `reparse` (the
// same reader when absent): every entry comes back, except those a writer
// must leave out (no path at all).
inline void RoundTrip(const std::uint8_t* data, std::size_t size, Parser parse, Writer write,
                      Parser reparse = nullptr) {
  ControlPanelModel panel;
  PlaylistStore first(panel);
  first.today = [] { return std::string("01/01/01"); };
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  int status = parse(first, bytes);
  Check(status == 1 || status == 24);
  for (int row = 0; row < first.list.Count(); ++row) {
    Check(first.list.Field(row, kTitle).size() <= kFieldReadLimit);
  }
  std::string text = write(first.list);
  PlaylistStore second(panel);
  second.today = first.today;
  Check((reparse ? reparse : parse)(second, text) == 1);
  int kept = 0;
  for (int row = 0; row < first.list.Count(); ++row) kept += WritableEntry(first.list, row);
  Check(kept == second.list.Count());
}

}  // namespace qmb::fuzz
