// The rows a search found, ascending, and which of them the user is at: the
// list view marks them, the find bar counts them ("N из M") and steps through
// them, wrapping round at either end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace logwick {

class FoundRows {
 public:
  // Takes the found rows (ascending); the one the user is at becomes the
  // first at or after row `from`, or the first of all when none is.
  void Set(std::vector<std::uint32_t> rows, std::size_t from);
  void Clear();

  std::size_t Count() const { return m_rows.size(); }
  // Where the user is among the found rows (from 0); none when none was found.
  std::optional<std::size_t> Current() const;
  // The row the user is at (only while Current() has a value).
  std::size_t CurrentRow() const { return m_rows[m_current]; }
  bool Holds(std::size_t row) const;

  // To the first found row after `row`, or before it, wrapping round.
  void Next(std::size_t row);
  void Previous(std::size_t row);

 private:
  std::vector<std::uint32_t> m_rows;
  std::size_t m_current = 0;
};

}  // namespace logwick
