// A progress bar that paints itself: the filled part and the empty part in two
// colours and, on a horizontal bar, a text centred over the whole bar (the
// percentage unless a text is set). The text is drawn twice under two clips,
// in the empty part's colour over the filled part and the other way round, so
// it stays readable as the bar passes under it. A position change repaints
// only when the filled part grows or shrinks by a whole pixel.
#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

class CTextProgressCtrl : public QWidget {
 public:
  explicit CTextProgressCtrl(QWidget* parent = nullptr, Qt::Orientation orientation = Qt::Horizontal);

  // An invalid colour is the default marker: the other part's colour for the
  // text, the highlight colour for the bar, the window colour for the rest.
  static QColor DefaultColor() { return QColor(); }

  int SetPos(int pos);  // returns the old position
  int GetPos() const { return m_nPos; }
  int OffsetPos(int delta) { return SetPos(m_nPos + delta); }
  int StepIt() { return SetPos(m_nPos + m_nStepSize); }
  int SetStep(int step);
  // The 16-bit form of the range message: both limits unsigned 16-bit.
  void SetRange(int lower, int upper);
  void SetRange32(int lower, int upper);
  void GetRange(int& lower, int& upper) const;
  QColor SetBarColor(const QColor& c);
  QColor SetBkColor(const QColor& c);
  QColor SetTextColor(const QColor& c);
  bool SetShowText(bool show);
  bool ShowsText() const { return m_bShowText; }
  // Empty text: show the percentage.
  void SetWindowText(const QString& text);
  QString GetWindowText() const { return m_strText; }
  // The text painted now.
  QString DisplayText() const;
  // Width of the filled part at the last position change, -1 when not known.
  int BarWidth() const { return m_nBarWidth; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  double Fraction() const;

  QColor m_colText;
  int m_nPos = 0;
  int m_nStepSize = 1;
  int m_nMax = 100;
  int m_nMin = 0;
  QString m_strText;
  bool m_bShowText = true;
  int m_nBarWidth = -1;
  QColor m_colFore;
  QColor m_colBk;
  Qt::Orientation m_orientation;
};
