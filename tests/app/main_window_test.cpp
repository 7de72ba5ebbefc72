// The main window: start-up lines, file commands, settings, report, reading
// from the panel, the exit rules and the shell helpers behind them.
#include "app/desktop_databases.h"
#include "app/file_type_registration.h"
#include "app/shell_paths.h"
#include "app_test_support.h"

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
    for (auto [id, text] : {std::pair{1007, "В базе 10 событий"},
                            {1011, "Показываются все события"},
                            {1008, "Считано 16/12/2015 14:12:05"},
                            {1009, "Прибор Тарвел-7К (с/н 123)"},
                            {1013, "Версия v2.5 выпущен 01/03/2012"},
                            {1012, "Конфигурация Склад"}})
      QCOMPARE(Line(&dlg, id), QString(text));

    dlg.Filter().m_bModes = 0, dlg.FillList();  // admits the three messages only, counted by the report below
    QCOMPARE(Line(&dlg, 1011), QString("Показывается 3 событий"));
    QCOMPARE(Line(&dlg, 1007), QString("В базе 10 событий"));

    // Report: all events by default, the shown ones, Cancel, and a folder that does not exist.
    for (auto [name, radio, rows] : {std::tuple{"all", 0, 10},
                                     {"shown.txt", 1026, 3},
                                     {"cancel.txt", 2, -4},
                                     {"missing/x.txt", 0, -4}}) {
      const QString path = TempDir() + "/report/" + name;
      messages.answers = {path};
      WhenModal("138", [radio](QDialog* d) {
        QVERIFY(Ctl<QAbstractButton>(d, 1030)->isChecked());
        if (radio) Click(d, radio);
        if (radio != 2) Click(d, 1);
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

    const QString cut = WriteSample(TempDir() + "/short/cut.t7kev"),
                  missing = TempDir() + "/short/none.t7kev";
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
    QCOMPARE(Line(&dlg, 1007), QString("База сообщений пуста"));
    for (int id : {1008, 1009, 1013, 1012, 1011}) QVERIFY(Line(&dlg, id).isEmpty());
    QCOMPARE(std::tuple(dlg.m_nPortNumber, g_nSelectedSerNum, g_bAutoSN, g_bGazMode),
             std::tuple(65535, 0u, 1, 0));
    const QString documents = QString::fromStdString(logwick::DocumentsFolder());
    QCOMPARE(GetEventsFilesDir(), documents);
    int runs = 0;
    dlg.SetReadoutRunner([&](CLogwickDlg&, unsigned, CT7KEventList&) { ++runs; });
    for (int port : {65535, -1, 256, 3}) dlg.m_nPortNumber = port, dlg.OnReadFromPanel();
    QCOMPARE(runs, 1);
    QCOMPARE(messages.texts, QStringList(3, "Не указан номер порта для связи"));
    QCOMPARE(messages.captions[0], logwick::AppTitle());
    QCOMPARE(Line(&dlg, 1007), QString("В базе 0 событий"));  // whatever the reading left is shown
    QCOMPARE(Line(&dlg, 1009), QString("Прибор ??? (с/н 0)"));

    // The settings command writes all four values on OK only; a new window reads them back.
    QFile::link("/dev/null", qEnvironmentVariable("LOGWICK_PORTS_DIR") + "/COM5");
    WhenModal("106", [](QDialog* d) { Click(d, 2); });
    dlg.OnSettings();
    QVERIFY(!QSettings("Ormet", "T29 read events").contains("Init/PortNumber"));
    WhenModal("106", [](QDialog* d) {
      auto* combo = Ctl<QComboBox>(d, 1053);
      combo->setCurrentIndex(combo->findData(5u));
      Click(d, 1032), Ctl<QLineEdit>(d, 1031)->setText("4660"), Click(d, 1);
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
    dlg.OnReadFromFile(), dlg.OnWriteToFile(), dlg.OnWriteToFile();
    QCOMPARE(messages.folders.mid(0, 2), QStringList({documents, dir}));
    QCOMPARE(dlg.ListBox()->GetCount(), 10);
    QVERIFY(QFile::exists(dir + "/saved.t7kev"));
    QCOMPARE(messages.texts.mid(3), QStringList{"Не могу создать файл"});
    QCOMPARE(StoredFolder(), TempDir() + "/nowhere");  // a failed save still remembers its folder

    SaveEventsFilesDir("a.t7kev");
    QCOMPARE(GetEventsFilesDir(), documents);
    // The limit counts characters, not the bytes of a Cyrillic name.
    for (auto [text, kept] : {std::pair{QString(259, QChar(u'ж')), true}, {QString(260, 'x'), false}}) {
      logwick::WriteProfileString("EventsFilesDir", text);
      QCOMPARE(GetEventsFilesDir(), kept ? text : QString());
    }
  }

  void ExitRules() {
    CLogwickDlg dlg, other;
    for (CLogwickDlg* d : {&dlg, &other}) d->OnInitDialog(), d->show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    QTest::keyClick(&dlg, Qt::Key_Escape);
    QVERIFY(dlg.isVisible());
    dlg.ListBox()->setFocus();  // Enter outside a button presses Вы&ход
    QTest::keyClick(dlg.ListBox(), Qt::Key_Return);
    QVERIFY(!dlg.isVisible());
    QVERIFY(other.close());
    for (CLogwickDlg* d : {&dlg, &other}) QCOMPARE(d->result(), int(QDialog::Accepted));
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
