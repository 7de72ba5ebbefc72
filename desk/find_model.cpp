#include "desk/find_model.h"

namespace logwick {

void FindModel::Close() {
  m_open = false;
  m_found.Clear();
}

void FindModel::RowsChanged() {
  m_indexStale = true;
  m_found.Clear();
}

void FindModel::Search(const std::string& needle, std::size_t from) {
  m_needle = needle;
  if (m_indexStale) {
    m_index.Clear();
    m_fillIndex(m_index);
    m_indexStale = false;
  }
  m_found.Set(m_index.FindRows(m_needle), from);
}

std::string FindModel::CountText() const {
  if (m_needle.empty()) return {};
  const std::size_t at = m_found.Current() ? *m_found.Current() + 1 : 0;
  return std::to_string(at) + " из " + std::to_string(m_found.Count());
}

std::vector<RowSearch::Span> FindModel::SpansIn(std::size_t row) const {
  if (m_needle.empty() || !m_found.Holds(row)) return {};
  return m_index.FindInRow(row, m_needle);
}

}  // namespace logwick
