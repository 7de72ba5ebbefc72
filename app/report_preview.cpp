#include "app/report_preview.h"

#include <QPageSize>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QTextDocument>

#include "lists/html_report.h"

namespace logwick {

void PrintReport(QPrinter& printer, const CT7KEventList& list, const ShownRows& rows) {
  QTextDocument document;
  document.setHtml(QString::fromStdString(HtmlReport(list, rows)));
  document.print(&printer);
}

void ShowReportPreview(QWidget* owner, const CT7KEventList& list, const ShownRows& rows) {
  QPrinter printer(QPrinter::HighResolution);
  printer.setPageSize(QPageSize(QPageSize::A4));
  QPrintPreviewDialog dialog(&printer, owner);
  dialog.setObjectName("printPreview");
  dialog.setWindowTitle("Печать");
  QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested,
                   [&](QPrinter* target) { PrintReport(*target, list, rows); });
  dialog.exec();
}

}  // namespace logwick
