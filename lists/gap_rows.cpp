#include "lists/gap_rows.h"

#include <algorithm>
#include <cassert>

namespace logwick {

GapRows::GapRows(const ShownRows& shown, GapMarks gaps) {
  assert(std::is_sorted(gaps.begin(), gaps.end()));  // the binary search below needs it
  const std::size_t count = shown.Count();
  std::size_t from = 0;  // shown events before here lie before every mark still to come
  for (const std::size_t mark : gaps) {
    // The first shown event at or after the mark: the mark lies between it and the one before.
    const auto next = std::lower_bound(shown.begin() + static_cast<std::ptrdiff_t>(from), shown.end(), mark);
    from = static_cast<std::size_t>(next - shown.begin());
    if (from == 0 || from == count) continue;
    if (m_before.empty() || m_before.back() != from) m_before.push_back(from);
  }
}

GapRows::Row GapRows::At(std::size_t row) const {
  // Mark k sits on row m_before[k] + k, which grows strictly with k.
  std::size_t lo = 0;
  std::size_t hi = m_before.size();
  while (lo < hi) {
    const std::size_t mid = lo + (hi - lo) / 2;
    if (m_before[mid] + mid < row)
      lo = mid + 1;
    else
      hi = mid;
  }
  if (lo < m_before.size() && m_before[lo] + lo == row) return {true, m_before[lo]};
  assert(row >= lo);  // an event row follows at most `row` mark rows
  return {false, row - lo};
}

std::size_t GapRows::RowOfShown(std::size_t shown) const {
  return shown + static_cast<std::size_t>(std::upper_bound(m_before.begin(), m_before.end(), shown) -
                                          m_before.begin());
}

bool GapRows::MarkBefore(std::size_t shown) const {
  return std::binary_search(m_before.begin(), m_before.end(), shown);
}

}  // namespace logwick
