#include "app/report_preview.h"

#include <QPageSize>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QTextDocument>

#include "lists/html_report.h"

namespace logwick {

namespace {

// Qt's rich text hands a division's page break to every paragraph inside it,
// which would put each line of the summary on a page of its own: the events
// table starts the new page instead.
QString ForRichText(QString html) {
  html.replace("page-break-after: always;", "");
  html.replace("<h2>События</h2>", "<h2 style=\"page-break-before: always\">События</h2>");
  return html;
}

}  // namespace

void PrintReport(QPrinter& printer, const CT7KEventList& list, const ShownRows& rows) {
  QTextDocument document;
  document.setHtml(ForRichText(QString::fromStdString(HtmlReport(list, rows))));
  document.print(&printer);
}

void ShowReportPreview(QWidget* owner, const CT7KEventList& list, const ShownRows& rows) {
  QPrinter printer(QPrinter::HighResolution);
  printer.setPageSize(QPageSize(QPageSize::A4));
  QPrintPreviewDialog dialog(&printer, owner);
  dialog.setObjectName("printPreview");
  dialog.setWindowTitle("Печать");
  dialog.resize(760, 900);
  QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested,
                   [&](QPrinter* target) { PrintReport(*target, list, rows); });
  dialog.exec();
}

}  // namespace logwick
