#include "win/statistics_wnd.h"

#include "events/packed_time.h"
#include "events/strformat.h"
#include "lists/event_kinds.h"
#include "lists/stamp_calendar.h"
#include "win/day_chart.h"
#include "win/report_table.h"
#include "win/resource_ids.h"

namespace logwick::win {

namespace {

std::string StampText(std::uint32_t stamp) {
  const PackedTimeFields f = UnpackTimeStamp(stamp);
  return logwick::StrFormat("%02d/%02d/%04d %02d:%02d:%02d", f.day, f.month, 2000 + f.year, f.hour, f.minute,
                            f.second);
}

// The stamp of the calendar day after the stamp's day.
std::uint32_t NextDay(std::uint32_t stamp) {
  PackedTimeFields f = UnpackTimeStamp(stamp);
  if (++f.day > logwick::DaysInMonth(2000 + f.year, f.month)) {
    f.day = 1;
    if (++f.month > 12) f.month = 1, ++f.year;
  }
  return PackTimeStamp(2000 + f.year, f.month, f.day, 0, 0, 0);
}

long DayNumber(std::uint32_t stamp) { return static_cast<long>(logwick::CalendarSeconds(stamp) / 86400); }

// Every calendar day from the first to the last day with events, each the
// index of its statistics day or -1; only the days with events when the run
// is longer than maxDays.
std::vector<int> ChartDaysOf(const std::vector<logwick::DayCounts>& days, long maxDays) {
  std::vector<int> chart;
  if (days.empty()) return chart;
  const long first = DayNumber(days.front().date);
  const long span = DayNumber(days.back().date) - first + 1;
  if (span > maxDays) {
    for (std::size_t i = 0; i < days.size(); ++i) chart.push_back(static_cast<int>(i));
    return chart;
  }
  chart.assign(static_cast<std::size_t>(span), -1);
  for (std::size_t i = 0; i < days.size(); ++i)
    chart[static_cast<std::size_t>(DayNumber(days[i].date) - first)] = static_cast<int>(i);
  return chart;
}

std::vector<Cells> TopRows(const std::vector<logwick::RankedNumber>& top) {
  std::vector<Cells> rows;
  for (const logwick::RankedNumber& r : top)
    rows.push_back({std::to_string(r.number), std::to_string(r.events)});
  return rows;
}

}  // namespace

void StatisticsWnd::OnInit() {
  SetUpTable(Item(IDC_STATS_BEAMS), {{"Луч", 60}, {"Событий", 60, true}});
  SetUpTable(Item(IDC_STATS_DEVICES), {{"Устройство", 60}, {"Событий", 60, true}});
  DayChart::From(Item(IDC_STATS_CHART))->onChosen = [this](int chartDay) {
    const int day = m_chartDays[static_cast<std::size_t>(chartDay)];
    if (day >= 0 && m_chosen) m_chosen(m_stats.days[static_cast<std::size_t>(day)].firstRow);
  };
}

std::string StatisticsWnd::SummaryText(const logwick::EventStatistics& stats) {
  std::string text = "Событий: " + std::to_string(stats.events);
  if (stats.first && stats.last) text += "\nс " + StampText(*stats.first) + " по " + StampText(*stats.last);
  for (logwick::EventKind kind : logwick::kEventKinds)
    text += "\n" + std::string(logwick::KindName(kind)) + ": " +
            std::to_string(stats.kinds[static_cast<std::size_t>(kind)]);
  return text;
}

void StatisticsWnd::SetStatistics(logwick::EventStatistics stats) {
  m_stats = std::move(stats);
  SetText(IDC_STATS_SUMMARY, SummaryText(m_stats));
  FillTable(Item(IDC_STATS_BEAMS), TopRows(m_stats.topBeams));
  FillTable(Item(IDC_STATS_DEVICES), TopRows(m_stats.topDevices));
  m_chartDays = ChartDaysOf(m_stats.days, kMaxChartedDays);
  std::vector<ChartDay> chart;
  std::uint32_t date = m_stats.days.empty() ? 0 : m_stats.days.front().date;
  for (int day : m_chartDays) {
    ChartDay d;
    if (day >= 0) {
      d.kinds = m_stats.days[static_cast<std::size_t>(day)].kinds;
      date = m_stats.days[static_cast<std::size_t>(day)].date;
    }
    const PackedTimeFields f = UnpackTimeStamp(date);
    d.label = logwick::StrFormat("%02d/%02d/%04d", f.day, f.month, 2000 + f.year);
    chart.push_back(std::move(d));
    date = NextDay(date);
  }
  DayChart::From(Item(IDC_STATS_CHART))->SetDays(std::move(chart));
}

}  // namespace logwick::win
