#include "playlist/playlist_order.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <numeric>
#include <string_view>

#include "playlist/playlist_editing.h"
#include "playlist/playlist_store.h"
#include "tags/number_text.h"

namespace qmb {
namespace {

constexpr double kNoValue = -std::numeric_limits<double>::infinity();

// The number at the start of `text` (after blanks), or nothing.
bool LeadingNumber(std::string_view& text, double& value) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end == text.data()) return false;
  text.remove_prefix(static_cast<std::size_t>(end - text.data()));
  return true;
}

// "hh:mm:ss.ff" (any number of ":" parts) in seconds.
double LengthValue(std::string_view text) {
  double total = 0;
  double part = 0;
  bool negative = text.starts_with('-');
  if (negative) text.remove_prefix(1);
  if (!LeadingNumber(text, part)) return kNoValue;
  total = part;
  while (text.starts_with(':')) {
    text.remove_prefix(1);
    if (!LeadingNumber(text, part)) return kNoValue;
    total = total * 60 + part;
  }
  if (!text.empty()) return kNoValue;
  return negative ? -total : total;
}

// MM/DD/YY as YYYYMMDD; two-digit years from 70 are the 1900s.
double DateValue(std::string_view text) {
  int parts[3] = {0, 0, 0};
  for (int i = 0; i < 3; ++i) {
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), parts[i]);
    if (error != std::errc() || end == text.data()) return kNoValue;
    text.remove_prefix(static_cast<std::size_t>(end - text.data()));
    if (i < 2) {
      if (!text.starts_with('/')) return kNoValue;
      text.remove_prefix(1);
    }
  }
  int year = parts[2] < 100 ? (parts[2] >= 70 ? 1900 : 2000) + parts[2] : parts[2];
  return year * 10000.0 + parts[0] * 100.0 + parts[1];
}

double NumberValue(std::string_view text) {
  double value = 0;
  return LeadingNumber(text, value) ? value : kNoValue;
}

using ValueOf = double (*)(std::string_view);

ValueOf ValueFunction(int field) {
  switch (field) {
    case kLength:
      return LengthValue;
    case kTimesPlayed:
    case kFileSize:
      return NumberValue;
    case kDateAdded:
    case kDatePlayed:
      return DateValue;
    default:
      return nullptr;
  }
}

unsigned char Folded(char c) {
  auto u = static_cast<unsigned char>(c);
  return (u >= 'A' && u <= 'Z') ? static_cast<unsigned char>(u - 'A' + 'a') : u;
}

bool LessNoCase(std::string_view a, std::string_view b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                      [](char x, char y) { return Folded(x) < Folded(y); });
}

}  // namespace

void NextSortState(SortState& state, int field) {
  state.ascending = state.field == field ? !state.ascending : true;
  state.field = field;
}

std::vector<int> SortedOrder(const EntryList& list, int field, bool ascending) {
  std::vector<int> order(static_cast<std::size_t>(list.Count()));
  std::iota(order.begin(), order.end(), 0);
  if (field < 0 || field >= list.FieldCount()) return order;
  if (ValueOf value = ValueFunction(field)) {
    std::vector<double> keys(order.size());
    for (int row : order) keys[row] = value(list.FieldView(row, field));
    auto less = [&keys](int a, int b) { return keys[a] < keys[b]; };
    if (ascending) {
      std::stable_sort(order.begin(), order.end(), less);
    } else {
      std::stable_sort(order.begin(), order.end(), [&less](int a, int b) { return less(b, a); });
    }
    return order;
  }
  // The path is kept whole: paths that share their first 254 bytes still differ.
  std::vector<std::string_view> keys(order.size());
  for (int row : order) {
    keys[row] = field == kPath ? list.WholeFieldView(row, field) : list.FieldView(row, field);
  }
  auto less = [&keys](int a, int b) { return LessNoCase(keys[a], keys[b]); };
  if (ascending) {
    std::stable_sort(order.begin(), order.end(), less);
  } else {
    std::stable_sort(order.begin(), order.end(), [&less](int a, int b) { return less(b, a); });
  }
  return order;
}

std::vector<int> MovedOrder(const EntryList& list, int destination) {
  std::vector<int> before, moved, after;
  for (int row = 0; row < list.Count(); ++row) {
    if (list.IsSelected(row)) {
      moved.push_back(row);
    } else {
      (row < destination ? before : after).push_back(row);
    }
  }
  before.insert(before.end(), moved.begin(), moved.end());
  before.insert(before.end(), after.begin(), after.end());
  return before;
}

std::vector<int> ApplyOrder(EntryList& list, const std::vector<int>& order) {
  if (!list.Reorder(order)) return {};
  std::vector<int> newRowOf(order.size());
  for (std::size_t i = 0; i < order.size(); ++i) newRowOf[order[i]] = static_cast<int>(i);
  return newRowOf;
}

int FollowRow(const std::vector<int>& newRowOf, int row) {
  return row >= 0 && row < static_cast<int>(newRowOf.size()) ? newRowOf[row] : row;
}

void RenumberReferences(EntryList& references, const std::vector<int>& newRowOf) {
  for (int row = 0; row < references.Count(); ++row) {
    std::string_view text = references.WholeFieldView(row, 0);
    std::size_t colon = text.find(':');
    if (colon == std::string_view::npos) continue;
    int old = ReferencedRow(text);
    int now = FollowRow(newRowOf, old);
    if (now == old) continue;
    references.SetField(row, 0, NumberText(now) + std::string(text.substr(colon)));
  }
}

}  // namespace qmb
