#include "app/visualization.h"

#include <QTimer>
#include <QWidget>

#include "app/player_parts.h"
#include "app/shutdown.h"
#include "app/startup.h"
#include "app/switchboard.h"
#include "core/command_ids.h"
#include "core/player_core.h"
#include "eq/eq_presets.h"
#include "playback/sound_engine.h"
#include "ui/control_factory.h"
#include "ui/eq_preset_window.h"
#include "ui/menus.h"
#include "ui/skin/skinned_controls.h"
#include "ui/skin/visual_window.h"
#include "vis/visual_capture.h"

namespace qmb {
namespace {

struct Wiring {
  PlayerCore* player = nullptr;
  PlayerParts* parts = nullptr;
  QWidget* main = nullptr;
  QTimer* timer = nullptr;
  VisualRenderer* renderer = nullptr;
};

Wiring& TheWiring() {
  static Wiring wiring;
  return wiring;
}

bool Seen(const QWidget* window) {
  return window && window->isVisible() && !window->isMinimized();
}

// The visual timer runs only while a tick can draw something new that can
// be seen: a playlist track playing (not paused, not a preview) with the
// visualization on, and the main window shown, or a plug-in drawing into
// the "Visualization Window" while that is shown.
void UpdateVisualTimer() {
  Wiring& w = TheWiring();
  if (!w.timer) return;
  const PlaybackState& st = w.parts->playback.st;
  const bool pluginOwnWindow = w.parts->plugins.registry.visualRunning &&
                               w.renderer->state.detached && Seen(w.renderer->DetachedWindow());
  const bool run = st.trackActive == 1 && st.state == kPlaying &&
                   w.player->panel.visualization.Checked() && (Seen(w.main) || pluginOwnWindow);
  if (!run) {
    w.timer->stop();
  } else if (!w.timer->isActive()) {
    w.timer->start(TimerInterval(w.player->panel.visualDelay.Position()));
  }
}

void VisualTimerTick() {
  Wiring& w = TheWiring();
  PluginManager& plugins = w.parts->plugins;
  const ControlPanelModel& panel = w.player->panel;
  VisualTick tick =
      PlanVisualTick(w.parts->playback.st.trackActive == 1, panel.visualization.Checked(),
                     plugins.registry.visualRunning, panel.internalVisOffWithPlugin.Checked(),
                     w.renderer->state.detached);
  // A plug-in drawing into its own window keeps the timer going while the
  // main window is minimised; the internal picture waits for it.
  if (tick.run) w.renderer->RenderVisualFrame(tick.drawInternal && Seen(w.main), tick.callPlugin);
  // A plug-in that asked to be stopped, or a state that changed under way.
  UpdateVisualTimer();
}

// A running plug-in's Render into a surface of the target's size; its
// picture comes back as an image of its own.
bool RenderPlugin(PluginManager& plugins, int width, int height, const float* spectrum,
                  std::vector<std::int16_t>& block, QImage& picture) {
  if (!plugins.RenderVisualPlugin(width, height, spectrum, block)) return false;
  picture =
      QImage(reinterpret_cast<const uchar*>(plugins.SurfacePixels().data()), plugins.SurfaceWidth(),
             plugins.SurfaceHeight(), plugins.SurfaceWidth() * 4, QImage::Format_ARGB32)
          .copy();
  return true;
}

void WireVisualCommands(PlayerCore& player, PlayerParts& parts, VisualRenderer& renderer,
                        Switchboard& board) {
  board.Register(command::kDetachVisualWindow, [&renderer] { renderer.Detach(); });
  board.Register(command::kAttachVisualWindow, [&renderer] { renderer.Attach(); });
  for (int style = 0; style < 3; ++style) {
    auto s = static_cast<std::uint8_t>(style);
    board.Register(command::kSpectrumFireMode + style,
                   [&renderer, s] { renderer.SetSpectrumStyle(s); });
    board.Register(command::kScopeLineMode + style, [&renderer, s] { renderer.SetScopeStyle(s); });
  }
  board.Register(command::kEnableVisualization, [&player, &renderer] {
    Equalizer::UpdateSpectrumUnit(player.panel.visualization.Checked());
    renderer.RedrawVisualWindow();
  });
  // What the visual window shows goes back to the settings at exit.
  AddGatherStep([&renderer](PlayerCore& core) {
    core.state.visKind = renderer.state.visKind;
    core.state.spectrumStyle = renderer.state.spectrumStyle;
    core.state.scopeStyle = renderer.state.scopeStyle;
  });
  parts.playback.redrawVisual = [&renderer] { renderer.RedrawVisualWindow(); };
  parts.plugins.redrawVisual = [&renderer] { renderer.RedrawVisualWindow(); };
}

void WireEqualizerCommands(PlayerCore& player, SkinControls& controls, EqPresetWindow& window,
                           Switchboard& board) {
  static SetEqSlider setSlider = [&controls](int band, float value) {
    controls.SetSliderValue(band, value, 0);
  };
  auto bands = [&player] {
    EqBands values{};
    for (int band = 0; band < kEqBandCount; ++band) values[band] = player.state.sliders[band].value;
    return values;
  };
  const std::string& folder = player.programFolder;
  board.Register(command::kLoadEqPreset,
                 [&window, &folder] { window.Show(ListEqPresets(folder)); });
  board.Register(command::kSaveEqPreset, [&folder, bands] { SaveEqPresetDialog(folder, bands()); });
  board.Register(command::kRaiseEq, [bands] { ShiftEq(true, bands(), setSlider); });
  board.Register(command::kLowerEq, [bands] { ShiftEq(false, bands(), setSlider); });
  board.Register(command::kNormalizeEq, [] { NormalizeEq(setSlider); });
  board.Register(command::kRandomizeEq, [] { RandomizeEq(setSlider); });
  board.Register(command::kPresetList, [&window, &folder] {
    std::string name = window.Selected();
    if (!name.empty()) LoadEqPreset(EqPresetPath(folder, name), true, setSlider);
  });
  board.Register(command::kClosePresetWindow, [&window] { window.Close(); });
}

}  // namespace

VisualParts WireVisualization(PlayerCore& player, PlayerParts& parts, QWidget* main,
                              QTimer* visualTimer, SkinControls& controls, PlayerMenus& menus,
                              Switchboard& board) {
  static VisualRenderer renderer(controls, TheVisualCapture());
  renderer.state.visKind = player.state.visKind;
  renderer.state.spectrumStyle = player.state.spectrumStyle;
  renderer.state.scopeStyle = player.state.scopeStyle;
  renderer.spectrum = [] { return FSOUND_DSP_GetSpectrum(); };
  renderer.bufferLength = [] { return FSOUND_DSP_GetBufferLength(); };
  PluginManager& plugins = parts.plugins;
  renderer.renderPlugin = [&plugins](int width, int height, const float* spectrum,
                                     std::vector<std::int16_t>& block, QImage& picture) {
    return RenderPlugin(plugins, width, height, spectrum, block, picture);
  };
  renderer.menu = menus.visual;
  // Hidden until "Detach Visual Window"; closing it only hides it again.
  renderer.SetDetachedWindow(
      CreateTopWindow("Visualization Window", 100, 100, 300, 175, kStyleDefaultTop, 0));

  Wiring& w = TheWiring();
  w = {&player, &parts, main, visualTimer, &renderer};
  // After a mode change the picture follows at once, even while paused.
  renderer.changed = [] {
    Wiring& w = TheWiring();
    if (w.parts->playback.st.trackActive == 1) VisualTimerTick();
    UpdateVisualTimer();
  };
  QObject::connect(visualTimer, &QTimer::timeout, [] { VisualTimerTick(); });
  // What can start or stop the timer: playing and stopping (the displays
  // change then, and on every position tick), the check box, the delay,
  // a plug-in starting or stopping, any command.
  parts.displays.changed.Connect([] { UpdateVisualTimer(); });
  player.panel.visualization.changed.Connect([] { UpdateVisualTimer(); });
  player.panel.visualDelay.changed.Connect([] {
    Wiring& w = TheWiring();
    if (w.timer->isActive()) w.timer->start(TimerInterval(w.player->panel.visualDelay.Position()));
  });
  plugins.registry.List(kVisualPlugins).changed.Connect([] { UpdateVisualTimer(); });
  board.afterCommand = [] { UpdateVisualTimer(); };

  WireVisualCommands(player, parts, renderer, board);
  static EqPresetWindow presetWindow([&board](int id) { board.Command(id); });
  WireEqualizerCommands(player, controls, presetWindow, board);
  return {&renderer, &presetWindow, &UpdateVisualTimer};
}

}  // namespace qmb
