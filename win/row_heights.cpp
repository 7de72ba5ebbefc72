#include "win/row_heights.h"

#include <algorithm>
#include <cassert>

namespace logwick::win {

void RowHeights::Reset(std::size_t count) { m_heights.assign(count, 0); }

void RowHeights::SetWidth(int width) {
  if (width == m_width) return;
  m_width = width;
  std::fill(m_heights.begin(), m_heights.end(), 0);
}

int RowHeights::Height(std::size_t row, const Measure& measure) {
  assert(row < m_heights.size());
  std::uint16_t& h = m_heights[row];
  if (h == 0) {
    h = static_cast<std::uint16_t>(std::clamp(measure(row), 1, 0xFFFF));
    ++m_measurements;
  }
  return h;
}

std::size_t RowHeights::LastTop(int viewHeight, const Measure& measure) {
  std::size_t row = m_heights.size();
  int used = 0;
  while (row > 0) {
    const int h = Height(row - 1, measure);
    if (used + h > viewHeight && row < m_heights.size()) break;
    used += h;
    --row;
  }
  return std::min(row, m_heights.empty() ? 0 : m_heights.size() - 1);
}

std::size_t RowHeights::RowsInView(std::size_t top, int viewHeight, const Measure& measure) {
  std::size_t n = 0;
  for (int y = 0; top + n < m_heights.size() && y < viewHeight; ++n) y += Height(top + n, measure);
  return n;
}

std::size_t RowHeights::RowAt(std::size_t top, int y, const Measure& measure) {
  if (y < 0) return m_heights.size();
  for (std::size_t row = top, bottom = 0; row < m_heights.size(); ++row) {
    bottom += static_cast<std::size_t>(Height(row, measure));
    if (static_cast<std::size_t>(y) < bottom) return row;
  }
  return m_heights.size();
}

std::size_t RowHeights::TopShowing(std::size_t top, std::size_t row, int viewHeight, const Measure& measure) {
  if (row <= top) return row;
  // The lowest top from which row ends inside the view.
  std::size_t first = row;
  for (int used = Height(row, measure); first > 0; --first) {
    const int h = Height(first - 1, measure);
    if (used + h > viewHeight) break;
    used += h;
  }
  return std::max(top, first);
}

}  // namespace logwick::win
