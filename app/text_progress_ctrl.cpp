#include "app/text_progress_ctrl.h"

#include <QPainter>
#include <QPixmap>

CTextProgressCtrl::CTextProgressCtrl(QWidget* parent, Qt::Orientation orientation)
    : QWidget(parent), m_orientation(orientation) {
  setAttribute(Qt::WA_OpaquePaintEvent);
}

double CTextProgressCtrl::Fraction() const {
  if (m_nMin >= m_nMax) return 0.0;
  return static_cast<double>(m_nPos - m_nMin) / static_cast<double>(m_nMax - m_nMin);
}

int CTextProgressCtrl::SetPos(int pos) {
  const int old = m_nPos;
  m_nPos = pos;
  int width = 0;
  if (m_nMax != m_nMin)
    width = static_cast<int>(static_cast<double>(m_nPos - m_nMin) / (m_nMax - m_nMin) * rect().width());
  if (width != m_nBarWidth) {
    m_nBarWidth = width;
    repaint();
  }
  return old;
}

int CTextProgressCtrl::SetStep(int step) {
  const int old = m_nStepSize;
  m_nStepSize = step;
  return old;
}

void CTextProgressCtrl::SetRange(int lower, int upper) { SetRange32(lower & 0xFFFF, upper & 0xFFFF); }

void CTextProgressCtrl::SetRange32(int lower, int upper) {
  m_nMin = lower;
  m_nMax = upper;
}

void CTextProgressCtrl::GetRange(int& lower, int& upper) const {
  lower = m_nMin;
  upper = m_nMax;
}

QColor CTextProgressCtrl::SetBarColor(const QColor& c) {
  update();
  const QColor old = m_colFore;
  m_colFore = c;
  return old;
}

QColor CTextProgressCtrl::SetBkColor(const QColor& c) {
  update();
  const QColor old = m_colBk;
  m_colBk = c;
  return old;
}

QColor CTextProgressCtrl::SetTextColor(const QColor& c) {
  update();
  const QColor old = m_colText;
  m_colText = c;
  return old;
}

bool CTextProgressCtrl::SetShowText(bool show) {
  const bool old = m_bShowText;
  if (show != m_bShowText) update();
  m_bShowText = show;
  return old;
}

void CTextProgressCtrl::SetWindowText(const QString& text) {
  if (text != m_strText) {
    m_strText = text;
    update();
  }
}

QString CTextProgressCtrl::DisplayText() const {
  if (!m_strText.isEmpty()) return m_strText;
  return QString("%1%").arg(static_cast<int>(Fraction() * 100.0));
}

void CTextProgressCtrl::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  m_nBarWidth = -1;
}

void CTextProgressCtrl::paintEvent(QPaintEvent*) {
  // Off-screen first, then one copy: no flicker while the bar moves.
  QPixmap buffer(size() * devicePixelRatioF());
  buffer.setDevicePixelRatio(devicePixelRatioF());
  const QColor bk = m_colBk.isValid() ? m_colBk : palette().color(QPalette::Base);
  buffer.fill(bk);
  if (m_nMin < m_nMax) {
    QPainter p(&buffer);
    p.setFont(font());
    const QColor fore = m_colFore.isValid() ? m_colFore : palette().color(QPalette::Highlight);
    const double fraction = Fraction();
    const QRect client = rect();
    QRect filled;
    QRect empty;
    if (m_orientation == Qt::Vertical) {
      const int split = client.top() + client.height() - static_cast<int>(fraction * client.height());
      filled = QRect(client.left(), split, client.width(), client.bottom() + 1 - split);
      empty = QRect(client.left(), client.top(), client.width(), split - client.top());
    } else {
      const int split = client.left() + static_cast<int>(fraction * client.width());
      filled = QRect(client.left(), client.top(), split - client.left(), client.height());
      empty = QRect(split, client.top(), client.right() + 1 - split, client.height());
    }
    p.fillRect(filled, fore);
    p.fillRect(empty, bk);
    if (m_bShowText && m_orientation == Qt::Horizontal) {
      const QString text = DisplayText();
      const int flags = Qt::AlignCenter | Qt::TextSingleLine;
      p.setClipRect(filled);
      p.setPen(m_colText.isValid() ? m_colText : bk);
      p.drawText(client, flags, text);
      p.setClipRect(empty);
      p.setPen(m_colText.isValid() ? m_colText : fore);
      p.drawText(client, flags, text);
    }
  }
  QPainter(this).drawPixmap(0, 0, buffer);
}
