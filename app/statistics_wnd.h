// The statistics window: what the shown events hold, by kind and period, a
// bar chart of events per day stacked by kind (days without events stand
// empty), and the ten busiest beams and devices. A click on a day's bar asks
// the owner to go to that day's first event.
#pragma once

#include <QDialog>
#include <QStringList>
#include <cstddef>
#include <functional>
#include <vector>

#include "lists/event_statistics.h"

class QChartView;
class QLabel;
class QTableWidget;

class CStatisticsWnd : public QDialog {
 public:
  // A run of calendar days longer than this is charted by its days with
  // events only: a bar per day of decades would be unreadable and slow.
  static constexpr int kMaxChartedDays = 1000;

  explicit CStatisticsWnd(QWidget* parent);

  void SetStatistics(logwick::EventStatistics stats);

  // The chart's days, oldest first; each is an index into the statistics'
  // days or -1 for a day without events.
  const std::vector<int>& ChartDays() const { return m_chartDays; }
  QString SummaryText() const;
  QChartView* Chart() const { return m_chart; }
  QTableWidget* TopBeams() const { return m_beams; }
  QTableWidget* TopDevices() const { return m_devices; }
  // Goes to the first event of the chart's day (as a click on its bar).
  void ChooseDay(int chartDay);

  // Called with the shown row of the day's first event.
  std::function<void(std::size_t row)> onDayChosen;

 private:
  void FillChart();

  logwick::EventStatistics m_stats;
  std::vector<int> m_chartDays;
  QStringList m_dayLabels;  // by chart day
  QLabel* m_summary;
  QChartView* m_chart;
  QTableWidget* m_beams;
  QTableWidget* m_devices;
};
