#include "lists/found_rows.h"

#include <algorithm>

namespace logwick {

void FoundRows::Set(std::vector<std::uint32_t> rows, std::size_t from) {
  m_rows = std::move(rows);
  const auto at = std::lower_bound(m_rows.begin(), m_rows.end(), from);
  m_current = at == m_rows.end() ? 0 : static_cast<std::size_t>(at - m_rows.begin());
}

void FoundRows::Clear() { Set({}, 0); }

std::optional<std::size_t> FoundRows::Current() const {
  if (m_rows.empty()) return std::nullopt;
  return m_current;
}

bool FoundRows::Holds(std::size_t row) const { return std::binary_search(m_rows.begin(), m_rows.end(), row); }

void FoundRows::Next(std::size_t row) {
  const auto after = std::upper_bound(m_rows.begin(), m_rows.end(), row);
  m_current = after == m_rows.end() ? 0 : static_cast<std::size_t>(after - m_rows.begin());
}

void FoundRows::Previous(std::size_t row) {
  if (m_rows.empty()) return;
  const auto at = std::lower_bound(m_rows.begin(), m_rows.end(), row);
  m_current = at == m_rows.begin() ? m_rows.size() - 1 : static_cast<std::size_t>(at - m_rows.begin()) - 1;
}

}  // namespace logwick
