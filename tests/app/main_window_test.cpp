// The main window: start-up lines, file commands, filter, settings, report,
// reading from the panel and the exit rules, driven through its commands.
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSettings>

#include "app/command_line.h"
#include "app/file_type_registration.h"
#include "app/logwick_dlg.h"
#include "app/settings.h"
#include "app/shell_paths.h"
#include "app_test_support.h"
#include "events/codec.h"
#include "lists/event_file.h"
#include "lists/report.h"
#include "view/ev_list_box.h"

using apptest::Click;
using apptest::Ctl;

namespace {

QString Line(CLogwickDlg& dlg, int id) { return Ctl<QLabel>(&dlg, id)->text(); }

CT7KEvent Event(int code, int b6 = 0, int day = 1) {
  CT7KEvent ev;
  ev.SetTimeStamp(PackTimeStamp(2015, 12, day, 14, 12, 5));
  ev.SetCode(static_cast<std::uint16_t>(code));
  ev.Raw()[6] = static_cast<std::uint8_t>(b6);
  return ev;
}

// Ten events: seven mode changes (code 1) and three messages (code 4).
CT7KEventList SampleList() {
  CT7KEventList l;
  l.m_nPanelType = 1;
  l.m_nSerNum = 123;
  l.m_nReadDay = 16, l.m_nReadMonth = 12, l.m_nReadYear = 2015;
  l.m_nReadHour = 14, l.m_nReadMin = 12, l.m_nReadSec = 5;
  l.m_nVerMajor = 2, l.m_nVerMinor = 5;
  l.m_nRelDay = 1, l.m_nRelMonth = 3, l.m_nRelYear = 2012;
  const std::string name = logwick::Utf8ToCp1251("Склад");
  l.SetConfigNameBytes(name.data(), name.size());
  l.m_texts = {"Пожар", "Тревога"};
  for (int i = 0; i < 10; ++i) l.AddTail(Event(i % 3 == 0 && i > 0 ? 4 : 1, i, 1 + i));
  return l;
}

QString WriteSample(const QString& path, const CT7KEventList& list = SampleList()) {
  if (!logwick::StoreEventFile(path.toStdString(), list).ok) qFatal("cannot write %s", qPrintable(path));
  return path;
}

QStringList Rows(CLogwickDlg& dlg) {
  QStringList rows;
  for (int i = 0; i < dlg.ListBox()->GetCount(); ++i) rows << dlg.ListBox()->GetText(i);
  return rows;
}

QString TempDir() {
  static QTemporaryDir dir;
  return dir.path();
}

int SettingInt(const char* name) {
  QSettings s("Ormet", "T29 read events");
  return s.value(QString("Init/") + name).toInt();
}

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    QSettings("Ormet", "T29 read events").clear();
    QSettings("Ormet", "T29 read events").sync();
  }

  void FreshStartShowsTheEmptyBase() {
    CLogwickDlg dlg;
    dlg.OnInitDialog();
    QCOMPARE(Line(dlg, 1007), QString("База сообщений пуста"));
    for (int id : {1008, 1009, 1013, 1012, 1011}) QVERIFY(Line(dlg, id).isEmpty());
    QCOMPARE(dlg.ListBox()->GetCount(), 0);
    // Missing settings take their defaults.
    QCOMPARE(dlg.m_nPortNumber, 65535);
    QCOMPARE(g_nSelectedSerNum, 0u);
    QCOMPARE(g_bAutoSN, 1);
    QCOMPARE(g_bGazMode, 0);
    QCOMPARE(GetEventsFilesDir(), QString::fromStdString(logwick::DocumentsFolder()));
  }

  void LoadedFileFillsRowsAndLines() {
    const QString path = WriteSample(TempDir() + "/ten.t7kev");
    CLogwickDlg dlg;
    dlg.m_strFileToOpen = path;
    dlg.OnInitDialog();
    QCOMPARE(Line(dlg, 1007), QString("В базе 10 событий"));
    QCOMPARE(Line(dlg, 1011), QString("Показываются все события"));
    QCOMPARE(Line(dlg, 1008), QString("Считано 16/12/2015 14:12:05"));
    QCOMPARE(Line(dlg, 1009), QString("Прибор Тарвел-7К (с/н 123)"));
    QCOMPARE(Line(dlg, 1013), QString("Версия v2.5 выпущен 01/03/2012"));
    QCOMPARE(Line(dlg, 1012), QString("Конфигурация Склад"));
    const QStringList rows = Rows(dlg);
    QCOMPARE(rows.size(), 10);
    const CT7KEventList list = SampleList();
    std::string first;
    logwick::AppendEventLine(first, list[0], list.m_texts);
    QCOMPARE(rows[0], QString::fromStdString(first));
    QVERIFY(rows[0].startsWith("01/12/2015 14:12:05 "));
    QCOMPARE(GetEventsFilesDir(), TempDir());

    // A filter that admits the three messages only.
    dlg.Filter().m_bModes = 0;
    dlg.FillList();
    QCOMPARE(Line(dlg, 1011), QString("Показывается 3 событий"));
    QCOMPARE(Line(dlg, 1007), QString("В базе 10 событий"));
    QCOMPARE(dlg.ListBox()->GetCount(), 3);
  }

  void FailedLoadsLeaveTheViewAsItWas() {
    apptest::MessageRecorder messages;
    CLogwickDlg dlg;
    dlg.m_strFileToOpen = WriteSample(TempDir() + "/good.t7kev");
    dlg.OnInitDialog();
    const QStringList before = Rows(dlg);
    QSettings("Ormet", "T29 read events").remove("Init/EventsFilesDir");

    QDir().mkpath(TempDir() + "/short");
    const QString cut = TempDir() + "/short/cut.t7kev";
    QFile whole(dlg.m_strFileToOpen), part(cut);
    QVERIFY(whole.open(QIODevice::ReadOnly) && part.open(QIODevice::WriteOnly));
    part.write(whole.read(20));
    part.close();
    QCOMPARE(dlg.ReadEventFile(cut), 2);
    QCOMPARE(messages.seen.back().text, "Ошибка формата файла\r\n" + QDir::toNativeSeparators(cut));
    QCOMPARE(messages.seen.back().caption, QString("Ошибка"));

    const QString missing = TempDir() + "/short/none.t7kev";
    QCOMPARE(dlg.ReadEventFile(missing), 2);
    QCOMPARE(messages.seen.back().text, "Не могу прочитать файл\r\n" + QDir::toNativeSeparators(missing));
    QCOMPARE(Rows(dlg), before);
    QCOMPARE(Line(dlg, 1007), QString("В базе 10 событий"));
    // The folder is remembered only after a load that did not fail.
    QVERIFY(QSettings("Ormet", "T29 read events").value("Init/EventsFilesDir").toString().isEmpty());

    // A tag the list refuses: its own message, then a normal end (refill, folder kept).
    CT7KEventList none;
    const QString refused = WriteSample(TempDir() + "/short/refused.t7kev", none);
    QCOMPARE(dlg.ReadEventFile(refused), 1);
    QCOMPARE(messages.seen.back().text, QString("Ошибка формата файла"));
    QCOMPARE(GetEventsFilesDir(), TempDir() + "/short");
  }

  void FileDialogsAddTheirDefaultExtensions() {
    apptest::MessageRecorder messages;
    const QString dir = TempDir() + "/ext";
    QDir().mkpath(dir);
    WriteSample(dir + "/typed.dat");
    CLogwickDlg dlg;
    dlg.OnInitDialog();
    {
      apptest::FileAnswers answers({dir + "/typed"});
      dlg.OnReadFromFile();
      QCOMPARE(answers.requests.at(0).defaultExt, QString("dat"));
      QVERIFY(!answers.requests.at(0).save);
      QCOMPARE(answers.requests.at(0).folder, QString::fromStdString(logwick::DocumentsFolder()));
    }
    QCOMPARE(dlg.ListBox()->GetCount(), 10);
    {
      apptest::FileAnswers answers({dir + "/saved"});
      dlg.OnWriteToFile();
      QCOMPARE(answers.requests.at(0).folder, dir);
    }
    QVERIFY(QFile::exists(dir + "/saved.t7kev"));
    CT7KEventList back;
    QVERIFY(logwick::LoadEventFile((dir + "/saved.t7kev").toStdString(), back).status ==
            logwick::LoadStatus::Loaded);
    QCOMPARE(back.GetCount(), size_t(10));

    // A failed save still remembers the folder.
    {
      apptest::FileAnswers answers({TempDir() + "/nowhere/x"});
      dlg.OnWriteToFile();
    }
    QCOMPARE(messages.seen.back().text, QString("Не могу создать файл"));
    QCOMPARE(messages.seen.back().caption, logwick::AppTitle());
    QCOMPARE(QSettings("Ormet", "T29 read events").value("Init/EventsFilesDir").toString(),
             TempDir() + "/nowhere");
    QVERIFY(messages.seen.size() == 1);
  }

  void FolderTexts() {
    QCOMPARE(DirectoryOf("C:\\Logs\\a.t7kev"), std::string("C:\\Logs"));
    QCOMPARE(DirectoryOf("C:\\a.t7kev"), std::string("C:"));
    QCOMPARE(DirectoryOf("a.t7kev"), std::string());
    SaveEventsFilesDir("a.t7kev");
    QCOMPARE(GetEventsFilesDir(), QString::fromStdString(logwick::DocumentsFolder()));
    logwick::WriteProfileString("EventsFilesDir", QString(260, 'x'));
    QCOMPARE(GetEventsFilesDir(), QString());
    logwick::WriteProfileString("EventsFilesDir", QString(259, 'x'));
    QCOMPARE(GetEventsFilesDir(), QString(259, 'x'));
  }

  void FilterCommandLimitsTheBeamRange() {
    CLogwickDlg dlg;
    dlg.OnInitDialog();
    apptest::WhenModal("130", [](QDialog* d) {
      Ctl<QLineEdit>(d, 1017)->setText("300");
      Ctl<QLineEdit>(d, 1022)->setText("300");
      Click(d, 1);
    });
    dlg.OnFilter();
    QCOMPARE(dlg.Filter().m_nLastBeam, 255u);
    QCOMPARE(dlg.Filter().m_nLastDev, 300u);

    // Cancel keeps the filter but refills the view.
    dlg.EventList().AddTail(Event(1));
    apptest::WhenModal("130", [](QDialog* d) {
      Ctl<QLineEdit>(d, 1017)->setText("7");
      Click(d, 2);
    });
    dlg.OnFilter();
    QCOMPARE(dlg.Filter().m_nLastBeam, 255u);
    QCOMPARE(dlg.ListBox()->GetCount(), 1);
    QCOMPARE(Line(dlg, 1007), QString("В базе 1 событий"));
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
      const int at = combo->findData(5u);
      QVERIFY(at >= 0);
      combo->setCurrentIndex(at);
      Click(d, 1032);
      Ctl<QLineEdit>(d, 1031)->setText("4660");
      Click(d, 1);
    });
    dlg.OnSettings();
    QCOMPARE(dlg.m_nPortNumber, 5);
    QCOMPARE(SettingInt("PortNumber"), 5);
    QCOMPARE(SettingInt("SelectedSerNum"), 4660);
    QCOMPARE(SettingInt("AutoSN"), 0);
    QVERIFY(QSettings("Ormet", "T29 read events").contains("Init/GazMode"));

    // A new window reads them back.
    CLogwickDlg next;
    next.OnInitDialog();
    QCOMPARE(next.m_nPortNumber, 5);
    QCOMPARE(g_nSelectedSerNum, 4660u);
    QCOMPARE(g_bAutoSN, 0);
    QFile::remove(ports.filePath("COM5"));
  }

  void ReadingNeedsAPort() {
    apptest::MessageRecorder messages;
    CLogwickDlg dlg;
    dlg.OnInitDialog();
    int runs = 0;
    dlg.SetReadoutRunner([&](CLogwickDlg&, unsigned, CT7KEventList&) { ++runs; });
    for (int port : {65535, -1, 256}) {
      dlg.m_nPortNumber = port;
      dlg.OnReadFromPanel();
    }
    QCOMPARE(runs, 0);
    QCOMPARE(messages.seen.size(), size_t(3));
    QCOMPARE(messages.seen[0].text, QString("Не указан номер порта для связи"));
    QCOMPARE(messages.seen[0].caption, logwick::AppTitle());
    QCOMPARE(Line(dlg, 1007), QString("База сообщений пуста"));

    // With a port the reading runs and the view is refilled whatever it left.
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
    QDir().mkpath(dir);
    CLogwickDlg dlg;
    dlg.m_strFileToOpen = WriteSample(dir + "/list.t7kev");
    dlg.OnInitDialog();
    dlg.Filter().m_bModes = 0;
    dlg.FillList();

    auto readLines = [](const QString& path) -> QStringList {
      QFile f(path);
      f.open(QIODevice::ReadOnly);
      const QByteArray bytes = f.readAll();
      if (!bytes.endsWith("\r\n")) return {"no CR LF at the end"};
      return QString::fromStdString(logwick::Cp1251ToUtf8(bytes.toStdString())).split("\r\n", Qt::SkipEmptyParts);
    };

    {
      apptest::FileAnswers answers({dir + "/all"});
      apptest::WhenModal("138", [](QDialog* d) { Click(d, 1); });
      dlg.OnWriteText();
      QCOMPARE(answers.requests.at(0).defaultExt, QString("txt"));
    }
    const QStringList all = readLines(dir + "/all.txt");
    QCOMPARE(all.size(), 4 + 10);
    QCOMPARE(all[0], QString("Список событий прибора Тарвел-7К (с/н 123), считанный 16/12/2015 14:12:05"));

    {
      apptest::FileAnswers answers({dir + "/filtered.txt"});
      apptest::WhenModal("138", [](QDialog* d) {
        Click(d, 1026);
        Click(d, 1);
      });
      dlg.OnWriteText();
    }
    const QStringList filtered = readLines(dir + "/filtered.txt");
    QCOMPARE(filtered.mid(4), Rows(dlg));

    // Cancel in the options touches nothing; a failing target is reported.
    {
      apptest::FileAnswers answers({dir + "/never.txt"});
      apptest::WhenModal("138", [](QDialog* d) { Click(d, 2); });
      dlg.OnWriteText();
      QVERIFY(answers.requests.empty());
    }
    {
      apptest::FileAnswers answers({dir + "/missing/x.txt"});
      apptest::WhenModal("138", [](QDialog* d) { Click(d, 1); });
      dlg.OnWriteText();
    }
    QCOMPARE(messages.seen.size(), size_t(1));
    QCOMPARE(messages.seen[0].text, QString("Ошибка записи файла"));
  }

  void ExitRules() {
    CLogwickDlg dlg;
    dlg.OnInitDialog();
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    QTest::keyClick(&dlg, Qt::Key_Escape);
    QVERIFY(dlg.isVisible());
    // Enter outside a button presses the default button, Вы&ход.
    dlg.ListBox()->setFocus();
    QTest::keyClick(dlg.ListBox(), Qt::Key_Return);
    QVERIFY(!dlg.isVisible());
    QCOMPARE(dlg.result(), int(QDialog::Accepted));

    CLogwickDlg other;
    other.OnInitDialog();
    other.show();
    QVERIFY(other.close());
    QCOMPARE(other.result(), int(QDialog::Accepted));
  }

  void AboutAndHelpOpenAndClose() {
    CLogwickDlg dlg;
    dlg.OnInitDialog();
    apptest::WhenModal("100", [](QDialog* d) { Click(d, 1); });
    dlg.OnAbout();
    apptest::WhenModal("help", [](QDialog* d) { d->accept(); });
    dlg.OnHelp();
  }

  void CommandLine() {
    CT29CommandLine cmd;
    const auto messages = cmd.ParseAll({"-x", "first.t7kev", "second.t7kev"});
    QCOMPARE(messages.size(), size_t(2));
    QCOMPARE(QString::fromStdString(messages[0]), QString("Неизвестный ключ x"));
    QCOMPARE(QString::fromStdString(messages[1]), QString("Указано больше одного файла"));
    QCOMPARE(cmd.m_strFileName, std::string("first.t7kev"));
  }

  void FileTypeIsRegisteredForTheUser() {
    QVERIFY(logwick::RegisterEventFileType("/opt/log wick/logwick"));
    const QString data = qEnvironmentVariable("XDG_DATA_HOME");
    QFile entry(data + "/applications/logwick.desktop");
    QVERIFY(entry.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(entry.readAll());
    QVERIFY(text.contains("Exec=\"/opt/log wick/logwick\" %f"));
    QVERIFY(text.contains("MimeType=application/x-t7kev;"));
    QFile mime(data + "/mime/packages/logwick-t7kev.xml");
    QVERIFY(mime.open(QIODevice::ReadOnly));
    QVERIFY(mime.readAll().contains("<glob pattern=\"*.t7kev\"/>"));
    // An unwritable data folder is no error worth more than false.
    QVERIFY(!logwick::WriteFreedesktopFileType("/proc/none", "/x"));
  }
};

LOGWICK_QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
