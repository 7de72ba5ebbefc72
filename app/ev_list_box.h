// The main window's event list: one row per shown event, each row word-wrapped
// at the view's width and as tall as its text needs, with a one-pixel grey
// line under it.
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
//
// The view keeps which rows are selected (a click, Shift and Ctrl with the
// mouse or the arrow keys, Ctrl+A) and copies them with Ctrl+C, one row text a
// line. Selected rows are drawn in the selection colours; other rows are drawn
// plain. Text the find bar found is marked in the rows it asks for.
#pragma once

#include <QAbstractScrollArea>
#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

#include "lists/row_search.h"
#include "lists/row_selection.h"

class CEvListBox : public QAbstractScrollArea {
 public:
  enum class RowKind { Event, GapMark };
  using RowTextFn = std::function<QString(int row)>;
  using RowKindFn = std::function<RowKind(int row)>;
  // Where a row's text holds what was found (in characters), left to right.
  using FoundFn = std::function<std::vector<logwick::RowSearch::Span>(int row)>;

  explicit CEvListBox(QWidget* parent = nullptr);

  // Replaces the content by count rows whose texts textOf gives when asked;
  // kindOf tells mark rows (none when empty). Nothing is selected.
  void SetRows(int count, RowTextFn textOf, RowKindFn kindOf = {});
  // Marks what foundIn gives in every row drawn (none when empty), the
  // spans of currentRow more strongly.
  void SetFound(FoundFn foundIn, int currentRow);

  int GetCount() const { return m_count; }
  QString GetText(int row) const;
  RowKind GetKind(int row) const;
  // The band colour of mark rows.
  QColor GapMarkBackground() const;
  // Height of a row at the current width: wrapped text + font height / 8 + 1.
  int GetItemHeight(int row);
  int GetTopIndex() const;
  void SetTopIndex(int row);
  // Rows whose top lies inside the viewport, from the top row on.
  int VisibleRowCount();

  // The current row (the last clicked or moved to), -1 for none.
  int GetCurSel() const;
  const logwick::RowSelection& Selection() const { return m_selection; }
  // Selects row alone, makes it current and scrolls it into view: to the
  // top when it lies outside the view.
  void GoToRow(int row);
  // The selected rows' texts, each ended by a line break.
  QString SelectedText() const;
  void CopySelection() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
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
  // Scrolls the least that shows the whole row (or its top, when taller
  // than the view).
  void EnsureVisible(int row);
  bool MoveCurrent(const QKeyEvent& key);
  void DrawRow(QPainter& p, const QRect& r, int row, const QColor& band);

  int m_count = 0;
  RowTextFn m_textOf;
  RowKindFn m_kindOf;
  std::vector<std::uint16_t> m_heights;  // 0: not measured at m_measuredWidth
  int m_measuredWidth = -1;
  logwick::RowSelection m_selection;
  FoundFn m_foundIn;
  int m_foundRow = -1;
};
