// The reading dialog: worker updates reach the controls, warnings are shown
// before the dialog ends, cancel stops the worker, closing at any moment never
// deadlocks, and one complete reading of the simulated panel fills the main
// window.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <thread>

#include "app/logwick_dlg.h"
#include "app/settings.h"
#include "app/text_progress_ctrl.h"
#include "app_test_support.h"
#include "link/fetchlog.h"
#include "sim/pty_panel.h"
#include "view/ev_list_box.h"

using apptest::Ctl;

class FetchlogTest : public QObject {
  Q_OBJECT

 private slots:
  void UpdatesReachTheControlsAndWarningsComeBeforeTheEnd() {
    CT7KEventList list;
    std::vector<bool> visibleAtWarning;
    CFetchlog dlg(1, list, nullptr, [](logwick::IReadoutView& v, const std::atomic<bool>&, CT7KEventList&) {
      v.ShowReadingLabel();
      v.SetButtonText("Остановить");
      v.SetProgressRange(0, 99);
      for (int h = 16; h < 100; h += 16) {
        v.SetProgressPos(h - 1);
        v.SetEventLine(QString("%1 от 15/03/2024 10:30:00").arg(h, 4).toStdString());
      }
      v.ShowWarning("Ошибка при чтении\nсобытий");
      return 8;
    });
    logwick::SetMessageHook([&](const logwick::MessageRecord& r) {
      QCOMPARE(r.caption, logwick::AppTitle());
      QVERIFY(r.icon == logwick::MsgIcon::Warning);
      visibleAtWarning.push_back(dlg.isVisible());
    });
    QCOMPARE(dlg.Progress()->DisplayText(), QString("0%"));
    QCOMPARE(dlg.exec(), 2);
    logwick::SetMessageHook({});
    QCOMPARE(visibleAtWarning, std::vector<bool>{true});
    QCOMPARE(Ctl<QLineEdit>(&dlg, 1004)->text(), QString("  96 от 15/03/2024 10:30:00"));
    QVERIFY(!Ctl<QLabel>(&dlg, 1005)->isHidden());
    QCOMPARE(Ctl<QPushButton>(&dlg, 2)->text(), QString("Остановить"));
    QCOMPARE(dlg.Progress()->GetPos(), 95);
  }

  void CancelStopsAWorkerThatReportsFast() {
    CT7KEventList list;
    std::atomic<long> reports{0};
    CFetchlog dlg(1, list, nullptr, [&](logwick::IReadoutView& v, const std::atomic<bool>& cancel, CT7KEventList&) {
      while (!cancel) {
        v.SetProgressPos(static_cast<int>(reports % 100));
        v.SetEventLine(std::to_string(reports++));
      }
      return 11;
    });
    apptest::WhenModal("103", [&](QDialog* d) {
      while (reports < 10000) QTest::qWait(1);
      // Esc asks too: it only sets the flag, the worker's end closes the dialog.
      QTest::keyClick(d, Qt::Key_Escape);
      QVERIFY(static_cast<CFetchlog*>(d)->CancelRequested());
    });
    QCOMPARE(dlg.exec(), 2);
  }

  void ClosingWhileTheWorkerReportsNeverDeadlocks() {
    for (int round = 0; round < 50; ++round) {
      CT7KEventList list;
      auto* dlg = new CFetchlog(1, list, nullptr,
                                [](logwick::IReadoutView& v, const std::atomic<bool>& cancel, CT7KEventList&) {
                                  for (long i = 0; !cancel; ++i) {
                                    v.SetEventLine(std::to_string(i));
                                    if (i % 1000 == 0) v.ShowWarning("x");
                                  }
                                  return 11;
                                });
      logwick::SetMessageHook([](const logwick::MessageRecord&) {});
      dlg->show();
      QTest::qWait(round % 5);
      delete dlg;  // cancel, then join: must return
      logwick::SetMessageHook({});
    }
  }

  void ReadsTheSimulatedPanelIntoTheMainWindow() {
    logwick::sim::PanelConfig config;
    config.eventCount = 100;
    config.ringPosition = 30;
    config.blockSize = 10;
    config.texts = {"Пожар склад 1", "Тревога"};
    logwick::sim::PtyPanel panel(config);
    std::string error;
    QVERIFY2(panel.Open(error), error.c_str());
    panel.Start();
    QVERIFY(QFile::link(QString::fromStdString(panel.DevicePath()), qEnvironmentVariable("LOGWICK_PORTS_DIR") + "/COM7"));

    apptest::MessageRecorder messages;
    CLogwickDlg dlg;
    dlg.OnInitDialog();
    dlg.m_nPortNumber = 7;
    g_bAutoSN = 1;
    g_bGazMode = 0;
    dlg.OnReadFromPanel();
    panel.Stop();
    QVERIFY2(messages.seen.empty(), qPrintable(messages.Texts().join("|")));
    QCOMPARE(Ctl<QLabel>(&dlg, 1007)->text(), QString("В базе 90 событий"));
    QCOMPARE(Ctl<QLabel>(&dlg, 1009)->text(), QString("Прибор Тарвел-7К (с/н 4660)"));
    QCOMPARE(Ctl<QLabel>(&dlg, 1012)->text(), QString("Конфигурация Склад N2"));
    QCOMPARE(dlg.ListBox()->GetCount(), 90);
  }
};

LOGWICK_QTEST_MAIN(FetchlogTest)
#include "fetchlog_test.moc"
