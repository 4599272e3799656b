#include "core/player_settings.h"

#include <cstdio>
#include <cstring>

#include "core/atomic_file.h"
#include "core/control_panel_model.h"
#include "core/file_failure.h"
#include "core/running_state.h"
#include "core/text_util.h"

namespace qmb {
namespace {

std::string SettingsPath(const std::string& programFolder) {
  return programFolder + kSettingsFileName;
}

// Trackbar positions and selections go into byte fields as their low 8 bits.
std::uint8_t Low8(int value) {
  return static_cast<std::uint8_t>(value & 0xFF);
}

}  // namespace

void SetTextField(char* field, std::size_t size, const std::string& text) {
  std::string cut = CutUtf8Copy(text, size - 1);
  std::memset(field, 0, size);
  std::memcpy(field, cut.data(), cut.size());
}

std::string TextField(const char* field, std::size_t size) {
  return std::string(field, strnlen(field, size));
}

PlayerSettings DefaultSettings(const std::string& programFolder) {
  PlayerSettings s;
  std::memset(&s, 0, sizeof s);
  SetTextField(s.skinFolder, programFolder + "Skins/Default/");
  SetTextField(s.browseFolder, programFolder + "Samples/");
  s.windowX = 10;
  s.windowY = 10;
  for (float& band : s.eqBands) band = 15.0f;
  s.volume = 200.0f;
  s.balance = 127.0f;
  s.skinRasterOp = kSourceCopy;
  s.alphaBlending = 1;
  s.mainWindowAlpha = 255;
  s.playlistAlpha = 255;
  s.visualization = 1;
  s.splashScreen = 1;
  s.toolTips = 1;
  s.trayIcon = 200;
  s.alphaOnSkinSwitch = 1;
  s.visualDelay = 30;
  s.coreDelay = 250;
  s.threadPriority = 3;
  s.autoAdvance = 1;
  s.resumePosition = -1;
  s.skipUnsupported = 1;
  s.internalVisOffWithPlugin = 1;
  s.mixerRate = 441;
  s.outputDriver = 2;
  SetTextField(s.tagFormat, "a - s");
  s.useTags = 1;
  return s;
}

PlayerSettings ReadSettings(const std::string& programFolder, const std::string& dataFolder) {
  PlayerSettings settings = DefaultSettings(programFolder);
  std::string path = SettingsPath(dataFolder.empty() ? programFolder : dataFolder);
  if (!PathExists(path)) return settings;
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) CannotOpenFile(path);
  // A shorter file replaces only its leading bytes; the rest keep their defaults.
  unsigned char image[kSettingsSize];
  std::size_t got = std::fread(image, 1, sizeof image, file);
  bool failed = std::ferror(file) != 0;  // a folder opens but does not read
  std::fclose(file);
  if (failed) CannotOpenFile(path);
  std::memcpy(&settings, image, got);
  return settings;
}

void ApplySettings(const PlayerSettings& s, ControlPanelModel& p, RunningState& r) {
  r.windowX = s.windowX;
  r.windowY = s.windowY;
  r.browseFolder = TextField(s.browseFolder);
  for (int i = 0; i < 10; ++i) r.sliders[i].value = s.eqBands[i];
  r.sliders[kVolumeSlider].value = s.volume;
  r.sliders[kBalanceSlider].value = s.balance;
  r.skinStage = s.skinStage;
  r.shuffle = s.shuffle != 0;
  r.loop = s.loop != 0;
  r.rasterOp = s.skinRasterOp;
  r.currentEntry = s.currentEntry;
  r.visKind = s.visKind;
  r.spectrumStyle = s.spectrumStyle;
  r.scopeStyle = s.scopeStyle;
  r.showRemainingTime = s.showRemainingTime != 0;

  p.alphaBlending.SetChecked(s.alphaBlending != 0);
  p.mainWindowAlpha.SetPosition(s.mainWindowAlpha);
  p.playlistAlpha.SetPosition(s.playlistAlpha);
  p.visualization.SetChecked(s.visualization != 0);
  p.splashScreen.SetChecked(s.splashScreen != 0);
  p.toolTips.SetChecked(s.toolTips != 0);
  p.alwaysOnTop.SetChecked(s.alwaysOnTop != 0);
  p.multipleInstances.SetChecked(s.multipleInstances != 0);
  p.trayIcon.SetPosition(s.trayIcon);
  p.alphaOnSkinSwitch.SetChecked(s.alphaOnSkinSwitch != 0);
  p.visualDelay.SetPosition(s.visualDelay);
  p.coreDelay.SetPosition(s.coreDelay);
  p.threadPriority.SetPosition(s.threadPriority);
  p.priorityClass.SetPosition(s.priorityClass);
  p.autoAdvance.SetChecked(s.autoAdvance != 0);
  p.rememberizer.SetChecked(s.rememberizer != 0);
  p.skipUnsupported.SetChecked(s.skipUnsupported != 0);
  p.rawPcmUnsupported.SetChecked(s.rawPcmUnsupported != 0);
  p.repeatCount.SetText(std::to_string(s.repeatCount));
  p.invertSkin.SetChecked(s.invertSkin != 0);
  p.randomSkinOnPlay.SetChecked(s.randomSkinOnPlay != 0);
  p.internalVisOffWithPlugin.SetChecked(s.internalVisOffWithPlugin != 0);
  for (int i = 0; i < 2; ++i) {
    p.batteryState[i].Select(s.batteryState[i]);
    p.batteryAction[i].Select(s.batteryAction[i]);
  }
  p.mixerRate.SetPosition(s.mixerRate);
  p.outputDriver.Select(s.outputDriver);
  p.outputDevice.Select(s.outputDevice);
  p.equalizerDisabled.SetChecked(s.equalizerDisabled != 0);
  p.tagFormat.SetText(TextField(s.tagFormat));
  p.useTags.SetChecked(s.useTags != 0);
}

void GatherSettings(PlayerSettings& s, const ControlPanelModel& p, const RunningState& r) {
  s.windowX = r.windowX;
  s.windowY = r.windowY;
  // The folder is cut to make room for its '/' rather than losing it, so a
  // folder read back from the image saves as the same bytes.
  std::string browse = r.browseFolder;
  if (browse.empty() || browse.back() != '/' || browse.size() >= sizeof s.browseFolder)
    browse = CutUtf8Copy(browse, sizeof s.browseFolder - 2);
  if (browse.empty() || browse.back() != '/') browse += '/';
  SetTextField(s.browseFolder, browse);
  for (int i = 0; i < 10; ++i) s.eqBands[i] = r.sliders[i].value;
  s.volume = r.sliders[kVolumeSlider].value;
  s.balance = r.sliders[kBalanceSlider].value;
  s.skinStage = r.skinStage;
  s.shuffle = r.shuffle ? 1 : 0;
  s.loop = r.loop ? 1 : 0;
  s.skinRasterOp = r.rasterOp;
  s.currentEntry = r.currentEntry;
  s.visKind = r.visKind;
  s.spectrumStyle = r.spectrumStyle;
  s.scopeStyle = r.scopeStyle;
  s.showRemainingTime = r.showRemainingTime ? 1 : 0;

  s.alphaBlending = p.alphaBlending.Checked();
  s.mainWindowAlpha = Low8(p.mainWindowAlpha.Position());
  s.playlistAlpha = Low8(p.playlistAlpha.Position());
  s.visualization = p.visualization.Checked();
  s.splashScreen = p.splashScreen.Checked();
  s.toolTips = p.toolTips.Checked();
  s.alwaysOnTop = p.alwaysOnTop.Checked();
  s.multipleInstances = p.multipleInstances.Checked();
  s.trayIcon = Low8(p.trayIcon.Position());
  s.alphaOnSkinSwitch = p.alphaOnSkinSwitch.Checked();
  s.visualDelay = p.visualDelay.Position();
  s.coreDelay = p.coreDelay.Position();
  s.threadPriority = Low8(p.threadPriority.Position());
  s.priorityClass = Low8(p.priorityClass.Position());
  s.autoAdvance = p.autoAdvance.Checked();
  s.rememberizer = p.rememberizer.Checked();
  s.resumePosition = (p.rememberizer.Checked() && r.playbackActive)
                         ? static_cast<std::int32_t>(r.sliders[kPositionSlider].value)
                         : -1;
  s.skipUnsupported = p.skipUnsupported.Checked();
  s.rawPcmUnsupported = p.rawPcmUnsupported.Checked();
  s.repeatCount = RepeatCountValue(p.repeatCount.Text());
  s.invertSkin = p.invertSkin.Checked();
  s.randomSkinOnPlay = p.randomSkinOnPlay.Checked();
  s.internalVisOffWithPlugin = p.internalVisOffWithPlugin.Checked();
  for (int i = 0; i < 2; ++i) {
    s.batteryState[i] = Low8(p.batteryState[i].HeldSelection());
    s.batteryAction[i] = Low8(p.batteryAction[i].HeldSelection());
  }
  s.mixerRate = p.mixerRate.Position();
  s.outputDriver = p.outputDriver.HeldSelection();
  s.outputDevice = p.outputDevice.HeldSelection();
  s.equalizerDisabled = p.equalizerDisabled.Checked();
  SetTextField(s.tagFormat, p.tagFormat.Text());
  s.useTags = p.useTags.Checked();
}

void SaveSettings(PlayerSettings& settings, const std::string& folder,
                  const ControlPanelModel& panel, const RunningState& state) {
  GatherSettings(settings, panel, state);
  std::string path = SettingsPath(folder);
  std::string_view image(reinterpret_cast<const char*>(&settings), kSettingsSize);
  if (!WriteFileAtomically(path, image)) CannotOpenFile(path);
}

}  // namespace qmb
