#include "app/ev_list_box.h"

#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <limits>

CEvListBox::CEvListBox(QWidget* parent) : QAbstractScrollArea(parent) {
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setFocusPolicy(Qt::StrongFocus);
  setFrameShape(QFrame::StyledPanel);
  viewport()->setBackgroundRole(QPalette::Base);
  verticalScrollBar()->setSingleStep(1);
  UpdateScrollRange();
}

void CEvListBox::SetRows(int count, RowTextFn textOf, RowKindFn kindOf) {
  m_textOf = std::move(textOf);
  m_kindOf = std::move(kindOf);
  m_count = m_textOf ? std::max(count, 0) : 0;
  m_heights.assign(static_cast<std::size_t>(m_count), 0);
  m_curSel = -1;
  verticalScrollBar()->setValue(0);
  UpdateScrollRange();
  viewport()->update();
}

QString CEvListBox::GetText(int row) const {
  if (row < 0 || row >= m_count) return {};
  return m_textOf(row);
}

CEvListBox::RowKind CEvListBox::GetKind(int row) const {
  if (row < 0 || row >= m_count || !m_kindOf) return RowKind::Event;
  return m_kindOf(row);
}

QColor CEvListBox::GapMarkBackground() const {
  // A warm band over the view's own base colour, light or dark theme alike.
  const QColor base = palette().color(QPalette::Active, QPalette::Base);
  const QColor warm(255, 176, 32);
  constexpr int kWarmPercent = 30;
  auto mix = [](int b, int w) { return (b * (100 - kWarmPercent) + w * kWarmPercent) / 100; };
  return QColor(mix(base.red(), warm.red()), mix(base.green(), warm.green()), mix(base.blue(), warm.blue()));
}

int CEvListBox::MeasureText(const QString& text) const {
  const QFontMetrics fm(font());
  const int width = std::max(viewport()->width(), 1);
  const QRect r =
      fm.boundingRect(QRect(0, 0, width, std::numeric_limits<int>::max() / 2), Qt::TextWordWrap, text);
  return r.height() + fm.height() / 8 + 1;
}

void CEvListBox::ForgetHeights() {
  std::fill(m_heights.begin(), m_heights.end(), 0);
  m_measuredWidth = viewport()->width();
}

int CEvListBox::GetItemHeight(int row) {
  if (row < 0 || row >= m_count) return 0;
  if (m_measuredWidth != viewport()->width()) ForgetHeights();
  std::uint16_t& h = m_heights[static_cast<std::size_t>(row)];
  if (h == 0) h = static_cast<std::uint16_t>(std::clamp(MeasureText(GetText(row)), 1, 65535));
  return h;
}

int CEvListBox::LastTopIndex() {
  const int height = viewport()->height();
  int used = 0;
  int row = m_count;
  while (row > 0) {
    const int h = GetItemHeight(row - 1);
    if (used + h > height && row < m_count) break;
    used += h;
    --row;
  }
  return std::min(row, std::max(m_count - 1, 0));
}

void CEvListBox::UpdateScrollRange() {
  QScrollBar* bar = verticalScrollBar();
  const int last = m_count > 0 ? LastTopIndex() : 0;
  bar->setRange(0, last);
  bar->setPageStep(std::max(VisibleRowCount() - 1, 1));
}

int CEvListBox::GetTopIndex() const { return verticalScrollBar()->value(); }

void CEvListBox::SetTopIndex(int row) { verticalScrollBar()->setValue(row); }

int CEvListBox::VisibleRowCount() {
  const int height = viewport()->height();
  int y = 0;
  int n = 0;
  for (int row = GetTopIndex(); row < m_count && y < height; ++row, ++n) y += GetItemHeight(row);
  return n;
}

int CEvListBox::RowAt(int y) {
  int top = 0;
  for (int row = GetTopIndex(); row < m_count; ++row) {
    top += GetItemHeight(row);
    if (y < top) return row;
    if (top > viewport()->height()) break;
  }
  return -1;
}

void CEvListBox::paintEvent(QPaintEvent*) {
  QPainter p(viewport());
  const int width = viewport()->width();
  const int height = viewport()->height();
  const QColor text = palette().color(QPalette::Active, QPalette::Text);
  const QColor grey = palette().color(QPalette::Disabled, QPalette::WindowText);
  const QColor band = GapMarkBackground();
  int y = 0;
  for (int row = GetTopIndex(); row < m_count && y < height; ++row) {
    const int h = GetItemHeight(row);
    const QRect r(0, y, width, h);
    p.setPen(text);
    if (GetKind(row) == RowKind::GapMark) {
      p.fillRect(r, band);
      p.drawText(r, Qt::TextWordWrap | Qt::AlignHCenter, GetText(row));
    } else {
      p.drawText(r, Qt::TextWordWrap, GetText(row));
    }
    p.setPen(grey);
    p.drawLine(r.left(), r.bottom(), r.right() + 1, r.bottom());
    y += h;
  }
}

void CEvListBox::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  if (m_measuredWidth != viewport()->width()) ForgetHeights();
  UpdateScrollRange();
}

void CEvListBox::scrollContentsBy(int, int) {
  verticalScrollBar()->setPageStep(std::max(VisibleRowCount() - 1, 1));
  viewport()->update();
}

void CEvListBox::changeEvent(QEvent* event) {
  QAbstractScrollArea::changeEvent(event);
  // Font and style changes alter every height.
  if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
    ForgetHeights();
    UpdateScrollRange();
    viewport()->update();
  }
}

void CEvListBox::keyPressEvent(QKeyEvent* event) {
  QScrollBar* bar = verticalScrollBar();
  switch (event->key()) {
    case Qt::Key_Up:
      bar->setValue(bar->value() - 1);
      break;
    case Qt::Key_Down:
      bar->setValue(bar->value() + 1);
      break;
    case Qt::Key_PageUp:
      bar->setValue(bar->value() - bar->pageStep());
      break;
    case Qt::Key_PageDown:
      bar->setValue(bar->value() + bar->pageStep());
      break;
    case Qt::Key_Home:
      bar->setValue(bar->minimum());
      break;
    case Qt::Key_End:
      bar->setValue(bar->maximum());
      break;
    default:
      QAbstractScrollArea::keyPressEvent(event);
      return;
  }
  event->accept();
}

void CEvListBox::mousePressEvent(QMouseEvent* event) {
  m_curSel = RowAt(event->position().toPoint().y());
  setFocus(Qt::MouseFocusReason);
  event->accept();
}

QSize CEvListBox::sizeHint() const { return QSize(300, 300); }
