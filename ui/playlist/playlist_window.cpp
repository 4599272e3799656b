#include "ui/playlist/playlist_window.h"

#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QStatusBar>
#include <QTreeView>
#include <algorithm>
#include <span>

#include "core/command_ids.h"
#include "ui/control_factory.h"
#include "ui/playlist/entry_list_model.h"

namespace qmb {

const char* const kPlaylistHeaders[9] = {
    "Song Name",  "Path Name",        "Length",    "Played This Cycle", "Times Played",
    "Date Added", "Date Last Played", "File Size", "File Type",
};
const int kPlaylistWidths[9] = {300, 0, 100, 100, 100, 100, 100, 100, 100};

namespace {

constexpr int kPanelWidth = 190;
constexpr int kStatusBarId = 200;
constexpr int kProgressBarId = 1000;

void Place(QWidget* widget, const Rect& r) {
  widget->setGeometry(r.x, r.y, std::max(0, r.width), std::max(0, r.height));
}

// A report list: whole rows, several selected, header sections that move.
QTreeView* MakeListView(QWidget* parent) {
  auto* view = new QTreeView(parent);
  view->setRootIsDecorated(false);
  view->setItemsExpandable(false);
  view->setUniformRowHeights(true);
  view->setAllColumnsShowFocus(true);
  view->setSelectionMode(QAbstractItemView::ExtendedSelection);
  view->setSelectionBehavior(QAbstractItemView::SelectRows);
  view->setEditTriggers(QAbstractItemView::NoEditTriggers);
  view->setFrameShadow(QFrame::Sunken);
  view->header()->setSectionsMovable(true);
  view->header()->setStretchLastSection(false);
  view->setFont(parent->font());
  return view;
}

void SetColumns(QTreeView* view, EntryList& list, std::span<const char* const> headers,
                std::span<const int> widths) {
  for (std::size_t field = 0; field < headers.size(); ++field) {
    list.SetHeader(static_cast<int>(field), headers[field]);
    if (widths[field] == 0) {
      view->setColumnHidden(static_cast<int>(field), true);
    } else {
      view->header()->resizeSection(static_cast<int>(field), widths[field]);
    }
  }
}

const char* const kCueHeaders[2] = {"Cue List", "Path Name"};
const int kCueWidths[2] = {200, 0};

bool IsEnter(const QKeyEvent* key) {
  return key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
}

}  // namespace

PlaylistLayout LayoutPlaylistWindow(int width, int height, bool searchShown, bool cueShown) {
  const int W = width, H = height;
  PlaylistLayout l;
  bool panel = searchShown || cueShown;
  l.playlist = {0, 0, panel ? W - 200 : W, H - 50};
  l.searchText = {W - 195, 0, kPanelWidth, 20};
  l.category = {W - 195, 23, kPanelWidth, 20};
  l.results = {W - 195, 45, kPanelWidth, H - 95};
  l.cue = {W - 195, 0, kPanelWidth, H - 50};
  l.play = {5, H - 45, 20, 20};
  l.pause = {30, H - 45, 20, 20};
  l.stop = {55, H - 45, 20, 20};
  l.progress = {80, H - 45, W - 190, 20};
  l.locate = {W - 105, H - 45, 100, 20};
  return l;
}

PlaylistWindow::PlaylistWindow(PlaylistWindowModels models, PlaylistWindowHooks hooks,
                               QMenuBar* menuBar, const std::vector<QPixmap>* icons)
    : models_(models), hooks_(std::move(hooks)) {
  window_ = CreateTopWindow(QStringLiteral("Playlist"), 100, 100, 500, 300, 0, kExAcceptFiles);
  menuBar_ = menuBar ? menuBar : new QMenuBar();
  menuBar_->setParent(window_);
  client_ = new QWidget(window_);
  client_->setFont(window_->font());
  // The menu bar sits above the client area, as a window's menu does.
  window_->resize(window_->width(), window_->height() + menuBar_->sizeHint().height());

  playlist_ = MakeListView(client_);
  playlistModel_ = new EntryListModel(models_.playlist, this);
  playlistModel_->SetIcons(icons);
  playlistModel_->highlightedRow = [this] { return hooks_.currentRow ? hooks_.currentRow() : -1; };
  playlistModel_->filesDropped = [this](const std::vector<std::string>& paths) {
    if (hooks_.filesDropped) hooks_.filesDropped(paths);
  };
  playlistModel_->rowsMoved = [this](int row) {
    if (hooks_.rowsMoved) hooks_.rowsMoved(row);
  };
  playlistModel_->Attach(playlist_);
  SetColumns(playlist_, models_.playlist, kPlaylistHeaders, kPlaylistWidths);
  playlist_->setDragEnabled(true);
  playlist_->setAcceptDrops(true);
  playlist_->setDropIndicatorShown(true);
  playlist_->setDragDropMode(QAbstractItemView::DragDrop);
  playlist_->setDefaultDropAction(Qt::MoveAction);
  playlist_->setContextMenuPolicy(Qt::CustomContextMenu);
  playlist_->header()->setSectionsClickable(true);
  playlist_->installEventFilter(this);

  cue_ = MakeListView(client_);
  cueModel_ = new EntryListModel(models_.cue, this);
  cueModel_->Attach(cue_);
  SetColumns(cue_, models_.cue, kCueHeaders, kCueWidths);
  cue_->installEventFilter(this);
  cue_->hide();

  results_ = MakeListView(client_);
  resultsModel_ = new EntryListModel(models_.search.results, this);
  resultsModel_->Attach(results_);
  results_->header()->resizeSection(0, 200);
  results_->installEventFilter(this);
  results_->hide();

  searchText_ = new QLineEdit(client_);
  searchText_->setProperty("qmbId", command::kSearchTextChanged);
  searchText_->setPlaceholderText(QStringLiteral("Search Text"));
  searchText_->setText(QString::fromStdString(models_.search.text.Text()));
  searchText_->hide();
  category_ = CreateComboBox(client_, command::kSearchCategoryChanged, 0, 0, kPanelWidth, 20);
  for (const std::string& item : models_.search.category.Items()) {
    category_->addItem(QString::fromStdString(item));
  }
  category_->setPlaceholderText(QStringLiteral("[Select Category]"));
  category_->setCurrentIndex(models_.search.category.Selection());
  category_->hide();

  struct ButtonItem {
    const char* text;
    int id;
  };
  for (ButtonItem item :
       {ButtonItem{">", command::kPlaylistPlay}, ButtonItem{"||", command::kPlaylistPause},
        ButtonItem{"X", command::kPlaylistStop},
        ButtonItem{"Locate Current", command::kLocateCurrent}}) {
    QPushButton* button =
        CreateButton(QString::fromLatin1(item.text), client_, item.id, 0, 0, 20, 20);
    connect(button, &QPushButton::clicked, this, [this, id = item.id] { hooks_.command(id); });
    buttons_.push_back(button);
  }
  progress_ = CreateProgressBar(client_, kProgressBarId, 0, 0, 100, 20);
  progress_->setTextVisible(false);
  status_ = CreateStatusBar(QString(), client_, kStatusBarId);
  status_->setSizeGripEnabled(false);

  connect(playlist_, &QTreeView::clicked, this, [this] {
    if (hooks_.clicked) hooks_.clicked();
  });
  connect(playlist_, &QTreeView::doubleClicked, this, [this] {
    if (hooks_.doubleClicked) hooks_.doubleClicked();
  });
  connect(playlist_, &QTreeView::customContextMenuRequested, this, [this](const QPoint& at) {
    if (playlist_->indexAt(at).isValid() && hooks_.contextMenu) {
      hooks_.contextMenu(playlist_->viewport()->mapToGlobal(at));
    }
  });
  connect(playlist_->header(), &QHeaderView::sectionClicked, this, [this](int field) {
    if (hooks_.headerClicked) hooks_.headerClicked(field);
  });
  connect(cue_, &QTreeView::doubleClicked, this, [this] {
    if (hooks_.cueActivated) hooks_.cueActivated();
  });
  connect(results_, &QTreeView::doubleClicked, this, [this](const QModelIndex& index) {
    if (hooks_.resultDoubleClicked) hooks_.resultDoubleClicked(index.row());
  });
  connect(searchText_, &QLineEdit::textEdited, this, [this](const QString& text) {
    models_.search.text.SetText(text.toStdString());
    hooks_.command(command::kSearchTextChanged);
  });
  connect(category_, &QComboBox::currentIndexChanged, this, [this](int index) {
    models_.search.category.Select(index);
    hooks_.command(command::kSearchCategoryChanged);
  });
  auto* find = new QShortcut(QKeySequence::Find, window_);
  connect(find, &QShortcut::activated, this, [this] { FocusSearch(); });

  window_->setWindowTitle(QString::fromStdString(models_.title.Text()));
  titleConnection_ = models_.title.changed.Connect(
      [this] { window_->setWindowTitle(QString::fromStdString(models_.title.Text())); });
  displaysConnection_ = models_.displays.changed.Connect([this] {
    ShowDisplays();
    CheckCurrentRow();
  });
  ShowDisplays();
  window_->installEventFilter(this);
  Layout();
  playlist_->setFocus();
}

PlaylistWindow::~PlaylistWindow() {
  models_.title.changed.Disconnect(titleConnection_);
  models_.displays.changed.Disconnect(displaysConnection_);
  delete window_;
}

QPushButton* PlaylistWindow::Button(int id) const {
  for (QPushButton* button : buttons_) {
    if (ControlId(button) == id) return button;
  }
  return nullptr;
}

void PlaylistWindow::Layout() {
  int bar = menuBar_->sizeHint().height();
  menuBar_->setGeometry(0, 0, window_->width(), bar);
  client_->setGeometry(0, bar, window_->width(), std::max(0, window_->height() - bar));
  const int W = client_->width(), H = client_->height();
  PlaylistLayout l = LayoutPlaylistWindow(W, H, searchShown_, cueShown_);
  Place(playlist_, l.playlist);
  Place(searchText_, l.searchText);
  Place(category_, l.category);
  Place(results_, l.results);
  Place(cue_, l.cue);
  Place(Button(command::kPlaylistPlay), l.play);
  Place(Button(command::kPlaylistPause), l.pause);
  Place(Button(command::kPlaylistStop), l.stop);
  Place(progress_, l.progress);
  Place(Button(command::kLocateCurrent), l.locate);
  int statusHeight = status_->sizeHint().height();
  status_->setGeometry(0, H - statusHeight, W, statusHeight);
}

void PlaylistWindow::ToggleSearchPanel() {
  if (cueShown_) {
    cueShown_ = false;
    cue_->hide();
  }
  searchShown_ = !searchShown_;
  for (QWidget* control : {static_cast<QWidget*>(searchText_), static_cast<QWidget*>(category_),
                           static_cast<QWidget*>(results_)}) {
    control->setVisible(searchShown_);
  }
  Layout();
}

void PlaylistWindow::ToggleCuePanel() {
  if (searchShown_) ToggleSearchPanel();
  cueShown_ = !cueShown_;
  cue_->setVisible(cueShown_);
  Layout();
}

void PlaylistWindow::FocusSearch() {
  if (!searchShown_) ToggleSearchPanel();
  searchText_->setFocus(Qt::ShortcutFocusReason);
  searchText_->selectAll();
}

void PlaylistWindow::ShowSortOrder(int field, bool ascending) {
  playlist_->header()->setSortIndicatorShown(field >= 0);
  playlist_->header()->setSortIndicator(field,
                                        ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
}

void PlaylistWindow::CheckCurrentRow() {
  playlistModel_->CheckHighlight();
}

void PlaylistWindow::ShowDisplays() {
  const PlaybackDisplays& d = models_.displays;
  if (d.statusBarText != shownStatus_) {
    shownStatus_ = d.statusBarText;
    status_->showMessage(QString::fromStdString(shownStatus_));
  }
  // A range of 0 ... 0 (stopped) would make Qt's bar a busy indicator.
  int maximum = std::max(1, d.progressMaximum);
  if (progress_->maximum() != maximum) progress_->setRange(0, maximum);
  progress_->setValue(d.progressMaximum > 0 ? std::clamp(d.progressValue, 0, maximum) : 0);
}

bool PlaylistWindow::PlaylistKey(QKeyEvent* key) {
  if (IsEnter(key) && key->modifiers() == Qt::NoModifier) {
    if (hooks_.key) hooks_.key(true, false);
  } else if (key->key() == Qt::Key_Delete && key->modifiers() == Qt::NoModifier) {
    if (hooks_.key) hooks_.key(false, true);
  } else if (key->matches(QKeySequence::SelectAll)) {
    hooks_.command(command::kSelectAll);
  } else if (key->matches(QKeySequence::Cut)) {
    hooks_.command(command::kCutItems);
  } else if (key->matches(QKeySequence::Paste)) {
    hooks_.command(command::kPasteItems);
  } else if (key->matches(QKeySequence::Find)) {
    FocusSearch();
  } else {
    return false;
  }
  return true;
}

bool PlaylistWindow::eventFilter(QObject* watched, QEvent* event) {
  QEvent::Type type = event->type();
  if (watched == window_) {
    switch (type) {
      case QEvent::Resize:
        Layout();
        break;
      case QEvent::Close:
        // Closing only hides: the playlist lives as long as the player.
        event->ignore();
        window_->hide();
        return true;
      case QEvent::DragEnter:
      case QEvent::DragMove: {
        auto* drag = static_cast<QDropEvent*>(event);
        if (drag->mimeData()->hasUrls()) drag->acceptProposedAction();
        return true;
      }
      case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        std::vector<std::string> paths = DroppedPaths(drop->mimeData());
        drop->acceptProposedAction();
        if (!paths.empty() && hooks_.filesDropped) hooks_.filesDropped(paths);
        return true;
      }
      default:
        break;
    }
    return false;
  }
  if (type != QEvent::KeyPress && type != QEvent::ShortcutOverride) return false;
  auto* key = static_cast<QKeyEvent*>(event);
  if (watched == playlist_) {
    if (type == QEvent::ShortcutOverride) {
      // Ours before any shortcut of the window: the keys act on the list.
      bool ours = IsEnter(key) || key->key() == Qt::Key_Delete ||
                  key->matches(QKeySequence::SelectAll) || key->matches(QKeySequence::Cut) ||
                  key->matches(QKeySequence::Paste);
      if (ours) event->accept();
      return ours;
    }
    return PlaylistKey(key);
  }
  if (type != QEvent::KeyPress) return false;
  if (watched == cue_) {
    if (IsEnter(key) && hooks_.cueActivated) {
      hooks_.cueActivated();
      return true;
    }
    if (key->key() == Qt::Key_Delete && hooks_.cueDelete) {
      hooks_.cueDelete();
      return true;
    }
  } else if (watched == results_ && IsEnter(key) && hooks_.resultEnter) {
    hooks_.resultEnter(results_->currentIndex().row());
    return true;
  }
  return false;
}

}  // namespace qmb
