// The texts of the statistics and integrity windows, for both faces: the
// summary of the shown events, the chart's days and their labels, and the
// lines of the findings table.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "lists/event_statistics.h"
#include "lists/integrity_check.h"

namespace logwick {

// A packed time stamp as the event list writes times, "DD/MM/YYYY hh:mm:ss",
// its fields as stored.
std::string StampText(std::uint32_t stamp);

// "Событий: N", the period, then one line per kind.
std::string StatisticsSummary(const EventStatistics& stats);

// A run of calendar days longer than this is charted by its days with events
// only: a bar per day of decades would be unreadable and slow.
inline constexpr int kMaxChartedDays = 1000;

struct ChartDay {
  int day = -1;       // index into the statistics' days; -1 for a day without events
  std::string label;  // "DD/MM/YYYY"
};
// Every calendar day from the first to the last day with events; only the
// days with events when the run is longer than kMaxChartedDays.
std::vector<ChartDay> ChartDaysOf(const std::vector<DayCounts>& days);

// "Замечаний нет" or "Замечаний: N".
std::string FindingsCountText(std::size_t count);
// The findings table's cells: the row (counted from 1), the time, what it is.
std::vector<std::string> FindingCells(const Finding& finding);

}  // namespace logwick
