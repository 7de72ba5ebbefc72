// Finding text in the rows a list view shows: each row is "time sentence" as
// the report prints it, and a search ignores letter case (Latin and Cyrillic)
// and takes ё for е.
//
// The rows are folded once, when they are added, to one byte per character
// (every character of these texts is in Windows-1251), so each keystroke is
// one pass of a substring search over a few megabytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "events/t7k_event.h"

namespace logwick {

class RowSearch {
 public:
  struct Span {
    std::uint32_t start, length;  // in characters of the row's text (also its UTF-16 units)
    friend bool operator==(const Span&, const Span&) = default;
  };

  void Clear();
  void Reserve(std::size_t rows);
  // Adds the next row, the event's "time sentence", given the list's texts.
  void AddEvent(const CT7KEvent& ev, const std::vector<std::string>& texts);
  // Adds the next row from its UTF-8 text.
  void AddRow(std::string_view utf8);
  std::size_t RowCount() const { return m_rowStart.size() - 1; }

  // The rows, counted from 0 in the order added, that hold needle (UTF-8).
  // An empty needle, or one with a character no row can hold, finds nothing.
  std::vector<std::uint32_t> FindRows(std::string_view needle) const;
  // Where needle occurs in one row, left to right, without overlaps.
  std::vector<Span> FindInRow(std::size_t row, std::string_view needle) const;

 private:
  // Rows folded and each ended by a NUL, which no folded text holds.
  std::string m_folded;
  std::vector<std::size_t> m_rowStart = {0};  // one past the last row too
  std::string m_line;                         // scratch
};

// text (UTF-8) folded as the search folds it, as Windows-1251 bytes; false
// when text holds a character that Windows-1251 lacks.
bool FoldForSearch(std::string_view text, std::string& folded);

}  // namespace logwick
