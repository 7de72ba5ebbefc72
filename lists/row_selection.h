// Which rows of a list view are selected, and the current row that the
// keyboard moves: a click selects one row, Shift extends from where the last
// plain or Ctrl click was (the anchor), Ctrl toggles one row. Rows are the
// view's positions, whatever each row shows.
#pragma once

#include <cstddef>
#include <limits>
#include <vector>

namespace logwick {

class RowSelection {
 public:
  static constexpr std::size_t kNone = std::numeric_limits<std::size_t>::max();

  // rowCount rows, none selected, no current row.
  void Reset(std::size_t rowCount);

  std::size_t RowCount() const { return m_selected.size(); }
  std::size_t Current() const { return m_current; }
  bool IsSelected(std::size_t row) const { return row < m_selected.size() && m_selected[row]; }
  std::size_t SelectedCount() const { return m_selectedCount; }
  // The selected rows, ascending.
  std::vector<std::size_t> SelectedRows() const;

  // Each makes row current; rows past the end are ignored.
  void Select(std::size_t row);    // row alone; the anchor moves there
  void ExtendTo(std::size_t row);  // the rows from the anchor to row, and no others
  void Toggle(std::size_t row);    // row flips, the others stay; the anchor moves there
  void SelectAll();                // the current row stays

 private:
  void SetRange(std::size_t from, std::size_t to, bool selected);

  std::vector<bool> m_selected;
  std::size_t m_selectedCount = 0;
  std::size_t m_current = kNone;
  std::size_t m_anchor = kNone;
};

}  // namespace logwick
