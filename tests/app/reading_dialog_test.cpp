// The reading dialog: the session's state drawn, warnings while it is up,
// every key of its button, closing without deadlock while the worker reports
// fast; a reading held in its event step while the main window repaints; one
// complete reading of the simulated panel.
#include "app/reading_dialog.h"
#include "app/text_progress_ctrl.h"
#include "app_test_support.h"
#include "link/frames.h"
#include "sim/pty_panel.h"
#include "tests/link/test_ports.h"

using logwick::IReadoutView;
using logwick::ReadoutResult;
using logwick::ReadoutSettings;
using logwick::ReadoutStatus;
using logwick::ReadoutStep;
using Cancel = const std::atomic<bool>;

namespace {

ReadoutResult Ended(ReadoutStatus status) { return {.status = status}; }

// A virtual panel that holds the first event-block request until released.
class HoldingPort : public logwick::test::ScriptedPort {
 public:
  using ScriptedPort::ScriptedPort;
  void Write(const std::uint8_t* data, std::size_t length) override {
    if (length > 1 && data[1] == logwick::frames::kCmdSelectBlock) {
      std::unique_lock<std::mutex> lock(m_mutex);
      m_held = true;
      m_change.wait(lock, [this] { return m_released; });
    }
    ScriptedPort::Write(data, length);
  }
  bool Held() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_held;
  }
  void Release() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_released = true;
    m_change.notify_all();
  }

 private:
  std::mutex m_mutex;
  std::condition_variable m_change;
  bool m_held = false;
  bool m_released = false;
};

}  // namespace

class ReadingDialogTest : public QObject {
  Q_OBJECT

 private slots:
  void UpdatesReachTheControlsAndWarningsComeBeforeTheEnd() {
    std::vector<bool> visibleAtWarning;
    CLogwickDlg main;
    logwick::ReadingSession session(main, {}, [](const ReadoutSettings&, IReadoutView& v, Cancel&) {
      v.StepBegan(ReadoutStep::Events, 4660);
      v.EventsBegan({3, 12, UnpackTimeStamp(PackTimeStamp(2015, 12, 16, 14, 12, 5)), 100});
      v.ProgressRange(99);
      v.ProgressAt(95);
      CT7KEvent ev;
      ev.SetTimeStamp(PackTimeStamp(2024, 3, 15, 10, 30, 0));
      v.EventRead(96, ev);
      v.Warning(ReadoutStatus::EventsNotRead);
      return Ended(ReadoutStatus::EventsNotRead);
    });
    CFetchlog dlg(session);
    QStringList warnings;
    logwick::SetMessageHook([&](const logwick::MessageRecord& r) {
      QVERIFY(r.caption == logwick::AppTitle() && r.icon == logwick::MsgIcon::Warning);
      warnings << r.text;
      visibleAtWarning.push_back(dlg.isVisible());
    });
    QCOMPARE(dlg.exec(), 2);
    logwick::SetMessageHook({});
    QCOMPARE(warnings, QStringList{"Ошибка при чтении\nсобытий"});
    QCOMPARE(visibleAtWarning, std::vector<bool>{true});
    QCOMPARE(Ctl<QLineEdit>(&dlg, CFetchlog::kIdVersion)->text(),
             QString("Прибор v3.12, его время 16/12/15 14:12:05"));
    QCOMPARE(Ctl<QLineEdit>(&dlg, CFetchlog::kIdCount)->text(), QString("В приборе 100 событий"));
    QCOMPARE(Ctl<QLineEdit>(&dlg, CFetchlog::kIdEvent)->text(), QString("  96 от 15/03/2024 10:30:00"));
    QVERIFY(!Ctl(&dlg, CFetchlog::kIdReadingLabel)->isHidden());
    QCOMPARE(Ctl<QPushButton>(&dlg, CFetchlog::kIdStop)->text(), QString("Остановить"));
    QCOMPARE(dlg.Progress()->GetPos(), 95);
    QVERIFY(session.TakeResult().status == ReadoutStatus::EventsNotRead);
  }

  // The button has the focus: Enter, Space and Esc on it stop the reading, as a click does.
  void EveryKeyOfTheButtonStopsTheReading() {
    // Ends by itself (as a completed reading) when no key stops it.
    CLogwickDlg main;
    const logwick::ReadingSession::Job waiting = [](const ReadoutSettings&, IReadoutView&, Cancel& cancel) {
      const QDeadlineTimer deadline(5000);
      while (!cancel && !deadline.hasExpired()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
      return Ended(cancel ? ReadoutStatus::Cancelled : ReadoutStatus::Ok);
    };
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space, Qt::Key_Escape}) {
      logwick::ReadingSession session(main, {}, waiting);
      CFetchlog dlg(session);
      WhenModal(CFetchlog::kIdDialog, [&](QDialog* d) {
        QWidget* focus = QApplication::focusWidget();
        QCOMPARE(focus, Ctl(d, CFetchlog::kIdStop));
        QTest::keyClick(focus, key);
      });
      QCOMPARE(dlg.exec(), 2);
      QVERIFY2(session.CancelRequested(), qPrintable(QKeySequence(key).toString()));
    }
  }

  void CancelAndClosingWhileTheWorkerReportsFast() {
    std::atomic<long> reports{0};
    CLogwickDlg main;
    const logwick::ReadingSession::Job busy = [&](const ReadoutSettings&, IReadoutView& v, Cancel& cancel) {
      for (; !cancel; ++reports) {
        v.ProgressAt(static_cast<int>(reports % 100));
        v.EventRead(static_cast<int>(reports), CT7KEvent());
        if (reports % 1000 == 0) v.Warning(ReadoutStatus::InfoNotRead);
      }
      return Ended(ReadoutStatus::Cancelled);
    };
    Hooks quiet;
    logwick::ReadingSession session(main, {}, busy);
    CFetchlog dlg(session);
    WhenModal(CFetchlog::kIdDialog, [&](QDialog* d) {
      while (reports < 10000) QTest::qWait(1);
      QTest::keyClick(d, Qt::Key_Escape);  // only sets the flag: the worker's end closes the dialog
      QVERIFY(session.CancelRequested());
    });
    QCOMPARE(dlg.exec(), 2);
    for (int round = 0; round < 50; ++round) {
      auto* closingSession = new logwick::ReadingSession(main, {}, busy);
      auto* closing = new CFetchlog(*closingSession);
      closing->show();
      QTest::qWait(round % 5);
      delete closing;
      delete closingSession;  // cancel, then join: must return
    }
  }

  // The worker never writes the list the window draws: held in its event
  // step, a reading leaves the rows as they were however the window repaints;
  // they become the panel's once the reading dialog has closed.
  void TheWindowKeepsItsRowsWhileAReadingRuns() {
    Hooks messages;
    HoldingPort port(logwick::sim::PanelConfig{.eventCount = 100, .ringPosition = 30, .blockSize = 10});
    CLogwickDlg dlg(nullptr, {.readout = [&](const ReadoutSettings& s, IReadoutView& v, Cancel& cancel) {
                      return logwick::RunReadout(s, port, v, cancel);
                    }});
    dlg.Model().OnInitDialog(WriteSample(TempDir() + "/held/ten.t7kev").toStdString());
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    const QStringList before = Rows(dlg.ListBox());
    WhenModal(CFetchlog::kIdDialog, [&](QDialog*) {
      QVERIFY(QTest::qWaitFor([&] { return port.Held(); }, 10000));
      CEvListBox* box = dlg.ListBox();
      const QSize size = box->size();
      for (int width : {size.width() / 2, size.width() + 200, size.width()}) {
        box->resize(width, size.height());
        dlg.repaint();
        QCOMPARE(Rows(box), before);
      }
      QCOMPARE(Line(&dlg, CLogwickDlg::kIdCountLine), QString("В базе 10 событий"));
      port.Release();  // the worker ends, and with it the dialog
    });
    dlg.Model().m_nPortNumber = 7;
    dlg.Model().OnReadFromPanel();
    QVERIFY2(messages.texts.isEmpty(), qPrintable(messages.texts.join("|")));
    QCOMPARE(Line(&dlg, CLogwickDlg::kIdCountLine), QString("В базе 90 событий"));
    QCOMPARE(dlg.ListBox()->GetCount(), 90);
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
    dlg.Model().OnInitDialog();
    dlg.Model().m_nPortNumber = 7;
    dlg.Model().OnReadFromPanel();  // searching for the serial number, as a fresh start does
    panel.Stop();
    QVERIFY2(messages.texts.isEmpty(), qPrintable(messages.texts.join("|")));
    QCOMPARE(Line(&dlg, CLogwickDlg::kIdCountLine), QString("В базе 90 событий"));
    QCOMPARE(Line(&dlg, CLogwickDlg::kIdPanelLine), QString("Прибор Тарвел-7К (с/н 4660)"));
    QCOMPARE(Line(&dlg, CLogwickDlg::kIdConfigLine), QString("Конфигурация Склад N2"));
    QCOMPARE(dlg.ListBox()->GetCount(), 90);
  }
};

LOGWICK_QTEST_MAIN(ReadingDialogTest)
#include "reading_dialog_test.moc"
