#include "playlist/entry_list.h"

namespace qmb {
namespace {

// A read-back drops these but keeps form feeds.
bool IsReadBackBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\r';
}

std::string_view TrimReadBack(std::string_view text) {
  while (!text.empty() && IsReadBackBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsReadBackBlank(text.back())) text.remove_suffix(1);
  return text;
}

// The longest prefix of at most `limit` bytes that ends on a character boundary.
std::string_view CutView(std::string_view text, std::size_t limit) {
  if (text.size() <= limit) return text;
  std::size_t end = limit;
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
  return text.substr(0, end);
}

}  // namespace

std::string_view EntryRow::Cell(int field) const {
  if (field < 0 || field >= kMaxFields) return {};
  std::size_t begin = field == 0 ? 0 : ends_[field - 1];
  return std::string_view(text_).substr(begin, ends_[field] - begin);
}

void EntryRow::SetCell(int field, std::string_view text) {
  if (field < 0 || field >= kMaxFields) return;
  text = CutView(text, kCellLimit);
  std::size_t begin = field == 0 ? 0 : ends_[field - 1];
  std::size_t oldSize = ends_[field] - begin;
  text_.replace(begin, oldSize, text);
  auto delta = static_cast<std::ptrdiff_t>(text.size()) - static_cast<std::ptrdiff_t>(oldSize);
  for (int f = field; f < kMaxFields; ++f) {
    ends_[f] = static_cast<std::uint16_t>(ends_[f] + delta);
  }
}

void EntryRow::SetCells(std::initializer_list<std::string_view> cells) {
  std::size_t total = 0;
  for (std::string_view cell : cells) total += CutView(cell, kCellLimit).size();
  text_.clear();
  text_.reserve(total);
  int field = 0;
  for (std::string_view cell : cells) {
    if (field == kMaxFields) break;
    text_ += CutView(cell, kCellLimit);
    ends_[field++] = static_cast<std::uint16_t>(text_.size());
  }
  for (; field < kMaxFields; ++field) ends_[field] = static_cast<std::uint16_t>(text_.size());
}

EntryList::EntryList(int fieldCount)
    : fieldCount_(fieldCount < 1 ? 1 : (fieldCount > kMaxFields ? kMaxFields : fieldCount)) {}

std::string_view EntryList::FieldView(int row, int field) const {
  if (!IsRow(row) || field < 0 || field >= fieldCount_) return {};
  // Trimmed again after the cut, which may end on a blank.
  return TrimReadBack(CutView(TrimReadBack(rows_[row].Cell(field)), kFieldReadLimit));
}

std::string_view EntryList::WholeFieldView(int row, int field) const {
  if (!IsRow(row) || field < 0 || field >= fieldCount_) return {};
  return TrimReadBack(rows_[row].Cell(field));
}

std::string EntryList::Field(int row, int field) const {
  return std::string(FieldView(row, field));
}

void EntryList::SetField(int row, int field, std::string_view text) {
  if (!IsRow(row) || field < 0 || field >= fieldCount_) return;
  rows_[row].SetCell(field, text);
  Emit({ListEvent::Kind::kChanged, row, row, field});
}

void EntryList::SetIcon(int row, int icon) {
  if (!IsRow(row)) return;
  rows_[row].SetIcon(icon);
  Emit({ListEvent::Kind::kChanged, row, row, -1});
}

int EntryList::Insert(int position, EntryRow row) {
  if (position < 0 || position > Count()) position = Count();
  Emit({ListEvent::Kind::kAboutToInsert, position, position});
  if (row.State() & kStateSelected) ++selectedCount_;
  rows_.insert(rows_.begin() + position, std::move(row));
  Emit({ListEvent::Kind::kInserted, position, position});
  return position;
}

int EntryList::InsertMany(int position, std::vector<EntryRow> rows) {
  if (position < 0 || position > Count()) position = Count();
  if (rows.empty()) return position;
  int last = position + static_cast<int>(rows.size()) - 1;
  Emit({ListEvent::Kind::kAboutToInsert, position, last});
  for (const EntryRow& r : rows) {
    if (r.State() & kStateSelected) ++selectedCount_;
  }
  rows_.insert(rows_.begin() + position, std::make_move_iterator(rows.begin()),
               std::make_move_iterator(rows.end()));
  Emit({ListEvent::Kind::kInserted, position, last});
  return position;
}

void EntryList::Remove(int row) {
  if (!IsRow(row)) return;
  Emit({ListEvent::Kind::kAboutToRemove, row, row});
  if (rows_[row].State() & kStateSelected) --selectedCount_;
  rows_.erase(rows_.begin() + row);
  Emit({ListEvent::Kind::kRemoved, row, row});
  ClampCursor();
}

void EntryList::RemoveAll() {
  Emit({ListEvent::Kind::kAboutToReset});
  rows_.clear();
  selectedCount_ = 0;
  Emit({ListEvent::Kind::kReset});
  ClampCursor();
}

bool EntryList::Reorder(const std::vector<int>& order) {
  if (static_cast<int>(order.size()) != Count()) return false;
  std::vector<char> seen(order.size(), 0);
  for (int row : order) {
    if (!IsRow(row) || seen[row]) return false;
    seen[row] = 1;
  }
  Emit({ListEvent::Kind::kAboutToReorder});
  std::vector<EntryRow> moved;
  moved.reserve(rows_.size());
  int cursor = -1;
  for (std::size_t i = 0; i < order.size(); ++i) {
    moved.push_back(std::move(rows_[order[i]]));
    if (order[i] == cursor_) cursor = static_cast<int>(i);
  }
  rows_ = std::move(moved);
  cursor_ = cursor;
  Emit({ListEvent::Kind::kReordered});
  return true;
}

int EntryList::RemoveSelected() {
  if (selectedCount_ == 0) return 0;
  int removed = selectedCount_;
  Emit({ListEvent::Kind::kAboutToReset});
  std::erase_if(rows_, [](const EntryRow& r) { return (r.State() & kStateSelected) != 0; });
  selectedCount_ = 0;
  Emit({ListEvent::Kind::kReset});
  ClampCursor();
  return removed;
}

std::vector<int> EntryList::SelectedRows() const {
  std::vector<int> rows;
  rows.reserve(static_cast<std::size_t>(selectedCount_));
  for (int i = 0; i < Count() && static_cast<int>(rows.size()) < selectedCount_; ++i) {
    if (rows_[i].State() & kStateSelected) rows.push_back(i);
  }
  return rows;
}

void EntryList::SelectAll() {
  for (EntryRow& r : rows_) r.SetState(r.State() | kStateSelected);
  selectedCount_ = Count();
  if (!rows_.empty()) Emit({ListEvent::Kind::kStateChanged, 0, Count() - 1});
}

void EntryList::SelectNone() {
  for (EntryRow& r : rows_) r.SetState(r.State() & ~kStateSelected);
  selectedCount_ = 0;
  if (!rows_.empty()) Emit({ListEvent::Kind::kStateChanged, 0, Count() - 1});
}

void EntryList::InvertSelection() {
  for (EntryRow& r : rows_) r.SetState(r.State() ^ kStateSelected);
  selectedCount_ = Count() - selectedCount_;
  if (!rows_.empty()) Emit({ListEvent::Kind::kStateChanged, 0, Count() - 1});
}

void EntryList::SetItemState(int row, std::uint32_t state, std::uint32_t mask) {
  if (!IsRow(row)) return;
  EntryRow& r = rows_[row];
  std::uint32_t old = r.State();
  std::uint32_t now = (old & ~mask) | (state & mask);
  if (now == old) return;
  r.SetState(now);
  if ((old ^ now) & kStateSelected) selectedCount_ += (now & kStateSelected) ? 1 : -1;
  Emit({ListEvent::Kind::kStateChanged, row, row});
}

void EntryList::SetCursor(int row) {
  int mark = IsRow(row) ? row : -1;
  if (mark == cursor_) return;
  cursor_ = mark;
  Emit({ListEvent::Kind::kCursorChanged, cursor_, cursor_});
}

void EntryList::SetHeader(int field, std::string text) {
  if (field < 0 || field >= fieldCount_) return;
  headers_[field] = std::move(text);
  Emit({ListEvent::Kind::kHeaderChanged, -1, -1, field});
}

void EntryList::ClampCursor() {
  if (cursor_ >= Count()) SetCursor(Count() - 1);
}

}  // namespace qmb
