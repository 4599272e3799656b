// The observable list model behind the playlist, the cue list and the search
// results: rows of text cells by field number, a type icon, item state bits
// (selection among them), the selection mark as the cursor, column headers, and
// change notifications a view adapter follows. No Qt.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qmb {

constexpr int kMaxFields = 9;
// What a field read back may hold, in bytes.
constexpr std::size_t kFieldReadLimit = 254;
// What a cell keeps, in bytes: the working-text limit.
constexpr std::size_t kCellLimit = 2047;

// Item state bits as the control interface exchanges them.
constexpr std::uint32_t kStateFocused = 0x1;
constexpr std::uint32_t kStateSelected = 0x2;
constexpr std::uint32_t kStateCut = 0x4;
constexpr std::uint32_t kStateDropHilited = 0x8;

// One row: its cells packed into one buffer, which keeps a row small enough
// for lists of hundreds of thousands of entries.
class EntryRow {
 public:
  EntryRow() { ends_.fill(0); }
  std::string_view Cell(int field) const;
  // Keeps at most kCellLimit bytes, never splitting a character.
  void SetCell(int field, std::string_view text);
  // Sets the first cells in one allocation; the others become empty.
  void SetCells(std::initializer_list<std::string_view> cells);
  int Icon() const { return icon_; }
  void SetIcon(int icon) { icon_ = static_cast<std::int16_t>(icon < 0 ? -1 : icon); }
  std::uint32_t State() const { return state_; }
  void SetState(std::uint32_t state) { state_ = static_cast<std::uint16_t>(state); }

 private:
  std::string text_;
  std::array<std::uint16_t, kMaxFields> ends_;
  std::int16_t icon_ = -1;
  std::uint16_t state_ = 0;
};

// What changed. Rows are inclusive ranges; `field` is -1 for a whole row.
struct ListEvent {
  enum class Kind {
    kAboutToInsert,  // rows [first, last] are about to appear
    kInserted,
    kAboutToRemove,  // rows [first, last] are about to go
    kRemoved,
    kAboutToReset,  // many rows change at once; forget and re-read afterwards
    kReset,
    kChanged,         // cell `field` (or every cell when -1) of rows [first, last]
    kStateChanged,    // state bits of rows [first, last]
    kCursorChanged,   // first = the new cursor
    kHeaderChanged,   // field = the column
    kHidden,          // a long edit begins: the view stops painting
    kRedraw,          // repaint everything
    kShown,           // painting resumes
    kEnsureVisible,   // scroll so that row `first` shows
    kAboutToReorder,  // rows are about to change places
    kReordered,       // rows changed places; their state bits and the cursor went with them
  };
  Kind kind;
  int first = -1;
  int last = -1;
  int field = -1;
};

class EntryListSignal {
 public:
  using Handler = std::function<void(const ListEvent&)>;
  int Connect(Handler handler) {
    handlers_.emplace_back(++lastId_, std::move(handler));
    return lastId_;
  }
  void Disconnect(int id) {
    std::erase_if(handlers_, [id](const auto& h) { return h.first == id; });
  }
  void Emit(const ListEvent& event) const {
    if (handlers_.empty()) return;
    auto handlers = handlers_;
    for (auto& h : handlers) h.second(event);
  }

 private:
  std::vector<std::pair<int, Handler>> handlers_;
  int lastId_ = 0;
};

class EntryList {
 public:
  explicit EntryList(int fieldCount);

  int FieldCount() const { return fieldCount_; }
  int Count() const { return static_cast<int>(rows_.size()); }
  bool IsRow(int row) const { return row >= 0 && row < Count(); }

  // The cell as read back: blanks, tabs, line feeds, vertical tabs and carriage
  // returns trimmed, at most kFieldReadLimit bytes. Empty outside the list.
  std::string Field(int row, int field) const;
  // The same without a copy; valid until the row changes.
  std::string_view FieldView(int row, int field) const;
  // The cell trimmed but not cut: a path longer than a read-back holds.
  std::string_view WholeFieldView(int row, int field) const;
  void SetField(int row, int field, std::string_view text);
  int Icon(int row) const { return IsRow(row) ? rows_[row].Icon() : -1; }
  void SetIcon(int row, int icon);

  // Inserts `row` before `position` (appends when it is outside 0..Count()).
  // Returns where it went.
  int Insert(int position, EntryRow row);
  // Inserts many rows in one move, so pasting thousands stays linear.
  int InsertMany(int position, std::vector<EntryRow> rows);
  void Remove(int row);
  void RemoveAll();
  // Puts old row order[i] at row i. False, and nothing changes, unless
  // `order` holds every row exactly once.
  bool Reorder(const std::vector<int>& order);
  // Removes every selected row in one pass; returns how many went.
  int RemoveSelected();
  const EntryRow& Row(int row) const { return rows_[row]; }

  // Selection and the other item state bits.
  bool IsSelected(int row) const { return IsRow(row) && (rows_[row].State() & kStateSelected); }
  int SelectedCount() const { return selectedCount_; }
  std::vector<int> SelectedRows() const;
  void SetSelected(int row, bool selected) {
    SetItemState(row, selected ? kStateSelected : 0, kStateSelected);
  }
  void SelectAll();
  void SelectNone();
  void InvertSelection();
  std::uint32_t ItemState(int row, std::uint32_t mask) const {
    return IsRow(row) ? rows_[row].State() & mask : 0;
  }
  void SetItemState(int row, std::uint32_t state, std::uint32_t mask);

  // The selection mark; -1 when no row carries it.
  int Cursor() const { return cursor_; }
  void SetCursor(int row);

  const std::string& Header(int field) const { return headers_[field]; }
  void SetHeader(int field, std::string text);

  // What a view follows during long edits, and scrolling requests.
  void Hide() { Emit({ListEvent::Kind::kHidden}); }
  void Redraw() { Emit({ListEvent::Kind::kRedraw}); }
  void Show() { Emit({ListEvent::Kind::kShown}); }
  void EnsureVisible(int row) {
    if (IsRow(row)) Emit({ListEvent::Kind::kEnsureVisible, row, row});
  }

  // Counts the changes of rows and cells (not of selection or cursor), so a
  // reader can tell that what it found earlier still holds.
  std::uint64_t Revision() const { return revision_; }

  EntryListSignal changed;

 private:
  void Emit(const ListEvent& event) const {
    using Kind = ListEvent::Kind;
    if (event.kind == Kind::kInserted || event.kind == Kind::kRemoved ||
        event.kind == Kind::kReset || event.kind == Kind::kReordered ||
        event.kind == Kind::kChanged) {
      ++revision_;
    }
    changed.Emit(event);
  }
  // Keeps the mark on a row after rows went away.
  void ClampCursor();

  int fieldCount_;
  std::vector<EntryRow> rows_;
  std::array<std::string, kMaxFields> headers_;
  int selectedCount_ = 0;
  int cursor_ = -1;
  // Emitting marks the change, and emitting is const.
  mutable std::uint64_t revision_ = 0;
};

}  // namespace qmb
