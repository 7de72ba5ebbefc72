// The reading dialog: its session's state drawn, and its threads.
#include <future>

#include "app/reading_dialog.h"
#include "app/text_progress_ctrl.h"
#include "app_test_support.h"
#include "link/frames.h"
#include "tests/link/test_ports.h"

using logwick::IReadoutView, logwick::ReadoutResult, logwick::ReadoutSettings, logwick::ReadoutStatus;
using Cancel = const std::atomic<bool>;
using D = CFetchlog;

class ReadingDialogTest : public QObject {
  Q_OBJECT

 private slots:
  // A key on the stop button sets only the flag: the worker's end closes the dialog.
  void UpdatesReachTheDialogEveryKeyOfItsButtonStopsAFastReadingAndClosingJoins() {
    std::atomic<long> reports{0};
    CLogwickDlg main;
    const logwick::ReadingSession::Job busy = [&](const ReadoutSettings&, IReadoutView& v, Cancel& cancel) {
      v.EventsBegan({3, 12, UnpackTimeStamp(PackTimeStamp(2015, 12, 16, 14, 12, 5)), 100});
      v.ProgressRange(99);
      const QDeadlineTimer deadline(10000);  // then ends, so that a key that fails fails the test
      for (; !cancel && !deadline.hasExpired(); ++reports) {
        v.ProgressAt(static_cast<int>(reports % 100));
        v.EventRead(static_cast<int>(reports), CT7KEvent());
        if (reports % 1000 == 0) v.Warning(ReadoutStatus::InfoNotRead);
      }
      v.ProgressAt(95);
      return ReadoutResult{.status = ReadoutStatus::Cancelled};
    };
    Hooks quiet;
    QList<bool> upAtWarning;  // and the warning's caption and icon as the model asked
    QDialog* up = nullptr;
    logwick::SetMessageHook([&](const logwick::MessageRecord& r) {
      upAtWarning << (up && up->isVisible() && r.caption == logwick::AppTitle() &&
                      r.icon == logwick::MsgIcon::Warning);
    });
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space, Qt::Key_Escape}) {
      reports = 0;
      logwick::ReadingSession session(main, {}, busy);
      D dlg(session);
      up = &dlg;
      WhenModal(D::kIdDialog, [&](QDialog* d) {
        while (reports < 10000) QTest::qWait(1);
        QCOMPARE(Ctl<QLineEdit>(d, D::kIdCount)->text(), QString("В приборе 100 событий"));
        QCOMPARE(QApplication::focusWidget(), Ctl(d, D::kIdStop));
        QTest::keyClick(QApplication::focusWidget(), key);
      });
      QCOMPARE(dlg.exec(), 2);
      QVERIFY2(session.CancelRequested(), qPrintable(QKeySequence(key).toString()));
      QCOMPARE(dlg.Progress()->GetPos(), 95);
    }
    QVERIFY(!upAtWarning.isEmpty() && !upAtWarning.contains(false));
    up = nullptr;
    for (int round = 0; round < 50; ++round) {
      logwick::ReadingSession closingSession(main, {}, busy);  // its end cancels, then joins: must return
      D closing(closingSession);
      closing.show();
      QTest::qWait(round % 5);
    }
  }

  // The worker never writes the list the window draws: the panel's rows come once the dialog has closed.
  void TheWindowKeepsItsRowsWhileAReadingRuns() {
    Hooks messages;
    logwick::test::ScriptedPort port(
        logwick::sim::PanelConfig{.eventCount = 100, .ringPosition = 30, .blockSize = 10});
    std::atomic<bool> held{false};
    std::promise<void> release;
    port.onRead = [&, released = release.get_future().share()] {
      if (port.writes.back().size() > 1 && port.writes.back()[1] == logwick::frames::kCmdSelectBlock) {
        held = true;
        released.wait();
      }
    };
    CLogwickDlg dlg(nullptr, {.readout = [&](const ReadoutSettings& s, IReadoutView& v, Cancel& cancel) {
                      return logwick::RunReadout(s, port, v, cancel);
                    }});
    Shown(dlg, WriteSample(TempDir() + "/held/ten.t7kev"));
    const QString first = dlg.ListBox()->GetText(0);
    WhenModal(D::kIdDialog, [&](QDialog*) {
      QVERIFY(QTest::qWaitFor([&] { return held.load(); }, 10000));
      CEvListBox* box = dlg.ListBox();
      const QSize size = box->size();
      for (int width : {size.width() / 2, size.width() + 200, size.width()}) {
        box->resize(width, size.height());
        dlg.repaint();
        QVERIFY(box->GetCount() == 10 && box->GetText(0) == first);
      }
      QCOMPARE(Line(&dlg, CLogwickDlg::kIdCountLine), QString("В базе 10 событий"));
      release.set_value();  // the worker ends, and with it the dialog
    });
    dlg.Model().m_nPortNumber = 7;
    dlg.Model().OnReadFromPanel();
    QVERIFY2(messages.texts.isEmpty(), qPrintable(messages.texts.join("|")));
    QCOMPARE(dlg.ListBox()->GetCount(), 90);
    QCOMPARE(Line(&dlg, CLogwickDlg::kIdPanelLine), QString("Прибор Тарвел-7К (с/н 4660)"));
  }
};

LOGWICK_QTEST_MAIN(ReadingDialogTest)
#include "reading_dialog_test.moc"
