#include "app/text_progress_ctrl.h"

#include <QPainter>
#include <QPixmap>

CTextProgressCtrl::CTextProgressCtrl(QWidget* parent) : QWidget(parent) {
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

void CTextProgressCtrl::SetRange(int lower, int upper) {
  m_nMin = lower & 0xFFFF;
  m_nMax = upper & 0xFFFF;
}

QString CTextProgressCtrl::DisplayText() const {
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
  const QColor bk = palette().color(QPalette::Base);
  buffer.fill(bk);
  if (m_nMin < m_nMax) {
    QPainter p(&buffer);
    p.setFont(font());
    const QColor fore = palette().color(QPalette::Highlight);
    const QRect client = rect();
    const int split = client.left() + static_cast<int>(Fraction() * client.width());
    const QRect filled(client.left(), client.top(), split - client.left(), client.height());
    const QRect empty(split, client.top(), client.right() + 1 - split, client.height());
    p.fillRect(filled, fore);
    p.fillRect(empty, bk);
    const QString text = DisplayText();
    const int flags = Qt::AlignCenter | Qt::TextSingleLine;
    p.setClipRect(filled);
    p.setPen(bk);
    p.drawText(client, flags, text);
    p.setClipRect(empty);
    p.setPen(fore);
    p.drawText(client, flags, text);
  }
  QPainter(this).drawPixmap(0, 0, buffer);
}
