#include "app/statistics_wnd.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QCursor>
#include <QDate>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QStackedBarSeries>
#include <QTableWidget>
#include <QToolTip>
#include <QVBoxLayout>
#include <QValueAxis>

#include "app/stamp_text.h"

namespace {

QDate DateOf(std::uint32_t stamp) {
  const PackedTimeFields f = UnpackTimeStamp(stamp);
  return QDate(2000 + f.year, f.month, f.day);
}

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

// Every calendar day from the first to the last day with events, each the
// index of its statistics day or -1; only the days with events when the run
// is longer than maxDays.
std::vector<int> ChartDaysOf(const std::vector<logwick::DayCounts>& days, int maxDays) {
  std::vector<int> chart;
  if (days.empty()) return chart;
  const QDate first = DateOf(days.front().date);
  const qint64 span = first.daysTo(DateOf(days.back().date)) + 1;
  if (span > maxDays) {
    for (std::size_t i = 0; i < days.size(); ++i) chart.push_back(static_cast<int>(i));
    return chart;
  }
  chart.assign(static_cast<std::size_t>(span), -1);
  for (std::size_t i = 0; i < days.size(); ++i)
    chart[static_cast<std::size_t>(first.daysTo(DateOf(days[i].date)))] = static_cast<int>(i);
  return chart;
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
  QString text = QString("Событий: %1").arg(m_stats.events);
  if (m_stats.first && m_stats.last)
    text += QString("\nс %1 по %2").arg(StampText(*m_stats.first), StampText(*m_stats.last));
  for (logwick::EventKind kind : logwick::kEventKinds)
    text += QString("\n%1: %2").arg(KindText(kind)).arg(m_stats.kinds[static_cast<std::size_t>(kind)]);
  return text;
}

void CStatisticsWnd::FillChart() {
  m_chartDays = ChartDaysOf(m_stats.days, kMaxChartedDays);
  auto* series = new QStackedBarSeries;
  for (logwick::EventKind kind : logwick::kEventKinds) {
    auto* set = new QBarSet(KindText(kind));
    for (int day : m_chartDays)
      *set << (day < 0 ? 0
                       : m_stats.days[static_cast<std::size_t>(day)].kinds[static_cast<std::size_t>(kind)]);
    series->append(set);
  }
  series->setBarWidth(1.0);
  connect(series, &QStackedBarSeries::clicked, this, [this](int index, QBarSet*) { ChooseDay(index); });
  // The day under the pointer, also when its label is not drawn.
  connect(series, &QStackedBarSeries::hovered, this, [this](bool over, int index, QBarSet* set) {
    if (!over || index < 0 || index >= m_dayLabels.size()) return QToolTip::hideText();
    QToolTip::showText(QCursor::pos(),
                       QString("%1, %2: %3").arg(m_dayLabels[index], set->label()).arg(set->at(index)));
  });
  QStringList labels;
  QDate date = m_stats.days.empty() ? QDate() : DateOf(m_stats.days.front().date);
  for (int day : m_chartDays) {
    const QDate shown = day < 0 ? date : DateOf(m_stats.days[static_cast<std::size_t>(day)].date);
    labels << shown.toString("dd/MM/yyyy");
    date = shown.addDays(1);
  }
  m_dayLabels = labels;
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
  const int day = m_chartDays[static_cast<std::size_t>(chartDay)];
  if (day >= 0 && onDayChosen) onDayChosen(m_stats.days[static_cast<std::size_t>(day)].firstRow);
}
