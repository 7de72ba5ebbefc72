#include "lists/event_statistics.h"

#include <algorithm>
#include <numeric>

#include "lists/stamp_calendar.h"

namespace logwick {
namespace {

constexpr unsigned kDateShift = 17;  // a stamp's date bits, as a key below 2^15
constexpr std::size_t kDateKeys = std::size_t{1} << (32 - kDateShift);

std::vector<RankedNumber> Top(const std::array<std::uint32_t, 256>& counts, std::size_t n) {
  std::vector<RankedNumber> ranked;
  for (unsigned i = 0; i < counts.size(); ++i)
    if (counts[i]) ranked.push_back({i, counts[i]});
  const auto busier = [](const RankedNumber& a, const RankedNumber& b) {
    return a.events != b.events ? a.events > b.events : a.number < b.number;
  };
  n = std::min(n, ranked.size());
  std::partial_sort(ranked.begin(), ranked.begin() + static_cast<std::ptrdiff_t>(n), ranked.end(), busier);
  ranked.resize(n);
  return ranked;
}

}  // namespace

std::uint32_t DayCounts::Total() const { return std::accumulate(kinds.begin(), kinds.end(), 0u); }

StatisticsBuilder::StatisticsBuilder() : m_daySlot(kDateKeys, 0) {}

void StatisticsBuilder::Add(const CT7KEvent& ev) {
  const std::size_t row = m_sums.events++;
  const auto kind = static_cast<std::size_t>(KindOf(ev));
  ++m_sums.kinds[kind];
  if (const auto beam = BeamOf(ev)) ++m_beams[*beam];
  if (const auto device = DeviceOf(ev)) ++m_devices[*device];

  const std::uint32_t stamp = ev.TimeStamp();
  if (!HasGoodDate(stamp)) return;
  if (!m_sums.first || stamp < *m_sums.first) m_sums.first = stamp;
  if (!m_sums.last || stamp > *m_sums.last) m_sums.last = stamp;
  std::uint32_t& slot = m_daySlot[stamp >> kDateShift];
  if (!slot) {
    m_days.push_back({{stamp & CT7KEvent::kDateMask, {}, row}, stamp});
    slot = static_cast<std::uint32_t>(m_days.size());
  }
  Day& day = m_days[slot - 1];
  ++day.counts.kinds[kind];
  // Earlier rows are later in the panel's order, so they keep equal times.
  if (stamp > day.latest) {
    day.latest = stamp;
    day.counts.newestRow = row;
  }
}

EventStatistics StatisticsBuilder::Result() const {
  EventStatistics s = m_sums;
  s.days.reserve(m_days.size());
  for (const Day& d : m_days) s.days.push_back(d.counts);
  std::sort(s.days.begin(), s.days.end(),
            [](const DayCounts& a, const DayCounts& b) { return a.date < b.date; });
  s.topBeams = Top(m_beams, EventStatistics::kTopCount);
  s.topDevices = Top(m_devices, EventStatistics::kTopCount);
  return s;
}

EventStatistics ComputeStatistics(const CT7KEventList& list, const EventPredicate& admit) {
  StatisticsBuilder b;
  for (const CT7KEvent& ev : list)
    if (!admit || admit(ev)) b.Add(ev);
  return b.Result();
}

}  // namespace logwick
