// The statistics window (template 141, modeless): what the shown events hold,
// by kind and period, the chart of events per day stacked by kind (days
// without events stand empty), and the ten busiest beams and devices. A click
// on a day's bar names that day to the owner.
#pragma once

#include <windows.h>

#include <cstddef>
#include <functional>
#include <vector>

#include "desk/window_texts.h"
#include "lists/event_statistics.h"
#include "win/dialog.h"

namespace logwick::win {

class StatisticsWnd : public Dialog {
 public:
  // chosen: the index of the statistics' day clicked.
  explicit StatisticsWnd(std::function<void(std::size_t day)> chosen) : m_chosen(std::move(chosen)) {}

  void SetStatistics(const logwick::EventStatistics& stats);

 private:
  void OnInit() override;

  std::function<void(std::size_t)> m_chosen;
  std::vector<logwick::ChartDay> m_chartDays;
};

}  // namespace logwick::win
