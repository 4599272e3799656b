// The control panel's window over the real models: which controls each page
// shows, that every control starts from its setting and that a change is
// what qmb.dat saves, and the plug-in and skin lists.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSlider>
#include <QTreeWidget>
#include <cstring>
#include <filesystem>

#include "core/player_core.h"
#include "player_core_setup.h"
#include "plugins/plugin_registry.h"
#include "scripted_desktop.h"
#include "temp_folder.h"
#include "ui/control_panel/control_panel.h"

namespace qmb::test {
namespace {

class ControlPanelTest : public ::testing::Test {
 protected:
  void SetUp() override { SetUpPlayerCore(core, folder.Path()); }
  void TearDown() override { UnloadPlugins(plugins); }

  // The panel over the settings file `image` (defaults when empty).
  ControlPanel& Panel(const std::string& image = {}) {
    if (!image.empty()) {
      folder.Write("qmb.dat", image);
      core.settings = ReadSettings(folder.Path());
      ApplySettings(core.settings, core.panel, core.state);
    }
    ControlPanelSources sources;
    sources.panel = &core.panel;
    sources.plugins = &plugins;
    sources.skinInfo = &skinInfo;
    sources.texts = &texts;
    sources.skinRows = [] {
      return std::vector<SkinRow>{{"Plain", "/skins/Plain"}, {"", "/skins/Bare"}};
    };
    sources.loadSkin = [this](const std::string& folder) { loaded.push_back(folder); };
    sources.activeInputPlugin = [] { return -1; };
    sources.command = [this](int id) { commands.push_back(id); };
    panel = std::make_unique<ControlPanel>(sources);
    return *panel;
  }
  template <class W>
  W* Find(const char* name) {
    auto* widget = panel->Window()->findChild<W*>(name);
    EXPECT_NE(widget, nullptr) << name;
    return widget;
  }

  TempFolder folder;
  ScriptedDesktop desktop;
  PlayerCore core;
  PluginRegistry plugins;
  EditModel skinInfo;
  ControlPanelTexts texts;
  std::vector<std::string> loaded;
  std::vector<int> commands;
  std::unique_ptr<ControlPanel> panel;
};

// Which page a control belongs to is its qmbPage: a page shows those controls
// and no other, and the frame's controls stay on every page.
TEST_F(ControlPanelTest, EachPageShowsExactlyItsControls) {
  ControlPanel& p = Panel();
  QWidget* window = p.Window();
  auto* pageList = Find<QTreeWidget>("pageList");
  ASSERT_EQ(pageList->topLevelItemCount(), kControlPageCount);
  EXPECT_EQ(pageList->topLevelItem(11)->text(0), "Power Managment");
  // Pages 1 to 13 come from clicks in the page list, the first one last.
  for (int page : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 0}) {
    pageList->setCurrentItem(pageList->topLevelItem(page));
    ASSERT_EQ(p.Page(), page);
    int shown = 0;
    for (QWidget* child : window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
      const QVariant on = child->property("qmbPage");
      const bool visible = child->isVisibleTo(window);
      EXPECT_EQ(visible, !on.isValid() || on.toInt() == page) << child->objectName().toStdString();
      shown += visible && on.isValid();
    }
    EXPECT_GT(shown, 1) << kControlPageNames[page];
  }
}

// One setting of qmb.dat: the control that shows it, where it is kept, the
// value a file gives it and the value the user changes it to.
struct Field {
  const char* control;
  std::size_t offset;
  int size;  // bytes
  int start;
  int changed;
};

const Field kFields[] = {
    {"alphaBlending", 595, 1, 0, 1},    {"mainWindowAlpha", 596, 1, 200, 100},
    {"playlistAlpha", 597, 1, 180, 90}, {"visualization", 598, 1, 0, 1},
    {"splashScreen", 599, 1, 0, 1},     {"toolTips", 600, 1, 0, 1},
    {"alwaysOnTop", 601, 1, 1, 0},      {"multipleInstances", 602, 1, 1, 0},
    {"trayIcon", 603, 1, 202, 204},     {"alphaOnSkinSwitch", 604, 4, 0, 1},
    {"visualDelay", 608, 4, 50, 120},   {"coreDelay", 612, 4, 300, 500},
    {"threadPriority", 616, 1, 2, 4},   {"priorityClass", 617, 1, 2, 1},
    {"autoAdvance", 620, 4, 0, 1},      {"rememberizer", 624, 4, 1, 0},
    {"skipUnsupported", 632, 4, 0, 1},  {"rawPcmUnsupported", 636, 4, 1, 0},
    {"repeatCount", 640, 4, 3, 7},      {"invertSkin", 644, 4, 1, 0},
    {"randomSkinOnPlay", 648, 4, 1, 0}, {"internalVisOffWithPlugin", 652, 1, 0, 1},
    {"batteryState0", 653, 1, 1, 0},    {"batteryState1", 654, 1, 0, 1},
    {"batteryAction0", 655, 1, 2, 3},   {"batteryAction1", 656, 1, 1, 0},
    {"mixerRate", 660, 4, 320, 480},    {"outputDriver", 664, 4, 6, 0},
    {"outputDevice", 668, 4, 1, 0},     {"equalizerDisabled", 672, 4, 1, 0},
    {"useTags", 696, 4, 0, 1},
};
constexpr std::size_t kTagFormatOffset = 676;

// What a control shows, as a number.
int Shown(QWidget* control) {
  if (auto* box = qobject_cast<QCheckBox*>(control)) return box->isChecked();
  if (auto* slider = qobject_cast<QSlider*>(control)) return slider->value();
  if (auto* combo = qobject_cast<QComboBox*>(control)) return combo->currentIndex();
  return qobject_cast<QLineEdit*>(control)->text().toInt();
}

void Change(QWidget* control, int value) {
  if (auto* box = qobject_cast<QCheckBox*>(control)) return box->click();
  if (auto* slider = qobject_cast<QSlider*>(control)) return slider->setValue(value);
  if (auto* combo = qobject_cast<QComboBox*>(control)) return combo->setCurrentIndex(value);
  qobject_cast<QLineEdit*>(control)->setText(QString::number(value));
}

TEST_F(ControlPanelTest, EveryControlStartsFromItsSettingAndSavesTheUsersChange) {
  std::string image(704, '\0');
  PlayerSettings defaults = DefaultSettings(folder.Path());
  std::memcpy(image.data(), &defaults, image.size());
  for (const Field& field : kFields)
    std::memcpy(image.data() + field.offset, &field.start, static_cast<std::size_t>(field.size));
  std::memcpy(image.data() + kTagFormatOffset, "t - a", 6);
  core.panel.outputDevice.SetItems({"Default", "Second"});
  Panel(image);
  EXPECT_EQ(Find<QLineEdit>("repeatCount")->text(), "3") << "the number alone";
  for (const Field& field : kFields) {
    QWidget* control = Find<QWidget>(field.control);
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(Shown(control), field.start) << field.control;
    Change(control, field.changed);
  }
  auto* tagFormat = Find<QLineEdit>("tagFormat");
  EXPECT_EQ(tagFormat->text(), "t - a");
  tagFormat->setText("s (a)");
  SaveSettings(core.settings, folder.Path(), core.panel, core.state);
  std::string saved = folder.Read("qmb.dat");
  ASSERT_EQ(saved.size(), 704u);
  EXPECT_STREQ(saved.c_str() + kTagFormatOffset, "s (a)");
  for (const Field& field : kFields) {
    int value = 0;
    std::memcpy(&value, saved.data() + field.offset, static_cast<std::size_t>(field.size));
    EXPECT_EQ(value, field.changed) << field.control;
  }
  // A clicked box sends its command; a moved trackbar sends none.
  EXPECT_NE(std::find(commands.begin(), commands.end(), 4034), commands.end());
}

TEST_F(ControlPanelTest, TrayIconTrackbarTakesOnly200To204) {
  Panel();
  auto* tray = Find<QSlider>("trayIcon");
  for (auto [asked, taken] : {std::pair{199, 200}, {205, 204}}) {
    tray->setValue(asked);
    EXPECT_EQ(std::pair(tray->value(), core.panel.trayIcon.Position()), std::pair(taken, taken));
  }
}

TEST_F(ControlPanelTest, AnUntickedInputPluginStaysLoadedButIsSkippedAndGrey) {
  std::filesystem::create_directories(folder.Path() + "Plugins");
  std::filesystem::copy_file(QMB_TEST_PLUGIN_DIR "/input_a.QIP", folder.Path() + "Plugins/a.qip");
  LoadPlugins(plugins, folder.Path(), nullptr);
  Panel();
  auto* list = Find<QTreeWidget>("inputPlugins");
  ASSERT_EQ(list->topLevelItemCount(), 1);
  EXPECT_EQ(list->topLevelItem(0)->checkState(0), Qt::Checked);
  EXPECT_EQ(FindInputPlugin(plugins, "/music/x.tone"), 0);
  list->topLevelItem(0)->setCheckState(0, Qt::Unchecked);
  EXPECT_EQ(plugins.input.size(), 1u);
  EXPECT_EQ(FindInputPlugin(plugins, "/music/x.tone"), -1);
  EXPECT_EQ(list->topLevelItem(0)->foreground(0).color(), QColor(150, 150, 150));
}

TEST_F(ControlPanelTest, TheSkinsPageReadsTheListAndAClickLoadsThatSkin) {
  ControlPanel& p = Panel();
  p.ShowPage(kSkinsPage);
  auto* list = Find<QTreeWidget>("skinList");
  ASSERT_EQ(list->topLevelItemCount(), 2);
  EXPECT_EQ(list->topLevelItem(1)->text(1), "Bare");
  emit list->itemClicked(list->topLevelItem(1), 0);
  EXPECT_EQ(loaded, std::vector<std::string>{"/skins/Bare"});
  skinInfo.SetText("A plain skin.");
  EXPECT_EQ(Find<QPlainTextEdit>("skinInfo")->toPlainText(), "A plain skin.");
}

}  // namespace
}  // namespace qmb::test
