// The rows an event list view draws, as the view sees them: their texts and
// kinds, which are selected and which is current, where found text lies; and
// the acts the view forwards. The main window's model is one; a view knows
// nothing of events.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "lists/row_search.h"

namespace logwick {

class IEventRows {
 public:
  static constexpr std::size_t kNoRow = static_cast<std::size_t>(-1);
  enum class SelectAct { Only, Extend, Toggle };

  virtual ~IEventRows() = default;

  virtual std::size_t RowCount() const = 0;
  // "time sentence", or a gap mark's line (UTF-8).
  virtual std::string RowText(std::size_t row) const = 0;
  // A place in a stitched history where events may have been lost: drawn
  // centred on a tinted band, so that it never reads as an event.
  virtual bool IsGapMarkRow(std::size_t row) const = 0;

  virtual bool IsSelected(std::size_t row) const = 0;
  virtual std::size_t CurrentRow() const = 0;  // kNoRow for none
  // Where the row's text holds what the find bar found, in characters (also
  // UTF-16 units); the find bar's own row is marked more strongly.
  virtual std::vector<RowSearch::Span> FoundSpans(std::size_t row) const = 0;
  virtual std::size_t FoundRow() const = 0;  // kNoRow for none

  // A click or a key: row alone, the rows from the anchor to row, or row
  // toggled; row becomes current and is brought into view.
  virtual void Select(std::size_t row, SelectAct act) = 0;
  virtual void SelectAll() = 0;
  // Ctrl+C: the selected rows' texts, one a line, to the clipboard.
  virtual void CopySelection() = 0;
};

}  // namespace logwick
