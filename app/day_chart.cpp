#include "app/day_chart.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <algorithm>
#include <array>

namespace {

using logwick::EventKind;

// The kinds' colours, in the order of kEventKinds.
constexpr std::array<QRgb, logwick::kEventKindCount> kKindColours = {
    0x209fdf, 0x99ca53, 0xf6a625, 0x6d5fd5, 0xbf593e, 0x38ad9a, 0x8c8c8c,
};

QString KindText(EventKind kind) {
  const std::string_view name = logwick::KindName(kind);
  return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
}

QString Q(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

// A step of 1, 2 or 5 times a power of ten that divides the counts up to
// `most` into at most five parts.
std::uint32_t NiceStep(std::uint32_t most) {
  for (std::uint64_t power = 1;; power *= 10)
    for (std::uint64_t m : {1u, 2u, 5u})
      if (most <= 5 * m * power) return static_cast<std::uint32_t>(m * power);
}

constexpr int kTick = 4;

}  // namespace

CDayChart::CDayChart(QWidget* parent) : QWidget(parent) {
  setObjectName("chart");
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void CDayChart::SetDays(std::vector<logwick::ChartDay> chart, std::vector<logwick::DayCounts> counts) {
  m_chart = std::move(chart);
  m_counts = std::move(counts);
  m_labels = logwick::ChartLabelsOf(m_chart);
  std::uint32_t most = 0;
  for (const logwick::DayCounts& d : m_counts) most = std::max(most, d.Total());
  m_step = NiceStep(std::max(most, 1u));
  m_top = (std::max(most, 1u) + m_step - 1) / m_step * m_step;
  Arrange();
  update();
}

std::uint32_t CDayChart::Count(int chartDay, EventKind kind) const {
  if (chartDay < 0 || static_cast<std::size_t>(chartDay) >= m_chart.size()) return 0;
  const int day = m_chart[static_cast<std::size_t>(chartDay)].day;
  return day < 0 ? 0 : m_counts[static_cast<std::size_t>(day)].kinds[static_cast<std::size_t>(kind)];
}

QRect CDayChart::ColumnRect(int chartDay) const {
  if (m_chart.empty()) return {};
  const double width = double(m_plot.width()) / double(m_chart.size());
  const int left = m_plot.left() + int(chartDay * width);
  const int right = m_plot.left() + int((chartDay + 1) * width);
  return QRect(left, m_plot.top(), std::max(right - left, 1), m_plot.height());
}

int CDayChart::ChartDayAt(QPoint at) const {
  if (m_chart.empty() || !m_plot.contains(at)) return -1;
  const auto day = static_cast<int>(double(at.x() - m_plot.left()) * double(m_chart.size()) / m_plot.width());
  return std::clamp(day, 0, static_cast<int>(m_chart.size()) - 1);
}

int CDayChart::LegendHeight() const {
  const QFontMetrics fm = fontMetrics();
  int x = 0, lines = 1;
  for (EventKind kind : logwick::kEventKinds) {
    const int w =
        fm.height() + fm.horizontalAdvance(' ') + fm.horizontalAdvance(KindText(kind)) + 2 * fm.height();
    if (x > 0 && x + w > width()) {
      ++lines;
      x = 0;
    }
    x += w;
  }
  return lines * (fm.height() + fm.height() / 2);
}

void CDayChart::Arrange() {
  const QFontMetrics fm = fontMetrics();
  const int left = fm.horizontalAdvance(QString::number(m_top)) + 2 * kTick;
  const int right = fm.averageCharWidth() * 2;
  const int plotWidth = std::max(width() - left - right, 1);
  // Labels side by side when each fits the room to the next; else upwards.
  int widest = 0;
  for (const logwick::ChartLabel& l : m_labels) widest = std::max(widest, fm.horizontalAdvance(Q(l.text)));
  std::size_t closest = m_chart.size();
  for (std::size_t i = 1; i < m_labels.size(); ++i)
    closest = std::min(closest, m_labels[i].at - m_labels[i - 1].at);
  const double room = m_chart.empty() ? 0 : double(plotWidth) * double(closest) / double(m_chart.size());
  m_turnedLabels = widest + fm.averageCharWidth() * 2 > room;
  const int labels = m_turnedLabels ? widest : fm.height();
  const int bottom = kTick + labels + fm.height() / 2 + LegendHeight();
  m_plot = QRect(left, fm.height() / 2, plotWidth, std::max(height() - fm.height() / 2 - bottom, 1));
}

void CDayChart::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  Arrange();
}

void CDayChart::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), palette().color(QPalette::Base));
  PaintAxes(p);
  PaintBars(p);
  PaintLegend(p);
}

void CDayChart::PaintAxes(QPainter& p) const {
  const QFontMetrics fm = fontMetrics();
  const QColor grid = palette().color(QPalette::Mid);
  p.setPen(palette().color(QPalette::Text));
  for (std::uint32_t count = 0; count <= m_top; count += m_step) {
    const int y = m_plot.bottom() - int(double(count) * m_plot.height() / m_top);
    p.setPen(grid);
    p.drawLine(m_plot.left() - kTick, y, m_plot.right(), y);
    p.setPen(palette().color(QPalette::Text));
    p.drawText(QRect(0, y - fm.height() / 2, m_plot.left() - 2 * kTick, fm.height()), Qt::AlignRight,
               QString::number(count));
  }
  for (const logwick::ChartLabel& l : m_labels) {
    const QRect column = ColumnRect(static_cast<int>(l.at));
    const int x = column.left() + column.width() / 2;
    p.setPen(grid);
    p.drawLine(x, m_plot.bottom(), x, m_plot.bottom() + kTick);
    p.setPen(palette().color(QPalette::Text));
    const QString text = Q(l.text);
    const int below = m_plot.bottom() + kTick + 2;
    if (m_turnedLabels) {
      p.save();
      p.translate(x + fm.ascent() / 2 - fm.descent(), below + fm.horizontalAdvance(text));
      p.rotate(-90);
      p.drawText(0, 0, text);
      p.restore();
    } else {
      p.drawText(x - fm.horizontalAdvance(text) / 2, below + fm.ascent(), text);
    }
  }
}

void CDayChart::PaintBars(QPainter& p) const {
  const double perCount = double(m_plot.height()) / m_top;
  for (std::size_t i = 0; i < m_chart.size(); ++i) {
    if (m_chart[i].day < 0) continue;
    const QRect column = ColumnRect(static_cast<int>(i));
    std::uint32_t below = 0;
    for (std::size_t k = 0; k < logwick::kEventKindCount; ++k) {
      const std::uint32_t n = Count(static_cast<int>(i), logwick::kEventKinds[k]);
      if (n == 0) continue;
      const int top = m_plot.bottom() + 1 - int((below + n) * perCount);
      const int bottom = m_plot.bottom() + 1 - int(below * perCount);
      p.fillRect(QRect(column.left(), top, column.width(), std::max(bottom - top, 1)),
                 QColor(kKindColours[k]));
      below += n;
    }
  }
  p.setPen(palette().color(QPalette::Text));
  p.drawLine(m_plot.left(), m_plot.bottom() + 1, m_plot.right(), m_plot.bottom() + 1);
}

void CDayChart::PaintLegend(QPainter& p) const {
  const QFontMetrics fm = fontMetrics();
  const int line = fm.height() + fm.height() / 2;
  int x = 0, y = height() - LegendHeight();
  for (std::size_t k = 0; k < logwick::kEventKindCount; ++k) {
    const QString text = KindText(logwick::kEventKinds[k]);
    const int w = fm.height() + fm.horizontalAdvance(' ') + fm.horizontalAdvance(text) + 2 * fm.height();
    if (x > 0 && x + w > width()) {
      x = 0;
      y += line;
    }
    p.fillRect(QRect(x + fm.height(), y + fm.height() / 4, fm.height() * 3 / 4, fm.height() * 3 / 4),
               QColor(kKindColours[k]));
    p.setPen(palette().color(QPalette::Text));
    p.drawText(x + 2 * fm.height() + fm.horizontalAdvance(' '), y + fm.ascent(), text);
    x += w;
  }
}

bool CDayChart::event(QEvent* event) {
  if (event->type() != QEvent::ToolTip) return QWidget::event(event);
  const auto* help = static_cast<QHelpEvent*>(event);
  const int day = ChartDayAt(help->pos());
  if (day < 0) {
    QToolTip::hideText();
    event->ignore();
    return true;
  }
  // The day under the pointer, also where its label is not drawn.
  QString text = Q(m_chart[static_cast<std::size_t>(day)].label);
  for (EventKind kind : logwick::kEventKinds)
    if (const std::uint32_t n = Count(day, kind)) text += QString("\n%1: %2").arg(KindText(kind)).arg(n);
  QToolTip::showText(help->globalPos(), text, this);
  return true;
}

void CDayChart::mouseReleaseEvent(QMouseEvent* event) {
  const int day = ChartDayAt(event->position().toPoint());
  if (event->button() == Qt::LeftButton && day >= 0 && onDayClicked) onDayClicked(day);
}
