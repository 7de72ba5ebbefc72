// The printable report of the shown events laid out on a printer's pages: the
// header and summary through Qt's rich text, then the findings' table and,
// from a new page, the events table, both drawn row by row with their header
// row on every page, and the page number at each page's foot. Rich text lays
// a table of a thousand rows out for a second and one of a hundred thousand
// for minutes; the rows are laid out in steps, so that a preview shows the
// first pages of a long log at once and the rest as they come.
#pragma once

#include <QFont>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "lists/integrity_check.h"
#include "lists/shown_rows.h"
#include "lists/t7k_event_list.h"

class QPainter;
class QPrinter;
class QTextDocument;

namespace logwick {

class ReportLayout {
 public:
  // The pages of printer's page layout; list and rows must outlive the
  // layout, as must printer (fonts and rich text are measured on it).
  ReportLayout(QPrinter& printer, const CT7KEventList& list, const ShownRows& rows);
  ~ReportLayout();
  ReportLayout(const ReportLayout&) = delete;
  ReportLayout& operator=(const ReportLayout&) = delete;

  // Lays out further rows for about `budget`; true once every row is laid out.
  bool LayOut(std::chrono::milliseconds budget);
  void LayOutAll();
  bool Done() const { return m_table == m_tables.size(); }
  // The events laid out so far, of Events().
  std::size_t EventsLaidOut() const;
  std::size_t Events() const { return m_rows.Count(); }

  // The pages whose content is final: every page once Done().
  int PageCount() const;
  // The paper and the printable area on it, in the printer's pixels.
  QRectF PaperRect() const { return m_paper; }
  QRectF PrintRect() const { return m_print; }
  int Resolution() const { return m_resolution; }
  // Draws a final page in printable-area coordinates, on a device of the
  // printer's resolution (the printer, or an image of it).
  void PaintPage(QPainter& p, int page) const;

 private:
  // A table drawn row by row: its last column wraps, the others do not.
  struct Table {
    std::vector<qreal> lefts;  // the columns' edges, the last the right edge
    QStringList head;
    std::size_t rows = 0;
    bool newPage = false;                           // begins on a page of its own
    std::function<QString(std::size_t)> wrapping;   // a row's last cell
    std::function<QStringList(std::size_t)> cells;  // all of a row's cells
    std::vector<float> heights;                     // of the rows laid out
  };
  // What a page holds: a summary page (below m_summaryPages) holds its slice
  // of the rich text; a page may hold rows of one table from `top` on.
  struct Page {
    std::size_t table = SIZE_MAX;
    std::size_t first = 0, end = 0;  // the table's rows [first, end)
    qreal top = 0;
  };

  qreal WrappedHeight(const Table& table, const QString& text) const;
  void OpenPage();
  void PaintRow(QPainter& p, const Table& table, qreal y, const QStringList& cells, qreal h,
                bool header) const;

  const CT7KEventList& m_list;
  const ShownRows& m_rows;
  QRectF m_paper, m_print;
  int m_resolution;
  QFont m_font, m_bold, m_small;
  qreal m_pad, m_headHeight, m_bottom, m_lineHeight;
  std::vector<Finding> m_findings;
  std::unique_ptr<QTextDocument> m_summary;
  qreal m_summaryHeight;  // of a summary page
  int m_summaryPages;
  std::array<Table, 2> m_tables;  // the findings, the events
  std::vector<Page> m_pages;      // the last one open until Done()
  std::size_t m_table = 0;        // the table being laid out
  std::size_t m_row = 0;          // its next row
  bool m_started = false;         // its header row stands
  qreal m_y = 0;                  // where the next row would stand on the open page
};

// Lays the report out on printer's pages and prints it there; progress, when
// given, hears of each page printed and stops the printing by returning false.
// False when printing failed or was stopped.
bool PrintReport(QPrinter& printer, const CT7KEventList& list, const ShownRows& rows,
                 const std::function<bool(int page, int pages)>& progress = {});

}  // namespace logwick
