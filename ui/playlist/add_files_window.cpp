#include "ui/playlist/add_files_window.h"

#include <QCheckBox>
#include <QEvent>
#include <QFile>
#include <QFileSystemModel>
#include <QFrame>
#include <QGroupBox>
#include <QHeaderView>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeView>
#include <algorithm>

#include "core/command_ids.h"
#include "ui/control_factory.h"

namespace qmb {
namespace {

constexpr int W = 550;
constexpr int H = 350;
constexpr int kFolderFrameId = 50000;
constexpr int kProgressId = 50006;
constexpr int kGroupId = 50007;
constexpr int kClearFirstId = 50008;
constexpr int kCloseWhenDoneId = 50009;

// A name as one line of the list.
QString ListedName(const std::string& name) {
  QString shown = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
  for (QChar& c : shown) {
    if (c.unicode() < 0x20) c = QChar(0xFFFD);
  }
  return shown;
}

}  // namespace

AddFilesWindow::AddFilesWindow(AddFilesForm& form, AddFilesHooks hooks)
    : form_(form), hooks_(std::move(hooks)) {
  window_ = CreateTopWindow(QStringLiteral("Add Files"), 0, 0, W, H, kStyleCaption | kStyleSysMenu,
                            kExToolWindow | kExAppWindow);
  window_->setFixedSize(window_->size());
  CenterWindow(window_, nullptr, nullptr);

  // The box first, so the buttons on it stay in front.
  group_ = CreateGroupBox(QString::fromStdString(form_.caption.Text()), window_, kGroupId, 5,
                          H - 55, W - 10, 45);
  QFrame* frame = CreateFrame(window_, kFolderFrameId, 2, 2, 200, H - 60);
  folders_ = new QFileSystemModel(this);
  folders_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
  folders_->setRootPath(QStringLiteral("/"));
  tree_ = new QTreeView(frame);
  tree_->setModel(folders_);
  for (int column = 1; column < folders_->columnCount(); ++column) tree_->hideColumn(column);
  tree_->setHeaderHidden(true);
  tree_->sortByColumn(0, Qt::AscendingOrder);
  tree_->setSortingEnabled(true);
  tree_->setGeometry(1, 1, 198, H - 62);

  files_ = CreateListBox(window_, command::kAddFilesDoubleClick, 205, 23, W - 210, H - 112);
  // The form keeps the names sorted; the list shows them in its order.
  files_->setSortingEnabled(false);
  files_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  files_->setUniformItemSizes(true);

  clearFirst_ = CreateCheckBox(QStringLiteral("Clear playlist first"), window_, kClearFirstId, 205,
                               5, 150, 15);
  closeWhenDone_ = CreateCheckBox(QStringLiteral("Close when finished"), window_, kCloseWhenDoneId,
                                  360, 5, 150, 15);
  struct ButtonItem {
    const char* text;
    int id, x, y, width;
  };
  for (ButtonItem item : {ButtonItem{"Open", command::kAddFilesOpen, 205, H - 82, 100},
                          ButtonItem{"Preview", command::kAddFilesPreview, 338, H - 82, 100},
                          ButtonItem{"Stop", command::kAddFilesStop, 443, H - 82, 100},
                          ButtonItem{"Add Selected", command::kAddSelected, 10, H - 40, 100},
                          ButtonItem{"Add All", command::kAddAll, 115, H - 40, 100},
                          ButtonItem{"Add Directories", command::kAddDirectories, 220, H - 40, 100},
                          ButtonItem{"Close", command::kCloseAddFiles, 490, H - 40, 47}}) {
    QPushButton* button = CreateButton(QString::fromLatin1(item.text), window_, item.id, item.x,
                                       item.y, item.width, 25);
    connect(button, &QPushButton::clicked, this, [this, id = item.id] { hooks_.command(id); });
    buttons_.push_back(button);
  }
  progress_ = CreateProgressBar(window_, kProgressId, 325, H - 40, 160, 25);
  progress_->setTextVisible(false);

  connect(tree_->selectionModel(), &QItemSelectionModel::currentChanged, this,
          [this](const QModelIndex& current) {
            std::string folder = QFile::encodeName(folders_->filePath(current)).toStdString();
            if (!folder.empty() && hooks_.folderChosen) hooks_.folderChosen(folder);
          });
  connect(files_, &QListWidget::itemSelectionChanged, this, [this] { SelectionToForm(); });
  connect(files_, &QListWidget::currentRowChanged, this, [this](int row) { form_.cursor = row; });
  connect(files_, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
    form_.cursor = files_->row(item);
    hooks_.command(command::kAddFilesDoubleClick);
  });
  connect(clearFirst_, &QCheckBox::toggled, this,
          [this](bool on) { form_.clearFirst.SetChecked(on); });
  connect(closeWhenDone_, &QCheckBox::toggled, this,
          [this](bool on) { form_.closeWhenDone.SetChecked(on); });

  auto follow = [this](ChangeSignal& signal, std::function<void()> show) {
    connections_.emplace_back(&signal, signal.Connect(std::move(show)));
  };
  follow(form_.filesChanged, [this] { ShowFiles(); });
  follow(form_.progress.changed, [this] { ShowProgress(); });
  follow(form_.caption.changed,
         [this] { group_->setTitle(QString::fromStdString(form_.caption.Text())); });
  follow(form_.clearFirst.changed, [this] { clearFirst_->setChecked(form_.clearFirst.Checked()); });
  follow(form_.closeWhenDone.changed,
         [this] { closeWhenDone_->setChecked(form_.closeWhenDone.Checked()); });
  if (!form_.hide) form_.hide = [this] { window_->hide(); };
  window_->installEventFilter(this);
  ShowFiles();
  ShowProgress();
}

AddFilesWindow::~AddFilesWindow() {
  for (auto [signal, id] : connections_) signal->Disconnect(id);
  form_.hide = nullptr;
  delete window_;
}

QPushButton* AddFilesWindow::Button(int id) const {
  for (QPushButton* button : buttons_) {
    if (ControlId(button) == id) return button;
  }
  return nullptr;
}

void AddFilesWindow::SelectFolder(const std::string& folder) {
  QModelIndex index = folders_->index(QFile::decodeName(QByteArray::fromStdString(folder)));
  if (!index.isValid()) return;
  tree_->setCurrentIndex(index);
  tree_->scrollTo(index);
}

void AddFilesWindow::ShowFiles() {
  files_->setUpdatesEnabled(false);
  files_->clear();
  QStringList names;
  names.reserve(static_cast<qsizetype>(form_.files.size()));
  for (const std::string& name : form_.files) names.append(ListedName(name));
  files_->addItems(names);
  files_->setUpdatesEnabled(true);
}

void AddFilesWindow::ShowProgress() {
  const ProgressState& p = form_.progress;
  if (p.marquee) {
    progress_->setRange(0, 0);
    return;
  }
  // An empty add asks for 0 ... -1, and an empty range is Qt's busy bar:
  // the bar then stays empty.
  int high = std::max(p.minimum + 1, p.maximum);
  progress_->setRange(p.minimum, high);
  progress_->setValue(std::clamp(p.value, p.minimum, high));
}

void AddFilesWindow::SelectionToForm() {
  form_.selected.clear();
  for (int row = 0; row < files_->count(); ++row) {
    if (files_->item(row)->isSelected()) form_.selected.push_back(row);
  }
}

bool AddFilesWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == window_ && event->type() == QEvent::Close) {
    event->ignore();
    window_->hide();
    return true;
  }
  return false;
}

}  // namespace qmb
