#include "lists/row_selection.h"

#include <algorithm>

namespace logwick {

void RowSelection::Reset(std::size_t rowCount) {
  m_selected.assign(rowCount, false);
  m_selectedCount = 0;
  m_current = m_anchor = kNone;
}

std::vector<std::size_t> RowSelection::SelectedRows() const {
  std::vector<std::size_t> rows;
  rows.reserve(m_selectedCount);
  for (std::size_t row = 0; row < m_selected.size() && rows.size() < m_selectedCount; ++row)
    if (m_selected[row]) rows.push_back(row);
  return rows;
}

void RowSelection::SetRange(std::size_t from, std::size_t to, bool selected) {
  for (std::size_t row = from; row <= to; ++row) {
    if (m_selected[row] == selected) continue;
    m_selected[row] = selected;
    if (selected)
      ++m_selectedCount;
    else
      --m_selectedCount;
  }
}

void RowSelection::Select(std::size_t row) {
  if (row >= m_selected.size()) return;
  std::fill(m_selected.begin(), m_selected.end(), false);
  m_selected[row] = true;
  m_selectedCount = 1;
  m_current = m_anchor = row;
}

void RowSelection::ExtendTo(std::size_t row) {
  if (row >= m_selected.size()) return;
  if (m_anchor == kNone) m_anchor = m_current == kNone ? row : m_current;
  std::fill(m_selected.begin(), m_selected.end(), false);
  m_selectedCount = 0;
  SetRange(std::min(m_anchor, row), std::max(m_anchor, row), true);
  m_current = row;
}

void RowSelection::Toggle(std::size_t row) {
  if (row >= m_selected.size()) return;
  SetRange(row, row, !m_selected[row]);
  m_current = m_anchor = row;
}

void RowSelection::SelectAll() {
  std::fill(m_selected.begin(), m_selected.end(), true);
  m_selectedCount = m_selected.size();
}

}  // namespace logwick
