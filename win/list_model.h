// What the event list control (id 1006) asks of the desktop model and what it
// tells it. The control draws rows and turns clicks and keys into picks; which
// rows exist, what they read, what is selected and what was found are the
// model's.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace logwick::win {

inline constexpr std::size_t kNoRow = std::numeric_limits<std::size_t>::max();

// A place found in a row's text, in UTF-16 units (the characters of these
// texts are all in the basic plane, so also in characters).
struct FoundSpan {
  std::uint32_t start = 0, length = 0;
};

// The rows, as the model has them now.
class IListRows {
 public:
  virtual ~IListRows() = default;
  virtual std::size_t RowCount() const = 0;
  // UTF-8: the time text, a blank and the sentence; for a gap mark its line.
  virtual std::string RowText(std::size_t row) const = 0;
  virtual bool IsGapMark(std::size_t row) const = 0;
  virtual bool IsSelected(std::size_t row) const = 0;
  // The row the keyboard moves from (LB_GETCURSEL), kNoRow for none.
  virtual std::size_t CurrentRow() const = 0;
  // What the find bar found in the row; none when it is closed.
  virtual std::vector<FoundSpan> FoundIn(std::size_t row) const = 0;
  // The row the find bar is at: its places are marked more strongly.
  virtual std::size_t FoundRow() const = 0;
};

// What the user did in the list.
class IListActs {
 public:
  enum class Pick {
    Only,    // a click, a key, LB_SETCURSEL: the row alone, and current
    Extend,  // Shift: from the anchor to the row
    Toggle,  // Ctrl+click: the row flips
  };
  virtual ~IListActs() = default;
  virtual void PickRow(std::size_t row, Pick how) = 0;
  virtual void SelectAll() = 0;      // Ctrl+A
  virtual void CopySelection() = 0;  // Ctrl+C
};

}  // namespace logwick::win
