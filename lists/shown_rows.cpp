#include "lists/shown_rows.h"

namespace logwick {

ShownRows::ShownRows(const CT7KEventList& list, const EventPredicate& admit) {
  const std::size_t n = list.GetCount();
  if (!admit) {
    m_events.resize(n);
    for (std::size_t i = 0; i < n; ++i) m_events[i] = static_cast<EventIndex>(i);
    return;
  }
  m_events.reserve(n);
  for (std::size_t i = 0; i < n; ++i)
    if (admit(list[i])) m_events.push_back(static_cast<EventIndex>(i));
}

}  // namespace logwick
