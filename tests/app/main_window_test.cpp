// The main window: start-up lines, file commands, settings, report, reading
// from the panel, the exit rules and the shell helpers behind them.
#include "app/desktop_databases.h"
#include "app/file_type_registration.h"
#include "app/settings_dlg.h"
#include "app/shell_paths.h"
#include "app/text_param_dlg.h"
#include "app_test_support.h"
#include "lists/user_folders.h"

using M = CLogwickDlg;

static QString StoredFolder() {
  return QSettings("Ormet", "T29 read events").value("Init/EventsFilesDir").toString();
}

class MainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { QSettings("Ormet", "T29 read events").clear(); }

  void LoadsReportsAndFailedLoads() {
    Hooks messages;
    CLogwickDlg dlg;
    dlg.m_strFileToOpen = WriteSample(TempDir() + "/report/ten.t7kev");
    dlg.OnInitDialog();
    const std::pair<int, const char*> lines[] = {
        {M::kIdCountLine, "В базе 10 событий"},
        {M::kIdFilterLine, "Показываются все события"},
        {M::kIdReadLine, "Считано 16/12/2015 14:12:05"},
        {M::kIdPanelLine, "Прибор Тарвел-7К (с/н 123)"},
        {M::kIdVersionLine, "Версия v2.5 выпущен 01/03/2012"},
        {M::kIdConfigLine, "Конфигурация Склад"},
    };
    for (auto [id, text] : lines) QCOMPARE(Line(&dlg, id), QString(text));

    dlg.Filter().m_bModes = 0;  // admits the three messages only, counted by the report below
    dlg.FillList();
    QCOMPARE(Line(&dlg, M::kIdFilterLine), QString("Показывается 3 событий"));
    QCOMPARE(Line(&dlg, M::kIdCountLine), QString("В базе 10 событий"));

    // Report: all events by default, the shown ones, Cancel, and a folder that does not exist.
    using P = CTextParamDlg;
    const std::tuple<const char*, int, int> reports[] = {
        {"all", 0, 10},  // file name, button clicked first (0: none), event lines (-4: no file)
        {"shown.txt", P::kIdScopeFiltered, 3},
        {"cancel.txt", P::kIdCancel, -4},
        {"missing/x.txt", 0, -4},
    };
    for (auto [name, radio, rows] : reports) {
      const QString path = TempDir() + "/report/" + name;
      messages.answers = {path};
      WhenModal(P::kIdDialog, [radio](QDialog* d) {
        QVERIFY(Ctl<QAbstractButton>(d, P::kIdScopeAll)->isChecked());
        if (radio) Click(d, radio);
        if (radio != P::kIdCancel) Click(d, P::kIdOk);
      });
      dlg.OnWriteText();
      QFile f(path + (path.endsWith(".txt") ? "" : ".txt"));
      const QStringList lines = f.open(QIODevice::ReadOnly)
                                    ? QString::fromStdString(logwick::Cp1251ToUtf8(f.readAll().toStdString()))
                                          .split("\r\n", Qt::SkipEmptyParts)
                                    : QStringList();
      QCOMPARE(lines.size(), 4 + rows);
      if (rows == 3) QCOMPARE(lines.mid(4), Rows(dlg.ListBox()));
    }
    QCOMPARE(messages.texts, QStringList{"Ошибка записи файла"});

    // Failed loads leave the view as it was.
    const QStringList before = Rows(dlg.ListBox());
    QSettings("Ormet", "T29 read events").remove("Init/EventsFilesDir");

    const QString cut = WriteSample(TempDir() + "/short/cut.t7kev");
    const QString missing = TempDir() + "/short/none.t7kev";
    QVERIFY(QFile::resize(cut, 20));
    QCOMPARE(dlg.ReadEventFile(cut), 2);
    QCOMPARE(dlg.ReadEventFile(missing), 2);
    QCOMPARE(messages.texts.mid(1),
             QStringList({"Ошибка формата файла\r\n" + cut, "Не могу прочитать файл\r\n" + missing}));
    QCOMPARE(messages.captions[1], QString("Ошибка"));
    QCOMPARE(Rows(dlg.ListBox()), before);
    QVERIFY(StoredFolder().isEmpty());  // remembered only after a load that did not fail

    // A tag the list refuses: its own message, then a normal end.
    QCOMPARE(dlg.ReadEventFile(WriteSample(TempDir() + "/short/refused.t7kev", CT7KEventList())), 1);
    QCOMPARE(messages.texts.back(), QString("Ошибка формата файла"));
    QCOMPARE(GetEventsFilesDir(), TempDir() + "/short");
  }

  void FreshStartPortRulesSettingsAndFileDialogs() {
    Hooks messages;
    CLogwickDlg dlg;
    dlg.OnInitDialog();
    QCOMPARE(Line(&dlg, M::kIdCountLine), QString("База сообщений пуста"));
    for (int id : {M::kIdReadLine, M::kIdPanelLine, M::kIdVersionLine, M::kIdConfigLine, M::kIdFilterLine})
      QVERIFY(Line(&dlg, id).isEmpty());
    QCOMPARE(std::tuple(dlg.m_nPortNumber, g_nSelectedSerNum, g_bAutoSN, g_bGazMode),
             std::tuple(65535, 0u, 1, 0));
    const QString documents = QString::fromStdString(logwick::DocumentsFolder());
    QCOMPARE(GetEventsFilesDir(), documents);
    int runs = 0;
    dlg.SetReadoutJob([&](const logwick::ReadoutSettings&, logwick::IReadoutView&, const std::atomic<bool>&) {
      ++runs;
      return logwick::ReadoutResult{.status = logwick::ReadoutStatus::Cancelled};
    });
    for (int port : {65535, -1, 256, 3}) {
      dlg.m_nPortNumber = port;
      dlg.OnReadFromPanel();
    }
    QCOMPARE(runs, 1);
    QCOMPARE(messages.texts, QStringList(3, "Не указан номер порта для связи"));
    QCOMPARE(messages.captions[0], logwick::AppTitle());
    QCOMPARE(Line(&dlg, M::kIdCountLine), QString("В базе 0 событий"));  // whatever the reading left is shown
    QCOMPARE(Line(&dlg, M::kIdPanelLine), QString("Прибор ??? (с/н 0)"));

    // The settings command writes all four values on OK only; a new window reads them back.
    QFile::link("/dev/null", qEnvironmentVariable("LOGWICK_PORTS_DIR") + "/COM5");
    WhenModal(CSettingsDlg::kIdDialog, [](QDialog* d) { Click(d, CSettingsDlg::kIdCancel); });
    dlg.OnSettings();
    QVERIFY(!QSettings("Ormet", "T29 read events").contains("Init/PortNumber"));
    WhenModal(CSettingsDlg::kIdDialog, [](QDialog* d) {
      auto* combo = Ctl<QComboBox>(d, CSettingsDlg::kIdPort);
      combo->setCurrentIndex(combo->findData(5u));
      Click(d, CSettingsDlg::kIdAuto);
      Ctl<QLineEdit>(d, CSettingsDlg::kIdSerial)->setText("4660");
      Click(d, CSettingsDlg::kIdOk);
    });
    dlg.OnSettings();
    QVERIFY(QSettings("Ormet", "T29 read events").contains("Init/GazMode"));
    CLogwickDlg next;
    next.OnInitDialog();
    QCOMPARE(std::tuple(next.m_nPortNumber, g_nSelectedSerNum, g_bAutoSN), std::tuple(5, 4660u, 0));

    // File dialogs add their default extensions and remember the folder.
    const QString dir = TempDir() + "/ext";
    WriteSample(dir + "/typed.dat");
    messages.answers = {dir + "/typed", dir + "/saved", TempDir() + "/nowhere/x"};
    dlg.OnReadFromFile();
    dlg.OnWriteToFile();
    dlg.OnWriteToFile();
    QCOMPARE(messages.folders.mid(0, 2), QStringList({documents, dir}));
    QCOMPARE(dlg.ListBox()->GetCount(), 10);
    QVERIFY(QFile::exists(dir + "/saved.t7kev"));
    QCOMPARE(messages.texts.mid(3), QStringList{"Не могу создать файл"});
    QCOMPARE(StoredFolder(), TempDir() + "/nowhere");  // a failed save still remembers its folder

    SaveEventsFilesDir("a.t7kev");
    QCOMPARE(GetEventsFilesDir(), documents);
    // The limit counts characters, not the bytes of a Cyrillic name.
    const std::pair<QString, bool> folders[] = {
        {QString(259, QChar(u'ж')), true},
        {QString(260, 'x'), false},
    };
    for (auto [text, kept] : folders) {
      logwick::WriteProfileString("EventsFilesDir", text);
      QCOMPARE(GetEventsFilesDir(), kept ? text : QString());
    }
  }

  void ExitRules() {
    CLogwickDlg dlg, other;
    for (CLogwickDlg* d : {&dlg, &other}) {
      d->OnInitDialog();
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

  // F1 opens the help page as the menu item and the button do.
  void HelpFromTheMenuTheButtonAndF1() {
    CLogwickDlg dlg;
    dlg.OnInitDialog();
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

  void DesktopEntryQuotesAndEscapesTheExecKey() {
    for (auto [exe, exec] : {std::pair{"/opt/log wick/lw", "\"/opt/log wick/lw\""},
                             {"/opt/100%/lw", "/opt/100%%/lw"},
                             {"/o\"p\\t/lw", "\"/o\\\\\"p\\\\\\\\t/lw\""}})
      QVERIFY(logwick::FreedesktopDesktopEntry(exe).find("Exec=" + std::string(exec) + " %f\n") !=
              std::string::npos);
    QVERIFY(!logwick::WriteFreedesktopFileType("/proc/none", "/x"));  // a failed write is reported
  }

  // The installed copies are the files the program writes (the MIME package whole, the entry with a bare
  // Exec).
  void InstalledDesktopFilesMatchTheProgramsOwn() {
    auto read = [](const char* name) {  // the test data folder's sibling res/
      QFile f(QDir::cleanPath(LOGWICK_TEST_DATA_DIR "/../../res/") + "/" + name);
      return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString("<unreadable>");
    };
    QCOMPARE(read("logwick-t7kev.xml"), QString::fromStdString(logwick::FreedesktopMimeXml()));
    QCOMPARE(read("logwick.desktop"), QString::fromStdString(logwick::FreedesktopDesktopEntry("logwick")));
  }

  // A database is rebuilt only when its cache is missing or older than the program's file; a missing tool is
  // skipped and one that hangs is stopped.
  void DesktopDatabasesFollowTheFiles() {
    const QString data = TempDir() + "/databases", mimeCache = data + "/mime/mime.cache";
    const QString appsCache = data + "/applications/mimeinfo.cache";
    const logwick::DesktopIcons icons{"program picture", "event-file picture"};
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", (TempDir() + "/no-tools").toUtf8());
    logwick::WriteFreedesktopFileType(data.toStdString(), "/opt/lw", icons);
    logwick::UpdateDesktopDatabases(data.toStdString());
    QVERIFY(!QFile::exists(mimeCache) && !QFile::exists(appsCache));
    QVERIFY(!logwick::RunQuietly({"update-mime-database", data.toStdString()}, std::chrono::seconds(5)));
    qputenv("PATH", path);

    QFile icon(data + "/icons/hicolor/48x48/mimetypes/application-x-t7kev.png");
    QVERIFY(icon.open(QIODevice::ReadOnly) && icon.readAll() == "event-file picture");
    auto stamps = [&] {
      return QList<QDateTime>{QFileInfo(mimeCache).lastModified(), QFileInfo(appsCache).lastModified(),
                              QFileInfo(icon).lastModified()};
    };
    logwick::UpdateDesktopDatabases(data.toStdString());
    const auto built = stamps();
    QVERIFY(built[0].isValid() && built[1].isValid());
    QVERIFY(logwick::WriteFreedesktopFileType(data.toStdString(), "/opt/lw", icons));
    logwick::UpdateDesktopDatabases(data.toStdString());
    QCOMPARE(stamps(), built);  // nothing changed, nothing rewritten or rebuilt
    QVERIFY(logwick::WriteFreedesktopFileType(data.toStdString(), "/opt/moved/lw", icons));
    logwick::UpdateDesktopDatabases(data.toStdString());
    QCOMPARE(stamps()[0], built[0]);
    QVERIFY(stamps()[1] > built[1]);

    QElapsedTimer timer;
    timer.start();
    QVERIFY(!logwick::RunQuietly({"sleep", "10"}, std::chrono::milliseconds(200)));
    QVERIFY(timer.elapsed() < 5000);
    QVERIFY(logwick::RunQuietly({"true"}, std::chrono::seconds(5)));
  }
};

LOGWICK_QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
