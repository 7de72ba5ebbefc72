#include "desk/window_texts.h"

#include <algorithm>

#include "events/packed_time.h"
#include "events/strformat.h"
#include "lists/event_kinds.h"

namespace logwick {

namespace {

// Days since 1970-01-01 of a proleptic Gregorian date.
std::int64_t DayNumber(int y, int m, int d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int yoe = static_cast<int>(y - era * 400);
  const int doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

std::int64_t DayNumberOf(std::uint32_t stamp) {
  const PackedTimeFields f = UnpackTimeStamp(stamp);
  return DayNumber(2000 + f.year, f.month, f.day);
}

struct Date {
  int y, m, d;
};

// The inverse of DayNumber.
Date DateOf(std::int64_t dayNumber) {
  const std::int64_t z = dayNumber + 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int doe = static_cast<int>(z - era * 146097);
  const int yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int mp = (5 * doy + 2) / 153;
  const int d = doy - (153 * mp + 2) / 5 + 1;
  const int m = mp + (mp < 10 ? 3 : -9);
  return {static_cast<int>(yoe + era * 400 + (m <= 2)), m, d};
}

std::string DateLabel(std::int64_t dayNumber) {
  const Date date = DateOf(dayNumber);
  return StrFormat("%02d/%02d/%04d", date.d, date.m, date.y);
}

// The periods the date axis may be labelled by: each has a number that grows
// by one from one period to the next, and the text of its label.
struct AxisPeriod {
  std::int64_t (*number)(std::int64_t dayNumber);
  std::string (*text)(std::int64_t dayNumber);
};

std::int64_t MonthNumber(std::int64_t dayNumber) {
  const Date date = DateOf(dayNumber);
  return std::int64_t{date.y} * 12 + date.m - 1;
}

std::string MonthText(std::int64_t dayNumber) {
  const Date date = DateOf(dayNumber);
  return StrFormat("%02d/%04d", date.m, date.y);
}

const AxisPeriod kAxisPeriods[] = {
    {[](std::int64_t n) { return n; }, DateLabel},
    // 01/01/1970 was a Thursday: day 4 is the first Monday.
    {[](std::int64_t n) { return (n + 3 - (n + 3 < 0 ? 6 : 0)) / 7; }, DateLabel},
    {MonthNumber, MonthText},
    {[](std::int64_t n) { return MonthNumber(n) / 3; }, MonthText},
    {[](std::int64_t n) { return std::int64_t{DateOf(n).y}; },
     [](std::int64_t n) { return StrFormat("%04d", DateOf(n).y); }},
};

}  // namespace

std::string StampText(std::uint32_t stamp) {
  const PackedTimeFields f = UnpackTimeStamp(stamp);
  return StrFormat("%02d/%02d/%04d %02d:%02d:%02d", f.day, f.month, 2000 + f.year, f.hour, f.minute,
                   f.second);
}

std::string StatisticsSummary(const EventStatistics& stats) {
  std::string text = StrFormat("Событий: %zu", stats.events);
  if (stats.first && stats.last) text += "\nс " + StampText(*stats.first) + " по " + StampText(*stats.last);
  for (EventKind kind : kEventKinds)
    text += StrFormat("\n%s: %u", std::string(KindName(kind)).c_str(),
                      stats.kinds[static_cast<std::size_t>(kind)]);
  return text;
}

std::vector<ChartDay> ChartDaysOf(const std::vector<DayCounts>& days) {
  std::vector<ChartDay> chart;
  if (days.empty()) return chart;
  const std::int64_t first = DayNumberOf(days.front().date);
  const std::int64_t span = DayNumberOf(days.back().date) - first + 1;
  if (span > kMaxChartedDays) {
    for (std::size_t i = 0; i < days.size(); ++i) {
      const std::int64_t date = DayNumberOf(days[i].date);
      chart.push_back({static_cast<int>(i), DateLabel(date), static_cast<std::int32_t>(date)});
    }
    return chart;
  }
  chart.resize(static_cast<std::size_t>(span));
  for (std::int64_t d = 0; d < span; ++d) {
    chart[static_cast<std::size_t>(d)].label = DateLabel(first + d);
    chart[static_cast<std::size_t>(d)].date = static_cast<std::int32_t>(first + d);
  }
  for (std::size_t i = 0; i < days.size(); ++i)
    chart[static_cast<std::size_t>(DayNumberOf(days[i].date) - first)].day = static_cast<int>(i);
  return chart;
}

std::vector<ChartLabel> ChartLabelsOf(const std::vector<ChartDay>& chart) {
  // Where each period begins: the chart's first day only when a period
  // begins on it, so that no label stands for a period cut short.
  auto starts = [&chart](const AxisPeriod& period) {
    std::vector<std::size_t> at;
    for (std::size_t i = 0; i < chart.size(); ++i) {
      const std::int64_t number = period.number(chart[i].date);
      const std::int64_t before = i > 0 ? period.number(chart[i - 1].date) : period.number(chart[i].date - 1);
      if (number != before) at.push_back(i);
    }
    return at;
  };
  std::vector<std::size_t> at;
  const AxisPeriod* period = nullptr;
  for (const AxisPeriod& p : kAxisPeriods) {
    period = &p;
    at = starts(p);
    if (at.size() <= kMaxChartLabels) break;
  }
  // Decades of years: every few years.
  const std::size_t every = (at.size() + kMaxChartLabels - 1) / kMaxChartLabels;
  std::vector<ChartLabel> labels;
  for (std::size_t i = 0; i < at.size(); i += std::max<std::size_t>(every, 1))
    labels.push_back({at[i], period->text(chart[at[i]].date)});
  return labels;
}

std::string FindingsCountText(std::size_t count) {
  return count == 0 ? std::string("Замечаний нет") : StrFormat("Замечаний: %zu", count);
}

std::vector<std::string> FindingCells(const Finding& finding) {
  return {std::to_string(finding.row + 1), StampText(finding.time), std::string(FindingTitle(finding.kind))};
}

}  // namespace logwick
