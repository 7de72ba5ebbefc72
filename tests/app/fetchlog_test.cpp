// The reading dialog: updates, warnings before the end, cancel, closing without
// deadlock, and one complete reading of the simulated panel into the main window.
#include "app/fetchlog.h"
#include "app/text_progress_ctrl.h"
#include "app_test_support.h"
#include "sim/pty_panel.h"

class FetchlogTest : public QObject {
  Q_OBJECT

 private slots:
  void UpdatesReachTheControlsAndWarningsComeBeforeTheEnd() {
    CT7KEventList list;
    std::vector<bool> visibleAtWarning;
    CFetchlog dlg(1, list, nullptr, [](logwick::IReadoutView& v, const std::atomic<bool>&, CT7KEventList&) {
      v.ShowReadingLabel(), v.SetButtonText("Остановить"), v.SetProgressRange(0, 99);
      for (int h = 16; h < 100; h += 16)
        v.SetProgressPos(h - 1), v.SetEventLine(QString("%1 от 15/03/2024 10:30:00").arg(h, 4).toStdString());
      v.ShowWarning("Ошибка при чтении\nсобытий");
      return 8;
    });
    logwick::SetMessageHook([&](const logwick::MessageRecord& r) {
      QVERIFY(r.caption == logwick::AppTitle() && r.icon == logwick::MsgIcon::Warning);
      visibleAtWarning.push_back(dlg.isVisible());
    });
    QCOMPARE(dlg.exec(), 2);
    logwick::SetMessageHook({});
    QCOMPARE(visibleAtWarning, std::vector<bool>{true});
    QCOMPARE(Ctl<QLineEdit>(&dlg, 1004)->text(), QString("  96 от 15/03/2024 10:30:00"));
    QVERIFY(!Ctl(&dlg, 1005)->isHidden());
    QCOMPARE(Ctl<QPushButton>(&dlg, 2)->text(), QString("Остановить"));
    QCOMPARE(dlg.Progress()->GetPos(), 95);
  }

  void CancelAndClosingWhileTheWorkerReportsFast() {
    std::atomic<long> reports{0};
    const CFetchlog::Job busy = [&](logwick::IReadoutView& v, const std::atomic<bool>& cancel,
                                    CT7KEventList&) {
      for (; !cancel; ++reports) {
        v.SetProgressPos(static_cast<int>(reports % 100));
        v.SetEventLine(std::to_string(reports));
        if (reports % 1000 == 0) v.ShowWarning("x");
      }
      return 11;
    };
    Hooks quiet;
    CT7KEventList list;
    CFetchlog dlg(1, list, nullptr, busy);
    WhenModal("103", [&](QDialog* d) {
      while (reports < 10000) QTest::qWait(1);
      QTest::keyClick(d, Qt::Key_Escape);  // only sets the flag: the worker's end closes the dialog
      QVERIFY(static_cast<CFetchlog*>(d)->CancelRequested());
    });
    QCOMPARE(dlg.exec(), 2);
    for (int round = 0; round < 50; ++round) {
      auto* closing = new CFetchlog(1, list, nullptr, busy);
      closing->show();
      QTest::qWait(round % 5);
      delete closing;  // cancel, then join: must return
    }
  }

  void ReadsTheSimulatedPanelIntoTheMainWindow() {
    logwick::sim::PtyPanel panel(
        {.eventCount = 100, .ringPosition = 30, .blockSize = 10, .texts = {"Пожар"}});
    std::string error;
    QVERIFY2(panel.Open(error), error.c_str());
    panel.Start();
    QVERIFY(QFile::link(QString(panel.DevicePath().c_str()),
                        qEnvironmentVariable("LOGWICK_PORTS_DIR") + "/COM7"));

    Hooks messages;
    CLogwickDlg dlg;
    dlg.OnInitDialog();
    dlg.m_nPortNumber = 7, dlg.OnReadFromPanel();  // searching for the serial number, as a fresh start does
    panel.Stop();
    QVERIFY2(messages.texts.isEmpty(), qPrintable(messages.texts.join("|")));
    QCOMPARE(Line(&dlg, 1007), QString("В базе 90 событий"));
    QCOMPARE(Line(&dlg, 1009), QString("Прибор Тарвел-7К (с/н 4660)"));
    QCOMPARE(Line(&dlg, 1012), QString("Конфигурация Склад N2"));
    QCOMPARE(dlg.ListBox()->GetCount(), 90);
  }
};

LOGWICK_QTEST_MAIN(FetchlogTest)
#include "fetchlog_test.moc"
