#include "ui/control_panel/control_panel.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCursor>
#include <QEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QTimer>
#include <QToolTip>
#include <QTreeWidget>
#include <filesystem>
#include <variant>

#include "core/command_ids.h"
#include "core/control_panel_model.h"
#include "ui/control_factory.h"

namespace qmb {

const std::array<const char*, kControlPageCount> kControlPageNames = {
    "General",           "Performance",     "Visualization",   "Playback",         "Skins",
    "Input Plug-ins",    "DSP Plug-ins",    "Visual Plug-ins", "General Plug-ins", "File Plug-ins",
    "Shell Integration", "Power Managment", "Sound System",    "Tag Setup"};

namespace {

constexpr int kClientWidth = 450;
constexpr int kClientHeight = 320;
// The inner right edge of the "Configuration" group, and where the
// controls right of a label begin.
constexpr int kGroupRight = 433;
constexpr int kControlColumn = 215;
const QColor kRunningColour(255, 0, 0);
const QColor kUntickedColour(150, 150, 150);

const char* const kLetterLegend =
    "a = Artist           s = Song name\n"
    "A = Album            g = Genre\n"
    "c = Comment          y = Year\n"
    "C = Copyright        t = Track\n"
    "m = Mood             r = Rating\n"
    "l = Length           L = Length in seconds";

enum class Kind {
  kCheck,
  kLabel,
  kCaption,  // a label whose text a model writes
  kTrackbar,
  kLine,  // one-line edit box
  kText,  // multi-line read-only box
  kCombo,
  kButton,
  kSkinList,
  kPluginList,
  kTypeList,
};

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

// A report list view: full-row select, the given columns.
QTreeWidget* ReportList(QWidget* parent, const QStringList& columns,
                        const std::vector<int>& widths) {
  auto* list = new QTreeWidget(parent);
  list->setRootIsDecorated(false);
  list->setUniformRowHeights(true);
  list->setSelectionBehavior(QAbstractItemView::SelectRows);
  list->setSelectionMode(QAbstractItemView::SingleSelection);
  list->setHeaderLabels(columns);
  list->header()->setStretchLastSection(false);
  for (int i = 0; i < static_cast<int>(widths.size()); ++i) list->setColumnWidth(i, widths[i]);
  return list;
}

}  // namespace

using Binding = std::variant<std::monostate, CheckModel*, TrackbarModel*, ComboModel*, EditModel*,
                             StringListModel*, PluginKind>;

struct ControlPanel::Row {
  int page;
  Kind kind;
  const char* text;
  const char* name;  // the widget's object name
  int id;
  int x, y, w, h;
  Binding model;
  int tick = 0;  // a trackbar's tick interval; 0 for every step
};

ControlPanel::ControlPanel(ControlPanelSources sources) : sources_(std::move(sources)) {
  Build();
}

ControlPanel::~ControlPanel() {
  for (auto& disconnect : disconnects_) disconnect();
  delete window_;
}

template <class Model, class Slot>
void ControlPanel::Watch(Model& model, Slot slot) {
  int id = model.changed.Connect(slot);
  disconnects_.push_back([&model, id] { model.changed.Disconnect(id); });
}

void ControlPanel::Build() {
  window_ = CreateTopWindow("Control Panel", 10, 10, kClientWidth, kClientHeight,
                            kStyleCaption | kStyleSysMenu, kExToolWindow | kExAppWindow);
  window_->setObjectName("controlPanel");
  window_->installEventFilter(this);
  const int W = kClientWidth;
  const int H = kClientHeight;

  QPushButton* close =
      CreateButton("Close", window_, command::kClosePanel, W - 110, H - 30, 100, 25);
  close->setObjectName("close");
  QObject::connect(close, &QPushButton::clicked,
                   [this] { sources_.command(command::kClosePanel); });

  auto* pages = ReportList(window_, {"Configure"}, {100});
  pages->setObjectName("pageList");
  pages->setGeometry(5, 5, 125, H - 40);
  // One column as wide as the list, so every page name reads whole.
  pages->header()->setStretchLastSection(true);
  for (const char* name : kControlPageNames) pages->addTopLevelItem(new QTreeWidgetItem({name}));
  pageList_ = pages;
  QObject::connect(pages, &QTreeWidget::itemSelectionChanged, [this, pages] {
    int row = pages->indexOfTopLevelItem(pages->currentItem());
    if (row >= 0 && row != page_) ShowPage(row);
  });
  CreateGroupBox("Configuration", window_, 0, 135, 5, 303, H - 40);

  ControlPanelModel& p = *sources_.panel;
  ControlPanelTexts& t = *sources_.texts;
  using K = Kind;
  const Row rows[] = {
      {0, K::kCheck, "Enable alpha-blending capabilities", "alphaBlending", 4001, 140, 25, 200, 15,
       &p.alphaBlending},
      {0, K::kLabel, "Main window:", "mainWindowLabel", 0, 140, 45, 75, 15, {}},
      {0, K::kTrackbar, "", "mainWindowAlpha", 0, 215, 45, 200, 20, &p.mainWindowAlpha, 15},
      {0, K::kLabel, "Playlist:", "playlistLabel", 0, 140, 65, 75, 15, {}},
      {0, K::kTrackbar, "", "playlistAlpha", 0, 215, 65, 200, 20, &p.playlistAlpha, 15},
      {0, K::kCheck, "Enable splash screen", "splashScreen", 4003, 140, 85, 200, 15,
       &p.splashScreen},
      {0, K::kCheck, "Enable tool tips", "toolTips", 4004, 140, 105, 200, 15, &p.toolTips},
      {0, K::kCheck, "Always on top", "alwaysOnTop", 4005, 140, 125, 135, 15, &p.alwaysOnTop},
      {0, K::kCheck, "Allow multiple instances", "multipleInstances", 4015, 140, 145, 200, 15,
       &p.multipleInstances},
      {0, K::kLabel, "Tray icon:", "trayIconLabel", 0, 140, 165, 75, 15, {}},
      {0, K::kTrackbar, "", "trayIcon", 0, 215, 165, 200, 20, &p.trayIcon},
      {0, K::kCheck, "Alpha-blend when switching skins", "alphaOnSkinSwitch", 4031, 140, 185, 175,
       15, &p.alphaOnSkinSwitch},
      {1, K::kLabel, "Visual delay:", "visualDelayLabel", 0, 140, 25, 75, 15, {}},
      {1, K::kTrackbar, "", "visualDelay", 0, 215, 25, 200, 20, &p.visualDelay, 15},
      {1, K::kLabel, "Core delay:", "coreDelayLabel", 0, 140, 45, 75, 15, {}},
      {1, K::kTrackbar, "", "coreDelay", 0, 215, 45, 200, 20, &p.coreDelay, 25},
      {1, K::kCaption, "Thread Priority", "threadPriorityName", 0, 170, 65, 75, 15,
       &t.threadPriority},
      {1, K::kCaption, "Class Priority", "classPriorityName", 0, 300, 65, 75, 15, &t.classPriority},
      {1, K::kLabel, "Priority Class:", "priorityClassLabel", 0, 140, 85, 200, 15, {}},
      {1, K::kTrackbar, "", "priorityClass", 0, 215, 85, 200, 20, &p.priorityClass},
      {1, K::kLabel, "Thread Priority:", "threadPriorityLabel", 0, 140, 105, 75, 15, {}},
      {1, K::kTrackbar, "", "threadPriority", 0, 215, 105, 200, 20, &p.threadPriority},
      {2, K::kCheck, "Enable visualization", "visualization", 4002, 140, 25, 200, 15,
       &p.visualization},
      {2, K::kCheck, "Disable internal vis when using plug-in", "internalVisOffWithPlugin", 4013,
       140, 45, 255, 15, &p.internalVisOffWithPlugin},
      {3, K::kCheck, "Automatically advance to next track", "autoAdvance", 4022, 140, 25, 200, 15,
       &p.autoAdvance},
      {3, K::kCheck, "Enable Rememberizer", "rememberizer", 4023, 140, 45, 255, 15,
       &p.rememberizer},
      {3, K::kCheck, "Do not add unsupported files to list", "skipUnsupported", 4024, 140, 65, 255,
       15, &p.skipUnsupported},
      {3, K::kCheck, "Treat unsupported files as raw pcm", "rawPcmUnsupported", 4032, 140, 85, 255,
       15, &p.rawPcmUnsupported},
      {3, K::kLabel, "Repeat count:", "repeatCountLabel", 0, 140, 105, 75, 15, {}},
      {3, K::kLine, "", "repeatCount", 4033, 215, 105, 200, 20, &p.repeatCount},
      {4, K::kSkinList, "", "skinList", 0, 140, 25, 290, 125, {}},
      {4, K::kText, "", "skinInfo", 0, 140, 155, 290, 85, sources_.skinInfo},
      {4, K::kCheck, "Invert skin", "invertSkin", 4025, 140, 243, 100, 15, &p.invertSkin},
      {4, K::kCheck, "Random skin on play", "randomSkinOnPlay", 4026, 240, 243, 125, 15,
       &p.randomSkinOnPlay},
      {5, K::kPluginList, "", "inputPlugins", 0, 140, 25, 290, 210, kInputPlugins},
      {5, K::kButton, "Configure", "configureInput", 4014, 140, 240, 290, 25, {}},
      {6, K::kPluginList, "", "dspPlugins", 0, 140, 25, 290, 210, kDspPlugins},
      {6, K::kButton, "Start", "startDsp", 4010, 140, 240, 90, 25, {}},
      {6, K::kButton, "Configure", "configureDsp", 4011, 235, 240, 100, 25, {}},
      {6, K::kButton, "Stop", "stopDsp", 4012, 340, 240, 90, 25, {}},
      {7, K::kPluginList, "", "visualPlugins", 0, 140, 25, 290, 210, kVisualPlugins},
      {7, K::kButton, "Start", "startVisual", 4007, 140, 240, 90, 25, {}},
      {7, K::kButton, "Configure", "configureVisual", 4008, 235, 240, 100, 25, {}},
      {7, K::kButton, "Stop", "stopVisual", 4009, 340, 240, 90, 25, {}},
      {8, K::kPluginList, "", "generalPlugins", 0, 140, 25, 290, 210, kGeneralPlugins},
      {8, K::kButton, "Configure", "configureGeneral", 4020, 140, 240, 290, 25, {}},
      {9, K::kPluginList, "", "filePlugins", 0, 140, 25, 290, 210, kFilePlugins},
      {9, K::kButton, "Configure", "configureFile", 4021, 140, 240, 290, 25, {}},
      {10, K::kTypeList, "", "typeList", 4016, 140, 25, 290, 210, &p.fileTypes},
      {10, K::kLine, "", "newType", 4019, 140, 240, 90, 25, &t.newType},
      {10, K::kButton, "Add Type", "addType", 4017, 235, 240, 100, 25, {}},
      {10, K::kButton, "Delete Type", "deleteType", 4018, 340, 240, 90, 25, {}},
      {11, K::kCaption, "", "batteryStatus", 0, 140, 25, 255, 15, &t.batteryStatus},
      {11, K::kCaption, "", "powerStatus", 0, 140, 45, 255, 15, &t.powerStatus},
      {11, K::kLabel, "If battery state is:", "batteryRuleLabel", 0, 140, 65, 255, 15, {}},
      {11, K::kCombo, "", "batteryState0", 0, 140, 85, 125, 20, &p.batteryState[0]},
      {11, K::kCombo, "", "batteryAction0", 0, 275, 85, 125, 15, &p.batteryAction[0]},
      {11, K::kCombo, "", "batteryState1", 0, 140, 110, 125, 15, &p.batteryState[1]},
      {11, K::kCombo, "", "batteryAction1", 0, 275, 110, 125, 15, &p.batteryAction[1]},
      {12, K::kLabel, "Mixer rate:", "mixerRateLabel", 0, 140, 25, 75, 15, {}},
      {12, K::kTrackbar, "", "mixerRate", 0, 215, 25, 200, 20, &p.mixerRate, 15},
      {12, K::kLabel, "Driver:", "driverLabel", 0, 140, 50, 75, 15, {}},
      {12, K::kCombo, "", "outputDriver", 4029, 215, 50, 200, 15, &p.outputDriver},
      {12, K::kLabel, "Device:", "deviceLabel", 0, 140, 75, 75, 15, {}},
      {12, K::kCombo, "", "outputDevice", 0, 215, 75, 200, 15, &p.outputDevice},
      {12, K::kButton, "Restore Defaults", "restoreDefaults", 4027, 140, 100, 135, 25, {}},
      {12, K::kButton, "Reset Sound System", "resetSoundSystem", 4028, 280, 100, 135, 25, {}},
      {12, K::kCheck, "Disable equalizer", "equalizerDisabled", 4034, 140, 130, 125, 15,
       &p.equalizerDisabled},
      {13, K::kLabel, "Tag format (e.g. a - s):", "tagFormatLabel", 0, 140, 25, 150, 15, {}},
      {13, K::kLine, "", "tagFormat", 0, 140, 45, 290, 20, &p.tagFormat},
      {13, K::kText, kLetterLegend, "letterLegend", 0, 140, 65, 290, 100, {}},
      {13, K::kCheck, "Use tags", "useTags", 4030, 140, 170, 125, 15, &p.useTags},
  };
  for (const Row& row : rows) {
    QWidget* control = Create(row);
    control->setObjectName(row.name);
    control->setProperty("qmbPage", row.page);
    control->setVisible(row.page == 0);
    pages_[static_cast<std::size_t>(row.page)].push_back(control);
  }
  // The layout was made for an 8-point face: the desktop's family at that size.
  QFont font = QApplication::font();
  font.setPointSize(8);
  window_->setFont(font);
  for (QWidget* child : window_->findChildren<QWidget*>()) child->setFont(font);
  // A label of the left column whose text runs into the control beside it
  // moves that control right by the difference.
  for (const auto& controls : pages_) {
    for (QWidget* label : controls) {
      int overflow = label->inherits("QLabel") ? label->sizeHint().width() - label->width() : 0;
      if (overflow <= 0 || label->x() + label->width() != kControlColumn) continue;
      for (QWidget* beside : controls) {
        if (beside->x() == kControlColumn && beside->y() == label->y()) {
          beside->setGeometry(beside->x() + overflow, beside->y(), beside->width() - overflow,
                              beside->height());
        }
      }
      label->resize(label->width() + overflow, label->height());
    }
  }
  // A check box whose text needs more room than its place gives takes it
  // up to the group's edge; nothing stands to the right of one.
  for (QCheckBox* box : window_->findChildren<QCheckBox*>()) {
    int room = kGroupRight - box->x();
    box->resize(std::max(box->width(), std::min(box->sizeHint().width(), room)), box->height());
  }
  {
    QSignalBlocker quiet(pages);
    pages->setCurrentItem(pages->topLevelItem(0));
  }
  rowPainter_ = new QTimer(window_);
  QObject::connect(rowPainter_, &QTimer::timeout, [this] { PaintPluginRows(); });
  rowPainter_->start(1000);
}

QWidget* ControlPanel::Create(const Row& row) {
  QString text = QString::fromUtf8(row.text);
  auto send = [this, id = row.id] {
    if (id != 0) sources_.command(id);
  };
  switch (row.kind) {
    case Kind::kCheck: {
      auto* box = CreateCheckBox(text, window_, row.id, row.x, row.y, row.w, row.h);
      CheckModel& model = *std::get<CheckModel*>(row.model);
      box->setChecked(model.Checked());
      QObject::connect(box, &QCheckBox::clicked, [&model, send](bool checked) {
        model.SetChecked(checked);
        send();
      });
      Watch(model, [box, &model] {
        QSignalBlocker quiet(box);
        box->setChecked(model.Checked());
      });
      return box;
    }
    case Kind::kLabel:
      return CreateLabel(text, window_, row.id, row.x, row.y, row.w, row.h);
    case Kind::kCaption: {
      EditModel& model = *std::get<EditModel*>(row.model);
      auto* label = CreateLabel(model.Text().empty() ? text : Q(model.Text()), window_, row.id,
                                row.x, row.y, row.w, row.h);
      Watch(model, [label, &model] { label->setText(Q(model.Text())); });
      return label;
    }
    case Kind::kTrackbar: {
      TrackbarModel& model = *std::get<TrackbarModel*>(row.model);
      auto* slider = new QSlider(Qt::Horizontal, window_);
      slider->setGeometry(row.x, row.y, row.w, row.h);
      slider->setFont(QApplication::font());
      slider->setRange(model.Minimum(), model.Maximum());
      slider->setTickPosition(QSlider::TicksBelow);
      slider->setTickInterval(row.tick > 0 ? row.tick : 1);
      slider->setPageStep(row.tick > 0 ? row.tick : 1);
      slider->setValue(model.Position());
      QObject::connect(slider, &QSlider::valueChanged,
                       [&model](int value) { model.SetPosition(value); });
      // The tray icon's trackbar shows its icon instead of a number.
      if (&model != &sources_.panel->trayIcon) {
        QObject::connect(slider, &QSlider::sliderMoved, [slider](int value) {
          QToolTip::showText(QCursor::pos(), QString::number(value), slider);
        });
      }
      Watch(model, [slider, &model] {
        QSignalBlocker quiet(slider);
        slider->setValue(model.Position());
      });
      return slider;
    }
    case Kind::kLine: {
      EditModel& model = *std::get<EditModel*>(row.model);
      auto* edit = new QLineEdit(Q(model.Text()), window_);
      edit->setGeometry(row.x, row.y, row.w, row.h);
      edit->setFont(QApplication::font());
      edit->setProperty("qmbId", row.id);
      // The settings keep at most 19 bytes of the tag format.
      if (&model == &sources_.panel->tagFormat) edit->setMaxLength(19);
      QObject::connect(edit, &QLineEdit::textChanged,
                       [&model](const QString& value) { model.SetText(value.toStdString()); });
      Watch(model, [edit, &model] {
        if (edit->text().toStdString() != model.Text()) edit->setText(Q(model.Text()));
      });
      return edit;
    }
    case Kind::kText: {
      auto* box = CreateEditBox(text, window_, row.id, row.x, row.y, row.w, row.h);
      box->setReadOnly(true);
      if (auto* model = std::get_if<EditModel*>(&row.model); model && *model) {
        EditModel& info = **model;
        box->setPlainText(Q(info.Text()));
        Watch(info, [box, &info] { box->setPlainText(Q(info.Text())); });
      }
      return box;
    }
    case Kind::kCombo: {
      ComboModel& model = *std::get<ComboModel*>(row.model);
      auto* combo = CreateComboBox(window_, row.id, row.x, row.y, row.w, row.h);
      // A closed drop-down list is as high as its text needs.
      combo->resize(row.w, std::max(row.h, combo->sizeHint().height()));
      auto fill = [combo, &model] {
        QSignalBlocker quiet(combo);
        combo->clear();
        for (const std::string& item : model.Items()) combo->addItem(Q(item));
        combo->setCurrentIndex(model.Selection());
      };
      fill();
      // Programmatic fills are quiet, so this is the user's choice.
      QObject::connect(combo, &QComboBox::currentIndexChanged, [&model, send](int index) {
        model.Select(index);
        send();
      });
      Watch(model, fill);
      return combo;
    }
    case Kind::kButton: {
      auto* button = CreateButton(text, window_, row.id, row.x, row.y, row.w, row.h);
      QObject::connect(button, &QPushButton::clicked, send);
      return button;
    }
    case Kind::kSkinList: {
      auto* list = ReportList(window_, {"Description", "Filename"}, {200, 100});
      list->setGeometry(row.x, row.y, row.w, row.h);
      list->setFont(QApplication::font());
      QObject::connect(list, &QTreeWidget::itemClicked, [this](QTreeWidgetItem* item) {
        if (item && sources_.loadSkin) {
          sources_.loadSkin(item->data(1, Qt::UserRole).toString().toStdString());
        }
      });
      skinList_ = list;
      return list;
    }
    case Kind::kPluginList: {
      PluginKind kind = std::get<PluginKind>(row.model);
      PluginListModel& model = sources_.plugins->List(kind);
      bool ticks = kind == kInputPlugins || kind == kFilePlugins;
      auto* list = ReportList(window_, {"Description", "Filename"}, {200, 100});
      list->setGeometry(row.x, row.y, row.w, row.h);
      list->setFont(QApplication::font());
      pluginLists_[static_cast<std::size_t>(kind)] = list;
      auto fill = [this, list, &model, ticks] {
        QSignalBlocker quiet(list);
        list->clear();
        for (int i = 0; i < model.Count(); ++i) {
          auto* item = new QTreeWidgetItem({Q(model.At(i).description), Q(model.At(i).fileName)});
          if (ticks) item->setCheckState(0, model.Checked(i) ? Qt::Checked : Qt::Unchecked);
          list->addTopLevelItem(item);
        }
        if (model.Selected() >= 0) list->setCurrentItem(list->topLevelItem(model.Selected()));
        PaintPluginRows();
      };
      fill();
      QObject::connect(list, &QTreeWidget::itemChanged, [list, &model](QTreeWidgetItem* item) {
        model.SetChecked(list->indexOfTopLevelItem(item), item->checkState(0) == Qt::Checked);
      });
      QObject::connect(list, &QTreeWidget::itemSelectionChanged, [list, &model] {
        int row = list->indexOfTopLevelItem(list->currentItem());
        if (row != model.Selected()) model.Select(row);
      });
      Watch(model, fill);
      return list;
    }
    case Kind::kTypeList: {
      StringListModel& model = *std::get<StringListModel*>(row.model);
      auto* list = CreateListBox(window_, row.id, row.x, row.y, row.w, row.h);
      list->setSortingEnabled(false);
      auto fill = [this, list, &model] {
        QSignalBlocker quiet(list);
        list->clear();
        for (const std::string& item : model.Items()) list->addItem(Q(item));
        sources_.texts->selectedType = -1;
      };
      fill();
      QObject::connect(list, &QListWidget::currentRowChanged,
                       [this](int row) { sources_.texts->selectedType = row; });
      Watch(model, fill);
      return list;
    }
  }
  return nullptr;
}

void ControlPanel::ShowPage(int page) {
  if (page < 0 || page >= kControlPageCount) return;
  for (auto& controls : pages_) {
    for (QWidget* control : controls) control->hide();
  }
  if (page == kSkinsPage) FillSkinList();
  for (QWidget* control : pages_[static_cast<std::size_t>(page)]) control->show();
  page_ = page;
  auto* pages = static_cast<QTreeWidget*>(pageList_);
  QSignalBlocker quiet(pages);
  pages->setCurrentItem(pages->topLevelItem(page));
  PaintPluginRows();
}

void ControlPanel::Open() {
  window_->update();
  window_->show();
  window_->raise();
  window_->activateWindow();
}

void ControlPanel::FillSkinList() {
  if (!sources_.skinRows) return;
  auto* list = static_cast<QTreeWidget*>(skinList_);
  QSignalBlocker quiet(list);
  list->clear();
  for (const SkinRow& row : sources_.skinRows()) {
    auto* item = new QTreeWidgetItem(
        {Q(row.description), Q(std::filesystem::path(row.filename).filename().string())});
    item->setData(1, Qt::UserRole, Q(row.filename));
    list->addTopLevelItem(item);
  }
}

void ControlPanel::PaintPluginRows() {
  if (!sources_.plugins) return;
  const PluginRegistry& registry = *sources_.plugins;
  int active = sources_.activeInputPlugin ? sources_.activeInputPlugin() : -1;
  for (int kind = 0; kind < kPluginKindCount; ++kind) {
    auto* list = static_cast<QTreeWidget*>(pluginLists_[static_cast<std::size_t>(kind)]);
    if (!list) continue;
    int running = -1;
    if (kind == kInputPlugins) running = active;
    if (kind == kVisualPlugins && registry.visualRunning) running = registry.visualIndex;
    if (kind == kDspPlugins && registry.dspRunning) running = registry.dspIndex;
    QSignalBlocker quiet(list);
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
      QTreeWidgetItem* item = list->topLevelItem(i);
      QBrush brush = list->palette().text();
      if (i == running) {
        brush = kRunningColour;
      } else if (kind == kInputPlugins && item->checkState(0) == Qt::Unchecked) {
        brush = kUntickedColour;
      }
      if (item->foreground(0) != brush) {
        item->setForeground(0, brush);
        item->setForeground(1, brush);
      }
    }
  }
}

bool ControlPanel::eventFilter(QObject* object, QEvent* event) {
  // Closing only hides the panel; it lives for the whole run.
  if (object == window_ && event->type() == QEvent::Close) {
    event->ignore();
    window_->hide();
    return true;
  }
  return QObject::eventFilter(object, event);
}

}  // namespace qmb
