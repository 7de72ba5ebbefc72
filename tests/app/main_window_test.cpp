// The main window as drawn from its template: its lines and menu, the keys
// and ways that leave it (asking first for a reading nothing else holds), and
// help from the menu, the button and F1.
#include "app_test_support.h"

using M = CLogwickDlg;

class MainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { QSettings("Ormet", "T29 read events").clear(); }

  void DrawsTheLinesAndRowsOfItsModel() {
    Hooks messages;
    CLogwickDlg dlg;
    dlg.m_strFileToOpen = WriteSample(TempDir() + "/start/ten.t7kev");
    WhenModal(M::kIdDialog, [](QDialog* d) { static_cast<M*>(d)->CloseMainWindow(); });
    dlg.exec();  // starts the model with the file named
    QCOMPARE(Line(&dlg, M::kIdPanelLine), QString("Прибор Тарвел-7К (с/н 123)"));
    QCOMPARE(Line(&dlg, M::kIdCountLine), QString("В базе 10 событий"));
    QCOMPARE(dlg.ListBox()->GetCount(), 10);
    QCOMPARE(dlg.ListBox()->GetText(0), QString::fromStdString(dlg.Model().RowText(0)));
    for (int id : {M::kIdReadFromPanel, M::kIdReadFromFile, M::kIdWriteToFile, M::kIdWriteText,
                   M::kIdSettings, M::kIdHelp, M::kIdAbout, M::kIdExit})
      QVERIFY(dlg.MenuBar()->findChild<QAction*>(QString::number(id)));
    QVERIFY(!(dlg.windowFlags() & Qt::WindowMaximizeButtonHint));
  }

  void ExitRules() {
    CLogwickDlg dlg, other;
    for (CLogwickDlg* d : {&dlg, &other}) {
      d->Model().OnInitDialog();
      d->show();
    }
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    QTest::keyClick(&dlg, Qt::Key_Escape);
    QVERIFY(dlg.isVisible());
    dlg.ListBox()->setFocus();  // Enter outside a button presses Вы&ход
    QTest::keyClick(dlg.ListBox(), Qt::Key_Return);
    QVERIFY(!dlg.isVisible());
    QVERIFY(other.close());
    for (CLogwickDlg* d : {&dlg, &other}) QCOMPARE(d->result(), int(QDialog::Accepted));
  }

  // The close box asks before a reading that no file and no archive holds is lost.
  void TheCloseBoxAsksForAnUnsavedReading() {
    logwick::QtProfile().WriteInt(logwick::kSettingArchiveReadings, 0);
    CLogwickDlg dlg(nullptr, {.readout = [](const logwick::ReadoutSettings&, logwick::IReadoutView&,
                                            const std::atomic<bool>&) {
                      return logwick::ReadoutResult{.list = TenEvents()};
                    }});
    dlg.Model().OnInitDialog();
    dlg.Model().m_nPortNumber = 1;
    dlg.Model().OnReadFromPanel();
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    QStringList asked;
    bool answer = false;
    logwick::SetQuestionHook([&](const logwick::MessageRecord& r) {
      asked << r.text;
      return answer;
    });
    QVERIFY(!dlg.close());
    answer = true;
    QVERIFY(dlg.close());
    logwick::SetQuestionHook({});
    QCOMPARE(asked, QStringList(2, "Считанные события не сохранены. Выйти из программы?"));
  }

  // F1 opens the help page as the menu item and the button do.
  void HelpFromTheMenuTheButtonAndF1() {
    CLogwickDlg dlg;
    dlg.Model().OnInitDialog();
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    int shown = 0;
    const std::function<void()> ways[] = {
        [&] { dlg.MenuBar()->findChild<QAction*>(QString::number(M::kIdHelp))->trigger(); },
        [&] { Click(&dlg, M::kIdHelpButton); },
        [&] { QTest::keyClick(dlg.ListBox(), Qt::Key_F1); },
    };
    for (const auto& open : ways) {
      QApplication::setActiveWindow(&dlg);
      QVERIFY(QTest::qWaitForWindowActive(&dlg));
      dlg.ListBox()->setFocus();
      WhenModal("help", [&](QDialog* help) {
        QVERIFY(help->findChild<QTextBrowser*>("helptext"));
        ++shown;
        help->accept();
      });
      open();
      QTRY_COMPARE(QApplication::activeModalWidget(), nullptr);
    }
    QCOMPARE(shown, int(std::size(ways)));
  }
};

LOGWICK_QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
