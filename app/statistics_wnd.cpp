#include "app/statistics_wnd.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QCursor>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QStackedBarSeries>
#include <QTableWidget>
#include <QToolTip>
#include <QVBoxLayout>
#include <QValueAxis>


namespace {

QString KindText(logwick::EventKind kind) {
  const std::string_view name = logwick::KindName(kind);
  return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
}

QTableWidget* MakeTopTable(const char* name, const QString& what, QWidget* parent) {
  auto* table = new QTableWidget(0, 2, parent);
  table->setObjectName(name);
  table->setHorizontalHeaderLabels({what, "Событий"});
  table->verticalHeader()->hide();
  table->horizontalHeader()->setStretchLastSection(true);
  table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table->setSelectionMode(QAbstractItemView::NoSelection);
  return table;
}

void FillTopTable(QTableWidget* table, const std::vector<logwick::RankedNumber>& top) {
  table->setRowCount(static_cast<int>(top.size()));
  for (int i = 0; i < table->rowCount(); ++i) {
    table->setItem(i, 0, new QTableWidgetItem(QString::number(top[i].number)));
    table->setItem(i, 1, new QTableWidgetItem(QString::number(top[i].events)));
  }
}

}  // namespace

CStatisticsWnd::CStatisticsWnd(QWidget* parent) : QDialog(parent) {
  setObjectName("statistics");
  setWindowTitle("Статистика");
  m_summary = new QLabel(this);
  m_summary->setObjectName("summary");
  m_summary->setTextInteractionFlags(Qt::TextSelectableByMouse);
  m_chart = new QChartView(this);
  m_chart->setObjectName("chart");
  m_chart->setRenderHint(QPainter::Antialiasing);
  m_chart->setMinimumSize(520, 280);
  m_beams = MakeTopTable("topBeams", "Луч", this);
  m_devices = MakeTopTable("topDevices", "Устройство", this);
  auto* tops = new QHBoxLayout;
  tops->addWidget(m_beams);
  tops->addWidget(m_devices);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(m_summary);
  layout->addWidget(m_chart, 1);
  layout->addLayout(tops);
  resize(640, 640);
}

void CStatisticsWnd::SetStatistics(logwick::EventStatistics stats) {
  m_stats = std::move(stats);
  m_summary->setText(SummaryText());
  FillTopTable(m_beams, m_stats.topBeams);
  FillTopTable(m_devices, m_stats.topDevices);
  FillChart();
}

QString CStatisticsWnd::SummaryText() const {
  return QString::fromStdString(logwick::StatisticsSummary(m_stats));
}

void CStatisticsWnd::FillChart() {
  m_chartDays = logwick::ChartDaysOf(m_stats.days);
  auto* series = new QStackedBarSeries;
  for (logwick::EventKind kind : logwick::kEventKinds) {
    auto* set = new QBarSet(KindText(kind));
    for (const logwick::ChartDay& day : m_chartDays)
      *set << (day.day < 0 ? 0
                           : m_stats.days[static_cast<std::size_t>(day.day)].kinds[static_cast<std::size_t>(kind)]);
    series->append(set);
  }
  series->setBarWidth(1.0);
  connect(series, &QStackedBarSeries::clicked, this, [this](int index, QBarSet*) { ChooseDay(index); });
  // The day under the pointer, also when its label is not drawn.
  connect(series, &QStackedBarSeries::hovered, this, [this](bool over, int index, QBarSet* set) {
    if (!over || index < 0 || static_cast<std::size_t>(index) >= m_chartDays.size()) return QToolTip::hideText();
    QToolTip::showText(QCursor::pos(), QString("%1, %2: %3")
                                           .arg(QString::fromStdString(m_chartDays[index].label), set->label())
                                           .arg(set->at(index)));
  });
  QStringList labels;
  for (const logwick::ChartDay& day : m_chartDays) labels << QString::fromStdString(day.label);
  auto* chart = new QChart;
  chart->addSeries(series);
  auto* days = new QBarCategoryAxis;
  days->append(labels);
  days->setLabelsAngle(-90);
  days->setLabelsVisible(labels.size() <= 62);  // more would overlap
  chart->addAxis(days, Qt::AlignBottom);
  series->attachAxis(days);
  auto* counts = new QValueAxis;
  counts->setLabelFormat("%d");
  chart->addAxis(counts, Qt::AlignLeft);
  series->attachAxis(counts);
  counts->applyNiceNumbers();
  chart->legend()->setAlignment(Qt::AlignBottom);
  QChart* old = m_chart->chart();
  m_chart->setChart(chart);
  delete old;
}

void CStatisticsWnd::ChooseDay(int chartDay) {
  if (chartDay < 0 || static_cast<std::size_t>(chartDay) >= m_chartDays.size()) return;
  const int day = m_chartDays[static_cast<std::size_t>(chartDay)].day;
  if (day >= 0 && onDayChosen) onDayChosen(static_cast<std::size_t>(day));
}
