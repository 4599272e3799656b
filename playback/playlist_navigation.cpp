// What plays next: the cursor entry, the next in order or at random, the
// history, the cue list and the repeat count.
#include "core/control_panel_model.h"
#include "core/desktop.h"
#include "core/random_generator.h"
#include "core/running_state.h"
#include "core/status_codes.h"
#include "playback/playback.h"
#include "playlist/playlist_editing.h"
#include "playlist/playlist_store.h"

namespace qmb {
namespace {

constexpr int kRepeatLimit = 1000;

bool MarkedThisCycle(const EntryList& list, int row) {
  return list.FieldView(row, kPlayedThisCycle) == "Yes";
}

}  // namespace

int Playback::RepeatCount() const {
  int r = RepeatCountValue(p_.panel.repeatCount.Text());
  return r > kRepeatLimit ? kRepeatLimit : r;
}

void Playback::Remember(int index) {
  if (historyCount >= kHistorySize) historyCount = 0;
  history[historyCount++] = index;
}

void Playback::PlayEntry(Restart restart, int index, RepeatReset repeat) {
  if (st.state == kPaused && restart == Restart::No) {
    TogglePause();
    st.state = kPlaying;
    return;
  }
  int row = index == kCursorRow ? p_.playlist.list.Cursor() : index;
  if (row == -1) return;
  std::string path = EntryPath(p_.playlist.list, row);
  if (repeat == RepeatReset::Yes) repeatCounter = 0;
  // PlayPath's own stop raises the number once; a stop or a newer play while
  // an address opened raised it again, and then this play never happened.
  const std::uint32_t ours = st.openGeneration + 1;
  int status = PlayPath(path, {.indexGiven = index != kCursorRow});
  if (st.openGeneration != ours) return;
  if (status != kOk) {
    ShowErrorCode(status);
    return;
  }
  if (st.state != kPlaying) return;
  Remember(st.currentIndex);
  st.state = kPlaying;
}

void Playback::NextEntry(Advance why, int step) {
  const bool fromTrackEnd = why == Advance::AtTrackEnd;
  int r = RepeatCount();
  if (st.trackActive == 1 && fromTrackEnd) {
    if (r > 0) {
      if (repeatCounter <= r) {
        if (repeatCounter > 0) PlayEntry(Restart::Yes, st.currentIndex, RepeatReset::No);
        ++repeatCounter;
        return;
      }
      repeatCounter = 0;
    } else if (r < 0) {
      PlayEntry(Restart::Yes, st.currentIndex, RepeatReset::No);
      return;
    }
  }
  if (p_.cueList.Count() > 0) {
    PlayCueHead(0);
    return;
  }
  EntryList& list = p_.playlist.list;
  if (list.Count() == 0 && fromTrackEnd) {
    StopPlayback(CycleReset::No);
    return;
  }
  st.currentIndex += step;
  bool shuffle = p_.running.shuffle;
  if (shuffle) {
    // A finished cycle stops the player; the end of the track must not then
    // start a new cycle by playing the cursor row.
    if (!RandomNext()) return;
  } else {
    list.SetCursor(st.currentIndex >= list.Count() ? 0 : st.currentIndex);
  }
  if (st.trackActive == 1 || fromTrackEnd) PlayEntry(Restart::Yes, kCursorRow, RepeatReset::Yes);
}

bool Playback::RandomNext() {
  if (p_.cueList.Count() > 0) {
    PlayCueHead(0);
    return false;
  }
  RandomSeed(TheDesktop().UpTimeMs() / 1000);
  EntryList& list = p_.playlist.list;
  int rows = list.Count();
  if (rows == 0) {
    StopPlayback(CycleReset::No);
    return false;
  }
  bool anyUnmarked = false;
  for (int row = 0; row < rows && !anyUnmarked; ++row) anyUnmarked = !MarkedThisCycle(list, row);
  if (playedThisCycle >= rows || !anyUnmarked) {
    if (!p_.running.loop) {
      StopPlayback(CycleReset::Yes);
      return false;
    }
    // With loop on a finished cycle starts the next one instead of searching
    // for an unmarked row that is not there.
    for (int row = 0; row < rows; ++row) list.SetField(row, kPlayedThisCycle, "No");
    playedThisCycle = 0;
  }
  int row;
  do {
    row = static_cast<int>(RandomNumber() * rows);
    if (row >= rows) row = rows - 1;
  } while (MarkedThisCycle(list, row));
  ++playedThisCycle;
  list.SetCursor(row);
  list.SetField(row, kPlayedThisCycle, "Yes");
  return true;
}

void Playback::PreviousEntry(int back) {
  historyCount -= back + 1;
  if (historyCount >= 0) {
    st.currentIndex = history[historyCount];
  } else {
    historyCount = 0;
    st.currentIndex -= back;
  }
  EntryList& list = p_.playlist.list;
  list.SetCursor(st.currentIndex < 0 ? list.Count() - 1 : st.currentIndex);
  if (st.trackActive == 1) PlayEntry(Restart::Yes, kCursorRow, RepeatReset::Yes);
}

void Playback::PlayCueHead(int row) {
  EntryList& cue = p_.cueList;
  if (row < 0) row = cue.Cursor();
  if (!cue.IsRow(row)) return;
  std::string path(cue.WholeFieldView(row, 1));
  int playlistRow = ReferencedRow(cue.FieldView(row, 0));
  cueTitle_ = p_.playlist.list.Field(playlistRow, kTitle);
  if (cueTitle_.empty()) cueTitle_ = PathTitle(path);
  // The queue moves on whether or not this row opens; no message stops it.
  // The row goes first: a play started while an address opens may take
  // another row, and the numbers would no longer be this one's.
  cue.Remove(row);
  [[maybe_unused]] int status = PlayPath(path, {.fromCue = true});
}

}  // namespace qmb
