#include "ui/playlist/entry_list_model.h"

#include <QAbstractItemView>
#include <QBitmap>
#include <QColor>
#include <QImage>
#include <QItemSelectionModel>
#include <QMimeData>
#include <QTimer>
#include <QUrl>

namespace qmb {
namespace {

constexpr int kTypeIconCount = 10;
constexpr const char* kRowsMime = "application/x-qmb-playlist-rows";

// Restores a flag when the scope ends, so nested events keep the outer value.
class FlagScope {
 public:
  explicit FlagScope(bool& flag) : flag_(flag), old_(flag) { flag_ = true; }
  ~FlagScope() { flag_ = old_; }

 private:
  bool& flag_;
  bool old_;
};

// A cell as one line: a control character in a name shows as a box rather
// than breaking the row.
QString CellText(std::string_view text) {
  QString shown = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  for (QChar& c : shown) {
    if (c.unicode() < 0x20) c = QChar(0xFFFD);
  }
  return shown;
}

QByteArray ListToken(const EntryList* list) {
  return QByteArray::number(reinterpret_cast<quintptr>(list));
}

}  // namespace

std::vector<QPixmap> LoadTypeIcons(const std::string& programFolder) {
  std::vector<QPixmap> icons(kTypeIconCount);
  for (int i = 0; i < kTypeIconCount; ++i) {
    QImage picture(
        QString::fromStdString(programFolder + "Icons/type" + std::to_string(i) + ".bmp"));
    if (picture.isNull()) continue;
    QPixmap pixmap = QPixmap::fromImage(picture.scaled(16, 16));
    pixmap.setMask(pixmap.createMaskFromColor(QColor(255, 0, 0), Qt::MaskInColor));
    icons[i] = pixmap;
  }
  return icons;
}

std::vector<std::string> DroppedPaths(const QMimeData* data) {
  std::vector<std::string> paths;
  if (!data) return paths;
  for (const QUrl& url : data->urls()) {
    if (!url.isLocalFile()) continue;
    // The encoded path keeps bytes that are no UTF-8 as escapes; decoding
    // those gives the name as the file system has it.
    QByteArray bytes = QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
    if (!bytes.isEmpty()) paths.push_back(bytes.toStdString());
  }
  return paths;
}

EntryListModel::EntryListModel(EntryList& list, QObject* parent)
    : QAbstractTableModel(parent), list_(list) {
  connection_ = list_.changed.Connect([this](const ListEvent& event) { OnListEvent(event); });
}

EntryListModel::~EntryListModel() {
  list_.changed.Disconnect(connection_);
}

void EntryListModel::Attach(QAbstractItemView* view) {
  view_ = view;
  view->setModel(this);
  QItemSelectionModel* selection = view->selectionModel();
  connect(selection, &QItemSelectionModel::selectionChanged, this,
          &EntryListModel::ViewSelectionChanged);
  connect(selection, &QItemSelectionModel::currentChanged, this,
          [this](const QModelIndex& current) {
            if (fromList_) return;
            FlagScope scope(fromView_);
            list_.SetCursor(current.isValid() ? current.row() : -1);
          });
  SelectFromList(0, list_.Count() - 1);
  ApplyCursor();
}

void EntryListModel::CheckHighlight() {
  int now = highlightedRow ? highlightedRow() : -1;
  if (now == highlighted_) return;
  int old = highlighted_;
  highlighted_ = now;
  for (int row : {old, now}) {
    if (list_.IsRow(row)) emit dataChanged(index(row, 0), index(row, columnCount() - 1));
  }
}

int EntryListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : list_.Count();
}

int EntryListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : list_.FieldCount();
}

QVariant EntryListModel::data(const QModelIndex& index, int role) const {
  int row = index.row();
  if (!index.isValid() || !list_.IsRow(row)) return {};
  switch (role) {
    case Qt::DisplayRole:
      return CellText(list_.FieldView(row, index.column()));
    case Qt::DecorationRole: {
      int icon = list_.Icon(row);
      if (index.column() != 0 || !icons_ || icon < 0 || icon >= static_cast<int>(icons_->size()))
        return {};
      const QPixmap& picture = (*icons_)[icon];
      return picture.isNull() ? QVariant() : QVariant(picture);
    }
    case Qt::ForegroundRole:
      return row == highlighted_ ? QVariant(QColor(255, 0, 0)) : QVariant();
    default:
      return {};
  }
}

QVariant EntryListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  if (section < 0 || section >= list_.FieldCount()) return {};
  return QString::fromStdString(list_.Header(section));
}

Qt::ItemFlags EntryListModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::ItemIsDropEnabled;
  Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
  if (rowsMoved) flags |= Qt::ItemIsDragEnabled;
  return flags;
}

Qt::DropActions EntryListModel::supportedDropActions() const {
  return Qt::CopyAction | Qt::MoveAction;
}

QStringList EntryListModel::mimeTypes() const {
  return {QString::fromLatin1(kRowsMime), QStringLiteral("text/uri-list")};
}

QMimeData* EntryListModel::mimeData(const QModelIndexList&) const {
  // The rows that move are the list's selection; the data only names the list.
  auto* data = new QMimeData;
  data->setData(QString::fromLatin1(kRowsMime), ListToken(&list_));
  return data;
}

bool EntryListModel::canDropMimeData(const QMimeData* data, Qt::DropAction, int, int,
                                     const QModelIndex&) const {
  if (!data) return false;
  if (data->hasFormat(QString::fromLatin1(kRowsMime))) {
    return rowsMoved && data->data(QString::fromLatin1(kRowsMime)) == ListToken(&list_);
  }
  return filesDropped && data->hasUrls();
}

bool EntryListModel::dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                                  const QModelIndex& parent) {
  if (!canDropMimeData(data, action, row, column, parent)) return false;
  if (data->hasFormat(QString::fromLatin1(kRowsMime))) {
    int destination = row >= 0 ? row : (parent.isValid() ? parent.row() : list_.Count());
    rowsMoved(destination);
    // The rows moved already: nothing is left for the view to remove.
    return false;
  }
  filesDropped(DroppedPaths(data));
  return true;
}

void EntryListModel::OnListEvent(const ListEvent& event) {
  using Kind = ListEvent::Kind;
  FlagScope scope(fromList_);
  switch (event.kind) {
    case Kind::kAboutToInsert:
      beginInsertRows({}, event.first, event.last);
      break;
    case Kind::kInserted:
      endInsertRows();
      if (list_.SelectedCount() > 0) SelectFromList(event.first, event.last);
      ScheduleCursor();
      break;
    case Kind::kAboutToRemove:
      beginRemoveRows({}, event.first, event.last);
      break;
    case Kind::kRemoved:
      endRemoveRows();
      ScheduleCursor();
      break;
    case Kind::kAboutToReset:
      beginResetModel();
      break;
    case Kind::kReset:
      endResetModel();
      SelectFromList(0, list_.Count() - 1);
      ScheduleCursor();
      break;
    case Kind::kAboutToReorder:
      emit layoutAboutToBeChanged();
      break;
    case Kind::kReordered:
      emit layoutChanged();
      SelectFromList(0, list_.Count() - 1);
      ScheduleCursor();
      break;
    case Kind::kChanged: {
      int first = event.field < 0 ? 0 : event.field;
      int last = event.field < 0 ? columnCount() - 1 : event.field;
      // A range wider than one cell repaints the viewport without asking the
      // view where the cell is, which a long list would make slow.
      if (columnCount() > 1) {
        first = 0;
        last = columnCount() - 1;
      }
      emit dataChanged(index(event.first, first), index(event.last, last));
      break;
    }
    case Kind::kStateChanged:
      if (!fromView_) SelectFromList(event.first, event.last);
      break;
    case Kind::kCursorChanged:
      if (!fromView_) ScheduleCursor();
      break;
    case Kind::kHeaderChanged:
      emit headerDataChanged(Qt::Horizontal, event.field, event.field);
      break;
    case Kind::kHidden:
      if (view_ && hiddenDepth_++ == 0) view_->setUpdatesEnabled(false);
      break;
    case Kind::kShown:
      if (view_ && hiddenDepth_ > 0 && --hiddenDepth_ == 0) view_->setUpdatesEnabled(true);
      break;
    case Kind::kRedraw:
      if (view_) view_->viewport()->update();
      break;
    case Kind::kEnsureVisible:
      if (view_ && list_.IsRow(event.first)) {
        ApplyCursor();
        view_->scrollTo(index(event.first, 0), QAbstractItemView::EnsureVisible);
      }
      break;
  }
}

void EntryListModel::ViewSelectionChanged(const QItemSelection& selected,
                                          const QItemSelection& deselected) {
  if (fromList_) return;
  FlagScope scope(fromView_);
  for (const QItemSelectionRange& range : deselected) {
    for (int row = range.top(); row <= range.bottom(); ++row) list_.SetSelected(row, false);
  }
  for (const QItemSelectionRange& range : selected) {
    for (int row = range.top(); row <= range.bottom(); ++row) list_.SetSelected(row, true);
  }
}

void EntryListModel::SelectFromList(int first, int last) {
  if (!view_ || !view_->selectionModel() || first > last) return;
  FlagScope scope(fromList_);
  QItemSelection chosen, cleared;
  int columns = columnCount() - 1;
  for (int row = first; row <= last;) {
    bool selected = list_.IsSelected(row);
    int end = row;
    while (end + 1 <= last && list_.IsSelected(end + 1) == selected) ++end;
    (selected ? chosen : cleared).append(QItemSelectionRange(index(row, 0), index(end, columns)));
    row = end + 1;
  }
  QItemSelectionModel* model = view_->selectionModel();
  if (first == 0 && last == list_.Count() - 1) {
    model->select(chosen, QItemSelectionModel::ClearAndSelect);
    return;
  }
  if (!cleared.isEmpty()) model->select(cleared, QItemSelectionModel::Deselect);
  if (!chosen.isEmpty()) model->select(chosen, QItemSelectionModel::Select);
}

void EntryListModel::ScheduleCursor() {
  if (cursorPending_) return;
  cursorPending_ = true;
  // Many adds move the cursor one after another; the view follows once.
  QTimer::singleShot(0, this, [this] { ApplyCursor(); });
}

void EntryListModel::ApplyCursor() {
  cursorPending_ = false;
  if (!view_ || !view_->selectionModel()) return;
  FlagScope scope(fromList_);
  int cursor = list_.Cursor();
  QModelIndex current = list_.IsRow(cursor) ? index(cursor, 0) : QModelIndex();
  if (view_->selectionModel()->currentIndex() == current) return;
  // The mark moves without scrolling the list, as adding does not scroll it.
  bool autoScroll = view_->hasAutoScroll();
  view_->setAutoScroll(false);
  view_->selectionModel()->setCurrentIndex(current, QItemSelectionModel::NoUpdate);
  view_->setAutoScroll(autoScroll);
}

}  // namespace qmb
