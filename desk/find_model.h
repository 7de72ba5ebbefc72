// The find bar's state: what is looked for in the rows the event list shows
// ("time sentence", letter case aside, ё as е), which rows hold it, and which
// of them the user is at. The rows are indexed when the bar opens and again
// after the rows changed while it is open.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "lists/found_rows.h"
#include "lists/row_search.h"

namespace logwick {

class FindModel {
 public:
  // Adds every row of the list, in order, to the index.
  using FillIndexFn = std::function<void(RowSearch& index)>;

  explicit FindModel(FillIndexFn fillIndex) : m_fillIndex(std::move(fillIndex)) {}

  bool IsOpen() const { return m_open; }
  void Open() { m_open = true; }
  // Closes the bar; nothing is marked any more.
  void Close();
  // The rows changed: what was found no longer holds.
  void RowsChanged();

  // Looks for needle (UTF-8); the user is then at the first row found at or
  // after `from` (the list's top row).
  void Search(const std::string& needle, std::size_t from);
  // To the next or previous row found from `row`, round either end.
  void Next(std::size_t row) { m_found.Next(row); }
  void Previous(std::size_t row) { m_found.Previous(row); }

  const std::string& Needle() const { return m_needle; }
  const FoundRows& Found() const { return m_found; }
  // "N из M"; empty while nothing is looked for.
  std::string CountText() const;
  // Where the row's text holds what was found (none for a row not found).
  std::vector<RowSearch::Span> SpansIn(std::size_t row) const;

 private:
  FillIndexFn m_fillIndex;
  bool m_open = false;
  RowSearch m_index;
  bool m_indexStale = true;
  std::string m_needle;
  FoundRows m_found;
};

}  // namespace logwick
