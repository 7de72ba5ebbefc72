// A label of one line whatever its text: line breaks read as blanks, and a
// text wider than the label ends in "…" with the whole text on hover. It asks
// for no width of its own, so a long text never pushes its neighbours.
#pragma once

#include <QLabel>

class CElidedLine : public QLabel {
 public:
  explicit CElidedLine(QWidget* parent = nullptr);

  void SetLine(const QString& text);
  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
};
