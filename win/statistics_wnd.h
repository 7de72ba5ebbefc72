// The statistics window (template 142, modeless): what the shown events hold,
// by kind and period, the chart of events per day stacked by kind (days
// without events stand empty), and the ten busiest beams and devices. A click
// on a day's bar asks the owner to go to that day's first event.
#pragma once

#include <windows.h>

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "lists/event_statistics.h"
#include "win/dialog.h"

namespace logwick::win {

class StatisticsWnd : public Dialog {
 public:
  // A run of calendar days longer than this is charted by its days with
  // events only: a bar per day of decades would be unreadable.
  static constexpr long kMaxChartedDays = 1000;

  // chosen: the shown row of the first event of the day clicked.
  explicit StatisticsWnd(std::function<void(std::size_t row)> chosen) : m_chosen(std::move(chosen)) {}

  void SetStatistics(logwick::EventStatistics stats);
  // The chart's days, oldest first: an index into the statistics' days, or -1
  // for a day without events.
  const std::vector<int>& ChartDays() const { return m_chartDays; }
  static std::string SummaryText(const logwick::EventStatistics& stats);

 private:
  void OnInit() override;

  std::function<void(std::size_t)> m_chosen;
  logwick::EventStatistics m_stats;
  std::vector<int> m_chartDays;
};

}  // namespace logwick::win
