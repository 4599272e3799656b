// The settings file "qmb.dat": the 704-byte little-endian image of
// PlayerSettings, no header, no version. Read at start, written by saving.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <string>

namespace qmb {

struct ControlPanelModel;
struct RunningState;

static_assert(std::endian::native == std::endian::little,
              "the settings image is little-endian; a big-endian port must swap fields");

struct PlayerSettings {
  char skinFolder[260];
  char browseFolder[260];
  std::int32_t windowX;
  std::int32_t windowY;
  float eqBands[10];
  float volume;
  float balance;
  std::int32_t skinStage;
  std::uint8_t shuffle;
  std::uint8_t loop;
  std::uint8_t reserved582[2];
  std::uint32_t skinRasterOp;
  std::int32_t currentEntry;
  std::uint8_t visKind;
  std::uint8_t spectrumStyle;
  std::uint8_t scopeStyle;
  std::uint8_t alphaBlending;
  std::uint8_t mainWindowAlpha;
  std::uint8_t playlistAlpha;
  std::uint8_t visualization;
  std::uint8_t splashScreen;
  std::uint8_t toolTips;
  std::uint8_t alwaysOnTop;
  std::uint8_t multipleInstances;
  std::uint8_t trayIcon;
  std::int32_t alphaOnSkinSwitch;
  std::int32_t visualDelay;
  std::int32_t coreDelay;
  std::uint8_t threadPriority;
  std::uint8_t priorityClass;
  std::uint8_t reserved618[2];
  std::int32_t autoAdvance;
  std::int32_t rememberizer;
  std::int32_t resumePosition;
  std::int32_t skipUnsupported;
  std::int32_t rawPcmUnsupported;
  std::int32_t repeatCount;
  std::int32_t invertSkin;
  std::int32_t randomSkinOnPlay;
  std::uint8_t internalVisOffWithPlugin;
  std::uint8_t batteryState[2];
  std::uint8_t batteryAction[2];
  std::uint8_t reserved657[3];
  std::int32_t mixerRate;
  std::int32_t outputDriver;
  std::int32_t outputDevice;
  std::int32_t equalizerDisabled;
  char tagFormat[20];
  std::int32_t useTags;
  std::int32_t showRemainingTime;
};

constexpr std::size_t kSettingsSize = 704;
static_assert(sizeof(PlayerSettings) == kSettingsSize);
static_assert(offsetof(PlayerSettings, tagFormat) == 676);

constexpr const char* kSettingsFileName = "qmb.dat";

// Every field at its default; the folders start from `programFolder`.
PlayerSettings DefaultSettings(const std::string& programFolder);

// Defaults, then the leading bytes of `dataFolder` (the program folder when
// empty) + "qmb.dat" when it exists. A file that exists but cannot be opened
// ends the program (code 1).
PlayerSettings ReadSettings(const std::string& programFolder, const std::string& dataFolder = {});

// Copies the settings into the controls and the running state (start-up).
void ApplySettings(const PlayerSettings& settings, ControlPanelModel& panel, RunningState& state);

// Gathers every field fresh from the controls and the running state into
// `settings`; the folder of the skin and the reserved bytes stay as they are.
void GatherSettings(PlayerSettings& settings, const ControlPanelModel& panel,
                    const RunningState& state);

// Gathers and writes `folder` + "qmb.dat". The file is replaced
// atomically; one that cannot be written ends the program (code 1).
void SaveSettings(PlayerSettings& settings, const std::string& folder,
                  const ControlPanelModel& panel, const RunningState& state);

// Stores `text` in a fixed text field, cut to fit with its terminating zero.
template <std::size_t N>
void SetTextField(char (&field)[N], const std::string& text);
void SetTextField(char* field, std::size_t size, const std::string& text);
template <std::size_t N>
void SetTextField(char (&field)[N], const std::string& text) {
  SetTextField(field, N, text);
}
// A fixed text field up to its first zero (or its whole size when it has none).
std::string TextField(const char* field, std::size_t size);
template <std::size_t N>
std::string TextField(const char (&field)[N]) {
  return TextField(field, N);
}

}  // namespace qmb
