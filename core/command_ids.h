// Every command id of the menus, buttons and windows, by name. The menus, the
// switchboard, start-up, the skinned controls and the tests all use these;
// plug-ins send the same numbers through the host's command message, so a
// number never changes once given.
#pragma once

namespace qmb::command {

// The main menu and the skin's buttons.
constexpr int kAbout = 1;
constexpr int kCheckForUpdate = 2;
constexpr int kControlPanel = 3;
constexpr int kChooseSkin = 4;
constexpr int kRefreshSkin = 5;
constexpr int kPrevious = 6;
constexpr int kPlay = 7;
constexpr int kPause = 8;
constexpr int kStop = 9;
constexpr int kNext = 10;
constexpr int kOpen = 11;
constexpr int kRandom = 12;
constexpr int kLoop = 13;
constexpr int kShowPlaylist = 14;
constexpr int kHelp = 15;
constexpr int kNothing = 16;  // an id with an operation that does nothing
constexpr int kSaveSettings = 17;
constexpr int kExit = 18;

// The playlist window's buttons and search panel.
constexpr int kLocateCurrent = 1001;
constexpr int kSearchTextChanged = 1002;
constexpr int kSearchCategoryChanged = 1003;
constexpr int kPlaylistPlay = 1004;
constexpr int kPlaylistPause = 1005;
constexpr int kPlaylistStop = 1006;

// The control panel's buttons and boxes.
constexpr int kAlphaBlending = 4001;
constexpr int kEnableVisualization = 4002;
constexpr int kEnableToolTips = 4004;
constexpr int kAlwaysOnTop = 4005;
constexpr int kClosePanel = 4006;
constexpr int kStartVisualPlugin = 4007;
constexpr int kConfigureVisualPlugin = 4008;
constexpr int kStopVisualPlugin = 4009;
constexpr int kStartDspPlugin = 4010;
constexpr int kConfigureDspPlugin = 4011;
constexpr int kStopDspPlugin = 4012;
constexpr int kDisableInternalVis = 4013;
constexpr int kConfigureInputPlugin = 4014;
constexpr int kAddType = 4017;
constexpr int kDeleteType = 4018;
constexpr int kConfigureGeneralPlugin = 4020;
constexpr int kConfigureFilePlugin = 4021;
constexpr int kInvertSkin = 4025;
constexpr int kRestoreSoundDefaults = 4027;
constexpr int kResetSoundSystem = 4028;
constexpr int kDriverChanged = 4029;
constexpr int kDisableEqualizer = 4034;

// The equalizer menu and the preset window.
constexpr int kLoadEqPreset = 5000;
constexpr int kSaveEqPreset = 5001;
constexpr int kRaiseEq = 5002;
constexpr int kLowerEq = 5003;
constexpr int kNormalizeEq = 5004;
constexpr int kRandomizeEq = 5005;
constexpr int kPresetList = 20000;
constexpr int kClosePresetWindow = 20001;

// The playlist window's menu bar.
constexpr int kAddFiles = 5007;
constexpr int kAddUrl = 5008;
constexpr int kDeleteSelected = 5009;
constexpr int kDeleteAll = 5010;
constexpr int kSelectAll = 5011;
constexpr int kInvertSelection = 5012;
constexpr int kSelectNone = 5013;
constexpr int kSearchWindow = 5014;
constexpr int kCueList = 5015;
constexpr int kAnalyzeAllFiles = 5016;
constexpr int kAnalyzeSelectedFiles = 5017;

// The visual window's menu.
constexpr int kStartPlugin = 5018;
constexpr int kSelectPlugin = 5019;
constexpr int kConfigurePlugin = 5020;
constexpr int kStopPlugin = 5021;
constexpr int kDetachVisualWindow = 5022;
constexpr int kAttachVisualWindow = 5023;
constexpr int kSpectrumFireMode = 5024;
constexpr int kSpectrumDotMode = 5025;
constexpr int kSpectrumVoiceMode = 5026;
constexpr int kScopeLineMode = 5027;
constexpr int kScopeDotMode = 5028;
constexpr int kScopeWaveMode = 5029;

// The skin sliders' and buttons' right-click menus.
constexpr int kSeekToStart = 5030;
constexpr int kSeekToMiddle = 5031;
constexpr int kSeekToEnd = 5032;
constexpr int kVolumeHigh = 5033;
constexpr int kVolumeMedium = 5034;
constexpr int kVolumeLow = 5035;
constexpr int kMute = 5036;
constexpr int kPanLeft = 5037;
constexpr int kPanCenter = 5038;
constexpr int kPanRight = 5039;
constexpr int kStopWithFadeout = 5040;
constexpr int kStopAfterCurrent = 5041;
constexpr int kCloseAfterCurrent = 5042;
constexpr int kPreviousFive = 5043;
constexpr int kExitWithoutSaving = 5044;

// The copy window's cancel button.
constexpr int kCancelCopy = 6000;

// The playlist's context menu: the drive items of "Send To Media" take
// kFirstDrive + their index.
constexpr int kFirstDrive = 10000;
constexpr int kLastDrive = 10025;
constexpr int kChooseDestination = 10026;
constexpr int kCutItems = 10027;
constexpr int kPasteItems = 10028;
constexpr int kAddToCue = 10029;
constexpr int kProperties = 10030;
constexpr int kSavePlaylist = 10031;
constexpr int kLoadPlaylist = 10032;

// The Add Files window.
constexpr int kAddFilesDoubleClick = 50001;
constexpr int kAddSelected = 50002;
constexpr int kAddAll = 50003;
constexpr int kAddDirectories = 50004;
constexpr int kCloseAddFiles = 50005;
constexpr int kAddFilesOpen = 50010;
constexpr int kAddFilesPreview = 50011;
constexpr int kAddFilesStop = 50012;

// Not a menu item: the middle button on the main window inverts the skin.
constexpr int kMiddleButton = -2;

}  // namespace qmb::command
