#include "app/statistics_wnd.h"

#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>

#include "app/day_chart.h"

namespace {

// A table of the ten busiest numbers, tall enough for all ten rows.
QTableWidget* MakeTopTable(const char* name, const QString& what, QWidget* parent) {
  auto* table = new QTableWidget(static_cast<int>(logwick::EventStatistics::kTopCount), 2, parent);
  table->setObjectName(name);
  table->setHorizontalHeaderLabels({what, "Событий"});
  table->verticalHeader()->hide();
  table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
  table->horizontalHeader()->setStretchLastSection(true);
  table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table->setSelectionMode(QAbstractItemView::NoSelection);
  table->setFocusPolicy(Qt::NoFocus);
  table->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  table->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  const int rows = table->verticalHeader()->defaultSectionSize() * table->rowCount();
  table->setFixedHeight(table->horizontalHeader()->sizeHint().height() + rows + 2 * table->frameWidth());
  table->setMinimumWidth(table->fontMetrics().horizontalAdvance(what + "  Событий  ") +
                         2 * table->frameWidth());
  return table;
}

void FillTopTable(QTableWidget* table, const std::vector<logwick::RankedNumber>& top) {
  table->setUpdatesEnabled(false);
  table->clearContents();
  for (int i = 0; i < static_cast<int>(top.size()) && i < table->rowCount(); ++i) {
    table->setItem(i, 0, new QTableWidgetItem(QString::number(top[i].number)));
    table->setItem(i, 1, new QTableWidgetItem(QString::number(top[i].events)));
  }
  table->setUpdatesEnabled(true);
}

}  // namespace

CStatisticsWnd::CStatisticsWnd(QWidget* parent) : QDialog(parent) {
  setObjectName("statistics");
  setWindowTitle("Статистика");
  m_summary = new QLabel(this);
  m_summary->setObjectName("summary");
  m_summary->setTextInteractionFlags(Qt::TextSelectableByMouse);
  m_summary->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  m_chart = new CDayChart(this);
  m_chart->onDayClicked = [this](int chartDay) { ChooseDay(chartDay); };
  m_beams = MakeTopTable("topBeams", "Луч", this);
  m_devices = MakeTopTable("topDevices", "Устройство", this);
  // The summary and the two tables side by side, the chart below them.
  auto* layout = new QGridLayout(this);
  layout->addWidget(m_summary, 0, 0);
  layout->addWidget(m_beams, 0, 1);
  layout->addWidget(m_devices, 0, 2);
  layout->addWidget(m_chart, 1, 0, 1, 3);
  layout->setColumnStretch(0, 2);
  layout->setColumnStretch(1, 1);
  layout->setColumnStretch(2, 1);
  layout->setRowStretch(1, 1);
  resize(sizeHint().expandedTo(QSize(680, 0)));
}

void CStatisticsWnd::SetStatistics(const logwick::EventStatistics& stats) {
  m_summary->setText(QString::fromStdString(logwick::StatisticsSummary(stats)));
  FillTopTable(m_beams, stats.topBeams);
  FillTopTable(m_devices, stats.topDevices);
  m_chartDays = logwick::ChartDaysOf(stats.days);
  m_chart->SetDays(m_chartDays, stats.days);
}

QString CStatisticsWnd::SummaryText() const { return m_summary->text(); }

void CStatisticsWnd::ChooseDay(int chartDay) {
  if (chartDay < 0 || static_cast<std::size_t>(chartDay) >= m_chartDays.size()) return;
  const int day = m_chartDays[static_cast<std::size_t>(chartDay)].day;
  if (day >= 0 && onDayChosen) onDayChosen(static_cast<std::size_t>(day));
}
