// Changing the order of the playlist: sorting by a column (a header click)
// and moving the selected rows (a drag), with the row numbers that other
// lists keep following their entries.
#pragma once

#include <vector>

#include "playlist/entry_list.h"

namespace qmb {

// The column the playlist is sorted by and the direction; field -1 while
// the list is in the order the user made.
struct SortState {
  int field = -1;
  bool ascending = true;
};

// A click on the header of `field`: a new column sorts ascending, the same
// column again flips the direction.
void NextSortState(SortState& state, int field);

// The row order of the playlist sorted by `field`: lengths, play counts,
// dates and sizes compare as values (texts that hold none, such as
// "Unknown" or "Never Played", come before every value), other columns as
// text without regard to letter case. Equal rows keep their order.
std::vector<int> SortedOrder(const EntryList& list, int field, bool ascending);

// The order that moves the selected rows, in their order, to just before
// row `destination` (numbered before the move; past the end appends).
std::vector<int> MovedOrder(const EntryList& list, int destination);

// Applies `order` (see EntryList::Reorder) and returns, for every old row,
// its new row; empty when the order is not one of the list's rows.
std::vector<int> ApplyOrder(EntryList& list, const std::vector<int>& order);

// A row number that followed its entry: `newRowOf[row]`, or `row` itself
// when it names no row.
int FollowRow(const std::vector<int>& newRowOf, int row);

// Rewrites the row numbers of reference rows (" N: title", the cue list)
// after the playlist's rows moved.
void RenumberReferences(EntryList& references, const std::vector<int>& newRowOf);

}  // namespace qmb
