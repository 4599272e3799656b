// The "Control Panel" window: fourteen pages in a list on the left and the
// selected page's controls in the "Configuration" group. Every control
// shows a model the logic owns (the settings, the skin list and its
// information, the plug-in lists, the type list) and writes the user's
// changes back to it; buttons and some boxes send their command id.
#pragma once

#include <QObject>
#include <array>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "core/control_models.h"
#include "plugins/plugin_registry.h"
#include "skin/skin_selection.h"

class QTimer;
class QWidget;

namespace qmb {

struct ControlPanelModel;

constexpr int kControlPageCount = 14;
constexpr int kSkinsPage = 4;
constexpr int kVisualPluginsPage = 7;
extern const std::array<const char*, kControlPageCount> kControlPageNames;

// The panel's texts that are no settings: the captions the system services
// write, the type being typed and the type list's selection.
struct ControlPanelTexts {
  EditModel threadPriority;  // "Thread Priority" caption
  EditModel classPriority;   // "Class Priority" caption
  EditModel batteryStatus;
  EditModel powerStatus;
  EditModel newType;
  int selectedType = -1;
};

struct ControlPanelSources {
  ControlPanelModel* panel = nullptr;
  PluginRegistry* plugins = nullptr;
  EditModel* skinInfo = nullptr;
  ControlPanelTexts* texts = nullptr;
  // The installed skins, read again; a click on a row loads its folder.
  std::function<std::vector<SkinRow>()> skinRows;
  std::function<void(const std::string& folder)> loadSkin;
  // The input plug-in playing now, -1 when none.
  std::function<int()> activeInputPlugin;
  // Runs a command id through the switchboard.
  std::function<void(int id)> command;
};

class ControlPanel : public QObject {
 public:
  explicit ControlPanel(ControlPanelSources sources);
  ~ControlPanel() override;
  ControlPanel(const ControlPanel&) = delete;
  ControlPanel& operator=(const ControlPanel&) = delete;

  QWidget* Window() const { return window_; }
  // Hides every page's controls, then shows those of `page` (0-13); the
  // Skins page reads the skin list again first.
  void ShowPage(int page);
  int Page() const { return page_; }
  // Shown, raised and active.
  void Open();

 protected:
  bool eventFilter(QObject* object, QEvent* event) override;

 private:
  struct Row;
  void Build();
  QWidget* Create(const Row& row);
  void FillSkinList();
  void PaintPluginRows();
  template <class Model, class Slot>
  void Watch(Model& model, Slot slot);

  ControlPanelSources sources_;
  QWidget* window_ = nullptr;
  QWidget* pageList_ = nullptr;
  QWidget* skinList_ = nullptr;
  std::array<QWidget*, kPluginKindCount> pluginLists_{};
  std::array<std::vector<QWidget*>, kControlPageCount> pages_;
  QTimer* rowPainter_ = nullptr;
  int page_ = 0;
  std::vector<std::function<void()>> disconnects_;
};

}  // namespace qmb
