#include "app/ev_list_box.h"

#include <QClipboard>
#include <QGuiApplication>
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

void CEvListBox::SetRows(int count, RowTextFn textOf, RowKindFn kindOf) {
  m_textOf = std::move(textOf);
  m_kindOf = std::move(kindOf);
  m_count = m_textOf ? std::max(count, 0) : 0;
  m_heights.assign(static_cast<std::size_t>(m_count), 0);
  m_selection.Reset(static_cast<std::size_t>(m_count));
  verticalScrollBar()->setValue(0);
  UpdateScrollRange();
  viewport()->update();
}

void CEvListBox::SetFound(FoundFn foundIn, int currentRow) {
  m_foundIn = std::move(foundIn);
  m_foundRow = currentRow;
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

int CEvListBox::GetCurSel() const {
  const std::size_t current = m_selection.Current();
  return current == logwick::RowSelection::kNone ? -1 : static_cast<int>(current);
}

void CEvListBox::GoToRow(int row) {
  if (row < 0 || row >= m_count) return;
  m_selection.Select(static_cast<std::size_t>(row));
  const int top = GetTopIndex();
  if (row < top || row >= top + VisibleRowCount()) SetTopIndex(row);
  EnsureVisible(row);  // a last row partly below the view
  viewport()->update();
}

QString CEvListBox::SelectedText() const {
  QString text;
  for (std::size_t row : m_selection.SelectedRows()) text += GetText(static_cast<int>(row)) + '\n';
  return text;
}

void CEvListBox::CopySelection() const {
  if (m_selection.SelectedCount() > 0) QGuiApplication::clipboard()->setText(SelectedText());
}

void CEvListBox::DrawRow(QPainter& p, const QRect& r, int row, const QColor& band) {
  const bool selected = m_selection.IsSelected(static_cast<std::size_t>(row));
  const bool mark = GetKind(row) == RowKind::GapMark;
  if (selected) {
    const auto group = isActiveWindow() ? QPalette::Active : QPalette::Inactive;
    p.fillRect(r.adjusted(0, 0, 0, -1), palette().color(group, QPalette::Highlight));
  } else if (mark) {
    p.fillRect(r, band);
  }
  p.setPen(palette().color(QPalette::Active, selected ? QPalette::HighlightedText : QPalette::Text));
  QString text = GetText(row);
  const Qt::Alignment align = mark ? Qt::AlignHCenter : Qt::AlignLeft;
  using Spans = std::vector<logwick::RowSearch::Span>;
  const Spans spans = m_foundIn ? m_foundIn(row) : Spans{};
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
    f.format.setBackground(row == m_foundRow ? kCurrentFoundColour : kFoundColour);
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
  if (key.modifiers() & Qt::ShiftModifier)
    m_selection.ExtendTo(static_cast<std::size_t>(to));
  else
    m_selection.Select(static_cast<std::size_t>(to));
  EnsureVisible(to);
  viewport()->update();
  return true;
}

void CEvListBox::keyPressEvent(QKeyEvent* event) {
  if (event->matches(QKeySequence::SelectAll)) {
    m_selection.SelectAll();
    viewport()->update();
  } else if (event->matches(QKeySequence::Copy)) {
    CopySelection();
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
  const auto at = static_cast<std::size_t>(row);
  if (event->modifiers() & Qt::ShiftModifier)
    m_selection.ExtendTo(at);
  else if (event->modifiers() & Qt::ControlModifier)
    m_selection.Toggle(at);
  else
    m_selection.Select(at);
  EnsureVisible(row);
  viewport()->update();
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
  m_selection.ExtendTo(static_cast<std::size_t>(row));
  EnsureVisible(row);
  viewport()->update();
}

QSize CEvListBox::sizeHint() const { return QSize(300, 300); }
