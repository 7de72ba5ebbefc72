// Which events of a list are shown, in list order: the rows the list view
// draws and the events a filtered report holds. A row names its event by its
// index in the list, so state kept per row or per event (found, selected) and
// rows of other kinds (marks between readings) can stand beside it without
// copying events.
#pragma once

#include <cassert>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "lists/event_predicate.h"
#include "lists/t7k_event_list.h"

namespace logwick {

// Gap marks of a list (of a stitched panel history), ascending: a mark at i
// lies between list[i - 1] and list[i]. Plain lists have none.
using GapMarks = std::span<const std::size_t>;

class ShownRows {
 public:
  using EventIndex = std::uint32_t;

  // The events of `list` that `admit` admits, in list order.
  ShownRows(const CT7KEventList& list, const EventPredicate& admit);

  std::size_t Count() const { return m_events.size(); }
  // The list index of the event on `row` (below Count()).
  EventIndex EventAt(std::size_t row) const {
    assert(row < m_events.size());
    return m_events[row];
  }
  // Whether every event of a list of `total` events is shown.
  bool ShowsAll(std::size_t total) const { return m_events.size() == total; }

  // The list indices of the shown events, ascending.
  std::vector<EventIndex>::const_iterator begin() const { return m_events.begin(); }
  std::vector<EventIndex>::const_iterator end() const { return m_events.end(); }

 private:
  std::vector<EventIndex> m_events;
};

}  // namespace logwick
