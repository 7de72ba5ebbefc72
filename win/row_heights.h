// Heights of the event list's rows at one width, measured only when asked.
//
// The list scrolls by rows, as a list box does: its scroll position is the
// top row, and the scroll range ends at the top row that shows the last rows
// filling the view. So opening a list measures the rows it shows and those of
// the last screenful, never the rest; a new width forgets every height (a
// fill of a small array) and measures again only what is shown; scrolling
// measures the rows it passes over once, and they stay known.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace logwick::win {

class RowHeights {
 public:
  // Measures a row at the current width, in pixels (at least 1).
  using Measure = std::function<int(std::size_t row)>;

  // count rows, none measured.
  void Reset(std::size_t count);
  // Forgets every height when width differs from the last one.
  void SetWidth(int width);

  std::size_t Count() const { return m_heights.size(); }
  int Height(std::size_t row, const Measure& measure);
  // Measurements made since construction: what a change of width costs.
  std::size_t Measurements() const { return m_measurements; }

  // The greatest top row from which the rows to the end still fill a view
  // of viewHeight pixels (0 for a list that fits).
  std::size_t LastTop(int viewHeight, const Measure& measure);
  // Rows from top on whose top edge lies inside the view (at least 1 when
  // top is a row).
  std::size_t RowsInView(std::size_t top, int viewHeight, const Measure& measure);
  // The row at y pixels below the top of the view, or Count() for none.
  std::size_t RowAt(std::size_t top, int y, const Measure& measure);
  // The top row that shows row whole with the least scrolling from top.
  std::size_t TopShowing(std::size_t top, std::size_t row, int viewHeight, const Measure& measure);

 private:
  std::vector<std::uint16_t> m_heights;  // 0: not measured at m_width
  int m_width = -1;
  std::size_t m_measurements = 0;
};

}  // namespace logwick::win
