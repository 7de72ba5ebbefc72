// What a set of events holds: how many of each kind, the period they cover,
// how many of each kind per day, and the beams and devices with the most
// events. Events are added one by one in list order, so the caller chooses
// them: the whole list, the rows a view shows, the events a report writes.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "lists/event_kinds.h"
#include "lists/event_predicate.h"
#include "lists/t7k_event_list.h"

namespace logwick {

using KindCounts = std::array<std::uint32_t, kEventKindCount>;  // by EventKind

struct DayCounts {
  std::uint32_t date;  // the day's time stamp at 00:00:00 (a stamp's date bits)
  KindCounts kinds{};
  // Row of the day's newest event in the panel's order: its latest time, the
  // lower row among equal times (rows count the added events from 0).
  std::size_t newestRow = 0;
  std::uint32_t Total() const;
};

struct RankedNumber {
  unsigned number;  // beam or device number
  std::uint32_t events;
  friend bool operator==(const RankedNumber&, const RankedNumber&) = default;
};

// Events with a bad date count in events, kinds and the top lists, but not in
// first, last and days.
struct EventStatistics {
  static constexpr std::size_t kTopCount = 10;

  std::size_t events = 0;
  std::optional<std::uint32_t> first, last;  // time stamps; none without a good date
  KindCounts kinds{};
  std::vector<DayCounts> days;  // every day with events, oldest first
  // Beams (B6 of codes 5, 8) and devices (B10 of codes 2, 11) with the most
  // events: at most ten, most events first, ties to the lower number.
  std::vector<RankedNumber> topBeams, topDevices;
};

class StatisticsBuilder {
 public:
  StatisticsBuilder();
  void Add(const CT7KEvent& ev);
  EventStatistics Result() const;

 private:
  struct Day {
    DayCounts counts;
    std::uint32_t latest;
  };
  EventStatistics m_sums;                // everything but days and the top lists
  std::vector<std::uint32_t> m_daySlot;  // by date key: 1 + index into m_days, 0 for none
  std::vector<Day> m_days;
  std::array<std::uint32_t, 256> m_beams{}, m_devices{};
};

// Statistics of the events of list that admit lets through, in list order.
EventStatistics ComputeStatistics(const CT7KEventList& list, const EventPredicate& admit = {});

}  // namespace logwick
