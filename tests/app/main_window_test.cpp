// The main window: start-up lines, file commands, settings, report, reading
// from the panel, the exit rules and the shell helpers behind them.
#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSettings>

#include "app/file_type_registration.h"
#include "app/logwick_dlg.h"
#include "app/settings.h"
#include "app/shell_paths.h"
#include "app_test_support.h"
#include "events/codec.h"
#include "lists/event_file.h"
#include "view/ev_list_box.h"

using apptest::Click;
using apptest::Ctl;

namespace {

QString Line(CLogwickDlg& dlg, int id) { return Ctl<QLabel>(&dlg, id)->text(); }

QString StoredFolder() { return QSettings("Ormet", "T29 read events").value("Init/EventsFilesDir").toString(); }

QString TempDir() {
  static QTemporaryDir dir;
  return dir.path();
}

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { QSettings("Ormet", "T29 read events").clear(); }

  void LoadedFileFillsRowsAndLines() {
    CLogwickDlg dlg;
    dlg.m_strFileToOpen = apptest::WriteSample(TempDir() + "/ten.t7kev");
    dlg.OnInitDialog();
    QCOMPARE(Line(dlg, 1007), QString("В базе 10 событий"));
    QCOMPARE(Line(dlg, 1011), QString("Показываются все события"));
    QCOMPARE(Line(dlg, 1008), QString("Считано 16/12/2015 14:12:05"));
    QCOMPARE(Line(dlg, 1009), QString("Прибор Тарвел-7К (с/н 123)"));
    QCOMPARE(Line(dlg, 1013), QString("Версия v2.5 выпущен 01/03/2012"));
    QCOMPARE(Line(dlg, 1012), QString("Конфигурация Склад"));
    QCOMPARE(apptest::Rows(dlg.ListBox()).size(), 10);
    QCOMPARE(dlg.ListBox()->GetText(0), QString("01/12/2015 14:12:05 включение питания"));
    QCOMPARE(GetEventsFilesDir(), TempDir());

    dlg.Filter().m_bModes = 0;  // admits the three messages only
    dlg.FillList();
    QCOMPARE(Line(dlg, 1011), QString("Показывается 3 событий"));
    QCOMPARE(Line(dlg, 1007), QString("В базе 10 событий"));
    QCOMPARE(dlg.ListBox()->GetCount(), 3);
  }

  void FailedLoadsLeaveTheViewAsItWas() {
    apptest::MessageRecorder messages;
    CLogwickDlg dlg;
    dlg.m_strFileToOpen = apptest::WriteSample(TempDir() + "/good.t7kev");
    dlg.OnInitDialog();
    const QStringList before = apptest::Rows(dlg.ListBox());
    QSettings("Ormet", "T29 read events").remove("Init/EventsFilesDir");

    QDir().mkpath(TempDir() + "/short");
    const QString cut = TempDir() + "/short/cut.t7kev";
    QFile whole(dlg.m_strFileToOpen), part(cut);
    QVERIFY(whole.open(QIODevice::ReadOnly) && part.open(QIODevice::WriteOnly));
    part.write(whole.read(20));
    part.close();
    const QString missing = TempDir() + "/short/none.t7kev";
    QCOMPARE(dlg.ReadEventFile(cut), 2);
    QCOMPARE(dlg.ReadEventFile(missing), 2);
    QCOMPARE(messages.Texts(), QStringList({"Ошибка формата файла\r\n" + cut, "Не могу прочитать файл\r\n" + missing}));
    QCOMPARE(messages.seen[0].caption, QString("Ошибка"));
    QCOMPARE(apptest::Rows(dlg.ListBox()), before);
    QVERIFY(StoredFolder().isEmpty());  // remembered only after a load that did not fail

    // A tag the list refuses: its own message, then a normal end.
    const QString refused = apptest::WriteSample(TempDir() + "/short/refused.t7kev", CT7KEventList());
    QCOMPARE(dlg.ReadEventFile(refused), 1);
    QCOMPARE(messages.seen.back().text, QString("Ошибка формата файла"));
    QCOMPARE(GetEventsFilesDir(), TempDir() + "/short");
  }

  void FileDialogsAddTheirDefaultExtensionsAndRememberTheFolder() {
    apptest::MessageRecorder messages;
    const QString dir = TempDir() + "/ext";
    QDir().mkpath(dir);
    apptest::WriteSample(dir + "/typed.dat");
    CLogwickDlg dlg;
    dlg.OnInitDialog();
    {
      apptest::FileAnswers answers({dir + "/typed", dir + "/saved", TempDir() + "/nowhere/x"});
      dlg.OnReadFromFile();
      dlg.OnWriteToFile();
      dlg.OnWriteToFile();
      QCOMPARE(answers.requests.at(0).folder, QString::fromStdString(logwick::DocumentsFolder()));
      QCOMPARE(answers.requests.at(1).folder, dir);
    }
    QCOMPARE(dlg.ListBox()->GetCount(), 10);
    CT7KEventList back;
    QVERIFY(logwick::LoadEventFile((dir + "/saved.t7kev").toStdString(), back).status == logwick::LoadStatus::Loaded);
    QCOMPARE(back.GetCount(), size_t(10));
    // A failed save still remembers its folder.
    QCOMPARE(messages.Texts(), QStringList{"Не могу создать файл"});
    QCOMPARE(messages.seen[0].caption, logwick::AppTitle());
    QCOMPARE(StoredFolder(), TempDir() + "/nowhere");
  }

  void EventsFolderTexts() {
    QCOMPARE(DirectoryOf("C:\\Logs\\a.t7kev"), std::string("C:\\Logs"));
    QCOMPARE(DirectoryOf("C:\\a.t7kev"), std::string("C:"));
    SaveEventsFilesDir("a.t7kev");
    QCOMPARE(GetEventsFilesDir(), QString::fromStdString(logwick::DocumentsFolder()));
    // The limit counts characters, not the bytes of a Cyrillic name.
    for (auto [text, kept] : {std::pair{QString(259, QChar(u'ж')), true}, {QString(260, 'x'), false}}) {
      logwick::WriteProfileString("EventsFilesDir", text);
      QCOMPARE(GetEventsFilesDir(), kept ? text : QString());
    }
  }

  void SettingsCommandWritesAllFourOnOkOnly() {
    QDir ports(qEnvironmentVariable("LOGWICK_PORTS_DIR"));
    QFile::link("/dev/null", ports.filePath("COM5"));
    CLogwickDlg dlg;
    dlg.OnInitDialog();
    apptest::WhenModal("106", [](QDialog* d) { Click(d, 2); });
    dlg.OnSettings();
    QVERIFY(!QSettings("Ormet", "T29 read events").contains("Init/PortNumber"));

    apptest::WhenModal("106", [](QDialog* d) {
      auto* combo = Ctl<QComboBox>(d, 1053);
      combo->setCurrentIndex(combo->findData(5u));
      Click(d, 1032);
      Ctl<QLineEdit>(d, 1031)->setText("4660");
      Click(d, 1);
    });
    dlg.OnSettings();
    QVERIFY(QSettings("Ormet", "T29 read events").contains("Init/GazMode"));
    CLogwickDlg next;  // a new window reads them back
    next.OnInitDialog();
    QCOMPARE(next.m_nPortNumber, 5);
    QCOMPARE(g_nSelectedSerNum, 4660u);
    QCOMPARE(g_bAutoSN, 0);
    QFile::remove(ports.filePath("COM5"));
  }

  void FreshStartReadingNeedsAPortAndRefillsWhateverItLeft() {
    apptest::MessageRecorder messages;
    CLogwickDlg dlg;
    dlg.OnInitDialog();
    QCOMPARE(Line(dlg, 1007), QString("База сообщений пуста"));
    for (int id : {1008, 1009, 1013, 1012, 1011}) QVERIFY(Line(dlg, id).isEmpty());
    QCOMPARE(std::tuple(dlg.m_nPortNumber, g_nSelectedSerNum, g_bAutoSN, g_bGazMode), std::tuple(65535, 0u, 1, 0));
    QCOMPARE(GetEventsFilesDir(), QString::fromStdString(logwick::DocumentsFolder()));
    int runs = 0;
    dlg.SetReadoutRunner([&](CLogwickDlg&, unsigned, CT7KEventList&) { ++runs; });
    for (int port : {65535, -1, 256}) {
      dlg.m_nPortNumber = port;
      dlg.OnReadFromPanel();
    }
    QCOMPARE(runs, 0);
    QCOMPARE(messages.Texts(), QStringList(3, "Не указан номер порта для связи"));
    QCOMPARE(messages.seen[0].caption, logwick::AppTitle());

    dlg.m_nPortNumber = 3;
    dlg.OnReadFromPanel();
    QCOMPARE(runs, 1);
    QCOMPARE(Line(dlg, 1007), QString("В базе 0 событий"));
    QCOMPARE(Line(dlg, 1011), QString("Показываются все события"));
    QCOMPARE(Line(dlg, 1009), QString("Прибор ??? (с/н 0)"));
  }

  void ReportWritesAllOrTheFilteredEvents() {
    apptest::MessageRecorder messages;
    const QString dir = TempDir() + "/report";
    CLogwickDlg dlg;
    dlg.m_strFileToOpen = apptest::WriteSample(dir + "/list.t7kev");
    dlg.OnInitDialog();
    dlg.Filter().m_bModes = 0;
    dlg.FillList();
    auto report = [&](const QString& path, int radio) {
      apptest::FileAnswers answers({path});
      apptest::WhenModal("138", [radio](QDialog* d) {
        QVERIFY(Ctl<QAbstractButton>(d, 1030)->isChecked());  // "Все события" every time
        if (radio) Click(d, radio);
        if (radio != 2) Click(d, 1);
      });
      dlg.OnWriteText();
      QFile f(path + (path.endsWith(".txt") ? "" : ".txt"));
      if (!f.open(QIODevice::ReadOnly)) return QStringList();
      const QByteArray bytes = f.readAll();
      if (!bytes.endsWith("\r\n")) return QStringList{"no CR LF at the end"};
      return QString::fromStdString(logwick::Cp1251ToUtf8(bytes.toStdString())).split("\r\n", Qt::SkipEmptyParts);
    };
    const QStringList all = report(dir + "/all", 0);
    QCOMPARE(all.size(), 4 + 10);
    QCOMPARE(all[0], QString("Список событий прибора Тарвел-7К (с/н 123), считанный 16/12/2015 14:12:05"));
    QCOMPARE(report(dir + "/filtered.txt", 1026).mid(4), apptest::Rows(dlg.ListBox()));
    QVERIFY(report(dir + "/cancelled.txt", 2).isEmpty());
    QVERIFY(report(dir + "/missing/x.txt", 0).isEmpty());
    QCOMPARE(messages.Texts(), QStringList{"Ошибка записи файла"});
  }

  void ExitRules() {
    CLogwickDlg dlg;
    dlg.OnInitDialog();
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    QTest::keyClick(&dlg, Qt::Key_Escape);
    QVERIFY(dlg.isVisible());
    dlg.ListBox()->setFocus();  // Enter outside a button presses Вы&ход
    QTest::keyClick(dlg.ListBox(), Qt::Key_Return);
    QVERIFY(!dlg.isVisible());
    QCOMPARE(dlg.result(), int(QDialog::Accepted));
    CLogwickDlg other;
    other.OnInitDialog();
    other.show();
    QVERIFY(other.close());
    QCOMPARE(other.result(), int(QDialog::Accepted));
  }

  void FileTypeIsRegisteredForTheUser() {
    QVERIFY(logwick::RegisterEventFileType("/opt/log wick/logwick"));
    const QString data = qEnvironmentVariable("XDG_DATA_HOME");
    QFile entry(data + "/applications/logwick.desktop");
    QVERIFY(entry.open(QIODevice::ReadOnly));
    QVERIFY(entry.readAll().contains("Exec=\"/opt/log wick/logwick\" %f\n"));
    QFile mime(data + "/mime/packages/logwick-t7kev.xml");
    QVERIFY(mime.open(QIODevice::ReadOnly) && mime.readAll().contains("<glob pattern=\"*.t7kev\"/>"));
    QVERIFY(!logwick::WriteFreedesktopFileType("/proc/none", "/x"));
    // Field codes and the two levels of escaping of the Exec key.
    QVERIFY(logwick::FreedesktopDesktopEntry("/opt/100%/lw").find("Exec=/opt/100%%/lw %f\n") != std::string::npos);
    QVERIFY(logwick::FreedesktopDesktopEntry("/o\"p\\t/lw").find("Exec=\"/o\\\\\"p\\\\\\\\t/lw\" %f\n") !=
            std::string::npos);
  }
};

LOGWICK_QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
