// The save dialog's file types and the print preview of the shown events.
#include <QPrinter>

#include "app/qt_translation.h"
#include "app/report_preview.h"
#include "app_test_support.h"
#include "lists/shown_rows.h"

class ReportsTest : public QObject {
  Q_OBJECT

 private slots:
  void ANameTypedWithoutExtensionTakesTheChosenType() {
    const QString folder = TempDir() + "/types";
    QDir().mkpath(folder);
    const logwick::QtFileRequest request{true, "txt", "Текстовые файлы (*.txt);;CSV (*.csv);;Все файлы (*.*)",
                                         folder};
    const std::pair<int, const char*> choices[] = {
        {0, "x.txt"}, {1, "x.csv"}, {2, "x.txt"},  // all files: the default
    };
    for (auto [downs, name] : choices) {
      WhenModal("savefile", [downs = downs](QDialog* d) {
        auto* types = d->findChild<QComboBox*>("fileTypeCombo");
        QVERIFY(types);
        for (int i = 0; i < downs; ++i) QTest::keyClick(types, Qt::Key_Down);
        d->findChild<QLineEdit*>("fileNameEdit")->setText("x");
        d->accept();
      });
      QCOMPARE(QFileInfo(logwick::ChooseFile(nullptr, request)).fileName(), QString(name));
    }
  }

  // The preview shows its first page while it lays the rest out, "Отмена"
  // back to the main window; laid out, it has the pages a print has.
  void PrintPreviewShowsPagesAsTheyAreLaidOut() {
    CLogwickDlg dlg;
    CT7KEventList& list = dlg.Model().EventList();
    list = logwick::test::MakeHeaderList();
    for (int i = 0; i < 100000; ++i)
      list.AddTail(logwick::test::MakeEvent(PackTimeStamp(2015, 12, 1, 8, 0, 0), 1));
    dlg.Model().FillList();
    dlg.show();
    bool cancelled = false;
    WhenModal("printPreview", [&](QDialog* d) {
      auto* preview = static_cast<logwick::ReportPreview*>(d);
      QTRY_VERIFY(preview->PagesPainted() > 0);
      QVERIFY(!preview->Layout().Done() && preview->CancelButton()->isVisible());
      QVERIFY(!preview->PrintButton()->isEnabled());
      QTest::mouseClick(preview->CancelButton(), Qt::LeftButton);
      cancelled = !d->isVisible();
    });
    dlg.findChild<QAction*>("print")->trigger();
    QVERIFY(cancelled);

    const CT7KEventList ten = TenEvents();
    const logwick::ShownRows all(ten, {});
    int pages = 0;
    WhenModal("printPreview", [&](QDialog* d) {
      auto* preview = static_cast<logwick::ReportPreview*>(d);
      QTRY_VERIFY(preview->Layout().Done());
      QVERIFY(preview->PrintButton()->isEnabled() && preview->Progress()->isHidden());
      pages = preview->Layout().PageCount();
      d->reject();
    });
    logwick::ShowReportPreview(&dlg, ten, all);

    // The same pages as a PDF: the summary, then the events table, as long as
    // the shown events need.
    auto pdfPages = [](const CT7KEventList& list, const logwick::ShownRows& rows) {
      QDir().mkpath(TempDir() + "/print");
      QPrinter printer(QPrinter::HighResolution);
      printer.setOutputFormat(QPrinter::PdfFormat);
      printer.setOutputFileName(TempDir() + "/print/report.pdf");
      logwick::PrintReport(printer, list, rows);
      QFile pdf(printer.outputFileName());
      if (!pdf.open(QIODevice::ReadOnly)) return -1;
      const QByteArray bytes = pdf.readAll();
      if (!bytes.startsWith("%PDF")) return -1;
      return static_cast<int>(bytes.count("/Type /Page\n") + bytes.count("/Type /Page\r"));
    };
    QCOMPARE(pdfPages(ten, all), pages);
    const logwick::ShownRows messages(ten, [](const CT7KEvent& ev) { return ev.Code() == 4; });
    QCOMPARE(pdfPages(ten, messages), 2);
    CT7KEventList many = logwick::test::MakeHeaderList();
    for (int i = 0; i < 1000; ++i)
      many.AddTail(logwick::test::MakeEvent(PackTimeStamp(2015, 12, 1, 8, 0, 0), 1));
    const int manyPages = pdfPages(many, logwick::ShownRows(many, {}));
    QVERIFY2(manyPages > 10 && manyPages < 40, qPrintable(QString::number(manyPages)));
  }
};

LOGWICK_QTEST_MAIN(ReportsTest)
#include "reports_test.moc"
