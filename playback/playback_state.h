// The open item: what plays, through which route, and the texts and bars
// that show it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "core/control_models.h"

namespace qmb {

struct SoundStream;
struct MusicModule;

constexpr const char* kIdleTitle = "Qumble Player";

enum PlayState : std::uint8_t { kStopped = 1, kPlaying = 2, kPaused = 3 };

// Four 32-bit integers, as plug-ins hand them over.
struct StreamInfo {
  std::int32_t valid = 0;
  std::int32_t frequency = 0;  // Hz
  std::int32_t bitRate = 0;    // kbit/s
  std::int32_t lengthMs = 0;
};

struct PlaybackState {
  std::uint8_t state = kStopped;
  int usingPlugin = 0;
  int pluginIndex = -1;
  int isModule = 0;
  SoundStream* stream = nullptr;
  MusicModule* module = nullptr;
  int channel = -1;
  int trackActive = 0;
  // Raised by every stop: an address still opening whose number moved on was
  // abandoned, by a stop or by a newer play started while it opened.
  std::uint32_t openGeneration = 0;
  int currentIndex = -1;
  float lengthSeconds = 0.0f;
  std::optional<StreamInfo> info;
  std::string nowPlayingText = kIdleTitle;
  // What a network stream calls its current piece (its station's name until
  // it says); it stands for the title in `nowPlayingText`, while the entry
  // keeps its own. Empty for everything else.
  std::string streamTitle;
  unsigned metadataSerial = 0;
};

// What the title and time displays, the playlist window's status bar and
// progress bar show; their widgets follow `changed`.
struct PlaybackDisplays {
  std::string titleText = kIdleTitle;
  std::string timeText;
  std::string statusBarText;
  int progressMaximum = 0;
  int progressValue = 0;
  // A transient status text is up (until timer 2 ends it).
  bool messageShowing = false;
  // The user drags a slider: the tick leaves the seek slider alone.
  bool sliderDragging = false;
  // Counts the position timer's ticks: the title scrolls once per tick.
  std::uint64_t ticks = 0;
  ChangeSignal changed;
};

// The context menu's switches, whose check marks are their only record.
struct MenuChecks {
  CheckModel mute;
  CheckModel stopAfterCurrent;
  CheckModel closeAfterCurrent;
};

}  // namespace qmb
