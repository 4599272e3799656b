#include "app/startup.h"

#include <QApplication>
#include <QEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QTimer>
#include <QWheelEvent>
#include <QWidget>
#include <QWindow>
#include <array>
#include <cstdio>
#include <cstdlib>

#include "app/control_interface.h"
#include "app/exit_signals.h"
#include "app/instance_channel.h"
#include "app/player_parts.h"
#include "app/playlist_windows.h"
#include "app/plugin_host.h"
#include "app/shutdown.h"
#include "app/switchboard.h"
#include "app/system_services.h"
#include "app/visualization.h"
#include "core/atomic_file.h"
#include "core/command_ids.h"
#include "core/command_line.h"
#include "core/desktop.h"
#include "core/image_library.h"
#include "core/player_core.h"
#include "core/status_codes.h"
#include "core/type_list.h"
#include "playback/sound_engine.h"
#include "playback/sound_setup.h"
#include "playlist/entry_location.h"
#include "playlist/playlist_files.h"
#include "playlist/playlist_session.h"
#include "skin/skin_definition.h"
#include "ui/control_factory.h"
#include "ui/control_panel/control_panel.h"
#include "ui/media_keys.h"
#include "ui/menus.h"
#include "ui/playlist/playlist_window.h"
#include "ui/skin/skin_window.h"
#include "ui/skin/skinned_controls.h"
#include "ui/skin/visual_window.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

namespace qmb {
namespace {

constexpr const char* kPlayerTitle = "Qumble Player";

[[noreturn]] void EndProcess(int code) {
  std::fflush(nullptr);
  std::_Exit(code);
}

// Keeps the running state current with what the main window does.
class MainWindowWatcher : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* object, QEvent* event) override {
    auto* window = static_cast<QWidget*>(object);
    switch (event->type()) {
      case QEvent::Move: {
        RunningState& state = ThePlayer().state;
        state.windowX = window->x();
        state.windowY = window->y();
        break;
      }
      case QEvent::MouseButtonPress:
        // Dragging anywhere on the skin moves the window.
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton &&
            window->windowHandle()) {
          window->windowHandle()->startSystemMove();
        }
        break;
      case QEvent::MouseButtonRelease: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        PlayerWindows& windows = TheWindows();
        if (mouse->button() == Qt::RightButton && windows.board) {
          QPoint at = mouse->position().toPoint();
          windows.board->MainWindowRightClick(at.x(), at.y(), windows.timeRect);
        } else if (mouse->button() == Qt::MiddleButton && windows.board) {
          windows.board->Command(command::kMiddleButton);
        }
        break;
      }
      case QEvent::Paint:
        if (TheWindows().controls) {
          QPainter painter(window);
          TheWindows().controls->DrawMainWindow(painter, static_cast<QPaintEvent*>(event)->rect());
          return true;
        }
        break;
      case QEvent::Wheel:
        if (TheWindows().controls) {
          auto* wheel = static_cast<QWheelEvent*>(event);
          TheWindows().controls->WheelSlider(wheel->angleDelta().y() > 0,
                                             wheel->globalPosition().toPoint());
          return true;
        }
        break;
      case QEvent::Show:
      case QEvent::Hide:
      case QEvent::WindowStateChange:
        // Nothing is drawn for a minimised or hidden window.
        if (TheWindows().updateVisualTimer) TheWindows().updateVisualTimer();
        break;
      case QEvent::Close:
        event->ignore();
        Shutdown(true);
      default:
        break;
    }
    return QObject::eventFilter(object, event);
  }
};

// A running instance takes the path and this process ends.
[[noreturn]] void HandOffAndEnd(const std::string& commandLine) {
  std::string tail = CommandTail(commandLine);
  if (tail.empty()) EndProcess(0);
  // The running player works in another folder: a relative path must not
  // reach it as written.
  std::string path = AbsoluteLocation(RemoveAll(tail, "\""));
  if (path.size() > kHandOffLimit) {
    // A cut path would name another file; the running player gets nothing.
    std::fprintf(stderr, "%s: the path is too long to hand over (%zu bytes, at most %zu).\n",
                 kPlayerTitle, path.size(), kHandOffLimit);
    EndProcess(0);
  }
  // LoadPlaylist with load 0 only tests the extension.
  PlaylistStore probe(ThePlayer().panel);
  int wParam = LoadPlaylist(probe, path, 0) == kOk ? 1 : 0;
  HandOffToRunningInstance(wParam, path);
  EndProcess(0);
}

void StartTimer(QTimer* timer, int milliseconds) {
  timer->start(TimerInterval(milliseconds));
}

// Inverts the skin, showing a refusal (the middle button and "Invert skin").
void InvertSkin(SkinWindows& skinWindows) {
  int status = skinWindows.ToggleSkinInversion();
  if (status != kOk) ShowErrorCode(status);
}

// The skinned controls on the main window, and the window side of
// loading a skin.
void CreateSkin(PlayerCore& player, PlayerParts& parts, PlayerWindows& windows, PlayerMenus& menus,
                ControlInterface& control) {
  static SkinLoader loader(player);
  loader.steps.requestShutdown = [] { Shutdown(true); };
  static SkinWindows skinWindows(player, loader);
  Switchboard& board = *windows.board;
  Playback& playback = parts.playback;
  SkinControlHooks hooks;
  hooks.command = [&board](int id) { board.Command(id); };
  hooks.applySlider = [&playback](int slider, float value) {
    playback.SetSliderApplied(slider, value);
  };
  hooks.stopAndResetCycle = [&playback] { playback.StopPlayback(CycleReset::Yes); };
  hooks.hideMainWindow = [&windows] { windows.main->showMinimized(); };
  hooks.nextSkinStage = [] { skinWindows.SetSkinStage(-1); };
  hooks.toggleInversion = [] { InvertSkin(skinWindows); };
  static SkinToolTips tips;
  hooks.setButtonTip = [](int button, const QString& title, const QString& text) {
    tips.UpdateTip(TheWindows().controls->Button(button), {title, text});
  };
  hooks.hideMainTip = [] { tips.HideTip(); };
  // The visual window's mouse goes to the visualization, made once the controls are.
  hooks.visualMouseRelease = [](QMouseEvent* event) {
    if (TheWindows().visual) TheWindows().visual->MouseReleased(event);
  };
  hooks.visualDoubleClick = [](QMouseEvent*) {
    if (TheWindows().visual) TheWindows().visual->DoubleClicked();
  };
  SkinControlMenus skinMenus{menus.main,      menus.exit, menus.previous, menus.stop,
                             menus.equalizer, menus.seek, menus.volume,   menus.balance};
  static SkinControls controls(windows.main, loader.skin, player.state, parts.displays, hooks,
                               skinMenus);
  windows.controls = &controls;

  skinWindows.mainWindow = windows.main;
  skinWindows.visualWindow = controls.Visual();
  for (int i = 0; i < kSkinButtonCount; ++i) skinWindows.buttons[i] = controls.Button(i);
  for (int i = 0; i < kSkinSliderCount; ++i) {
    skinWindows.tracks[i] = controls.Track(i);
    skinWindows.thumbs[i] = controls.Thumb(i);
  }
  skinWindows.InstallSteps();
  // The buttons' tips, built again whenever "Enable tool tips" is clicked.
  loader.tipColours = DesktopTipColours();
  auto buildTips = [&player] {
    std::array<QWidget*, kSkinButtonCount> buttons{};
    for (int i = 0; i < kSkinButtonCount; ++i) buttons[i] = controls.Button(i);
    const RunningState& state = player.state;
    tips.Build(buttons, player.panel.toolTips.Checked(),
               {.random = state.shuffle, .loop = state.loop, .stage = state.skinStage},
               SkinQColor(loader.skin.tipsForeColour), SkinQColor(loader.skin.tipsBackColour));
  };
  buildTips();
  player.panel.toolTips.changed.Connect(buildTips);
  skinWindows.placeControls = [&windows](const SkinDefinition& skin) {
    controls.PlaceControls();
    tips.SetColours(SkinQColor(skin.tipsForeColour), SkinQColor(skin.tipsBackColour));
    const SkinTextDisplay& time = skin.time;
    windows.timeRect = Rect{time.x1, time.y1, time.x2 - time.x1, time.y2 - time.y1};
  };
  loader.steps.reapplySliders = [&player] {
    for (int i = 0; i < kSkinSliderCount; ++i) {
      if (i != kPositionSlider) controls.SetSliderValue(i, player.state.sliders[i].value, 0);
    }
  };
  loader.steps.repaintMainWindow = [] { controls.PaintMainWindow(); };
  skinWindows.RefreshSkinList();
  skinWindows.showSkinsPage = [] { OpenControlPanel(kSkinsPage); };
  SkinHooks& page = TheSkinHooks();
  page.rows = [] {
    skinWindows.RefreshSkinList();
    return skinWindows.skinList;
  };
  page.load = [](const std::string& folder) {
    std::string path = folder;
    loader.LoadSkin(path, 0);
  };
  page.info = &loader.skinInfo;
  page.applyOpacity = [] { skinWindows.ApplyOpacitySettings(nullptr); };
  page.setSkinAlpha = [](int alpha) { skinWindows.SetSkinAlpha(alpha); };
  playback.randomSkin = [] { skinWindows.LoadRandomSkin(); };
  playback.showStatusText = [](const std::string& text, int milliseconds) {
    controls.ShowStatusText(text, milliseconds);
  };

  board.Register(command::kChooseSkin, [] { skinWindows.ChooseSkinFolder(0); });
  board.Register(command::kRefreshSkin, [&player] {
    std::string folder = TextField(player.settings.skinFolder);
    loader.LoadSkin(folder, 0);
  });
  board.Register(command::kRandom, [] { controls.ToggleShuffleLight(); });
  board.Register(command::kLoop, [] { controls.ToggleLoopLight(); });
  board.Register(command::kMiddleButton, [] { InvertSkin(skinWindows); });
  board.Register(command::kInvertSkin, [&player] {
    InvertSkin(skinWindows);
    player.panel.invertSkin.SetChecked(player.state.rasterOp == kInvertedSourceCopy);
  });
  control.loadSkin = [](const std::string& folder) {
    std::string path = folder;
    return loader.LoadSkin(path, 0);
  };
  control.skinStageCount = [] { return loader.skin.numStages; };
  control.setSkinStage = [](int stage) { skinWindows.SetSkinStage(stage); };
  control.toggleSkinInversion = [] { return skinWindows.ToggleSkinInversion(); };
  control.showMainWindow = [&windows] {
    windows.main->showNormal();
    windows.main->raise();
    windows.main->activateWindow();
  };

  windows.loadStartupSkin = [&player, &windows] {
    std::string folder = TextField(player.settings.skinFolder);
    loader.LoadSkin(folder, 1);
    windows.main->setGeometry(player.settings.windowX, player.settings.windowY, loader.skin.mainW,
                              loader.skin.mainH);
    skinWindows.ApplyOpacitySettings(windows.playlists ? windows.playlists->Playlist().Window()
                                                       : nullptr);
  };
}

void CreateInstanceServer(QWidget* mainWindow) {
  auto* server = new InstanceServer(InstanceHandlers{
                                        [mainWindow] { return mainWindow->isMinimized(); },
                                        [mainWindow] { return mainWindow->isActiveWindow(); },
                                        [mainWindow] { QApplication::alert(mainWindow, 0); },
                                        [mainWindow] {
                                          mainWindow->raise();
                                          mainWindow->activateWindow();
                                        },
                                        [](int wParam, const std::string& path) {
                                          ReceiveHandOff(TheParts().playlist, path, wParam);
                                        },
                                    },
                                    mainWindow);
  server->Listen();
  // The socket goes with the player, so the next start does not probe a dead one.
  AddShutdownStep([server] { server->Close(); });
}

// The order of shutdown after saving: playback, timers, the engine.
void RegisterShutdown(PlayerParts& parts, PlayerWindows& windows) {
  Playback& playback = parts.playback;
  AddShutdownStep([&playback] { ++playback.st.openGeneration; }, true);
  AddGatherStep([&playback](PlayerCore& core) {
    core.state.currentEntry = playback.st.currentIndex;
    core.state.playbackActive = playback.st.state != kStopped;
  });
  AddSaveStep(
      [&parts](PlayerCore& core) { SaveLastPlaylist(parts.playlist.list, DataFolder(core)); });
  AddShutdownStep([&playback] { playback.StopPlayback(CycleReset::No); });
  AddShutdownStep([&windows] {
    windows.visualTimer->stop();
    windows.coreTimer->stop();
  });
  // The plug-ins' exit calls, then their libraries go.
  AddShutdownStep([&parts] { parts.plugins.Unload(); });
  AddShutdownStep([] { FSOUND_Close(); });
#if defined(__SANITIZE_ADDRESS__)
  // Shutdown's _Exit skips LeakSanitizer's check at exit; the sanitizer build
  // runs it here, last, so a leak in the running player fails its tests.
  AddShutdownStep([] { __lsan_do_leak_check(); });
#endif
}

void WirePlayback(PlayerParts& parts, PlayerWindows& windows) {
  Playback& playback = parts.playback;
  PlaybackDisplays& displays = parts.displays;
  playback.exitProgram = [] { Shutdown(true); };
  playback.showStatusText = [&displays, &windows](const std::string& text, int milliseconds) {
    displays.titleText = text;
    displays.messageShowing = true;
    windows.statusTimer->start(milliseconds);
    displays.changed.Emit();
  };
  QObject::connect(windows.statusTimer, &QTimer::timeout,
                   [&displays] { displays.messageShowing = false; });
  QObject::connect(windows.coreTimer, &QTimer::timeout, [&playback] { playback.PositionTick(); });
}

}  // namespace

PlayerWindows& TheWindows() {
  static PlayerWindows windows;
  return windows;
}

int TimerInterval(int milliseconds) {
  return milliseconds < 10 ? 10 : milliseconds;
}

void StartPlayer(const std::string& commandLine, const std::string& programFolder) {
  PlayerCore& player = ThePlayer();
  PlayerWindows& windows = TheWindows();
  player.programFolder = programFolder;
  // An installed player keeps what it writes in the user's config folder.
  player.dataFolder = ChooseDataFolder(programFolder);
  const std::string& dataFolder = player.dataFolder;

  // A signal ends the player at any moment, a message box or dialog open
  // included. Until start-up has read what the player keeps, ending saves
  // nothing: the files on disk are still the whole state.
  AllowSaving(false);
  WatchExitSignals(QCoreApplication::instance(), [] { Shutdown(true); });

  // The factory's scale factors; Qt stands for the window class.
  TheFactoryScale() = FactoryScale{1.0, 1.0};

  // Bring a running instance forward before anything else.
  int running = ActivateRunningInstance(kWindowClassName);

  // What a killed save left beside the files the player keeps goes first.
  for (const char* kept : {kSettingsFileName, kTypeListFileName, kLastPlaylistName}) {
    RemoveStaleTemporaries(dataFolder + kept);
  }

  // Settings, defaults first.
  player.settings = ReadSettings(programFolder, dataFolder);

  // One instance unless the user allows several.
  if (running == 1 && player.settings.multipleInstances == 0) HandOffAndEnd(commandLine);

  // The picture library: without it there is no face to show.
  int status = LoadImageLibrary(programFolder);
  ShowErrorCode(status);
  if (status != kOk) EndProcess(0);
  ShowStartupSplash(player);

  // The main window, hidden until it has its face.
  windows.main = CreateTopWindow(kPlayerTitle, player.settings.windowX, player.settings.windowY, 0,
                                 0, kStylePopup | kStyleSysMenu, kExAppWindow | kExAcceptFiles);
  if (!windows.main) {
    TheDesktop().ShowMessage(
        "Windows is having a very bad day. It does not recognize Qumble Player as a valid "
        "window.\r\nPlease restart Windows and end it's suffering.",
        "Severe Error", MessageIcon::Error, MessageButtons::Ok);
    EndProcess(0);
  }
  windows.main->installEventFilter(new MainWindowWatcher(windows.main));
  windows.visualTimer = new QTimer(windows.main);
  windows.coreTimer = new QTimer(windows.main);
  windows.statusTimer = new QTimer(windows.main);
  windows.statusTimer->setSingleShot(true);
  CreateInstanceServer(windows.main);

  // The running state and the control panel's controls from the
  // settings; the sound page hands its output and device to the engine.
  ApplySettings(player.settings, player.panel, player.state);
  PrepareSoundSystemPage(player.panel);

  PlayerParts& parts = TheParts();
  Playback& playback = parts.playback;
  WirePlayback(parts, windows);
  RegisterShutdown(parts, windows);
  static Switchboard board(player, parts);
  windows.board = &board;

  // The control interface that plug-ins reach through their host handle.
  static ControlInterface control(player, parts);
  static PluginHost host(control, [](int id) { return board.Command(id); });
  windows.host = &host;

  // The plug-ins, which may drive the player through the host at once.
  parts.plugins.host = host.Host();
  parts.plugins.Load(programFolder);

  // The menus, built once; every item goes through the switchboard.
  static PlayerMenus menus(parts.checks, [](int id) { TheWindows().board->Command(id); });
  windows.menus = &menus;
  board.openMainMenu = [&windows](int x, int y) {
    menus.main->popup(windows.main->mapToGlobal(QPoint(x, y)));
  };
  CreateSkin(player, parts, windows, menus, control);
  QCoreApplication::instance()->installEventFilter(
      new MediaKeys([](int id) { TheWindows().board->Command(id); },
                    [&playback] { return playback.st.state; }, windows.main));
  VisualParts visual = WireVisualization(player, parts, windows.main, windows.visualTimer,
                                         *windows.controls, menus, board);
  windows.visual = visual.renderer;
  windows.presetWindow = visual.presetWindow;
  // The control panel and the services it applies at once.
  CreateControlPanel(player, parts, windows);

  // The associated file types and the last playlist.
  ReadTypeList(dataFolder + kTypeListFileName, player.panel.fileTypes);
  // A last playlist that cannot be read is set aside; the player starts empty.
  static_cast<void>(LoadLastPlaylist(parts.playlist, dataFolder));
  AddTrayIcon(player, windows);

  // The cursor and the current entry.
  SetPlaylistCursor(parts.playlist.list, player.settings.currentEntry);
  playback.st.currentIndex = player.settings.currentEntry;

  // The playlist window and the Add Files window, hidden, made once the
  // last playlist is in: a long list is then shown at once rather than
  // announced to the view row by row. Files dropped on the main window are
  // taken as on the playlist window.
  static PlaylistWindows playlistWindows(player, parts, board, menus);
  windows.playlists = &playlistWindows;
  playlistWindows.AcceptDropsOn(windows.main);
  AllowSaving(true);

  // The skin, then the main window's place at the skin's size and the
  // opacity settings.
  windows.loadStartupSkin();

  // The sound system; the player goes on without sound.
  ShowErrorCode(InitSoundSystem(player.panel));

  // Slider ranges, then every value applied.
  for (int i = 0; i < kEqBandCount; ++i) player.state.sliders[i].maximum = 30.0f;
  player.state.sliders[kVolumeSlider].maximum = 255.0f;
  player.state.sliders[kBalanceSlider].maximum = 255.0f;
  for (int i = 0; i < kEqBandCount; ++i) playback.SetSliderApplied(i, player.settings.eqBands[i]);
  playback.SetSliderApplied(kVolumeSlider, player.settings.volume);
  playback.SetSliderApplied(kBalanceSlider, player.settings.balance);

  // Nothing plays yet.
  playback.st.nowPlayingText = kIdleTitle;

  // The core timer, restarted when its trackbar moves; the visual timer runs
  // only while a picture can change and be seen; the status timer is started
  // by each transient status text.
  StartTimer(windows.coreTimer, player.panel.coreDelay.Position());
  player.panel.coreDelay.changed.Connect(
      [&] { StartTimer(windows.coreTimer, player.panel.coreDelay.Position()); });

  // The path this start was given.
  std::string tail = CommandTail(commandLine);
  ProcessOwnCommandLine(parts, tail);

  // Resume where the last run stopped.
  if (player.settings.resumePosition != -1 && tail.empty()) {
    playback.PlayEntry(Restart::No, kCursorRow, RepeatReset::Yes);
    playback.SetSliderApplied(kPositionSlider, static_cast<float>(player.settings.resumePosition));
  }

  // Show the main window; the title display shows the title again.
  windows.main->show();
  parts.displays.messageShowing = false;
  windows.controls->PaintMainWindow();
  windows.updateVisualTimer = visual.updateTimer;
  windows.updateVisualTimer();

  CloseStartupSplash();
}

int RunPlayer(const std::string& commandLine, const std::string& programFolder) {
  StartPlayer(commandLine, programFolder);
  return QApplication::exec();
}

}  // namespace qmb
