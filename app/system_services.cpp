#include "app/system_services.h"

#include <QTimer>
#include <QWidget>
#include <memory>
#include <optional>

#include "app/player_parts.h"
#include "app/shutdown.h"
#include "app/startup.h"
#include "app/switchboard.h"
#include "core/command_ids.h"
#include "core/desktop.h"
#include "core/player_core.h"
#include "services/about.h"
#include "services/file_association.h"
#include "services/power_status.h"
#include "services/priorities.h"
#include "services/update_check.h"
#include "ui/control_factory.h"
#include "ui/control_panel/control_panel.h"
#include "ui/menus.h"
#include "ui/skin/skinned_controls.h"
#include "ui/splash_window.h"
#include "ui/tray_icon.h"
#include "ui/update_fetcher.h"
#include "ui/upower_source.h"

namespace qmb {
namespace {

// A slow look at sysfs where nothing signals a change.
constexpr int kPowerPollMs = 30000;

struct Services {
  ControlPanelTexts texts;
  std::unique_ptr<ControlPanel> panel;
  std::unique_ptr<PriorityControl> priorities;
  std::unique_ptr<PowerSource> ownPower;
  std::unique_ptr<BatteryWatch> battery;
  std::unique_ptr<PlayerTray> tray;
  std::unique_ptr<SplashWindow> splash;
};

Services& TheServices() {
  static Services services;
  return services;
}

void RegisterPanelCommands(PlayerCore& player, PlayerWindows& windows) {
  Switchboard& board = *windows.board;
  Services& s = TheServices();
  ControlPanelModel& panel = player.panel;
  board.Register(command::kAbout, [] {
    TheDesktop().ShowMessage(AboutText(ProcessorCount(), ProcessorTypeNumber()), "About...",
                             MessageIcon::Information, MessageButtons::Ok);
  });
  board.Register(command::kCheckForUpdate, [&player] {
    // The check keeps the windows running while it waits; a second one
    // meanwhile is not started.
    static bool checking = false;
    if (checking) return;
    checking = true;
    QtUpdateFetcher fetcher;
    CheckForUpdate(fetcher, UpdateAddress(player.programFolder));
    checking = false;
  });
  board.Register(command::kControlPanel, [] { OpenControlPanel(-1); });
  board.Register(command::kSelectPlugin, [] { OpenControlPanel(kVisualPluginsPage); });
  board.Register(command::kClosePanel, [] { TheControlPanel()->Window()->hide(); });
  board.Register(command::kAlphaBlending, [] {
    if (TheSkinHooks().applyOpacity) TheSkinHooks().applyOpacity();
  });
  board.Register(command::kAlwaysOnTop, [&panel, &windows] {
    std::uint32_t top = panel.alwaysOnTop.Checked() ? std::uint32_t{kExTopmost} : 0u;
    SetWindowStyleBits(windows.main, top, kExTopmost & ~top, true);
  });
  board.Register(command::kDisableInternalVis, [&windows] {
    if (windows.controls && windows.controls->Visual()) windows.controls->Visual()->update();
  });
  board.Register(command::kAddType, [&player, &s] {
    AddType(s.texts.newType, player.panel.fileTypes, player.programFolder,
            XdgFoldersFromEnvironment());
  });
  board.Register(command::kDeleteType, [&player, &s] {
    DeleteType(player.panel.fileTypes, s.texts.selectedType, XdgFoldersFromEnvironment());
  });
  // The trackbars act as they move.
  panel.mainWindowAlpha.changed.Connect([&panel] {
    if (panel.alphaBlending.Checked() && TheSkinHooks().setSkinAlpha) {
      TheSkinHooks().setSkinAlpha(panel.mainWindowAlpha.Position());
    }
  });
  panel.priorityClass.changed.Connect(
      [&panel, &s] { s.priorities->ApplyClassStep(panel.priorityClass.Position()); });
  panel.threadPriority.changed.Connect(
      [&panel, &s] { s.priorities->ApplyThreadStep(panel.threadPriority.Position()); });
}

// A low or critical battery says so in the title display and runs its rules.
void OnPowerAlarm(PlayerCore& player, Playback& playback, PowerAlarm alarm) {
  bool critical = alarm == PowerAlarm::kCritical;
  if (playback.showStatusText) {
    playback.showStatusText(critical ? kBatteryCriticalText : kBatteryLowText, 5000);
  }
  ApplyPowerRules(critical ? 1 : 0, player,
                  PowerActions{[&playback] { playback.StopPlayback(CycleReset::No); }});
}

// UPower signals changes; sysfs is looked at again now and then.
void WatchPower(PlayerCore& player, Playback& playback, QWidget* owner, PowerSource* power) {
  Services& s = TheServices();
  if (!power) {
    s.ownPower = UPowerSource::Connect([] { CheckBattery(); });
    if (!s.ownPower) {
      s.ownPower = std::make_unique<SysfsPowerSource>();
      auto* timer = new QTimer(owner);
      QObject::connect(timer, &QTimer::timeout, [] { CheckBattery(); });
      timer->start(kPowerPollMs);
    }
    power = s.ownPower.get();
  }
  s.battery = std::make_unique<BatteryWatch>(
      *power, s.texts.batteryStatus, s.texts.powerStatus,
      [&player, &playback](PowerAlarm alarm) { OnPowerAlarm(player, playback, alarm); });
}

}  // namespace

SkinHooks& TheSkinHooks() {
  static SkinHooks hooks;
  return hooks;
}

ControlPanel* TheControlPanel() {
  return TheServices().panel.get();
}

void OpenControlPanel(int page) {
  ControlPanel* panel = TheControlPanel();
  if (!panel) return;
  if (page >= 0) panel->ShowPage(page);
  panel->Open();
}

void CreateControlPanel(PlayerCore& player, PlayerParts& parts, PlayerWindows& windows,
                        PowerSource* power) {
  Services& s = TheServices();
  ControlPanelSources sources;
  sources.panel = &player.panel;
  sources.plugins = &parts.plugins.registry;
  sources.skinInfo = TheSkinHooks().info;
  sources.texts = &s.texts;
  sources.skinRows = [] {
    return TheSkinHooks().rows ? TheSkinHooks().rows() : std::vector<SkinRow>{};
  };
  sources.loadSkin = [](const std::string& folder) {
    if (TheSkinHooks().load) TheSkinHooks().load(folder);
  };
  Playback& playback = parts.playback;
  sources.activeInputPlugin = [&playback] {
    return playback.st.usingPlugin ? playback.st.pluginIndex : -1;
  };
  Switchboard& board = *windows.board;
  sources.command = [&board](int id) { board.Command(id); };
  s.panel = std::make_unique<ControlPanel>(std::move(sources));
  s.priorities = std::make_unique<PriorityControl>(s.texts.threadPriority, s.texts.classPriority);
  RegisterPanelCommands(player, windows);

  // The loaded values take effect at once.
  for (int id : {command::kAlphaBlending, command::kEnableToolTips, command::kAlwaysOnTop}) {
    board.Command(id);
  }
  // The default steps leave the priorities the player was started with
  // (under nice, say), which an unprivileged user could not get back.
  int classStep = player.panel.priorityClass.Position();
  int threadStep = player.panel.threadPriority.Position();
  if (classStep != 0) s.priorities->ApplyClassStep(classStep);
  if (threadStep != 3) s.priorities->ApplyThreadStep(threadStep);
  s.priorities->ShowInForce();
  WatchPower(player, parts.playback, windows.main, power);
  CheckBattery();
}

void ShowStartupSplash(const PlayerCore& player) {
  TheServices().splash = ShowSplash(player.settings.splashScreen == 1, player.programFolder);
}

void CloseStartupSplash() {
  // Taken first, so a close asked for by an event during the fade finds none.
  std::unique_ptr<SplashWindow> splash = std::move(TheServices().splash);
  if (splash) splash->FadeOut();
}

void AddTrayIcon(PlayerCore& player, PlayerWindows& windows) {
  Services& s = TheServices();
  QWidget* main = windows.main;
  s.tray = std::make_unique<PlayerTray>(player.programFolder,
                                        windows.menus ? windows.menus->main : nullptr, [main] {
                                          main->update();
                                          main->showNormal();
                                          main->raise();
                                          main->activateWindow();
                                        });
  s.tray->Add(player.panel.trayIcon.Position());
  player.panel.trayIcon.changed.Connect(
      [&player, &s] { s.tray->SetIcon(player.panel.trayIcon.Position()); });
  AddShutdownStep([&s] { s.tray->Remove(); });
}

PlayerTray* TheTray() {
  return TheServices().tray.get();
}

void CheckBattery() {
  if (TheServices().battery) TheServices().battery->Check();
}

}  // namespace qmb
