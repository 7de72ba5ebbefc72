// The main window's event list: one row per shown event, each row word-wrapped
// at the view's width and as tall as its text needs, with a one-pixel grey
// line under it. Selection and focus are kept as state but never drawn.
//
// Rows run to the file limit (100000) and, for a panel's whole history, to
// millions, so the view measures only the rows it shows: the vertical scroll
// bar counts rows (its value is the top row), and row heights are cached for
// the current width and forgotten when it changes.
// Row texts are fetched on demand from the owner, which keeps what they are
// made of (the main window: its list and the shown rows).
//
// A row is an event or a gap mark (a place in a stitched history where events
// may have been lost): a mark row is measured like any other but drawn centred
// on a tinted band, so that it never reads as an event.
#pragma once

#include <QAbstractScrollArea>
#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

class CEvListBox : public QAbstractScrollArea {
 public:
  enum class RowKind { Event, GapMark };
  using RowTextFn = std::function<QString(int row)>;
  using RowKindFn = std::function<RowKind(int row)>;

  explicit CEvListBox(QWidget* parent = nullptr);

  // Replaces the content by count rows whose texts textOf gives when asked;
  // kindOf tells mark rows (none when empty).
  void SetRows(int count, RowTextFn textOf, RowKindFn kindOf = {});

  int GetCount() const { return m_count; }
  QString GetText(int row) const;
  RowKind GetKind(int row) const;
  // The band colour of mark rows.
  QColor GapMarkBackground() const;
  // Height of a row at the current width: wrapped text + font height / 8 + 1.
  int GetItemHeight(int row);
  int GetTopIndex() const;
  void SetTopIndex(int row);
  // The row last clicked (state only; the drawing ignores it), -1 for none.
  int GetCurSel() const { return m_curSel; }
  // Rows whose top lies inside the viewport, from the top row on.
  int VisibleRowCount();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  void changeEvent(QEvent* event) override;
  QSize sizeHint() const override;

 private:
  int MeasureText(const QString& text) const;
  int RowAt(int y);
  void ForgetHeights();
  void UpdateScrollRange();
  // Top row such that the rows from it to the end fill the viewport at best.
  int LastTopIndex();

  int m_count = 0;
  RowTextFn m_textOf;
  RowKindFn m_kindOf;
  std::vector<std::uint16_t> m_heights;  // 0: not measured at m_measuredWidth
  int m_measuredWidth = -1;
  int m_curSel = -1;
};
