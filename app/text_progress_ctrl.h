// A progress bar that paints itself: the filled part in the highlight colour,
// the empty part in the base colour and the percentage centred over the whole
// bar. The text is drawn twice under two clips, in the
// empty part's colour over the filled part and the other way round, so it
// stays readable as the bar passes under it. A position change repaints only
// when the filled part grows or shrinks by a whole pixel.
#pragma once

#include <QString>
#include <QWidget>

class CTextProgressCtrl : public QWidget {
 public:
  explicit CTextProgressCtrl(QWidget* parent = nullptr);

  int SetPos(int pos);  // returns the old position
  int GetPos() const { return m_nPos; }
  // The 16-bit form of the range message: both limits unsigned 16-bit.
  void SetRange(int lower, int upper);
  // The text painted now.
  QString DisplayText() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  double Fraction() const;

  int m_nPos = 0;
  int m_nMax = 100;
  int m_nMin = 0;
  int m_nBarWidth = -1;  // width of the filled part at the last position change; -1 unknown
};
