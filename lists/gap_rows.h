// The rows of a list view or report of a stitched history: the shown events,
// and between them a row of its own wherever events may have been lost. A mark
// row stands only between two shown events, and marks with no shown event
// between them make one row, so a filter never leaves a mark dangling at an
// end or two marks side by side.
//
// Rows are numbered from 0 over both kinds: event rows keep the order of the
// shown rows (ShownRows), and a mark row goes just before the shown event it
// precedes. Without marks every row is the shown row of the same number.
#pragma once

#include <cstddef>
#include <vector>

#include "lists/shown_rows.h"

namespace logwick {

class GapRows {
 public:
  GapRows() = default;
  GapRows(const ShownRows& shown, GapMarks gaps);

  struct Row {
    bool gapMark = false;
    std::size_t shown = 0;  // an event row's index among the shown rows
  };

  // Rows in all, given the shown rows they were built on.
  std::size_t Count(const ShownRows& shown) const { return shown.Count() + m_before.size(); }
  std::size_t MarkCount() const { return m_before.size(); }
  Row At(std::size_t row) const;
  // The row of the shown event at index shown.
  std::size_t RowOfShown(std::size_t shown) const;
  // Whether a mark row stands just before the shown event at index shown.
  bool MarkBefore(std::size_t shown) const;

 private:
  // For each mark row, ascending: the index of the shown event after it.
  std::vector<std::size_t> m_before;
};

}  // namespace logwick
