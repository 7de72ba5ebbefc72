// The archive window as drawn and wired to its model.
#include <thread>

#include "app/archive_dlg.h"
#include "app_test_support.h"

namespace {

using A = CArchiveDlg;
using M = logwick::ArchiveWindowModel;

QString ArchivePath() { return TempDir() + "/<b>x</b> &amp;/archive.sqlite"; }  // a path reads as typed

QStringList Serials(QWidget* d) {
  auto* table = Ctl<QTableWidget>(d, A::kIdTable);
  QStringList cells;
  for (int row = 0; row < table->rowCount(); ++row) cells << table->item(row, M::kColSerial)->text();
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

  void TableSortsNarrowsAndOpensAHistoryAFailureStaysOneLineAndASyncRunsOnAWorkerUntilClosed() {
    CLogwickDlg main;
    WhenModal("messagebox", [](QDialog* box) {
      const QList<QPushButton*> buttons = box->findChildren<QPushButton*>();
      auto details =
          std::find_if(buttons.begin(), buttons.end(), [](auto* b) { return b->text() == "Подробности"; });
      QVERIFY(details != buttons.end());
      (*details)->click();
      QVERIFY(box->findChild<QTextEdit*>()->isVisible());
      QCOMPARE((*details)->text(), QString("Подробности"));
      box->accept();
    });
    logwick::ShowMessage(&main,
                         {"Сервер не отвечает", logwick::MsgCaption::Title, logwick::MsgIcon::Warning,
                          logwick::MsgOwner::Archive, "connection to server failed: Connection refused"});

    Hooks hooks;
    main.Model().OnInitDialog();
    WhenModal(A::kIdDialog, [](QDialog* d) {
      QCOMPARE(Line(d, A::kIdPath), "Архив: " + ArchivePath());
      QCOMPARE(Ctl<QLabel>(d, A::kIdPath)->textFormat(), Qt::PlainText);
      QCOMPARE(Serials(d), QStringList({"123", "4567"}));
      QHeaderView* header = Ctl<QTableWidget>(d, A::kIdTable)->horizontalHeader();
      QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                        QPoint(header->sectionViewportPosition(M::kColSerial) + 5, 5));
      QCOMPARE(Serials(d), QStringList({"4567", "123"}));  // the sorted column turns round
      Ctl<QLineEdit>(d, A::kIdNarrow)->setText("скл");
      QCOMPARE(Serials(d), QStringList{"123"});
      Click(d, A::kIdOpen);
    });
    main.findChild<QAction*>(QString::number(CLogwickDlg::kIdArchive))->trigger();
    QVERIFY(hooks.texts.isEmpty());
    CEvListBox* box = main.ListBox();
    QCOMPARE(box->GetCount(), 21);
    Shown(main);
    box->SetTopIndex(9);  // the mark row drawn on its band
    QVERIFY(HasColour(box->viewport()->grab().toImage(), box->GapMarkBackground()));

    logwick::QtProfile profile;
    std::thread::id worker;
    int runs = 0;  // the first a failure, the next against a slow server
    M model(
        main, profile, ArchivePath().toStdString(),
        [&](const std::string& a, const std::string& url, logwick::ISyncView& v, const std::atomic<bool>& c) {
          if (runs++ > 0) return logwick::test::SlowServer(worker)(a, url, v, c);
          const std::string why = "connection to server failed\n" + std::string(400, 'x') + "\nIs it up?";
          return logwick::SyncOutcome{{}, logwick::SyncStatus::ServerFailed, url, why};
        });
    A dlg(model);
    Ctl<QLineEdit>(&dlg, A::kIdServer)->setText("postgresql://engineer@db.example/logwick");
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    const QRect closeAt = Ctl(&dlg, A::kIdClose)->geometry();
    Click(&dlg, A::kIdSync);
    QTRY_VERIFY(!model.Syncing() && hooks.texts.size() == 1);
    QApplication::processEvents();  // the layout's turn
    auto* status = Ctl<QLabel>(&dlg, A::kIdStatus);
    QVERIFY(!status->text().contains('\n') && status->height() < 2 * status->fontMetrics().height());
    QCOMPARE(Ctl(&dlg, A::kIdClose)->geometry(), closeAt);

    Click(&dlg, A::kIdSync);
    QTRY_COMPARE(Ctl<QProgressBar>(&dlg, A::kIdProgress)->maximum(), 100);
    QVERIFY(!Ctl(&dlg, A::kIdOpen)->isEnabled() && Ctl(&dlg, A::kIdStop)->isEnabled());
    dlg.reject();              // Esc or the close box
    QVERIFY(dlg.isVisible());  // until the worker has ended
    QTRY_VERIFY(!dlg.isVisible());
    QVERIFY(dlg.result() == QDialog::Rejected && !model.Syncing() && hooks.texts.size() == 1);
    QVERIFY(Line(&dlg, A::kIdStatus).startsWith("Синхронизация остановлена"));
  }
};

LOGWICK_QTEST_MAIN(ArchiveWindowTest)
#include "archive_window_test.moc"
