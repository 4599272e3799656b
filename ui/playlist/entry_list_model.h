// The Qt view of an EntryList: a table model that reads the rows where they
// are (no copy), and keeps a view's selection, current row and scrolling in
// step with the list's item states, cursor and requests.
#pragma once

#include <QAbstractTableModel>
#include <QPixmap>
#include <QPointer>
#include <functional>
#include <string>
#include <vector>

#include "playlist/entry_list.h"

class QAbstractItemView;
class QItemSelection;
class QMimeData;

namespace qmb {

// The ten type icons, 16 x 16, from program folder + "Icons/type<N>.bmp",
// pure red transparent. A missing picture leaves its index without one.
std::vector<QPixmap> LoadTypeIcons(const std::string& programFolder);

// The local paths a drop carries, byte for byte (names that are not UTF-8
// included).
std::vector<std::string> DroppedPaths(const QMimeData* data);

class EntryListModel : public QAbstractTableModel {
 public:
  EntryListModel(EntryList& list, QObject* parent);
  ~EntryListModel() override;

  EntryList& List() { return list_; }

  // The view that shows the list; its selection, current row and scrolling
  // follow the list from now on, and the user's changes go into the list.
  void Attach(QAbstractItemView* view);

  // Pictures by icon index for the first column.
  void SetIcons(const std::vector<QPixmap>* icons) { icons_ = icons; }
  // The row drawn red (the entry that plays); -1 for none.
  std::function<int()> highlightedRow;
  // Repaints the old and new highlighted rows when it changed.
  void CheckHighlight();

  // Drops on the list: files from outside, or the selected rows moved to
  // before `row` (the row count: after the last).
  std::function<void(const std::vector<std::string>& paths)> filesDropped;
  std::function<void(int row)> rowsMoved;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  Qt::DropActions supportedDropActions() const override;
  QStringList mimeTypes() const override;
  QMimeData* mimeData(const QModelIndexList& indexes) const override;
  bool canDropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                       const QModelIndex& parent) const override;
  bool dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                    const QModelIndex& parent) override;

 private:
  void OnListEvent(const ListEvent& event);
  void ViewSelectionChanged(const QItemSelection& selected, const QItemSelection& deselected);
  // The view's selection anew from the list's state bits, rows first..last.
  void SelectFromList(int first, int last);
  // The list's cursor as the view's current row, once the events settle.
  void ScheduleCursor();
  void ApplyCursor();

  EntryList& list_;
  int connection_ = 0;
  QPointer<QAbstractItemView> view_;
  const std::vector<QPixmap>* icons_ = nullptr;
  int highlighted_ = -1;
  bool fromList_ = false;  // the view is being set from the list
  bool fromView_ = false;  // the list is being set from the view
  bool cursorPending_ = false;
  int hiddenDepth_ = 0;
};

}  // namespace qmb
