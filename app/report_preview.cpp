#include "app/report_preview.h"

#include <QAbstractTextDocumentLayout>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPageSize>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QTextDocument>
#include <algorithm>

#include "lists/event_kinds.h"
#include "lists/html_report.h"

namespace logwick {

namespace {

// The report's header and summary go through Qt's rich text; its events table
// is drawn here row by row: rich text lays a table of a hundred thousand rows
// out for many minutes.
constexpr char kEventsHeading[] = "<h2>События</h2>";

QString SummaryHtml(const CT7KEventList& list, const ShownRows& rows) {
  const QString full = QString::fromStdString(HtmlReport(list, rows));
  const qsizetype cut = full.indexOf(kEventsHeading);
  QString html = cut < 0 ? full : full.left(cut) + "</body></html>";
  // Qt's rich text would hand the summary's page break to each of its lines.
  html.replace("page-break-after: always;", "");
  return html;
}

class PagePainter {
 public:
  PagePainter(QPrinter& printer, QPainter& painter)
      : m_printer(printer),
        m_p(painter),
        m_page(printer.pageLayout().paintRectPixels(printer.resolution())) {}

  int PageHeight() const { return m_page.height(); }
  int PageWidth() const { return m_page.width(); }
  void NewPage() {
    DrawNumber();
    m_printer.newPage();
    ++m_number;
  }
  void Finish() { DrawNumber(); }

 private:
  void DrawNumber() {
    QFont font("DejaVu Sans", 8);
    m_p.setFont(QFont(font, &m_printer));
    const QFontMetricsF fm(m_p.font());
    m_p.setPen(Qt::black);
    m_p.drawText(QRectF(0, m_page.height() - fm.height(), m_page.width(), fm.height()), Qt::AlignRight,
                 QString::number(m_number));
  }

  QPrinter& m_printer;
  QPainter& m_p;
  QRect m_page;
  int m_number = 1;
};

// The header and summary, over as many pages as they take.
void PaintSummary(QPainter& p, PagePainter& pages, const QString& html, QPrinter& printer) {
  QTextDocument document;
  document.documentLayout()->setPaintDevice(&printer);
  document.setDefaultFont(QFont(QFont("DejaVu Sans", 9), &printer));
  document.setHtml(html);
  const int footer = QFontMetrics(QFont(QFont("DejaVu Sans", 8), &printer)).height() * 2;
  const int height = pages.PageHeight() - footer;
  document.setPageSize(QSizeF(pages.PageWidth(), height));
  const int count = document.pageCount();
  for (int page = 0; page < count; ++page) {
    if (page > 0) pages.NewPage();
    p.save();
    p.translate(0, -page * height);
    document.drawContents(&p, QRectF(0, page * height, pages.PageWidth(), height));
    p.restore();
  }
}

// The events table: time, kind, sentence; its header row on every page.
void PaintEvents(QPainter& p, PagePainter& pages, const CT7KEventList& list, const ShownRows& rows,
                 QPrinter& printer) {
  const QFont font(QFont("DejaVu Sans", 9), &printer);
  QFont bold(font);
  bold.setBold(true);
  const QFontMetricsF fm(font);
  const qreal pad = fm.height() / 6;
  const qreal timeWidth = fm.horizontalAdvance("00/00/0000 00:00:00") + 3 * pad;
  qreal kindWidth = fm.horizontalAdvance("Вид");
  for (EventKind kind : kEventKinds) {
    const std::string_view name = KindName(kind);
    kindWidth = std::max(kindWidth, QFontMetricsF(bold).horizontalAdvance(
                                        QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()))));
  }
  kindWidth += 3 * pad;
  const qreal width = pages.PageWidth();
  const qreal lefts[] = {0, timeWidth, timeWidth + kindWidth, width};
  const qreal bottom = pages.PageHeight() - fm.height() * 2;
  qreal y = 0;
  auto drawRow = [&](const QString(&cells)[3], qreal h, bool header) {
    if (header) p.fillRect(QRectF(0, y, width, h), QColor(0xee, 0xee, 0xee));
    p.setFont(header ? bold : font);
    p.setPen(QColor(0x99, 0x99, 0x99));
    p.drawRect(QRectF(0, y, width, h));
    for (int c = 1; c < 3; ++c) p.drawLine(QPointF(lefts[c], y), QPointF(lefts[c], y + h));
    p.setPen(Qt::black);
    for (int c = 0; c < 3; ++c)
      p.drawText(QRectF(lefts[c] + pad, y + pad, lefts[c + 1] - lefts[c] - 2 * pad, h - 2 * pad),
                 Qt::TextWordWrap, cells[c]);
    y += h;
  };
  const QString head[3] = {"Время", "Вид", "Событие"};
  const qreal headHeight = QFontMetricsF(bold).height() + 2 * pad;
  pages.NewPage();
  drawRow(head, headHeight, true);
  const qreal sentenceWidth = lefts[3] - lefts[2] - 2 * pad;
  std::string time, text;
  for (ShownRows::EventIndex index : rows) {
    const CT7KEvent& ev = list[index];
    time.clear();
    ev.AppendTimeText(time);
    text.clear();
    ev.AppendText(text, list.m_texts);
    const std::string_view kind = KindName(KindOf(ev));
    const QString cells[3] = {QString::fromStdString(time),
                              QString::fromUtf8(kind.data(), static_cast<qsizetype>(kind.size())),
                              QString::fromStdString(text)};
    const qreal h =
        fm.boundingRect(QRectF(0, 0, sentenceWidth, 1e6), Qt::TextWordWrap, cells[2]).height() + 2 * pad;
    if (y + h > bottom) {
      pages.NewPage();
      y = 0;
      drawRow(head, headHeight, true);
    }
    drawRow(cells, h, false);
  }
}

}  // namespace

void PrintReport(QPrinter& printer, const CT7KEventList& list, const ShownRows& rows) {
  QPainter p;
  if (!p.begin(&printer)) return;
  PagePainter pages(printer, p);
  PaintSummary(p, pages, SummaryHtml(list, rows), printer);
  PaintEvents(p, pages, list, rows, printer);
  pages.Finish();
}

void ShowReportPreview(QWidget* owner, const CT7KEventList& list, const ShownRows& rows) {
  QPrinter printer(QPrinter::HighResolution);
  printer.setPageSize(QPageSize(QPageSize::A4));
  QPrintPreviewDialog dialog(&printer, owner);
  dialog.setObjectName("printPreview");
  dialog.setWindowTitle("Печать");
  dialog.resize(760, 900);
  QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, [&](QPrinter* target) {
    // A full log takes some seconds to lay out.
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    PrintReport(*target, list, rows);
    QGuiApplication::restoreOverrideCursor();
  });
  dialog.exec();
}

}  // namespace logwick
