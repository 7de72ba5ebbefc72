#include "desk/window_texts.h"

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

std::string DateLabel(std::int64_t dayNumber) {
  // The inverse of DayNumber.
  const std::int64_t z = dayNumber + 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int doe = static_cast<int>(z - era * 146097);
  const int yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int mp = (5 * doy + 2) / 153;
  const int d = doy - (153 * mp + 2) / 5 + 1;
  const int m = mp + (mp < 10 ? 3 : -9);
  const std::int64_t y = yoe + era * 400 + (m <= 2);
  return StrFormat("%02d/%02d/%04d", d, m, static_cast<int>(y));
}

}  // namespace

std::string StampText(std::uint32_t stamp) {
  const PackedTimeFields f = UnpackTimeStamp(stamp);
  return StrFormat("%02d/%02d/%04d %02d:%02d:%02d", f.day, f.month, 2000 + f.year, f.hour, f.minute, f.second);
}

std::string StatisticsSummary(const EventStatistics& stats) {
  std::string text = StrFormat("Событий: %zu", stats.events);
  if (stats.first && stats.last) text += "\nс " + StampText(*stats.first) + " по " + StampText(*stats.last);
  for (EventKind kind : kEventKinds)
    text += StrFormat("\n%s: %u", std::string(KindName(kind)).c_str(), stats.kinds[static_cast<std::size_t>(kind)]);
  return text;
}

std::vector<ChartDay> ChartDaysOf(const std::vector<DayCounts>& days) {
  std::vector<ChartDay> chart;
  if (days.empty()) return chart;
  const std::int64_t first = DayNumberOf(days.front().date);
  const std::int64_t span = DayNumberOf(days.back().date) - first + 1;
  if (span > kMaxChartedDays) {
    for (std::size_t i = 0; i < days.size(); ++i)
      chart.push_back({static_cast<int>(i), DateLabel(DayNumberOf(days[i].date))});
    return chart;
  }
  chart.resize(static_cast<std::size_t>(span));
  for (std::int64_t d = 0; d < span; ++d) chart[static_cast<std::size_t>(d)].label = DateLabel(first + d);
  for (std::size_t i = 0; i < days.size(); ++i)
    chart[static_cast<std::size_t>(DayNumberOf(days[i].date) - first)].day = static_cast<int>(i);
  return chart;
}

std::string FindingsCountText(std::size_t count) {
  return count == 0 ? std::string("Замечаний нет") : StrFormat("Замечаний: %zu", count);
}

std::vector<std::string> FindingCells(const Finding& finding) {
  return {std::to_string(finding.row + 1), StampText(finding.time), std::string(FindingTitle(finding.kind))};
}

}  // namespace logwick
