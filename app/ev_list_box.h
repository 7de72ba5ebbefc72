// The main window's event list: one row per shown event, each row word-wrapped
// at the view's width and as tall as its text needs, with a one-pixel grey
// line under it.
//
// Rows run to the file limit (100000) and, for a panel's whole history, to
// millions, so the view measures only the rows it shows: the vertical scroll
// bar counts rows (its value is the top row), and row heights are cached for
// the current width and forgotten when it changes.
// The rows, their selection and what the find bar found come from the model
// (IEventRows); the view draws them and forwards clicks and keys.
//
// A gap mark row (a place in a stitched history where events may have been
// lost) is measured like any other but drawn centred on a tinted band, so
// that it never reads as an event. Selected rows are drawn in the selection
// colours; other rows are drawn plain. Found text is marked.
#pragma once

#include <QAbstractScrollArea>
#include <QString>
#include <cstdint>
#include <vector>

#include "desk/event_rows.h"
#include "desk/face.h"

class CEvListBox : public QAbstractScrollArea {
 public:
  explicit CEvListBox(QWidget* parent = nullptr);

  // The rows to draw (none when null); call RowsChanged after they changed.
  void SetRows(const logwick::IEventRows* rows, logwick::IEventRows* acts);
  // The rows themselves changed: heights are measured again, the view goes
  // to the top.
  void RowsChanged();

  int GetCount() const;
  QString GetText(int row) const;
  bool IsGapMark(int row) const;
  // The band colour of mark rows.
  QColor GapMarkBackground() const;
  // Height of a row at the current width: wrapped text + font height / 8 + 1.
  int GetItemHeight(int row);
  int GetTopIndex() const;
  void SetTopIndex(int row);
  // Rows whose top lies inside the viewport, from the top row on.
  int VisibleRowCount();
  // The current row, -1 for none.
  int GetCurSel() const;
  // Brings the row into view as the model asks.
  void ShowRow(int row, logwick::ScrollTo how);

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
  void Act(int row, logwick::IEventRows::SelectAct act);
  void DrawRow(QPainter& p, const QRect& r, int row, const QColor& band);

  const logwick::IEventRows* m_rows = nullptr;
  logwick::IEventRows* m_acts = nullptr;
  int m_count = 0;
  std::vector<std::uint16_t> m_heights;  // 0: not measured at m_measuredWidth
  int m_measuredWidth = -1;
};
