#include "app/ev_list_box.h"

#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTextLayout>
#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Behind found text: every place found, and those of the row the find bar is at.
const QColor kFoundColour(255, 226, 90);
const QColor kCurrentFoundColour(255, 150, 40);

}  // namespace

CEvListBox::CEvListBox(QWidget* parent) : QAbstractScrollArea(parent) {
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setFocusPolicy(Qt::StrongFocus);
  setFrameShape(QFrame::StyledPanel);
  viewport()->setBackgroundRole(QPalette::Base);
  verticalScrollBar()->setSingleStep(1);
  UpdateScrollRange();
}

void CEvListBox::SetRows(const logwick::IEventRows* rows, logwick::IEventRows* acts) {
  m_rows = rows;
  m_acts = acts;
  RowsChanged();
}

void CEvListBox::RowsChanged() {
  m_count = m_rows ? static_cast<int>(m_rows->RowCount()) : 0;
  m_heights.assign(static_cast<std::size_t>(m_count), 0);
  verticalScrollBar()->setValue(0);
  UpdateScrollRange();
  viewport()->update();
}

int CEvListBox::GetCount() const { return m_count; }

QString CEvListBox::GetText(int row) const {
  if (row < 0 || row >= m_count) return {};
  return QString::fromStdString(m_rows->RowText(static_cast<std::size_t>(row)));
}

bool CEvListBox::IsGapMark(int row) const {
  return row >= 0 && row < m_count && m_rows->IsGapMarkRow(static_cast<std::size_t>(row));
}

int CEvListBox::GetCurSel() const {
  if (!m_rows) return -1;
  const std::size_t current = m_rows->CurrentRow();
  return current == logwick::IEventRows::kNoRow ? -1 : static_cast<int>(current);
}

void CEvListBox::Act(int row, logwick::IEventRows::SelectAct act) {
  if (m_acts && row >= 0 && row < m_count) m_acts->Select(static_cast<std::size_t>(row), act);
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

void CEvListBox::EnsureVisible(int row) {
  if (row < 0 || row >= m_count) return;
  if (row < GetTopIndex()) {
    SetTopIndex(row);
    return;
  }
  const int height = viewport()->height();
  int first = row;
  for (int used = GetItemHeight(row); first > 0 && used + GetItemHeight(first - 1) <= height; --first)
    used += GetItemHeight(first - 1);
  if (GetTopIndex() < first) SetTopIndex(first);
}

void CEvListBox::ShowRow(int row, logwick::ScrollTo how) {
  if (row < 0 || row >= m_count) return;
  const int top = GetTopIndex();
  const bool hidden = row < top || row >= top + VisibleRowCount();
  if (how == logwick::ScrollTo::Top || (how == logwick::ScrollTo::TopIfHidden && hidden)) SetTopIndex(row);
  EnsureVisible(row);  // a last row partly below the view
  viewport()->update();
}

void CEvListBox::DrawRow(QPainter& p, const QRect& r, int row, const QColor& band) {
  const auto at = static_cast<std::size_t>(row);
  const bool selected = m_rows->IsSelected(at);
  const bool mark = m_rows->IsGapMarkRow(at);
  if (selected) {
    const auto group = isActiveWindow() ? QPalette::Active : QPalette::Inactive;
    p.fillRect(r.adjusted(0, 0, 0, -1), palette().color(group, QPalette::Highlight));
  } else if (mark) {
    p.fillRect(r, band);
  }
  p.setPen(palette().color(QPalette::Active, selected ? QPalette::HighlightedText : QPalette::Text));
  QString text = GetText(row);
  const Qt::Alignment align = mark ? Qt::AlignHCenter : Qt::AlignLeft;
  const std::vector<logwick::RowSearch::Span> spans = m_rows->FoundSpans(at);
  if (spans.empty()) {
    p.drawText(r, Qt::TextWordWrap | align, text);
    return;
  }
  // Laid out as drawText lays out word-wrapped text, with the found spans
  // on their colour.
  for (QChar& c : text) {
    if (c == '\r') c = ' ';
    if (c == '\n') c = QChar::LineSeparator;
  }
  QTextLayout layout(text, p.font(), viewport());
  QTextOption option(align);
  option.setWrapMode(QTextOption::WordWrap);
  layout.setTextOption(option);
  QList<QTextLayout::FormatRange> formats;
  for (const logwick::RowSearch::Span& span : spans) {
    QTextLayout::FormatRange f{static_cast<int>(span.start), static_cast<int>(span.length), {}};
    f.format.setBackground(at == m_rows->FoundRow() ? kCurrentFoundColour : kFoundColour);
    f.format.setForeground(QColor(Qt::black));
    formats << f;
  }
  layout.setFormats(formats);
  const qreal leading = QFontMetricsF(p.font()).leading();
  qreal y = -leading;
  layout.beginLayout();
  for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
    line.setLineWidth(r.width());
    y = std::ceil(y + leading);
    line.setPosition(QPointF(0, y));
    y += line.height();
  }
  layout.endLayout();
  p.save();
  p.setClipRect(r);
  layout.draw(&p, r.topLeft());
  p.restore();
}

void CEvListBox::paintEvent(QPaintEvent*) {
  QPainter p(viewport());
  const int width = viewport()->width();
  const int height = viewport()->height();
  const QColor grey = palette().color(QPalette::Disabled, QPalette::WindowText);
  const QColor band = GapMarkBackground();
  int y = 0;
  for (int row = GetTopIndex(); row < m_count && y < height; ++row) {
    const int h = GetItemHeight(row);
    const QRect r(0, y, width, h);
    DrawRow(p, r, row, band);
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

bool CEvListBox::MoveCurrent(const QKeyEvent& key) {
  const int current = GetCurSel();
  // Without a current row the first key lands on the top row.
  const int from = current >= 0 ? current : GetTopIndex();
  const int step = current >= 0 ? 1 : 0;
  const int page = std::max(VisibleRowCount() - 1, 1);
  int to;
  switch (key.key()) {
    case Qt::Key_Up:
      to = from - step;
      break;
    case Qt::Key_Down:
      to = from + step;
      break;
    case Qt::Key_PageUp:
      to = from - page;
      break;
    case Qt::Key_PageDown:
      to = from + page;
      break;
    case Qt::Key_Home:
      to = 0;
      break;
    case Qt::Key_End:
      to = m_count - 1;
      break;
    default:
      return false;
  }
  if (m_count == 0) return true;
  to = std::clamp(to, 0, m_count - 1);
  using How = logwick::IEventRows::SelectAct;
  Act(to, key.modifiers() & Qt::ShiftModifier ? How::Extend : How::Only);
  return true;
}

void CEvListBox::keyPressEvent(QKeyEvent* event) {
  if (event->matches(QKeySequence::SelectAll)) {
    if (m_acts) m_acts->SelectAll();
  } else if (event->matches(QKeySequence::Copy)) {
    if (m_acts) m_acts->CopySelection();
  } else if (!MoveCurrent(*event)) {
    QAbstractScrollArea::keyPressEvent(event);
    return;
  }
  event->accept();
}

void CEvListBox::mousePressEvent(QMouseEvent* event) {
  setFocus(Qt::MouseFocusReason);
  event->accept();
  const int row = RowAt(event->position().toPoint().y());
  if (event->button() != Qt::LeftButton || row < 0) return;
  using How = logwick::IEventRows::SelectAct;
  const Qt::KeyboardModifiers mods = event->modifiers();
  Act(row, mods & Qt::ShiftModifier ? How::Extend : mods & Qt::ControlModifier ? How::Toggle : How::Only);
}

void CEvListBox::mouseMoveEvent(QMouseEvent* event) {
  event->accept();
  if (!(event->buttons() & Qt::LeftButton) || (event->modifiers() & Qt::ControlModifier) || m_count == 0)
    return;
  // Dragging extends the selection; past either edge of the view it scrolls
  // by a row each move.
  const int y = event->position().toPoint().y();
  int row = RowAt(y);
  if (y < 0) row = std::max(GetCurSel() - 1, 0);
  if (row < 0) row = std::min(GetCurSel() + 1, m_count - 1);
  if (row < 0 || row == GetCurSel()) return;
  Act(row, logwick::IEventRows::SelectAct::Extend);
}

QSize CEvListBox::sizeHint() const { return QSize(300, 300); }
