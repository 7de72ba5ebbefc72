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
  int day = -1;           // index into the statistics' days; -1 for a day without events
  std::string label;      // "DD/MM/YYYY"
  std::int32_t date = 0;  // days since 01/01/1970
};
// Every calendar day from the first to the last day with events; only the
// days with events when the run is longer than kMaxChartedDays.
std::vector<ChartDay> ChartDaysOf(const std::vector<DayCounts>& days);

// The date axis never carries more labels than this: more would overlap.
inline constexpr std::size_t kMaxChartLabels = 31;

// A label of the chart's date axis, at a chart day (index into ChartDaysOf).
struct ChartLabel {
  std::size_t at = 0;
  std::string text;
  friend bool operator==(const ChartLabel&, const ChartLabel&) = default;
};
// The date axis's labels: every day ("DD/MM/YYYY") when they fit, else the
// first day of each week (Mondays, "DD/MM/YYYY"), of each month ("MM/YYYY"),
// of each quarter, of each year ("YYYY"), or of every few years: the finest
// that stays within kMaxChartLabels. Where the chart leaves days out, a label
// stands at the first charted day of its period.
std::vector<ChartLabel> ChartLabelsOf(const std::vector<ChartDay>& chart);

// "Замечаний нет" or "Замечаний: N".
std::string FindingsCountText(std::size_t count);
// The findings table's cells: the row (counted from 1), the time, what it is.
std::vector<std::string> FindingCells(const Finding& finding);

}  // namespace logwick
