#include "win/statistics_wnd.h"

#include "desk/control_ids.h"
#include "win/day_chart.h"
#include "win/report_table.h"

namespace logwick::win {

namespace {

std::vector<Cells> TopRows(const std::vector<logwick::RankedNumber>& top) {
  std::vector<Cells> rows;
  for (const logwick::RankedNumber& r : top)
    rows.push_back({std::to_string(r.number), std::to_string(r.events)});
  return rows;
}

}  // namespace

void StatisticsWnd::OnInit() {
  SetUpTable(Item(IDC_STATISTICS_BEAMS), {{"Луч", 60}, {"Событий", 60, true}});
  SetUpTable(Item(IDC_STATISTICS_DEVICES), {{"Устройство", 60}, {"Событий", 60, true}});
  DayChart::From(Item(IDC_STATISTICS_CHART))->onChosen = [this](int bar) {
    const int day = m_chartDays[static_cast<std::size_t>(bar)].day;
    if (day >= 0 && m_chosen) m_chosen(static_cast<std::size_t>(day));
  };
}

void StatisticsWnd::SetStatistics(const logwick::EventStatistics& stats) {
  SetText(IDC_STATISTICS_SUMMARY, logwick::StatisticsSummary(stats));
  FillTable(Item(IDC_STATISTICS_BEAMS), TopRows(stats.topBeams));
  FillTable(Item(IDC_STATISTICS_DEVICES), TopRows(stats.topDevices));
  m_chartDays = logwick::ChartDaysOf(stats.days);
  std::vector<ChartBar> bars;
  bars.reserve(m_chartDays.size());
  for (const logwick::ChartDay& d : m_chartDays)
    bars.push_back(
        {d.label, d.day >= 0 ? stats.days[static_cast<std::size_t>(d.day)].kinds : logwick::KindCounts{}});
  DayChart::From(Item(IDC_STATISTICS_CHART))->SetDays(std::move(bars));
}

}  // namespace logwick::win
