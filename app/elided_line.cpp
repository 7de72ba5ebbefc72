#include "app/elided_line.h"

#include <QPainter>
#include <QStyle>

CElidedLine::CElidedLine(QWidget* parent) : QLabel(parent) {
  setTextFormat(Qt::PlainText);  // may quote a server's or a file's words
  setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
}

void CElidedLine::SetLine(const QString& text) {
  QString line = text;
  line.replace(QLatin1String("\r\n"), QLatin1String(" ")).replace(QLatin1Char('\n'), QLatin1Char(' '));
  setText(line);
  setToolTip(text);
}

QSize CElidedLine::sizeHint() const {
  return {fontMetrics().averageCharWidth() * 20, fontMetrics().height() + 2 * margin()};
}

QSize CElidedLine::minimumSizeHint() const { return {0, sizeHint().height()}; }

void CElidedLine::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const QRect r = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
  const QString shown = fontMetrics().elidedText(text(), Qt::ElideRight, r.width());
  style()->drawItemText(&p, r, Qt::AlignLeft | Qt::AlignVCenter, palette(), isEnabled(), shown,
                        foregroundRole());
}
