// The event list (control 1006): a window class of the program's own that
// draws only the rows it shows. Each row is word-wrapped at the control's
// width and is as tall as its text plus font height / 8 + 1 pixels, with a
// one-pixel grey line at its bottom; gap-mark rows are drawn centred on a
// tinted band, selected rows in the selection colours, found places on a
// marker colour. Heights are measured lazily (win/row_heights.h).
//
// It carries LBS_HASSTRINGS and answers a list box's reading messages
// (LB_GETCOUNT, LB_GETTEXTLEN, LB_GETTEXT, LB_GETTOPINDEX, LB_GETCURSEL,
// LB_SETCURSEL, LB_GETITEMHEIGHT, LB_GETSEL), so Windows and Wine carry them
// across processes and tests, screen readers and automation can read it.
#pragma once

#include <windows.h>

#include <cstddef>

#include "desk/event_rows.h"
#include "desk/face.h"
#include "win/row_heights.h"

namespace logwick::win {

// A private message of the list, answered also to other processes: wParam
// names a figure of its drawing (tests and the benchmark read them).
inline constexpr UINT kMsgListFigure = WM_USER + 0x100;
enum ListFigure : WPARAM {
  kFigureFirstPaintMs = 0,  // from the process's creation to the end of the first paint with rows; -1 before
  kFigureMeasurements = 1,  // rows measured so far
  kFigureResizeUs = 2,      // the last change of size and the paint after it, in microseconds
  kFigureEntryMs = 3,       // from the process's creation to the program's entry (the system's share)
};

class EvListCtrl {
 public:
  static void Register(HINSTANCE instance);
  // The control behind a window of the class, or null.
  static EvListCtrl* From(HWND window);
  // Called first thing by the program: the moment kFigureEntryMs gives.
  static void NoteProgramEntry();

  // The rows to draw, where the user's picks go; the control starts at the
  // top with every height unknown. They live longer than the control or the
  // next SetRows.
  void SetRows(IEventRows* rows);
  // The model's rows changed (a refill): back to the top, heights forgotten.
  void RowsChanged();
  // Selection or found places changed: repaint what is shown.
  void Redraw() const { InvalidateRect(m_window, nullptr, FALSE); }
  // Brings row into view as the model asks.
  void ShowRow(std::size_t row, ScrollTo how);
  std::size_t TopRow() const { return m_top; }

 private:
  explicit EvListCtrl(HWND window);
  ~EvListCtrl();
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

  std::size_t Count() const { return m_rows ? m_rows->RowCount() : 0; }
  std::wstring Text(std::size_t row) const;
  int Measure(std::size_t row) const;
  int ViewHeight() const;
  void SetFont(HFONT font);
  void SetTop(std::size_t top);
  void UpdateScrollBar();
  void Pick(std::size_t row, IEventRows::SelectAct act);

  void OnPaint();
  // Draws the rows from the top one down; how many rows the list has.
  std::size_t PaintRows(HDC dc, const RECT& client);
  void DrawRow(HDC dc, const RECT& r, std::size_t row) const;
  void OnSize();
  void OnVScroll(WORD code);
  bool OnKey(WPARAM key);
  void OnMouse(UINT message, WPARAM keys, int y);
  LRESULT OnListBoxRead(UINT message, WPARAM wParam, LPARAM lParam);

  HWND m_window;
  HFONT m_font = nullptr;
  HDC m_measureDc;
  int m_fontHeight = 13;
  IEventRows* m_rows = nullptr;
  RowHeights m_heights;
  RowHeights::Measure m_measure;
  std::size_t m_top = 0;

  LONGLONG m_firstPaintMs = -1;
  LONGLONG m_resizeStarted = 0;  // performance counter; 0 when no resize awaits its paint
  LONGLONG m_resizeUs = -1;
};

}  // namespace logwick::win
