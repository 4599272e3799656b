// Screenshots of four control panel pages and of a splash picture, drawn by
// the player's own windows over a program folder's defaults:
//   xvfb-run -a qmb_panel_screenshots <program folder> <output folder>
#include <QApplication>
#include <QPixmap>
#include <QWidget>
#include <cstdio>
#include <string>

#include "core/image_library.h"
#include "core/player_core.h"
#include "plugins/plugin_registry.h"
#include "services/power_status.h"
#include "services/priorities.h"
#include "skin/skin_info.h"
#include "skin/skin_selection.h"
#include "ui/control_panel/control_panel.h"
#include "ui/splash_window.h"

namespace {

bool Save(QWidget* window, const std::string& path) {
  QApplication::processEvents();
  if (window->grab().save(QString::fromStdString(path), "PNG")) return true;
  std::fprintf(stderr, "qmb_panel_screenshots: could not write %s\n", path.c_str());
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: qmb_panel_screenshots <program folder> <output folder>\n");
    return 2;
  }
  QApplication application(argc, argv);
  const std::string program = std::string(argv[1]) + "/";
  const std::string out = std::string(argv[2]) + "/";
  qmb::PlayerCore core;
  core.programFolder = program;
  core.settings = qmb::DefaultSettings(program);
  qmb::ApplySettings(core.settings, core.panel, core.state);
  core.panel.outputDevice.SetItems({"Default output"});
  core.panel.fileTypes.Append(".ogg");

  qmb::PluginRegistry plugins;
  qmb::LoadPlugins(plugins, program, nullptr);
  qmb::EditModel skinInfo;
  qmb::ShowSkinInfo(program + "Skins/Default/", skinInfo);
  qmb::ControlPanelTexts texts;
  qmb::PriorityControl priorities(texts.threadPriority, texts.classPriority);
  priorities.ShowInForce();
  qmb::SysfsPowerSource power;
  qmb::BatteryWatch battery(power, texts.batteryStatus, texts.powerStatus, nullptr);
  battery.Check();

  qmb::ControlPanelSources sources;
  sources.panel = &core.panel;
  sources.plugins = &plugins;
  sources.skinInfo = &skinInfo;
  sources.texts = &texts;
  sources.skinRows = [&program] { return qmb::EnumerateSkins(program); };
  sources.loadSkin = [](const std::string&) {};
  sources.activeInputPlugin = [] { return -1; };
  sources.command = [](int) {};
  qmb::ControlPanel panel(sources);
  panel.Open();
  bool ok = true;
  const struct {
    int page;
    const char* file;
  } kPages[] = {{0, "panel-general.png"},
                {1, "panel-performance.png"},
                {qmb::kSkinsPage, "panel-skins.png"},
                {12, "panel-sound-system.png"}};
  for (const auto& page : kPages) {
    panel.ShowPage(page.page);
    ok = Save(panel.Window(), out + page.file) && ok;
  }
  panel.Window()->hide();

  if (qmb::LoadImageLibrary(program) != 1) return 1;
  std::unique_ptr<qmb::SplashWindow> splash = qmb::ShowSplash(true, program);
  if (!splash) return 1;
  ok = Save(splash->Window(), out + "splash.png") && ok;
  qmb::UnloadPlugins(plugins);
  return ok ? 0 : 1;
}
