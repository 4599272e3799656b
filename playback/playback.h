// Playback: opening an entry by its route, the transport, the position timer
// with the end of a track, and the navigation that decides what plays next.
#pragma once

#include <array>
#include <functional>
#include <string>

#include "playback/playback_state.h"

namespace qmb {

class EntryList;
class Equalizer;
class InputRoute;
class PlaylistStore;
class TagSource;
struct ControlPanelModel;
struct RunningState;

// Whether PlayEntry resumes a paused track (No) or opens the entry again.
enum class Restart { No, Yes };
// Whether PlayEntry starts the repeat count anew.
enum class RepeatReset { No, Yes };
// Whether StopPlayback also starts the random cycle anew: every entry's
// "played this cycle" goes back to "No" and the repeat count to 0.
enum class CycleReset { No, Yes };
// Why NextEntry moves on: at a track's end the repeat count and the end of
// the list decide; on request it just steps.
enum class Advance { OnRequest, AtTrackEnd };
// PlayEntry's index for "the entry under the playlist cursor".
constexpr int kCursorRow = -1;

// What PlayPath opens the path as.
struct PlayPathOptions {
  // A playlist track: statistics, title and visualization follow it. A
  // preview is no track.
  bool track = true;
  // The cue list's head: titled from its cue row; the current entry stays.
  bool fromCue = false;
  // The caller has set the current entry; otherwise it is the cursor's row.
  bool indexGiven = false;
};

// What playback reaches outside itself.
struct PlaybackParts {
  PlaylistStore& playlist;
  EntryList& cueList;
  ControlPanelModel& panel;
  RunningState& running;
  MenuChecks& checks;
  PlaybackDisplays& displays;
  Equalizer& equalizer;
  TagSource& tags;
};

class Playback {
 public:
  explicit Playback(PlaybackParts parts);

  PlaybackState st;
  // Null until plug-ins are loaded.
  InputRoute* inputRoute = nullptr;
  // Ends the program as "Exit" does (Close After Current).
  std::function<void()> exitProgram;
  // Loads a random skin when "Random skin on play" is on.
  std::function<void()> randomSkin;
  // Repaints the visualization after a stop.
  std::function<void()> redrawVisual;
  // Shows a transient text in the title display for `milliseconds`.
  std::function<void(const std::string& text, int milliseconds)> showStatusText;

  // Opening and playing. A status: kOk, or why the path did not open.
  [[nodiscard]] int PlayPath(const std::string& path, PlayPathOptions options = {});
  int FindInputPlugin(const std::string& path) const;

  // Transport.
  void StopPlayback(CycleReset reset);
  void TogglePause();
  void ApplyVolume(float value);
  void ApplyBalance(float value);
  void SeekTo(float seconds);
  void ToggleMute();
  void StopWithFadeout();
  // The context menu's transport commands 5030-5042.
  void TransportCommand(int command);
  // Moves a slider (volume, balance or position) and applies its value.
  void SetSliderApplied(int slider, float value);

  // The position timer.
  void PositionTick();
  void TrackEnded();
  static std::string ClockText();
  // The open item's position and length in ms, from its route.
  void ReadPosition(int& positionMs, int& lengthMs) const;
  // Takes a network stream's new title into the now-playing text.
  void RefreshStreamTitle();

  // Navigation.
  // Plays row `index` (kCursorRow: the cursor's); a failure shows its message.
  void PlayEntry(Restart restart, int index, RepeatReset repeat);
  void NextEntry(Advance why, int step);
  void PreviousEntry(int back);
  // False when it stopped the player (or played the cue) instead of moving
  // the cursor.
  bool RandomNext();
  void PlayCueHead(int row);
  // The repeat count from its edit box, at most 1000.
  int RepeatCount() const;

  int playedThisCycle = 0;
  int repeatCounter = 0;
  static constexpr int kHistorySize = 254;
  std::array<int, kHistorySize> history{};
  int historyCount = 0;

  // Volume saved while a module is muted.
  std::uint8_t savedModuleVolume = 0;

 private:
  int OpenCdTrack(const std::string& path);
  int OpenNetworkStream(const std::string& path, std::uint32_t generation);
  int OpenFileStream(const std::string& path);
  void UpdatePlayedEntry();
  void ComposeNowPlaying();
  std::optional<StreamInfo> EngineStreamInfo() const;
  bool PluginOwnsOutput() const;
  void Remember(int index);
  void ResetSeekSlider();

  PlaybackParts p_;
  // The title of the cue row being played.
  std::string cueTitle_;
  // The title of what plays, as its entry or cue row names it.
  std::string playingTitle_;
};

}  // namespace qmb
