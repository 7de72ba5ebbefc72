// The statistics window: what the shown events hold, by kind and period, the
// ten busiest beams and devices, and a bar chart of events per day stacked by
// kind (days without events stand empty). A click on a day's bar asks the
// owner to go to that day's events.
#pragma once

#include <QDialog>
#include <cstddef>
#include <functional>
#include <vector>

#include "desk/window_texts.h"
#include "lists/event_statistics.h"

class CDayChart;
class QLabel;
class QTableWidget;

class CStatisticsWnd : public QDialog {
 public:
  explicit CStatisticsWnd(QWidget* parent);

  void SetStatistics(const logwick::EventStatistics& stats);

  // The chart's days, oldest first.
  const std::vector<logwick::ChartDay>& ChartDays() const { return m_chartDays; }
  QString SummaryText() const;
  CDayChart* Chart() const { return m_chart; }
  // Goes to the chart's day (as a click on its bar).
  void ChooseDay(int chartDay);

  // Called with the index of the day among the statistics' days.
  std::function<void(std::size_t day)> onDayChosen;

 private:
  std::vector<logwick::ChartDay> m_chartDays;
  QLabel* m_summary;
  CDayChart* m_chart;
  QTableWidget* m_beams;
  QTableWidget* m_devices;
};
