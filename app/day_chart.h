// The statistics window's chart: a bar per calendar day, stacked by kind of
// event (days without events stand empty), the counts on the left, the dates
// below as the shared texts label them (by days, weeks, months or years), the
// kinds' colours beneath. Drawn directly: a day a bar, hundreds of days at a
// time, and no scene to build. A click on a bar names its day.
#pragma once

#include <QWidget>
#include <functional>
#include <vector>

#include "desk/window_texts.h"
#include "lists/event_statistics.h"

class CDayChart : public QWidget {
 public:
  explicit CDayChart(QWidget* parent = nullptr);

  // The chart's days (as ChartDaysOf gives them) and the statistics' days
  // their `day` fields point into.
  void SetDays(std::vector<logwick::ChartDay> chart, std::vector<logwick::DayCounts> counts);

  const std::vector<logwick::ChartLabel>& Labels() const { return m_labels; }
  // The height of a chart day's bar for one kind (0 for a day without events).
  std::uint32_t Count(int chartDay, logwick::EventKind kind) const;
  // Where a chart day's column stands, the full height of the plot.
  QRect ColumnRect(int chartDay) const;
  int ChartDayAt(QPoint at) const;  // -1 outside every column

  std::function<void(int chartDay)> onDayClicked;

  QSize sizeHint() const override { return {640, 320}; }
  QSize minimumSizeHint() const override { return {520, 280}; }

 protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  // The plot's rectangle and the axes' scale for the widget's size.
  void Arrange();
  int LegendHeight() const;
  void PaintAxes(QPainter& p) const;
  void PaintBars(QPainter& p) const;
  void PaintLegend(QPainter& p) const;

  std::vector<logwick::ChartDay> m_chart;
  std::vector<logwick::DayCounts> m_counts;
  std::vector<logwick::ChartLabel> m_labels;
  std::uint32_t m_top = 1;   // the count at the plot's top
  std::uint32_t m_step = 1;  // between the count axis's labels
  QRect m_plot;
  bool m_turnedLabels = false;  // date labels written upwards
};
