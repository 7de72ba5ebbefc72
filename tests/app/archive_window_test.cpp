// The archive window as drawn: its table, sorted by a click on a heading and
// narrowed by the field; "Открыть" bringing a history with its gap row into
// the main window; "Синхронизировать" running on a worker while the window
// keeps handling events, and the close box stopping it; a failure's status in
// one line, its details behind a button.
#include <thread>

#include "app/archive_dlg.h"
#include "app_test_support.h"
#include "lists/report.h"

namespace {

using A = CArchiveDlg;
using M = logwick::ArchiveWindowModel;

QString ArchivePath() { return TempDir() + "/archive/archive.sqlite"; }

QStringList Column(QTableWidget* table, int column) {
  QStringList cells;
  for (int row = 0; row < table->rowCount(); ++row) cells << table->item(row, column)->text();
  return cells;
}

}  // namespace

class ArchiveWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    qputenv("LOGWICK_ARCHIVE", ArchivePath().toUtf8());
    logwick::test::FillArchive(ArchivePath().toStdString());
  }
  void init() { QSettings("Ormet", "T29 read events").clear(); }

  void TableSortsByItsHeadingsAndNarrows() {
    CLogwickDlg main;
    logwick::QtProfile profile;
    const QString odd = TempDir() + "/<b>x</b>/archive.sqlite";  // a path reads as typed
    M tags(main, profile, odd.toStdString());
    A tagged(tags);
    tags.Refresh();
    QCOMPARE(Line(&tagged, A::kIdPath), "Архив: " + odd);
    QCOMPARE(Ctl<QLabel>(&tagged, A::kIdPath)->textFormat(), Qt::PlainText);

    M model(main, profile, ArchivePath().toStdString());
    A dlg(model);
    WhenModal(A::kIdDialog, [&](QDialog* d) {
      auto* table = Ctl<QTableWidget>(d, A::kIdTable);
      QCOMPARE(Column(table, M::kColSerial), QStringList({"123", "4567"}));
      QHeaderView* header = table->horizontalHeader();
      QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                        QPoint(header->sectionViewportPosition(M::kColSerial) + 5, 5));
      QCOMPARE(Column(table, M::kColSerial), QStringList({"4567", "123"}));  // the sorted column turns round
      Ctl<QLineEdit>(d, A::kIdNarrow)->setText("скл");
      QCOMPARE(Column(table, M::kColSerial), QStringList{"123"});
      d->reject();
    });
    dlg.exec();
  }

  void OpensAHistoryWithItsGapRowIntoTheMainWindow() {
    Hooks hooks;
    CLogwickDlg dlg;
    dlg.Model().OnInitDialog();
    WhenModal(A::kIdDialog, [](QDialog* d) {
      QVERIFY(static_cast<A*>(d)->Model().SelectPanel({1, 123}));
      Click(d, A::kIdOpen);
    });
    dlg.findChild<QAction*>(QString::number(CLogwickDlg::kIdArchive))->trigger();
    QVERIFY(hooks.texts.isEmpty());
    QCOMPARE(Line(&dlg, CLogwickDlg::kIdCountLine), QString("В базе 20 событий"));
    CEvListBox* box = dlg.ListBox();
    QCOMPARE(box->GetCount(), 21);
    QCOMPARE(box->GetText(10), QString(logwick::kGapMarkLine));
    QVERIFY(box->IsGapMark(10) && !box->IsGapMark(9));
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    box->SetTopIndex(9);  // the mark row drawn on its band
    QVERIFY(HasColour(box->viewport()->grab().toImage(), box->GapMarkBackground()));
  }

  void SyncRunsOnAWorkerAndClosingStopsIt() {
    Hooks hooks;
    CLogwickDlg main;
    logwick::QtProfile profile;
    std::thread::id worker;
    M model(main, profile, ArchivePath().toStdString(), logwick::test::SlowServer(worker));
    A dlg(model);
    Ctl<QLineEdit>(&dlg, A::kIdServer)->setText("postgresql://engineer@db.example/logwick");
    WhenModal(A::kIdDialog, [&](QDialog* d) {
      Click(d, A::kIdSync);
      // The window keeps handling events while the worker reports.
      QTRY_COMPARE(Ctl<QProgressBar>(d, A::kIdProgress)->maximum(), 100);
      QVERIFY(!Ctl<QPushButton>(d, A::kIdOpen)->isEnabled() && Ctl<QPushButton>(d, A::kIdStop)->isEnabled());
      d->reject();              // Esc or the close box
      QVERIFY(d->isVisible());  // until the worker has ended
    });
    QCOMPARE(dlg.exec(), int(QDialog::Rejected));
    QVERIFY(!model.Syncing());
    QVERIFY(Line(&dlg, A::kIdStatus).startsWith("Синхронизация остановлена"));
    QVERIFY(hooks.texts.isEmpty());
  }

  // A failure's long words stay one line that never pushes "Закрыть"; a
  // message's details wait behind "Подробности".
  void AFailureStaysOneLineAndItsDetailsBehindAButton() {
    CLogwickDlg main;
    logwick::QtProfile profile;
    M model(main, profile, ArchivePath().toStdString(),
            [](const std::string&, const std::string& url, logwick::ISyncView&, const std::atomic<bool>&) {
              logwick::SyncOutcome r;
              r.server = url;
              r.status = logwick::SyncStatus::ServerFailed;
              r.message =
                  "connection to server failed\n" + std::string(400, 'x') + "\nIs the server running?";
              return r;
            });
    A dlg(model);
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    auto* close = Ctl<QPushButton>(&dlg, A::kIdClose);
    const QRect closeAt = close->geometry();
    {
      Hooks hooks;
      Ctl<QLineEdit>(&dlg, A::kIdServer)->setText("postgresql://engineer@db.example/logwick");
      Click(&dlg, A::kIdSync);
      QTRY_VERIFY(!model.Syncing() && !hooks.texts.isEmpty());
    }
    QApplication::processEvents();  // the layout's turn
    auto* status = Ctl<QLabel>(&dlg, A::kIdStatus);
    QVERIFY(!status->text().contains('\n'));
    QVERIFY(status->height() < 2 * status->fontMetrics().height());
    QCOMPARE(close->geometry(), closeAt);

    WhenModal("messagebox", [](QDialog* box) {
      QPushButton* details = nullptr;
      for (auto* b : box->findChildren<QPushButton*>())
        if (b->text() == "Подробности") details = b;
      QVERIFY(details);
      details->click();
      QVERIFY(box->findChild<QTextEdit*>()->isVisible());
      QCOMPARE(details->text(), QString("Подробности"));
      box->accept();
    });
    logwick::ShowMessage(&dlg,
                         {"Сервер не отвечает", logwick::MsgCaption::Title, logwick::MsgIcon::Warning,
                          logwick::MsgOwner::Archive, "connection to server failed: Connection refused"});
  }
};

LOGWICK_QTEST_MAIN(ArchiveWindowTest)
#include "archive_window_test.moc"
